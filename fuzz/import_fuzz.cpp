// libFuzzer entry over importing, in memory: no file is written, and the
// converter is loaded once, so that it runs thousands of inputs a second.
#include "import_fuzz_input.h"

using namespace pagora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return importfuzz::runInput(data, size);
}
