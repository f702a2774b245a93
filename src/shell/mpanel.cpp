#include "shell/mpanel.h"

#include "app/book_place.h"
#include "app/input_dispatch.h"
#include "app/install_mode.h"
#include "app/intake.h"
#include "app/passage_mark_commands.h"
#include "app/read_aloud.h"
#include "app/reader.h"
#include "app/selection_handlers.h"
#include "app/show_screen.h"
#include "app/startup.h"
#include "app/work_ahead.h"
#include "notes/notes_database.h"
#include "screens/paint_dispatch.h"
#include "shell/panel_accessibility.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

#include <optional>

namespace pagora {

MPanel::MPanel(QWidget *form, WindowHost *window, const std::string &exeFolder)
    : QWidget(form), m_surface(QtSurface::Target::Widget), m_dialogs(this), m_searchBox(this), m_importer(this)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    move(0, 0);
    m_reader.services.surface = &m_surface;
    m_reader.services.glyphWarmer = &m_surface.glyphWarmer();
    m_reader.services.dialogs = &m_dialogs;
    m_reader.services.window = window;
    m_reader.services.files = &systemFiles();
    m_reader.services.searchBox = &m_searchBox;
    m_reader.services.importer = &m_importer;
    m_reader.services.desktop = &m_desktop;
    m_reader.services.speech = &m_speech;
    m_speech.finished = [this](bool spoken) { utteranceFinished(m_reader, spoken); };
    m_surface.changedCallback = [this](const QRect &r) { update(r); };
    FolderEnvironment env;
    env.exeFolder = exeFolder;
    env.xdgConfigHome = qEnvironmentVariable("XDG_CONFIG_HOME").toStdString();
    env.home = qEnvironmentVariable("HOME").toStdString();
    env.documentsFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    chooseFolders(m_reader.state, systemFiles(), env);
    constructPanel(m_reader, exeFolder);
    // Only a path until the first use.
    m_notes = std::make_unique<NotesDatabase>(m_reader.state.folders.settingsFolder + kNotesFileName);
    m_reader.services.notes = m_notes.get();
    fitSurface();
    installPanelAccessibility();
    m_access = std::make_unique<AccessibleParts>(this);
}

MPanel::~MPanel()
{
    m_access.reset();
    destroyPanel(m_reader);
}

void MPanel::setStarted()
{
    m_started = true;
    repaintWhole();
    announceChanges(*m_access);
}

void MPanel::fitSurface()
{
    m_surface.background = panelBackground(m_reader.state);
    m_surface.resize(width(), height(), devicePixelRatioF());
}

void MPanel::repaintWhole()
{
    repaintShownRect(m_reader, 0, 0, width(), height());
    update();
}

// Every pixel is painted here, from the state, into the window's own
// backing store: the panel keeps no buffer of its own.
void MPanel::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    if (!m_started) {
        p.fillRect(event->rect(), m_surface.toQColor(m_surface.background));
        return;
    }
    // A few rectangles are painted one by one; a scatter of them as one.
    const QRegion &region = event->region();
    const auto paint = [&](const QRect &r) {
        m_surface.paintOn(p, r, [&] { repaintRect(m_reader, r.left(), r.top(), r.right() + 1, r.bottom() + 1); });
    };
    if (region.rectCount() <= 4) {
        for (const QRect &r : region)
            paint(r);
    } else {
        paint(region.boundingRect());
    }
    // The marks of a book reopened at start-up come once its page is shown
    // (after the benchmark's report, which must not wait for them) and its
    // fingerprint is known.
    if (m_started && !m_marksAsked) {
        m_marksAsked = true;
        QTimer::singleShot(0, this, [this] { marksWhenFingerprinted(); });
    }
    // The page shown may belong to a section laid out only as far as itself,
    // whatever showed it (input, a file brought in, the speech going on).
    workAheadWhenIdle();
}

// Once the events waiting have been handled, one slice at a time.
void MPanel::workAheadWhenIdle()
{
    if (m_workAheadPending || !m_marksAsked)
        return;
    m_workAheadPending = true;
    QTimer::singleShot(0, this, [this] {
        m_workAheadPending = false;
        if (workAhead(m_reader))
            workAheadWhenIdle();
    });
}

// A section per turn of the event loop: the reader answers in between.
void MPanel::marksWhenFingerprinted()
{
    if (workOnFingerprint(m_reader)) {
        QTimer::singleShot(0, this, [this] { marksWhenFingerprinted(); });
        return;
    }
    if (loadMarksAfterStart(m_reader))
        repaintWhole();
    announceChanges(*m_access);
}

void MPanel::resizeEvent(QResizeEvent *)
{
    fitSurface();
    // While a window mode is applied the section is not yet laid out for the
    // new size; the mode change repaints the whole panel once it is.
    if (m_started && m_reader.state.window.layoutBusy == 0)
        repaintWhole();
}

bool MPanel::event(QEvent *event)
{
    // A move to a screen of another density needs glyphs drawn at it.
    if (event->type() == QEvent::ScreenChangeInternal) {
        if (!qFuzzyCompare(m_surface.devicePixelRatio(), devicePixelRatioF())) {
            fitSurface();
            if (m_started)
                repaintWhole();
        }
    }
    const bool handled = QWidget::event(event);
    // What input changed is told to a listening screen reader.
    if (m_access)
        announceChanges(*m_access);
    // What the reader did may have shown another page.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel: workAheadWhenIdle(); break;
    default: break;
    }
    return handled;
}

namespace {

PointerButton buttonOf(const QMouseEvent *event)
{
    switch (event->button()) {
    case Qt::LeftButton: return PointerButton::Left;
    case Qt::RightButton: return PointerButton::Right;
    default: return PointerButton::Other;
    }
}

} // namespace

void MPanel::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (selectionPressed(m_reader, pos.x(), pos.y(), buttonOf(event), event->modifiers() & Qt::ShiftModifier))
        return;
    onPointerPressed(m_reader, pos.x(), pos.y(), event->button() == Qt::LeftButton);
}

void MPanel::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (selectionMoved(m_reader, pos.x(), pos.y()))
        return;
    onPointerMoved(m_reader, pos.x(), pos.y());
}

void MPanel::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (selectionReleased(m_reader, pos.x(), pos.y(), buttonOf(event)))
        return;
    onPointerReleased(m_reader, pos.x(), pos.y(), event->button() == Qt::LeftButton);
}

void MPanel::wheelEvent(QWheelEvent *event)
{
    const int dy = event->angleDelta().y();
    if (dy != 0)
        onWheel(m_reader, dy < 0);
    event->accept();
}

namespace {

// The keys acted on when pressed; auto-repeat only steps through matches.
std::optional<Command> commandOf(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool repeat = event->isAutoRepeat();
    switch (event->key()) {
    case Qt::Key_Escape: return repeat ? std::nullopt : std::optional(Command::Back);
    case Qt::Key_F11: return repeat ? std::nullopt : std::optional(Command::FullScreen);
    case Qt::Key_F3:
        if (mods == Qt::ShiftModifier)
            return Command::FindPrevious;
        return mods == Qt::NoModifier ? std::optional(Command::FindNext) : std::nullopt;
    case Qt::Key_Return:
    case Qt::Key_Enter: return mods == Qt::NoModifier ? std::optional(Command::Confirm) : std::nullopt;
    case Qt::Key_Home: return mods == Qt::AltModifier && !repeat ? std::optional(Command::Shelf) : std::nullopt;
    default: break;
    }
    if (event->matches(QKeySequence::Find) && !repeat)
        return Command::Find;
    return std::nullopt;
}

} // namespace

void MPanel::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Open) && !event->isAutoRepeat()) {
        if (m_bringing)
            return;
        std::vector<std::string> paths = chooseFilesToTakeIn(m_reader);
        if (!paths.empty())
            bringFiles(paths, false);
        return;
    }
    const bool menuKey =
        event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && (event->modifiers() & Qt::ShiftModifier));
    if ((event->matches(QKeySequence::Copy) && selectionKey(m_reader, SelectionKey::Copy)) ||
        (menuKey && selectionKey(m_reader, SelectionKey::Menu)))
        return;
    if (const std::optional<Command> command = commandOf(event); command && onCommand(m_reader, *command))
        return;
    QWidget::keyPressEvent(event);
}

void MPanel::keyReleaseEvent(QKeyEvent *event)
{
    // One action per physical press.
    if (event->isAutoRepeat())
        return;
    Key key = Key::Other;
    switch (event->key()) {
    case Qt::Key_PageDown: key = Key::PageDown; break;
    case Qt::Key_PageUp: key = Key::PageUp; break;
    case Qt::Key_Space: key = Key::Space; break;
    case Qt::Key_Backspace: key = Key::Backspace; break;
    case Qt::Key_Left: key = Key::Left; break;
    case Qt::Key_Right: key = Key::Right; break;
    case Qt::Key_Up: key = Key::Up; break;
    case Qt::Key_Down: key = Key::Down; break;
    default: break;
    }
    onKeyReleased(m_reader, key);
}

std::vector<std::string> MPanel::shelfFiles(const QMimeData *data)
{
    std::vector<std::string> paths;
    if (!data || !data->hasUrls())
        return paths;
    bool any = false;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        paths.push_back(url.toLocalFile().toStdString());
        any = any || canTakeIn(m_reader, paths.back());
    }
    // Only a drop holding something the shelf can take is offered.
    if (!any)
        paths.clear();
    return paths;
}

void MPanel::dragEnterEvent(QDragEnterEvent *event)
{
    if (!m_bringing && acceptsDrops(m_reader.state) && !shelfFiles(event->mimeData()).empty())
        event->acceptProposedAction();
}

void MPanel::dragMoveEvent(QDragMoveEvent *event)
{
    if (!m_bringing && acceptsDrops(m_reader.state))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MPanel::dropEvent(QDropEvent *event)
{
    std::vector<std::string> paths = shelfFiles(event->mimeData());
    if (paths.empty() || !acceptsDrops(m_reader.state))
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // After the drop has been answered: the source is not kept waiting
    // through questions and imports.
    QTimer::singleShot(0, this, [this, paths = std::move(paths)] { bringFiles(paths, false); });
}

void MPanel::bringFiles(const std::vector<std::string> &paths, bool open)
{
    m_batches.push_back({paths, open});
    if (m_bringing)
        return;
    m_bringing = true;
    m_importer.reset();
    while (!m_batches.empty()) {
        const Batch batch = std::move(m_batches.front());
        m_batches.pop_front();
        if (batch.open)
            openFiles(m_reader, batch.paths);
        else
            dropFiles(m_reader, batch.paths);
    }
    m_bringing = false;
    announceChanges(*m_access);
    if (m_closeWhenDone)
        window()->close();
}

void MPanel::closeWhenDone()
{
    m_closeWhenDone = true;
    m_batches.clear();
    m_importer.cancel();
}

} // namespace pagora
