#include "panel_screens.h"

#include "app/window_modes.h"
#include "render/primitives.h"

namespace pagora {

std::vector<Rect> invertsOf(const RecordingSurface &surface)
{
    std::vector<Rect> out;
    for (const auto &c : surface.callsOf("invert"))
        out.emplace_back(c.a, c.b, c.c, c.d);
    return out;
}

std::vector<Rect> repaintsOf(const RecordingSurface &surface)
{
    std::vector<Rect> out;
    for (const auto &c : surface.callsOf("clip"))
        if (c.clipDepth == 0)
            out.emplace_back(c.a, c.b, c.c - c.a, c.d - c.b);
    return out;
}

bool paintedHeldDown(const RecordingSurface &surface, Rect control)
{
    const std::vector<Rect> inverts = invertsOf(surface);
    return repaintsOf(surface) == std::vector<Rect>{control} && !inverts.empty() && inverts.back() == control;
}

bool drewText(const RecordingSurface &surface, std::u16string_view text, int x, int y)
{
    for (const auto &c : surface.callsOf("text"))
        if (c.text == text && c.a == x && c.b == y)
            return true;
    return false;
}

bool drewVertical(const RecordingSurface &surface, std::u16string_view text, int x, int y)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!drewText(surface, text.substr(i, 1), x, y + 16 * int(i)))
            return false;
    return true;
}

bool drewLine(const RecordingSurface &surface, Rect line)
{
    for (const auto &c : surface.callsOf("line"))
        if (Rect(c.a, c.b, c.c, c.d) == line)
            return true;
    return false;
}

bool drewLine(const RecordingSurface &surface, int x1, int y1, int x2, int y2)
{
    return drewLine(surface, Rect(x1, y1, x2, y2));
}

int textY(const RecordingSurface &surface, std::u16string_view text)
{
    for (const auto &c : surface.callsOf("text"))
        if (c.text == text)
            return c.b;
    return -1;
}

void startModeOne(TestReader &t, int screenHeight)
{
    t.window.screenW = 1280;
    t.window.screenH = screenHeight;
    t.r.state.window.windowMode = 1;
    offerWindowModes(t.r);
    remakeInterfaceFont(t.r);
    remakeReadingFont(t.r);
    applyWindowMode(t.r);
}

} // namespace pagora
