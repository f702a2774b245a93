#include "app/window_modes.h"

#include "app/selection_handlers.h"
#include "platform/reader.h"
#include "render/layout_walk.h"
#include "render/primitives.h"
#include "screens/paint_dispatch.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace pagora {

namespace {

// One fixed window size: the text area and the columns of the menu and shelf
// screens that depend on it.
struct FixedMode {
    std::int16_t baseWidth, baseHeight;
    std::int16_t titleLineChars;
    std::int16_t pathTextLeft; // before adding glyphWidth
    std::int16_t fontNameRight;
    std::int16_t leftMargin;
    std::int16_t digitRowLeft;
    std::int16_t slotStartAddition, slotStepAddition;
};

constexpr std::array<FixedMode, 8> kFixedModes = {{
    {296, 392, 36, 6, 126, 4, 130, 6, 0},
    {536, 392, 36, 6, 246, 4, 250, 6, 0},
    {344, 512, 40, 12, 148, 4, 160, 10, 0},
    {664, 512, 40, 12, 308, 4, 320, 10, 0},
    {456, 608, 54, 40, 202, 6, 227, 12, 5},
    {936, 608, 54, 40, 442, 6, 467, 12, 5},
    {504, 672, 60, 50, 224, 8, 254, 14, 7},
    {984, 672, 60, 50, 464, 8, 494, 14, 7},
}};

constexpr int kFixedVerticalMargin = 16;
constexpr int kFixedHorizontalMargin = 20;

void setFullScreenMargins(ReaderState &s)
{
    switch (s.windowModeCount) {
    case 10: s.verticalMargin = 32, s.horizontalMargin = 40; break;
    case 6: s.verticalMargin = 26, s.horizontalMargin = 32; break;
    default: s.verticalMargin = 20, s.horizontalMargin = 24; break;
    }
}

// The frame and caption lie outside the form's size here: the form's size is
// the client size.
void fitFormToClient(Reader &r)
{
    r.p.window->setFormSize(r.s.clientWidth, r.s.clientHeight);
}

// Lays the open section out for the new size, then paints the whole panel
// once: only then does the screen show what the state holds.
void reflowAndRepaint(Reader &r)
{
    applyAndReflow(r);
    fitFormToClient(r);
    paintScreen(r, true);
}

} // namespace

void offerWindowModes(Reader &r)
{
    ReaderState &s = r.s;
    const int height = r.p.window->screenHeight();
    std::int16_t defaultMode;
    if (height <= 480)
        s.windowModeCount = 4, defaultMode = 1;
    else if (height <= 600)
        s.windowModeCount = 6, defaultMode = 2;
    else
        s.windowModeCount = 10, defaultMode = 4;
    // A negative stored mode is as good as none.
    if (s.windowMode <= 0)
        s.windowMode = defaultMode;
    // A stored maximized mode starts as borderless full screen.
    if (s.windowMode >= s.windowModeCount)
        s.windowMode = std::int16_t(s.windowModeCount - 1);
}

void computeLayout(ReaderState &s)
{
    const int w = s.clientWidth;
    const int h = s.clientHeight;
    const int gw = s.glyphWidth;
    const int gh = s.glyphHeight;
    s.leftThird = std::int16_t(w / 3 + 1);
    s.rightThird = std::int16_t(w - s.leftThird);
    s.sixthWidth = std::int16_t(s.leftThird / 2);
    s.rightSixth = std::int16_t(s.rightThird + s.sixthWidth);
    s.sixthInset = std::int16_t((s.sixthWidth - gw) / 2 + 1);
    s.columnWidth = std::int16_t(w / 16);
    s.columnInset = std::int16_t((s.columnWidth - gw) / 2);
    s.barHeight = std::int16_t(gh + (s.windowMode == 1 ? 14 : 18));
    s.menuBandTop = std::int16_t(h / 3);
    s.menuBandBottom = std::int16_t(h - h / 3 - s.barHeight);
    s.halfHeight = std::int16_t(h / 2);
    s.halfWidth = std::int16_t(w / 2);
    s.topBarHeight = 26;
    s.bottomBarTop = std::int16_t(h - s.barHeight);
    s.buttonRowTop = std::int16_t(s.bottomBarTop - s.barHeight);
    s.thirdRowTop = std::int16_t(s.buttonRowTop - s.barHeight);
    s.listTop = std::int16_t(s.topBarHeight + s.barHeight);
    if (s.windowMode <= 2) {
        s.band2Top = std::int16_t(s.listTop + (s.buttonRowTop - s.listTop) / 2);
        s.band3Top = s.buttonRowTop;
    } else {
        const int t = (s.buttonRowTop - s.listTop) / 3;
        s.band2Top = std::int16_t(s.listTop + t);
        s.band3Top = std::int16_t(s.listTop + 2 * t);
    }
    s.pageBandLabelTop = std::int16_t(s.menuBandBottom + (s.thirdRowTop - s.menuBandBottom - gh) / 2);
    s.barTextInset = std::int16_t((s.barHeight - gh) / 2);
    s.menuTitleTop = std::int16_t(s.topBarHeight + (s.menuBandTop - s.topBarHeight - gh) / 2);
    const int buttonColumns = s.windowMode == 1 ? 9 : s.windowMode == 2 ? 10 : 11;
    s.panelButtonsLeft = std::int16_t(buttonColumns * s.columnWidth);
}

void applyWindowMode(Reader &r)
{
    ReaderState &s = r.s;
    WindowHost &window = *r.p.window;
    s.layoutBusy = true;
    selectInterfaceFont(r);
    // No mode can be applied before the modes for this screen are known.
    if (s.windowModeCount < 4)
        offerWindowModes(r);
    if (s.windowMode > s.windowModeCount)
        s.windowMode = s.windowModeCount;
    if (s.windowMode < 1)
        s.windowMode = 1;

    const int perShelfPage = s.windowMode > 2 ? 48 : 32;
    // selectedBook -1 gives 0: the division drops the remainder towards zero.
    s.shelfPageStart = perShelfPage * (s.selectedBook / perShelfPage);

    int slotStart = 2 * s.glyphWidth;
    int slotStep = s.glyphWidth;
    s.digitRowLeft = std::int16_t(2 * s.glyphWidth);

    if (s.windowMode < s.windowModeCount - 1) {
        if (s.fullScreenState != 0) {
            window.setAutoSize(true);
            if (s.fullScreenState == 1)
                window.setFrameless(false);
            window.setWindowState(WindowState::Normal);
        }
        s.fullScreenState = 0;
        // Modes beyond the table cannot occur with 10 modes; clamp for safety.
        const std::size_t index = std::size_t(std::min<int>(s.windowMode, int(kFixedModes.size())) - 1);
        const FixedMode &m = kFixedModes[index];
        s.titleLineChars = m.titleLineChars;
        s.pathTextLeft = m.pathTextLeft;
        s.fontNameRight = m.fontNameRight;
        s.leftMargin = m.leftMargin;
        s.digitRowLeft = m.digitRowLeft;
        slotStart += m.slotStartAddition;
        slotStep += m.slotStepAddition;
        s.verticalMargin = kFixedVerticalMargin;
        s.horizontalMargin = kFixedHorizontalMargin;
        s.clientWidth = std::int16_t(m.baseWidth + 2 * kFixedHorizontalMargin);
        s.clientHeight = std::int16_t(m.baseHeight + 2 * kFixedVerticalMargin);
        computeLayout(s);
    } else {
        window.setAutoSize(false);
        if (s.windowMode == s.windowModeCount - 1) {
            window.setFrameless(true);
            s.fullScreenState = 1;
        } else {
            s.fullScreenState = 2;
        }
        // Maximized with caption is the window manager's doing (a maximize, a
        // tiling or a snap): the form keeps the state it was given.
        if (s.fullScreenState == 1)
            window.setWindowState(WindowState::Maximized);
        setFullScreenMargins(s);
        // Maximized with caption: the client area the window manager gave.
        const bool given = s.fullScreenState == 2 && window.formWidth() > 0 && window.formHeight() > 0;
        const int w = given ? window.formWidth() : window.screenWidth();
        const int h = given ? window.formHeight() : window.screenHeight();
        s.clientWidth = std::int16_t(std::clamp(w, 1, int(INT16_MAX)));
        s.clientHeight = std::int16_t(std::clamp(h, 1, int(INT16_MAX)));
        computeLayout(s);
        s.titleLineChars = 60;
        s.pathTextLeft = 50;
        s.fontNameRight = std::int16_t(s.halfWidth - 28);
        s.leftMargin = 8;
        s.digitRowLeft = std::int16_t(s.fontNameRight + 30);
        slotStart += 14;
        slotStep += 7;
    }

    // Nothing is painted here: the caller repaints the whole panel once the
    // section has been laid out for the new size.
    window.setPanelSize(s.clientWidth, s.clientHeight);
    window.setFormSize(window.panelWidth(), window.panelHeight());

    s.pathTextLeft = std::int16_t(s.pathTextLeft + s.glyphWidth);
    s.slotX[0] = std::int16_t(slotStart);
    for (std::size_t i = 1; i < s.slotX.size(); ++i)
        s.slotX[i] = std::int16_t(s.slotX[i - 1] + slotStep);
    s.mainSlotX = std::int16_t(s.digitRowLeft + slotStart - slotStep - 2);
    s.layoutBusy = false;
}

void applyAndReflow(Reader &r)
{
    ReaderState &s = r.s;
    applyWindowMode(r);
    // Without an open section there is nothing to lay out again.
    if (s.pages.shownPageStart < 0)
        return;
    relayoutKeepingPosition(r);
    s.pages.show(s.pages.currentPage);
    // The cells moved: a selection and its card belong to the old page.
    dropSelection(r);
}

void onWindowState(Reader &r, WindowState state)
{
    ReaderState &s = r.s;
    if (s.layoutBusy)
        return;
    switch (state) {
    case WindowState::Maximized:
        s.sizedByWindowManager = false;
        if (s.windowMode >= s.windowModeCount - 1)
            return;
        s.windowMode = s.windowModeCount;
        reflowAndRepaint(r);
        break;
    case WindowState::Normal: {
        if (s.windowMode != s.windowModeCount)
            return;
        s.windowMode = restoredWindowMode(s);
        reflowAndRepaint(r);
        break;
    }
    case WindowState::Minimized: break;
    }
}

void onFormResized(Reader &r, int width, int height)
{
    ReaderState &s = r.s;
    if (s.layoutBusy || width <= 0 || height <= 0)
        return;
    if (width == s.clientWidth && height == s.clientHeight)
        return;
    // Borderless full screen keeps the whole screen; a framed window takes
    // the size given (tiling, snapping, a shortcut, a maximize not yet
    // reported) as a window with caption, left by a restore or the menu.
    if (s.fullScreenState != 1 && s.windowMode != s.windowModeCount) {
        s.windowMode = s.windowModeCount;
        s.sizedByWindowManager = true;
    }
    reflowAndRepaint(r);
}

std::int16_t restoredWindowMode(const ReaderState &s)
{
    if (s.startWindowMode == s.windowModeCount - 1 || s.startWindowMode == s.windowMode)
        return std::int16_t(s.windowModeCount - 2);
    return s.startWindowMode;
}

std::int16_t storedWindowMode(const ReaderState &s)
{
    if (s.windowMode == s.windowModeCount && s.sizedByWindowManager)
        return restoredWindowMode(s);
    return s.windowMode;
}

} // namespace pagora
