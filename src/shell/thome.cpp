#include "shell/thome.h"

#include "app/startup.h"
#include "app/window_modes.h"
#include "qt/qt_dialogs.h"
#include "shell/mpanel.h"
#include "state/interface_texts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace pagora {

namespace {

QString toQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

QScreen *screenOf(const QWidget *w)
{
    if (QScreen *s = w->screen())
        return s;
    return QGuiApplication::primaryScreen();
}

} // namespace

THome::THome(const std::string &exeFolder)
{
    // Before any widget of the reader exists, so that none needs retranslating.
    QtDialogs::loadQtTranslations();
    setWindowTitle(toQString(texts::caption));
    move(86, 0);
    resize(362, 425);
    m_panel = new MPanel(this, this, exeFolder);
    startUp(m_panel->reader());
    m_panel->setStarted();
    m_panel->setFocus();
}

THome::~THome() = default;

void THome::setCaption(std::u16string_view caption)
{
    setWindowTitle(toQString(caption));
}

// No size hints: a form whose minimum equals its maximum cannot be maximized
// under most window managers. A fixed mode keeps its size by resizing the
// form to its panel.
void THome::setAutoSize(bool on)
{
    m_autoSize = on;
}

void THome::setFrameless(bool on)
{
    const bool visible = isVisible();
    const bool was = windowFlags().testFlag(Qt::FramelessWindowHint);
    // Where the framed window stood, to stand there again afterwards.
    if (on && !was && visible) {
        m_framedFrame = frameGeometry();
        m_framedClient = geometry();
    }
    setWindowFlag(Qt::FramelessWindowHint, on);
    if (visible)
        show();
    m_placeFramed = !on && was;
}

// Back from full screen the client area would stay at the screen's corner,
// its frame and caption off the screen: the frame goes back where it was,
// moved as far as needed to lie on the screen.
void THome::placeFramed(int width, int height)
{
    m_placeFramed = false;
    QScreen *screen = screenOf(this);
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const bool known = m_framedFrame.isValid();
    const QMargins frame =
        known
            ? QMargins(m_framedClient.left() - m_framedFrame.left(), m_framedClient.top() - m_framedFrame.top(),
                       m_framedFrame.right() - m_framedClient.right(), m_framedFrame.bottom() - m_framedClient.bottom())
            : QMargins();
    const QSize outer(width + frame.left() + frame.right(), height + frame.top() + frame.bottom());
    QPoint at = known ? m_framedFrame.topLeft() : area.center() - QPoint(outer.width() / 2, outer.height() / 2);
    at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - outer.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - outer.height())));
    setGeometry(QRect(at + QPoint(frame.left(), frame.top()), QSize(width, height)));
}

void THome::setWindowState(WindowState state)
{
    Qt::WindowStates s = Qt::WindowNoState;
    if (state == WindowState::Maximized)
        s = windowFlags().testFlag(Qt::FramelessWindowHint) ? Qt::WindowFullScreen : Qt::WindowMaximized;
    else if (state == WindowState::Minimized)
        s = Qt::WindowMinimized;
    if (s == Qt::WindowFullScreen) {
        if (QScreen *screen = screenOf(this))
            setGeometry(screen->geometry());
    }
    QWidget::setWindowState(s);
    if (isVisible())
        show();
}

void THome::setPanelSize(int width, int height)
{
    m_panel->setFixedSize(width, height);
    if (m_autoSize && !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        resize(width, height);
}

int THome::panelWidth() const
{
    return m_panel->width();
}
int THome::panelHeight() const
{
    return m_panel->height();
}

void THome::setFormSize(int width, int height)
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    if (m_placeFramed)
        placeFramed(width, height);
    else
        resize(width, height);
}

int THome::formWidth() const
{
    return width();
}
int THome::formHeight() const
{
    return height();
}

int THome::screenWidth() const
{
    QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->size().width() : 1024;
}

int THome::screenHeight() const
{
    QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->size().height() : 768;
}

void THome::focusPanel()
{
    if (m_panel && !m_panel->hasFocus())
        m_panel->setFocus(Qt::OtherFocusReason);
}

void THome::close()
{
    QWidget::close();
}

void THome::openFiles(const QStringList &files)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    // A dialog of the reader is open in the middle of an operation; the
    // files wait until it is answered.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(250, this, [this, files] { openFiles(files); });
        return;
    }
    std::vector<std::string> paths;
    for (const QString &f : files)
        paths.push_back(f.toStdString());
    if (!paths.empty())
        m_panel->bringFiles(paths, true);
}

void THome::closeEvent(QCloseEvent *event)
{
    // An import is running in a nested event loop: close once it has stopped.
    if (m_panel->isBringingFiles()) {
        m_panel->closeWhenDone();
        event->ignore();
        return;
    }
    if (!m_closed) {
        m_closed = true;
        shutDown(m_panel->reader());
    }
    event->accept();
}

void THome::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && m_panel) {
        const Qt::WindowStates s = windowState();
        WindowState state = WindowState::Normal;
        if (s & Qt::WindowMinimized)
            state = WindowState::Minimized;
        else if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
            state = WindowState::Maximized;
        onWindowState(m_panel->reader(), state);
    }
    QWidget::changeEvent(event);
}

void THome::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_panel && m_panel->isStarted())
        onFormResized(m_panel->reader(), width(), height());
}

} // namespace pagora
