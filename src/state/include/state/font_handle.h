#pragma once

namespace pagora {

// A font the surface made; the state keeps the two it uses.
using FontHandle = int;
constexpr FontHandle kNoFont = -1;

} // namespace pagora
