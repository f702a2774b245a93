#include "platform/qt/qt_surface.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cstdlib>

namespace {

QString toQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

} // namespace

void QtSurface::registerFontSubstitutions()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QStringList ming = {QStringLiteral("AR PL UMing TW"), QStringLiteral("AR PL UMing HK"),
                              QStringLiteral("Noto Serif CJK TC"), QStringLiteral("Noto Sans CJK TC")};
    for (const QString &name : {QStringLiteral("新細明體"), QStringLiteral("細明體"), QStringLiteral("PMingLiU"),
                                QStringLiteral("MingLiU")})
        QFont::insertSubstitutions(name, ming);
}

QtSurface::QtSurface()
{
    registerFontSubstitutions();
    if (qGuiApp)
        buttonFace = QGuiApplication::palette().color(QPalette::Button);
    else
        buttonFace = QColor(239, 239, 239);
}

QtSurface::~QtSurface()
{
    if (m_painter)
        m_painter->end();
}

void QtSurface::resize(int width, int height, qreal devicePixelRatio)
{
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
    m_width = std::max(1, width);
    m_height = std::max(1, height);
    const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    m_image = QImage(int(m_width * dpr + 0.5), int(m_height * dpr + 0.5), QImage::Format_RGB32);
    m_image.setDevicePixelRatio(dpr);
    m_image.fill(m_background);
}

QPainter &QtSurface::painter()
{
    if (!m_painter) {
        if (m_image.isNull())
            resize(1, 1);
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    }
    return *m_painter;
}

QColor QtSurface::toQColor(Colour c) const
{
    if (c == kButtonFaceColour)
        return buttonFace;
    return QColor(int(redOf(c)), int(greenOf(c)), int(blueOf(c)));
}

void QtSurface::changed(const QRect &r)
{
    if (changedCallback)
        changedCallback(r);
}

FontHandle QtSurface::createFont(const FontRequest &request)
{
    FontSlot slot;
    slot.used = true;
    slot.font = QFont(QString::fromStdString(request.face));
    slot.font.setPixelSize(std::max(1, request.height));
    slot.font.setWeight(QFont::Normal);
    slot.font.setStyleStrategy(QFont::PreferAntialias);
    slot.escapement = request.escapement;
    QFontMetrics fm(slot.font);
    const int em = std::max(1, request.height);
    const int ascent = fm.ascent();
    const int descent = fm.descent();
    // Keep the ink inside the cell for faces taller than their em.
    slot.baseline = ascent + descent > em ? (ascent * em + (ascent + descent) / 2) / (ascent + descent) : ascent;
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        if (!m_fonts[i].used) {
            m_fonts[i] = slot;
            return FontHandle(i);
        }
    }
    m_fonts.push_back(slot);
    return FontHandle(m_fonts.size() - 1);
}

void QtSurface::deleteFont(FontHandle font)
{
    if (font >= 0 && std::size_t(font) < m_fonts.size())
        m_fonts[std::size_t(font)] = FontSlot{};
    if (m_current == font)
        m_current = kNoFont;
}

void QtSurface::selectFont(FontHandle font)
{
    if (font >= 0 && std::size_t(font) < m_fonts.size() && m_fonts[std::size_t(font)].used)
        m_current = font;
}

void QtSurface::setTextColour(Colour colour) { m_text = toQColor(colour); }
void QtSurface::setFillColour(Colour colour) { m_fill = toQColor(colour); }
void QtSurface::setBackgroundColour(Colour colour) { m_background = toQColor(colour); }

void QtSurface::drawText(int x, int y, std::u16string_view text)
{
    if (text.empty() || m_current == kNoFont)
        return;
    const FontSlot &f = m_fonts[std::size_t(m_current)];
    QPainter &p = painter();
    p.setFont(f.font);
    p.setPen(m_text);
    const QString s = toQString(text);
    if (f.escapement == 900) {
        // A quarter turn counter-clockwise about the reference point.
        p.save();
        p.translate(x, y);
        p.rotate(-90);
        p.drawText(0, f.baseline, s);
        p.restore();
        const int w = QFontMetrics(f.font).horizontalAdvance(s);
        changed(QRect(x, y - w, f.font.pixelSize() + 2, w + 2));
        return;
    }
    p.drawText(x, y + f.baseline, s);
    changed(QRect(x, y, QFontMetrics(f.font).horizontalAdvance(s) + 2, f.font.pixelSize() + 2));
}

int QtSurface::textWidth(std::u16string_view text)
{
    if (m_current == kNoFont)
        return 0;
    return QFontMetrics(m_fonts[std::size_t(m_current)].font).horizontalAdvance(toQString(text));
}

void QtSurface::drawLine(int x1, int y1, int x2, int y2)
{
    if (x1 == x2 && y1 == y2)
        return;
    // The end point itself is not painted: stop one pixel short along the
    // major axis.
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    int ex = x2, ey = y2;
    if (std::abs(dx) >= std::abs(dy)) {
        ex -= dx > 0 ? 1 : -1;
        ey = y1 + int(qint64(dy) * (ex - x1) / dx);
    } else {
        ey -= dy > 0 ? 1 : -1;
        ex = x1 + int(qint64(dx) * (ey - y1) / dy);
    }
    QPainter &p = painter();
    p.setPen(QPen(Qt::black, 0));
    p.drawLine(x1, y1, ex, ey);
    changed(QRect(QPoint(std::min(x1, ex), std::min(y1, ey)), QPoint(std::max(x1, ex), std::max(y1, ey))));
}

void QtSurface::drawRoundRect(int left, int top, int right, int bottom)
{
    QPainter &p = painter();
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(m_fill);
    p.drawRoundedRect(QRect(left, top, right - left - 1, bottom - top - 1), 5, 5);
    p.setBrush(Qt::NoBrush);
    changed(QRect(left, top, right - left, bottom - top));
}

void QtSurface::fillRect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    QRect r(left, top, right - left, bottom - top);
    painter().fillRect(r, m_fill);
    changed(r);
}

void QtSurface::invertRect(int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    QPainter &p = painter();
    p.save();
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.fillRect(QRect(x, y, width, height), Qt::black);
    p.restore();
    changed(QRect(x, y, width, height));
}

void QtSurface::repaintRect(int left, int top, int right, int bottom)
{
    QRect r(left, top, right - left, bottom - top);
    r = r.intersected(QRect(0, 0, m_width, m_height));
    if (r.isEmpty())
        return;
    QPainter &p = painter();
    p.fillRect(r, m_background);
    p.setClipRect(r);
    if (paintCallback)
        paintCallback();
    p.setClipping(false);
    changed(r);
}
