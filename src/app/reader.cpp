#include "app/reader.h"

namespace pagora {

Canvas canvasOf(Reader &r)
{
    return {*r.p.surface, r.fonts};
}

void createInterfaceFont(Reader &r)
{
    createInterfaceFont(*r.p.surface, r.fonts);
}

void createReadingFont(Reader &r)
{
    createReadingFont(*r.p.surface, r.fonts, r.s.look);
}

} // namespace pagora
