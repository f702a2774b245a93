#pragma once

namespace pagora {

struct Reader;

bool chooseReadingFont(Reader &r);

} // namespace pagora
