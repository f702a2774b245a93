#pragma once
#include "platform/window_host.h"

#include <QRect>
#include <QStringList>
#include <QWidget>
#include <string>

namespace pagora {

class MPanel;

// The main form: one child, the reader panel, sized around it.
class THome final : public QWidget, public WindowHost {
    Q_OBJECT
public:
    explicit THome(const std::string &exeFolder);
    ~THome() override;

    MPanel *panel() const { return m_panel; }
    // Files given to the program, at start or by a later start: brought
    // onto the shelves and the last one opened.
    void openFiles(const QStringList &files);

    void setCaption(std::u16string_view caption) override;
    void setAutoSize(bool on) override;
    void setFrameless(bool on) override;
    void setWindowState(WindowState state) override;
    void setPanelSize(int width, int height) override;
    int panelWidth() const override;
    int panelHeight() const override;
    void setFormSize(int width, int height) override;
    int formWidth() const override;
    int formHeight() const override;
    int screenWidth() const override;
    int screenHeight() const override;
    void focusPanel() override;
    void close() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeFramed(int width, int height);

    MPanel *m_panel = nullptr;
    QRect m_framedFrame, m_framedClient; // before the frame was removed
    bool m_placeFramed = false;
    bool m_autoSize = true;
    bool m_closed = false;
};

} // namespace pagora
