#include "qt/qt_surface.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QGuiApplication>
#include <QObject>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace pagora {

namespace {

// All glyph images together. A full page of a large cell at 200% stays well
// inside this; a book that uses thousands of characters at a huge size starts
// its cache afresh.
constexpr qsizetype kGlyphCacheBytes = 64 * 1024 * 1024;
// Font requests whose caches outlive their fonts (a face tried once in the
// font dialog, say) are dropped beyond this many.
constexpr std::size_t kGlyphCacheFonts = 16;

QString toQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

std::string cacheKey(const FontRequest &request, int height)
{
    return request.face + '\x1f' + std::to_string(height) + '\x1f' + std::to_string(request.escapement);
}

// The smallest rectangle holding every pixel with some coverage.
QRect inkBounds(const QImage &image)
{
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// As the raster's NotDestination does: the colour inverted, the pixel kept
// opaque. Two pixels a word: a page of small cells is a million pixels.
void invertPixels(uchar *line, int pixels)
{
    constexpr std::uint64_t kTwo = 0x00FFFFFF00FFFFFFull;
    int x = 0;
    for (; x + 4 <= pixels; x += 4, line += 16) {
        std::uint64_t a, b;
        std::memcpy(&a, line, 8);
        std::memcpy(&b, line + 8, 8);
        a ^= kTwo;
        b ^= kTwo;
        std::memcpy(line, &a, 8);
        std::memcpy(line + 8, &b, 8);
    }
    for (; x < pixels; ++x, line += 4) {
        quint32 p;
        std::memcpy(&p, line, 4);
        p ^= 0x00FFFFFFu;
        std::memcpy(line, &p, 4);
    }
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
    for (const QString &name :
         {QStringLiteral("新細明體"), QStringLiteral("細明體"), QStringLiteral("PMingLiU"), QStringLiteral("MingLiU")})
        QFont::insertSubstitutions(name, ming);
}

namespace {

// Measures as the surface does; of the drawing only the glyphs count.
class GlyphWarmer final : public Surface {
public:
    explicit GlyphWarmer(QtSurface &surface) : m_surface(surface) {}

    FontHandle createFont(const FontRequest &request) override { return m_surface.createFont(request); }
    void deleteFont(FontHandle font) override { m_surface.deleteFont(font); }
    int textWidth(FontHandle font, std::u16string_view text) override { return m_surface.textWidth(font, text); }
    bool hasGlyph(FontHandle font, char16_t u) override { return m_surface.hasGlyph(font, u); }
    std::string familyOf(FontHandle font) override { return m_surface.familyOf(font); }
    void drawText(int, int, std::u16string_view text, const TextPaint &paint) override
    {
        m_surface.warmText(text, paint);
    }
    void drawCellGlyph(int, int, char16_t u, GlyphPose pose, const TextPaint &paint) override
    {
        m_surface.warmGlyph(u, pose, paint);
    }
    void drawLine(int, int, int, int) override {}
    void drawRoundRect(int, int, int, int, Colour) override {}
    void fillRect(int, int, int, int, Colour) override {}
    void invertRects(std::span<const PixelRect>) override {}
    void drawClipped(int, int, int, int, const std::function<void()> &draw) override { draw(); }

private:
    QtSurface &m_surface;
};

} // namespace

QtSurface::QtSurface(Target target)
    : m_target(target), m_flushContext(std::make_unique<QObject>()), m_warmer(std::make_unique<GlyphWarmer>(*this))
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
    finishPainting();
    m_width = std::max(1, width);
    m_height = std::max(1, height);
    const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    if (!qFuzzyCompare(dpr, m_dpr))
        dropGlyphCaches(); // glyphs are rasterized at the buffer's density
    m_dpr = dpr;
    m_dirty = QRect();
    if (m_target == Target::Widget)
        return;
    m_image = QImage(int(std::ceil(m_width * dpr)), int(std::ceil(m_height * dpr)), QImage::Format_RGB32);
    m_image.setDevicePixelRatio(dpr);
    m_image.fill(toQColor(background));
}

void QtSurface::finishPainting()
{
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
}

void QtSurface::paintOn(QPainter &painter, const QRect &area, const std::function<void()> &draw)
{
    const QRect r = area.intersected(QRect(0, 0, m_width, m_height));
    if (m_target != Target::Widget || m_widgetPainter || r.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setClipRect(r);
    m_widgetPainter = &painter;
    m_clip = r;
    m_clipDepth = 1;
    draw();
    m_clipDepth = 0;
    m_clip = QRect();
    m_widgetPainter = nullptr;
    painter.restore();
}

QPainter &QtSurface::painter()
{
    if (m_widgetPainter)
        return *m_widgetPainter;
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
    if (!changedCallback || m_widgetPainter)
        return;
    if (m_target == Target::Widget) {
        // Only a request to paint: nothing is gained by gathering.
        changedCallback(r);
        return;
    }
    m_dirty = m_dirty.united(r);
    if (m_flushPending || !QCoreApplication::instance())
        return;
    m_flushPending = true;
    // One blit request per turn of the event loop instead of one per glyph.
    QMetaObject::invokeMethod(
        m_flushContext.get(), [this] { flushChanges(); }, Qt::QueuedConnection);
}

void QtSurface::flushChanges()
{
    m_flushPending = false;
    if (m_dirty.isEmpty())
        return;
    const QRect r = m_dirty;
    m_dirty = QRect();
    if (changedCallback)
        changedCallback(r);
}

std::shared_ptr<QtSurface::GlyphCache> QtSurface::glyphCacheFor(const std::string &key)
{
    auto it = m_glyphCaches.find(key);
    if (it != m_glyphCaches.end())
        return it->second;
    if (m_glyphCaches.size() >= kGlyphCacheFonts)
        dropUnusedGlyphCaches();
    auto cache = std::make_shared<GlyphCache>();
    m_glyphCaches.emplace(key, cache);
    return cache;
}

void QtSurface::dropUnusedGlyphCaches()
{
    // Keep the caches of living fonts; forget the others.
    for (auto i = m_glyphCaches.begin(); i != m_glyphCaches.end();)
        i = i->second.use_count() == 1 ? m_glyphCaches.erase(i) : std::next(i);
}

qsizetype QtSurface::glyphCacheBytes() const
{
    qsizetype total = 0;
    for (const auto &[key, cache] : m_glyphCaches)
        total += cache->bytes;
    return total;
}

void QtSurface::dropGlyphCaches()
{
    for (auto &[key, cache] : m_glyphCaches) {
        cache->glyphs.clear();
        cache->bytes = 0;
    }
}

std::size_t QtSurface::cachedGlyphCount() const
{
    std::size_t n = 0;
    for (const auto &[key, cache] : m_glyphCaches)
        n += cache->glyphs.size();
    return n;
}

FontHandle QtSurface::createFont(const FontRequest &request)
{
    FontSlot slot;
    slot.used = true;
    slot.em = std::clamp(request.height, 1, 1000);
    slot.font = QFont(QString::fromStdString(request.face));
    slot.font.setPixelSize(slot.em);
    slot.font.setWeight(QFont::Normal);
    slot.font.setStyleStrategy(QFont::PreferAntialias);
    slot.escapement = request.escapement;
    slot.metrics = std::make_unique<QFontMetrics>(slot.font);
    const int ascent = slot.metrics->ascent();
    const int descent = slot.metrics->descent();
    // Keep the ink inside the cell for faces taller than their em.
    slot.baseline =
        ascent + descent > slot.em ? (ascent * slot.em + (ascent + descent) / 2) / (ascent + descent) : ascent;
    slot.cache = glyphCacheFor(cacheKey(request, slot.em));
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        if (!m_fonts[i].used) {
            m_fonts[i] = std::move(slot);
            return FontHandle(i);
        }
    }
    m_fonts.push_back(std::move(slot));
    return FontHandle(m_fonts.size() - 1);
}

void QtSurface::deleteFont(FontHandle font)
{
    if (font >= 0 && std::size_t(font) < m_fonts.size())
        m_fonts[std::size_t(font)] = FontSlot{};
}

const QColor &QtSurface::glyphColour(Colour colour)
{
    // The button face is looked up each time: it may change under us.
    if (colour != m_glyphColourOf || colour == kButtonFaceColour) {
        m_glyphColourOf = colour;
        m_glyphColour = toQColor(colour);
        m_glyphRgba = m_glyphColour.rgba();
    }
    return m_glyphColour;
}

QtSurface::GlyphImage QtSurface::renderGlyph(const FontSlot &f, char16_t u, GlyphPose pose, const QColor &colour) const
{
    const qreal dpr = m_dpr;
    // Room for ink that strays outside the cell (italic faces, wide symbols).
    const int pad = f.em / 2 + 2;
    const int logicalW = 2 * f.em + 2 * pad;
    const int logicalH = f.em + 2 * pad;
    QImage scratch(int(std::ceil(logicalW * dpr)), int(std::ceil(logicalH * dpr)), QImage::Format_ARGB32_Premultiplied);
    scratch.setDevicePixelRatio(dpr);
    scratch.fill(Qt::transparent);
    {
        QPainter p(&scratch);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setFont(f.font);
        p.setPen(colour);
        p.drawText(pad, pad + f.baseline, QString(QChar(u)));
    }
    if (pose.turned) {
        // Turning the finished image keeps the upright glyph's hinting. The
        // cell at (pad, pad) maps onto itself: the scratch is pad + em + pad
        // high, and the part right of the cell turns into the part below it.
        scratch = scratch.transformed(QTransform().rotate(90));
        scratch.setDevicePixelRatio(dpr);
    }
    GlyphImage g;
    const QRect ink = inkBounds(scratch);
    if (ink.isNull())
        return g;
    g.image = scratch.copy(ink);
    g.image.setDevicePixelRatio(dpr);
    if (pose.inkCentred) {
        // Whole device pixels, so that the copy stays as sharp as the glyph.
        const int cell = int(std::lround(f.em * dpr));
        g.offset = QPointF((cell - ink.width()) / 2 / dpr, (cell - ink.height()) / 2 / dpr);
    } else {
        g.offset = QPointF(ink.left() / dpr - pad, ink.top() / dpr - pad);
    }
    return g;
}

const QtSurface::GlyphImage &QtSurface::cachedGlyph(FontSlot &f, char16_t u, GlyphPose pose, const QColor &colour)
{
    GlyphCache &cache = *f.cache;
    const quint64 poseBits = (pose.turned ? 1u : 0u) | (pose.inkCentred ? 2u : 0u);
    const QRgb rgba = &colour == &m_glyphColour ? m_glyphRgba : colour.rgba();
    const quint64 key = (quint64(rgba) << 18) | (poseBits << 16) | u;
    auto it = cache.glyphs.find(key);
    if (it != cache.glyphs.end())
        return it->second;
    GlyphImage g = renderGlyph(f, u, pose, colour);
    const qsizetype bytes = g.image.sizeInBytes() + qsizetype(sizeof(GlyphImage)) + 32;
    if (glyphCacheBytes() + bytes > kGlyphCacheBytes) {
        dropUnusedGlyphCaches();
        if (glyphCacheBytes() + bytes > kGlyphCacheBytes) {
            cache.glyphs.clear();
            cache.bytes = 0;
        }
    }
    cache.bytes += bytes;
    return cache.glyphs.emplace(key, std::move(g)).first->second;
}

void QtSurface::drawCellGlyph(int x, int y, char16_t u, GlyphPose pose, const TextPaint &paint)
{
    FontSlot *f = slot(paint.font);
    if (!f)
        return;
    if (!drawing()) {
        const int pad = f->em / 2 + 2;
        changed(QRect(x - pad, y - pad, 2 * f->em + 2 * pad, f->em + 2 * pad));
        return;
    }
    const GlyphImage &g = cachedGlyph(*f, u, pose, glyphColour(paint.colour));
    if (g.image.isNull())
        return;
    const QPointF at(x + g.offset.x(), y + g.offset.y());
    painter().drawImage(at, g.image);
    changed(QRectF(at, g.image.deviceIndependentSize()).toAlignedRect());
}

void QtSurface::warmGlyph(char16_t u, GlyphPose pose, const TextPaint &paint)
{
    if (FontSlot *f = slot(paint.font))
        cachedGlyph(*f, u, pose, glyphColour(paint.colour));
}

void QtSurface::warmText(std::u16string_view text, const TextPaint &paint)
{
    const FontSlot *f = slot(paint.font);
    if (f && text.size() == 1 && f->escapement == 0)
        warmGlyph(text[0], {}, paint);
}

std::string QtSurface::familyOf(FontHandle font)
{
    FontSlot *f = slot(font);
    return f ? QFontInfo(f->font).family().toStdString() : std::string();
}

bool QtSurface::hasGlyph(FontHandle font, char16_t u)
{
    FontSlot *f = slot(font);
    if (!f)
        return false;
    GlyphCache &cache = *f->cache;
    if (cache.glyphKnown.test(u))
        return cache.glyphPresent.test(u);
    // The face the font resolves to, without the faces Qt falls back on.
    if (!cache.face)
        cache.face = std::make_unique<QRawFont>(QRawFont::fromFont(f->font));
    const bool has = cache.face->isValid() && cache.face->supportsCharacter(QChar(u));
    cache.glyphKnown.set(u);
    cache.glyphPresent.set(u, has);
    return has;
}

void QtSurface::drawText(int x, int y, std::u16string_view text, const TextPaint &paint)
{
    FontSlot *f = slot(paint.font);
    if (text.empty() || !f)
        return;
    if (text.size() == 1 && f->escapement == 0) {
        drawCellGlyph(x, y, text[0], {}, paint);
        return;
    }
    if (!drawing()) {
        changed(QRect(0, 0, m_width, m_height));
        return;
    }
    QPainter &p = painter();
    p.setFont(f->font);
    p.setPen(toQColor(paint.colour));
    const QString s = toQString(text);
    const int advance = f->metrics->horizontalAdvance(s);
    const int pad = f->em / 2 + 2;
    if (f->escapement == 900) {
        // A quarter turn counter-clockwise about the reference point: the
        // text runs upward from (x, y) with its top facing left.
        p.save();
        p.translate(x, y);
        p.rotate(-90);
        p.drawText(0, f->baseline, s);
        p.restore();
        changed(QRect(x - pad, y - advance - pad, f->em + 2 * pad, advance + 2 * pad));
        return;
    }
    p.drawText(x, y + f->baseline, s);
    changed(QRect(x - pad, y - pad, advance + 2 * pad, f->em + 2 * pad));
}

void QtSurface::drawGlyphUncached(int x, int y, char16_t u, const TextPaint &paint)
{
    const FontSlot *f = slot(paint.font);
    if (!f || !drawing())
        return;
    QPainter &p = painter();
    p.setFont(f->font);
    p.setPen(toQColor(paint.colour));
    p.drawText(x, y + f->baseline, QString(QChar(u)));
    const int pad = f->em / 2 + 2;
    changed(QRect(x - pad, y - pad, 2 * f->em + 2 * pad, f->em + 2 * pad));
}

int QtSurface::textWidth(FontHandle font, std::u16string_view text)
{
    const FontSlot *f = slot(font);
    return f ? f->metrics->horizontalAdvance(toQString(text)) : 0;
}

void QtSurface::drawLine(int x1, int y1, int x2, int y2)
{
    if (x1 == x2 && y1 == y2)
        return;
    if (!drawing()) {
        changed(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))));
        return;
    }
    QPainter &p = painter();
    // Axis-aligned lines as one-pixel rectangles: exact at every pixel ratio.
    if (y1 == y2) {
        const QRect r = x2 > x1 ? QRect(x1, y1, x2 - x1, 1) : QRect(x2 + 1, y1, x1 - x2, 1);
        p.fillRect(r, Qt::black);
        changed(r);
        return;
    }
    if (x1 == x2) {
        const QRect r = y2 > y1 ? QRect(x1, y1, 1, y2 - y1) : QRect(x1, y2 + 1, 1, y1 - y2);
        p.fillRect(r, Qt::black);
        changed(r);
        return;
    }
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
    // Through pixel centres with a one-logical-pixel pen, so the line keeps
    // its weight on a dense screen.
    p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(ex + 0.5, ey + 0.5));
    changed(QRect(QPoint(std::min(x1, ex), std::min(y1, ey)), QPoint(std::max(x1, ex), std::max(y1, ey))));
}

void QtSurface::drawRoundRect(int left, int top, int right, int bottom, Colour fill)
{
    if (right - left < 2 || bottom - top < 2)
        return;
    if (!drawing()) {
        changed(QRect(left, top, right - left, bottom - top));
        return;
    }
    QPainter &p = painter();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(toQColor(fill));
    p.drawRoundedRect(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1), 5, 5);
    p.setBrush(Qt::NoBrush);
    changed(QRect(left, top, right - left, bottom - top));
}

void QtSurface::fillRect(int left, int top, int right, int bottom, Colour colour)
{
    if (right <= left || bottom <= top)
        return;
    const QRect r(left, top, right - left, bottom - top);
    if (drawing())
        painter().fillRect(r, toQColor(colour));
    changed(r);
}

bool QtSurface::invertInBuffer(std::span<const PixelRect> rects, QRect &dirty)
{
    QPainter &p = painter();
    const qreal dpr = m_image.devicePixelRatio();
    const int scale = int(dpr);
    // A whole pixel ratio maps each logical pixel onto a square of device
    // pixels; any other ratio rounds edges as only the painter knows.
    if (scale < 1 || scale != dpr || m_image.format() != QImage::Format_RGB32 ||
        p.worldTransform().type() != QTransform::TxNone)
        return false;
    const QRect limit = m_clipDepth > 0 ? m_clip : QRect(0, 0, m_width, m_height);
    // NOTE: the painter draws into this same buffer; bits() could detach it
    // from under the painter when the image has been copied.
    uchar *bits = const_cast<uchar *>(std::as_const(m_image).constBits());
    const qsizetype stride = m_image.bytesPerLine();
    for (const PixelRect &r : rects) {
        const QRect q = QRect(r.x, r.y, r.width, r.height).intersected(limit);
        if (q.isEmpty())
            continue;
        const int width = q.width() * scale;
        for (int y = q.top() * scale, end = (q.bottom() + 1) * scale; y < end; ++y) {
            invertPixels(bits + y * stride + qsizetype(q.left()) * scale * 4, width);
        }
        dirty = dirty.united(q);
    }
    return true;
}

void QtSurface::invertRects(std::span<const PixelRect> rects)
{
    QRect dirty;
    if (!drawing()) {
        for (const PixelRect &r : rects)
            dirty = dirty.united(QRect(r.x, r.y, std::max(0, r.width), std::max(0, r.height)));
    } else if (m_widgetPainter || !invertInBuffer(rects, dirty)) {
        QPainter &p = painter();
        const QPainter::CompositionMode mode = p.compositionMode();
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        for (const PixelRect &r : rects) {
            if (r.width <= 0 || r.height <= 0)
                continue;
            const QRect q(r.x, r.y, r.width, r.height);
            p.fillRect(q, Qt::black);
            dirty = dirty.united(q);
        }
        p.setCompositionMode(mode);
    }
    if (!dirty.isEmpty())
        changed(dirty);
}

PixelRect QtSurface::clipBounds() const
{
    const QRect r = m_clipDepth > 0 ? m_clip : QRect(0, 0, m_width, m_height);
    return {r.x(), r.y(), r.width(), r.height()};
}

void QtSurface::drawClipped(int left, int top, int right, int bottom, const std::function<void()> &draw)
{
    QRect r(left, top, right - left, bottom - top);
    r = r.intersected(QRect(0, 0, m_width, m_height));
    if (m_clipDepth > 0)
        r = r.intersected(m_clip);
    if (r.isEmpty())
        return;
    if (!drawing()) {
        changed(r);
        return;
    }
    QPainter &p = painter();
    p.save();
    p.setClipRect(r);
    const QRect outer = m_clip;
    m_clip = r;
    ++m_clipDepth;
    draw();
    --m_clipDepth;
    m_clip = outer;
    p.restore();
    changed(r);
}

} // namespace pagora
