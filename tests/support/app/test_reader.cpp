#include "test_reader.h"

namespace pagora {

TestReader::TestReader()
{
    r.p.surface = &surface;
    r.p.dialogs = &dialogs;
    r.p.window = &window;
    r.p.files = &systemFiles();
    r.p.searchBox = &searchBox;
    r.p.speech = &speech;
}

} // namespace pagora
