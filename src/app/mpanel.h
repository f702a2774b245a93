#pragma once
#include "app/reader.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_surface.h"
#include "platform/qt/qt_text_box.h"

#include <QWidget>

// The reader panel: fills the form, draws every screen from its back buffer
// and hands every pointer, wheel and key event to the reader's operations.
class MPanel final : public QWidget {
    Q_OBJECT
public:
    MPanel(QWidget *form, WindowHost *window, const std::string &exeFolder);
    ~MPanel() override;

    Reader &reader() { return m_reader; }
    QtSurface &surface() { return m_surface; }
    // Called once start-up has run: from now on resizes repaint the panel.
    void setStarted();
    bool isStarted() const { return m_started; }
    // Clears and paints the whole panel from the reader state.
    void repaintWhole();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    void allocateBuffer();

    Reader m_reader;
    QtSurface m_surface;
    QtDialogs m_dialogs;
    QtTextBox m_searchBox;
    bool m_started = false;
};
