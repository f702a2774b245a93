// libFuzzer entry over the bookmark rewrite: any book and any bookmark record.
#include "bookmark_fuzz_input.h"

using namespace pagora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return bookmarkfuzz::runInput(data, size);
}
