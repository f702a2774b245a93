#include "app/reader.h"

namespace pagora {

Canvas canvasOf(Reader &r)
{
    return {*r.services.surface, r.fonts};
}

void remakeInterfaceFont(Reader &r)
{
    createInterfaceFont(*r.services.surface, r.fonts);
}

void remakeReadingFont(Reader &r)
{
    createReadingFont(*r.services.surface, r.fonts, r.state.look);
}

} // namespace pagora
