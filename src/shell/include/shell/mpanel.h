#pragma once
#include "app/reader.h"
#include "qt/qt_desktop.h"
#include "qt/qt_dialogs.h"
#include "qt/qt_importer.h"
#include "qt/qt_speech.h"
#include "qt/qt_surface.h"
#include "qt/qt_text_box.h"

#include <QWidget>

#include <deque>
#include <memory>
#include <string>
#include <vector>

class QMimeData;

namespace pagora {

class NotesDatabase;
struct AccessibleParts;

// The reader panel: fills the form, paints every screen from the reader state
// and hands every pointer, wheel and key event to the reader's operations.
class MPanel final : public QWidget {
    Q_OBJECT
public:
    MPanel(QWidget *form, WindowHost *window, const std::string &exeFolder);
    ~MPanel() override;

    Reader &reader() { return m_reader; }
    QtSurface &surface() { return m_surface; }
    // The handles of the panel's accessible tree.
    AccessibleParts &accessibleParts() { return *m_access; }
    // Called once start-up has run: from now on resizes repaint the panel.
    void setStarted();
    bool isStarted() const { return m_started; }
    // Clears and paints the whole panel from the reader state.
    void repaintWhole();
    // Files dropped on the shelf (open false) or given to the program (open
    // true). Files that arrive while others are being taken in wait their turn.
    void bringFiles(const std::vector<std::string> &paths, bool open);
    bool isBringingFiles() const { return m_bringing; }
    // The window wants to close: stop the running import, drop the waiting
    // files and close once the running batch has ended.
    void closeWhenDone();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void fitSurface();
    void marksWhenFingerprinted();
    void workAheadWhenIdle();
    std::vector<std::string> shelfFiles(const QMimeData *data);

    Reader m_reader;
    QtSurface m_surface;
    QtDialogs m_dialogs;
    QtTextBox m_searchBox;
    QtImporter m_importer;
    QtDesktop m_desktop;
    QtSpeech m_speech;
    std::unique_ptr<NotesDatabase> m_notes;
    std::unique_ptr<AccessibleParts> m_access;
    bool m_started = false;
    bool m_marksAsked = false;
    bool m_workAheadPending = false;
    struct Batch {
        std::vector<std::string> paths;
        bool open = false;
    };
    std::deque<Batch> m_batches;
    bool m_bringing = false;
    bool m_closeWhenDone = false;
};

} // namespace pagora
