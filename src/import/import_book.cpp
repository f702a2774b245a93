#include "import/import_book.h"

ImportResult importBook(const std::string &, const std::string &, const ImportOptions &, const ImportProgress &)
{
    return {false, "importing is not available yet"};
}

bool isMostlySimplified(const std::string &, const std::string &)
{
    return false;
}

bool isImportable(const std::string &path)
{
    auto endsWith = [&](const char *ext, std::size_t n) {
        if (path.size() < n)
            return false;
        for (std::size_t i = 0; i < n; ++i) {
            char c = path[path.size() - n + i];
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
            if (c != ext[i])
                return false;
        }
        return true;
    };
    return endsWith(".txt", 4) || endsWith(".epub", 5);
}
