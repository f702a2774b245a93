#include "app/window_modes.h"

#include "app/reader.h"
#include "app/selection_handlers.h"
#include "app/show_screen.h"
#include "render/layout_walk.h"
#include "render/primitives.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace pagora {

namespace {

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
    r.services.window->setFormSize(r.state.window.clientWidth, r.state.window.clientHeight);
}

// Lays the open section out for the new size, then paints the whole panel
// once: only then does the screen show what the state holds.
void reflowAndRepaint(Reader &r)
{
    applyAndReflow(r);
    fitFormToClient(r);
    repaintShown(r);
}

} // namespace

void offerWindowModes(Reader &r)
{
    ReaderState &s = r.state;
    const int height = r.services.window->screenHeight();
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

void applyWindowMode(Reader &r)
{
    ReaderState &s = r.state;
    WindowHost &window = *r.services.window;
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
    s.shelf.shelfPageStart = perShelfPage * (s.shelf.selectedBook() / perShelfPage);

    const bool fillsScreen = s.window.windowMode >= s.window.windowModeCount - 1;
    if (!fillsScreen) {
        if (s.window.fullScreenState != FullScreenState::Framed) {
            window.setAutoSize(true);
            if (s.window.fullScreenState == FullScreenState::Borderless)
                window.setFrameless(false);
            window.setWindowState(WindowState::Normal);
        }
        s.window.fullScreenState = FullScreenState::Framed;
        const PageArea area = fixedModePageArea(s.window.windowMode);
        s.window.verticalMargin = kFixedVerticalMargin;
        s.window.horizontalMargin = kFixedHorizontalMargin;
        s.window.clientWidth = std::int16_t(area.width + 2 * kFixedHorizontalMargin);
        s.window.clientHeight = std::int16_t(area.height + 2 * kFixedVerticalMargin);
    } else {
        window.setAutoSize(false);
        if (s.window.windowMode == s.window.windowModeCount - 1) {
            window.setFrameless(true);
            s.window.fullScreenState = FullScreenState::Borderless;
        } else {
            s.window.fullScreenState = FullScreenState::MaximizedWithCaption;
        }
        // Maximized with caption is the window manager's doing (a maximize, a
        // tiling or a snap): the form keeps the state it was given.
        if (s.window.fullScreenState == FullScreenState::Borderless)
            window.setWindowState(WindowState::Maximized);
        setFullScreenMargins(s);
        // Maximized with caption: the client area the window manager gave.
        const bool given = s.window.fullScreenState == FullScreenState::MaximizedWithCaption &&
                           window.formWidth() > 0 && window.formHeight() > 0;
        const int w = given ? window.formWidth() : window.screenWidth();
        const int h = given ? window.formHeight() : window.screenHeight();
        s.window.clientWidth = std::int16_t(std::clamp(w, 1, int(INT16_MAX)));
        s.window.clientHeight = std::int16_t(std::clamp(h, 1, int(INT16_MAX)));
    }
    s.layout = computeLayout(s.window.windowMode, fillsScreen, Cell{kInterfaceCell, kInterfaceCell},
                             s.window.clientWidth, s.window.clientHeight);

    // Nothing is painted here: the caller repaints the whole panel once the
    // section has been laid out for the new size.
    window.setPanelSize(s.window.clientWidth, s.window.clientHeight);
    window.setFormSize(window.panelWidth(), window.panelHeight());
    s.window.layoutBusy = false;
}

void applyAndReflow(Reader &r)
{
    ReaderState &s = r.state;
    applyWindowMode(r);
    // Without an open section there is nothing to lay out again.
    if (s.book.pages.shownPageStart() < 0)
        return;
    relayoutKeepingPosition(*r.services.surface, r.fonts, s.book, s.look, computeTextArea(s));
    s.book.pages.show(s.book.pages.currentPage());
    // The cells moved: a selection and its card belong to the old page.
    dropSelection(r);
}

void onWindowState(Reader &r, WindowState state)
{
    ReaderState &s = r.state;
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
    ReaderState &s = r.state;
    if (s.window.layoutBusy || width <= 0 || height <= 0)
        return;
    if (width == s.window.clientWidth && height == s.window.clientHeight)
        return;
    // Borderless full screen keeps the whole screen; a framed window takes
    // the size given (tiling, snapping, a shortcut, a maximize not yet
    // reported) as a window with caption, left by a restore or the menu.
    if (s.window.fullScreenState != FullScreenState::Borderless && s.window.windowMode != s.window.windowModeCount) {
        s.window.windowMode = s.window.windowModeCount;
        s.window.sizedByWindowManager = true;
    }
    reflowAndRepaint(r);
}

void toggleFullScreen(Reader &r)
{
    ReaderState &s = r.state;
    if (s.window.windowModeCount < 4)
        return; // the modes of this screen are not known yet
    const std::int16_t fullScreen = std::int16_t(s.window.windowModeCount - 1);
    if (s.window.fullScreenState == FullScreenState::Borderless) {
        s.window.windowMode = restoredWindowMode(s);
    } else {
        if (s.window.fullScreenState == FullScreenState::MaximizedWithCaption) {
            // As the menu's cell does: through the largest framed size, so
            // that the window leaves the maximized state before losing its frame.
            s.window.windowMode = std::int16_t(fullScreen - 1);
            applyWindowMode(r);
        }
        s.window.windowMode = fullScreen;
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
