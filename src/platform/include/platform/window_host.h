#pragma once
#include <string_view>

namespace pagora {

enum class WindowState { Normal, Minimized, Maximized };

// The main form as the reader sees it.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual void setCaption(std::u16string_view caption) = 0;
    // With automatic sizing on, the form fits its client area to the panel.
    virtual void setAutoSize(bool on) = 0;
    // Borderless: caption, system menu and frame removed.
    virtual void setFrameless(bool on) = 0;
    virtual void setWindowState(WindowState state) = 0;
    virtual void setPanelSize(int width, int height) = 0;
    virtual int panelWidth() const = 0;
    virtual int panelHeight() const = 0;
    virtual void setFormSize(int width, int height) = 0;
    // The form's client area as the window manager last gave it.
    virtual int formWidth() const = 0;
    virtual int formHeight() const = 0;
    virtual int screenWidth() const = 0;
    virtual int screenHeight() const = 0;
    virtual void focusPanel() = 0;
    // Asks the form to close; the close handler runs as for the close box.
    virtual void close() = 0;
};

} // namespace pagora
