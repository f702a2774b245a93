#include "app/reader.h"

namespace pagora {

Canvas canvasOf(Reader &r)
{
    return {*r.p.surface, r.fonts};
}

void remakeInterfaceFont(Reader &r)
{
    createInterfaceFont(*r.p.surface, r.fonts);
}

void remakeReadingFont(Reader &r)
{
    createReadingFont(*r.p.surface, r.fonts, r.s.look);
}

} // namespace pagora
