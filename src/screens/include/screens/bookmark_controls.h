#pragma once

namespace pagora {

struct Reader;

// The bookmark buttons of the menu screen: toggle, next and previous.
void paintBookmarkControls(Reader &r);

} // namespace pagora
