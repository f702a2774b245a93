#pragma once
#include <string>
#include <string_view>

namespace pagora {

// The one-line child edit box of the panel (the search box).
class TextBox {
public:
    virtual ~TextBox() = default;
    virtual bool isCreated() const = 0;
    virtual void create(int x, int y, int width, int height) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void focus() = 0;
    virtual std::u16string text() const = 0;
    // As if typed: the box holds text from now on, created or not.
    virtual void setText(std::u16string_view) {}
};

} // namespace pagora
