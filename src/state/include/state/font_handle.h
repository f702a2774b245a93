#pragma once

namespace pagora {

// A font the surface made.
using FontHandle = int;
constexpr FontHandle kNoFont = -1;

} // namespace pagora
