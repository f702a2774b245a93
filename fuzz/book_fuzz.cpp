// libFuzzer entry over the book parser: any bytes as a book file.
#include "book_fuzz_input.h"

using namespace pagora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return bookfuzz::runInput(data, size);
}
