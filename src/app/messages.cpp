#include "app/messages.h"

#include "app/reader.h"

namespace pagora {

void showMessage(Reader &r, std::u16string_view text)
{
    r.services.dialogs->showMessage(text);
}

bool askYesNo(Reader &r, std::u16string_view text)
{
    return r.services.dialogs->askYesNo(text);
}

} // namespace pagora
