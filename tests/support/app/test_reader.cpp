#include "test_reader.h"

namespace pagora {

TestReader::TestReader()
{
    r.services.surface = &surface;
    r.services.dialogs = &dialogs;
    r.services.window = &window;
    r.services.files = &systemFiles();
    r.services.searchBox = &searchBox;
    r.services.speech = &speech;
}

} // namespace pagora
