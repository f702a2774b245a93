// libFuzzer entry over the settings reader: any bytes as Pagora.ini.
#include "settings_fuzz_input.h"

using namespace pagora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return settingsfuzz::runInput(data, size);
}
