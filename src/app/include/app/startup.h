#pragma once
#include <string>

namespace pagora {

struct Reader;

// Panel construction steps: exeFolder (ending with '/'), screen colour.
void constructPanel(Reader &r, const std::string &exeFolder);
// The start-up sequence, in order, once the panel exists.
void startUp(Reader &r);
// FormCloseQuery: save settings, release the catalogue. Always allows the close.
bool shutDown(Reader &r);
// Panel destruction: delete both fonts.
void destroyPanel(Reader &r);

} // namespace pagora
