#include <cstdio>

int main(int, char **)
{
    std::fputs("usage: pagora-book <make|info|text|pages|render> ...\n", stderr);
    return 2;
}
