#include "qt/qt_text_box.h"

#include <QLineEdit>

namespace pagora {

void QtTextBox::create(int x, int y, int width, int height)
{
    if (m_edit)
        return;
    m_edit = new QLineEdit(m_parent);
    m_edit->setObjectName(QStringLiteral("searchBox"));
    m_edit->setGeometry(x, y, width, height);
    m_edit->setText(QString::fromStdU16String(m_pending));
    m_edit->show();
}

void QtTextBox::show()
{
    if (m_edit)
        m_edit->show();
}

void QtTextBox::hide()
{
    if (m_edit)
        m_edit->hide();
}

void QtTextBox::focus()
{
    if (m_edit)
        m_edit->setFocus(Qt::OtherFocusReason);
}

std::u16string QtTextBox::text() const
{
    if (!m_edit)
        return m_pending;
    return m_edit->text().toStdU16String();
}

} // namespace pagora

namespace pagora {

void QtTextBox::setText(std::u16string_view text)
{
    m_pending = std::u16string(text);
    if (m_edit)
        m_edit->setText(QString::fromStdU16String(m_pending));
}

} // namespace pagora
