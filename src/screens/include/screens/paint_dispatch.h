#pragma once

namespace pagora {

struct Reader;

// Paints the screen named by currentScreen; erase fills the panel first.
void paintScreen(Reader &r, bool erase);

} // namespace pagora
