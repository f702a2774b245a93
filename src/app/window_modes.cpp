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
    std::int16_t pathTextLeft; // before adding the interface cell
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
    switch (s.window.windowModeCount) {
    case 10: s.window.verticalMargin = 32, s.window.horizontalMargin = 40; break;
    case 6: s.window.verticalMargin = 26, s.window.horizontalMargin = 32; break;
    default: s.window.verticalMargin = 20, s.window.horizontalMargin = 24; break;
    }
}

// The frame and caption lie outside the form's size here: the form's size is
// the client size.
void fitFormToClient(Reader &r)
{
    r.p.window->setFormSize(r.s.window.clientWidth, r.s.window.clientHeight);
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
        s.window.windowModeCount = 4, defaultMode = 1;
    else if (height <= 600)
        s.window.windowModeCount = 6, defaultMode = 2;
    else
        s.window.windowModeCount = 10, defaultMode = 4;
    // A negative stored mode is as good as none.
    if (s.window.windowMode <= 0)
        s.window.windowMode = defaultMode;
    // A stored maximized mode starts as borderless full screen.
    if (s.window.windowMode >= s.window.windowModeCount)
        s.window.windowMode = std::int16_t(s.window.windowModeCount - 1);
}

void computeLayout(ReaderState &s)
{
    const int w = s.window.clientWidth;
    const int h = s.window.clientHeight;
    const int gw = kInterfaceCell;
    const int gh = kInterfaceCell;
    s.layout.leftThird = std::int16_t(w / 3 + 1);
    s.layout.rightThird = std::int16_t(w - s.layout.leftThird);
    s.layout.sixthWidth = std::int16_t(s.layout.leftThird / 2);
    s.layout.rightSixth = std::int16_t(s.layout.rightThird + s.layout.sixthWidth);
    s.layout.sixthInset = std::int16_t((s.layout.sixthWidth - gw) / 2 + 1);
    s.layout.columnWidth = std::int16_t(w / 16);
    s.layout.columnInset = std::int16_t((s.layout.columnWidth - gw) / 2);
    s.layout.barHeight = std::int16_t(gh + (s.window.windowMode == 1 ? 14 : 18));
    s.layout.menuBandTop = std::int16_t(h / 3);
    s.layout.menuBandBottom = std::int16_t(h - h / 3 - s.layout.barHeight);
    s.layout.halfHeight = std::int16_t(h / 2);
    s.layout.halfWidth = std::int16_t(w / 2);
    s.layout.topBarHeight = 26;
    s.layout.bottomBarTop = std::int16_t(h - s.layout.barHeight);
    s.layout.buttonRowTop = std::int16_t(s.layout.bottomBarTop - s.layout.barHeight);
    s.layout.thirdRowTop = std::int16_t(s.layout.buttonRowTop - s.layout.barHeight);
    s.layout.listTop = std::int16_t(s.layout.topBarHeight + s.layout.barHeight);
    if (s.window.windowMode <= 2) {
        s.layout.band2Top = std::int16_t(s.layout.listTop + (s.layout.buttonRowTop - s.layout.listTop) / 2);
        s.layout.band3Top = s.layout.buttonRowTop;
    } else {
        const int t = (s.layout.buttonRowTop - s.layout.listTop) / 3;
        s.layout.band2Top = std::int16_t(s.layout.listTop + t);
        s.layout.band3Top = std::int16_t(s.layout.listTop + 2 * t);
    }
    s.layout.pageBandLabelTop =
        std::int16_t(s.layout.menuBandBottom + (s.layout.thirdRowTop - s.layout.menuBandBottom - gh) / 2);
    s.layout.barTextInset = std::int16_t((s.layout.barHeight - gh) / 2);
    s.layout.menuTitleTop =
        std::int16_t(s.layout.topBarHeight + (s.layout.menuBandTop - s.layout.topBarHeight - gh) / 2);
    const int buttonColumns = s.window.windowMode == 1 ? 9 : s.window.windowMode == 2 ? 10 : 11;
    s.layout.panelButtonsLeft = std::int16_t(buttonColumns * s.layout.columnWidth);
}

void applyWindowMode(Reader &r)
{
    ReaderState &s = r.s;
    WindowHost &window = *r.p.window;
    s.window.layoutBusy = true;
    // No mode can be applied before the modes for this screen are known.
    if (s.window.windowModeCount < 4)
        offerWindowModes(r);
    if (s.window.windowMode > s.window.windowModeCount)
        s.window.windowMode = s.window.windowModeCount;
    if (s.window.windowMode < 1)
        s.window.windowMode = 1;

    const int perShelfPage = s.window.windowMode > 2 ? 48 : 32;
    // selectedBook -1 gives 0: the division drops the remainder towards zero.
    s.shelf.shelfPageStart = perShelfPage * (s.shelf.selectedBook / perShelfPage);

    int slotStart = 2 * kInterfaceCell;
    int slotStep = kInterfaceCell;
    s.layout.digitRowLeft = std::int16_t(2 * kInterfaceCell);

    if (s.window.windowMode < s.window.windowModeCount - 1) {
        if (s.window.fullScreenState != 0) {
            window.setAutoSize(true);
            if (s.window.fullScreenState == 1)
                window.setFrameless(false);
            window.setWindowState(WindowState::Normal);
        }
        s.window.fullScreenState = 0;
        // Modes beyond the table cannot occur with 10 modes; clamp for safety.
        const std::size_t index = std::size_t(std::min<int>(s.window.windowMode, int(kFixedModes.size())) - 1);
        const FixedMode &m = kFixedModes[index];
        s.layout.titleLineChars = m.titleLineChars;
        s.layout.pathTextLeft = m.pathTextLeft;
        s.layout.fontNameRight = m.fontNameRight;
        s.layout.leftMargin = m.leftMargin;
        s.layout.digitRowLeft = m.digitRowLeft;
        slotStart += m.slotStartAddition;
        slotStep += m.slotStepAddition;
        s.window.verticalMargin = kFixedVerticalMargin;
        s.window.horizontalMargin = kFixedHorizontalMargin;
        s.window.clientWidth = std::int16_t(m.baseWidth + 2 * kFixedHorizontalMargin);
        s.window.clientHeight = std::int16_t(m.baseHeight + 2 * kFixedVerticalMargin);
        computeLayout(s);
    } else {
        window.setAutoSize(false);
        if (s.window.windowMode == s.window.windowModeCount - 1) {
            window.setFrameless(true);
            s.window.fullScreenState = 1;
        } else {
            s.window.fullScreenState = 2;
        }
        // Maximized with caption is the window manager's doing (a maximize, a
        // tiling or a snap): the form keeps the state it was given.
        if (s.window.fullScreenState == 1)
            window.setWindowState(WindowState::Maximized);
        setFullScreenMargins(s);
        // Maximized with caption: the client area the window manager gave.
        const bool given = s.window.fullScreenState == 2 && window.formWidth() > 0 && window.formHeight() > 0;
        const int w = given ? window.formWidth() : window.screenWidth();
        const int h = given ? window.formHeight() : window.screenHeight();
        s.window.clientWidth = std::int16_t(std::clamp(w, 1, int(INT16_MAX)));
        s.window.clientHeight = std::int16_t(std::clamp(h, 1, int(INT16_MAX)));
        computeLayout(s);
        s.layout.titleLineChars = 60;
        s.layout.pathTextLeft = 50;
        s.layout.fontNameRight = std::int16_t(s.layout.halfWidth - 28);
        s.layout.leftMargin = 8;
        s.layout.digitRowLeft = std::int16_t(s.layout.fontNameRight + 30);
        slotStart += 14;
        slotStep += 7;
    }

    // Nothing is painted here: the caller repaints the whole panel once the
    // section has been laid out for the new size.
    window.setPanelSize(s.window.clientWidth, s.window.clientHeight);
    window.setFormSize(window.panelWidth(), window.panelHeight());

    s.layout.pathTextLeft = std::int16_t(s.layout.pathTextLeft + kInterfaceCell);
    s.layout.slotX[0] = std::int16_t(slotStart);
    for (std::size_t i = 1; i < s.layout.slotX.size(); ++i)
        s.layout.slotX[i] = std::int16_t(s.layout.slotX[i - 1] + slotStep);
    s.layout.mainSlotX = std::int16_t(s.layout.digitRowLeft + slotStart - slotStep - 2);
    s.window.layoutBusy = false;
}

void applyAndReflow(Reader &r)
{
    ReaderState &s = r.s;
    applyWindowMode(r);
    // Without an open section there is nothing to lay out again.
    if (s.book.pages.shownPageStart() < 0)
        return;
    relayoutKeepingPosition(r);
    s.book.pages.show(s.book.pages.currentPage());
    // The cells moved: a selection and its card belong to the old page.
    dropSelection(r);
}

void onWindowState(Reader &r, WindowState state)
{
    ReaderState &s = r.s;
    if (s.window.layoutBusy)
        return;
    switch (state) {
    case WindowState::Maximized:
        s.window.sizedByWindowManager = false;
        if (s.window.windowMode >= s.window.windowModeCount - 1)
            return;
        s.window.windowMode = s.window.windowModeCount;
        reflowAndRepaint(r);
        break;
    case WindowState::Normal: {
        if (s.window.windowMode != s.window.windowModeCount)
            return;
        s.window.windowMode = restoredWindowMode(s);
        reflowAndRepaint(r);
        break;
    }
    case WindowState::Minimized: break;
    }
}

void onFormResized(Reader &r, int width, int height)
{
    ReaderState &s = r.s;
    if (s.window.layoutBusy || width <= 0 || height <= 0)
        return;
    if (width == s.window.clientWidth && height == s.window.clientHeight)
        return;
    // Borderless full screen keeps the whole screen; a framed window takes
    // the size given (tiling, snapping, a shortcut, a maximize not yet
    // reported) as a window with caption, left by a restore or the menu.
    if (s.window.fullScreenState != 1 && s.window.windowMode != s.window.windowModeCount) {
        s.window.windowMode = s.window.windowModeCount;
        s.window.sizedByWindowManager = true;
    }
    reflowAndRepaint(r);
}

std::int16_t restoredWindowMode(const ReaderState &s)
{
    if (s.window.startWindowMode == s.window.windowModeCount - 1 || s.window.startWindowMode == s.window.windowMode)
        return std::int16_t(s.window.windowModeCount - 2);
    return s.window.startWindowMode;
}

std::int16_t storedWindowMode(const ReaderState &s)
{
    if (s.window.windowMode == s.window.windowModeCount && s.window.sizedByWindowManager)
        return restoredWindowMode(s);
    return s.window.windowMode;
}

} // namespace pagora
