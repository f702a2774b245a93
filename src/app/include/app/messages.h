#pragma once
#include <string_view>

namespace pagora {

struct Reader;

// Message boxes captioned "Pagora 1.8".
void showMessage(Reader &r, std::u16string_view text);
bool askYesNo(Reader &r, std::u16string_view text);

} // namespace pagora
