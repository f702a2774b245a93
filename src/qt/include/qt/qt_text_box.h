#pragma once
#include "platform/text_box.h"

class QLineEdit;
class QWidget;

namespace pagora {

class QtTextBox final : public TextBox {
public:
    explicit QtTextBox(QWidget *parent) : m_parent(parent) {}
    bool isCreated() const override { return m_edit != nullptr; }
    void create(int x, int y, int width, int height) override;
    void show() override;
    void hide() override;
    void focus() override;
    std::u16string text() const override;
    void setText(std::u16string_view text) override;
    QLineEdit *edit() const { return m_edit; }

private:
    QWidget *m_parent;
    QLineEdit *m_edit = nullptr;
    std::u16string m_pending; // text set before the box was created
};

} // namespace pagora
