#pragma once
#include "platform/surface.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>

#include <bitset>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

class QObject;

namespace pagora {

// Draws into a QImage back buffer at a device pixel ratio; coordinates stay in
// device-independent pixels. Usable without a widget (offscreen rendering).
//
// A surface for a widget keeps no buffer: outside paintOn() nothing is drawn,
// and what would have been drawn is reported changed, to be painted from the
// state in the widget's next paint event straight into its backing store.
//
// Single code units in an upright font (every cell of the reading page) are
// copied from a per-font cache of pre-rendered glyph images instead of being
// shaped and rasterized again on every page turn; their turned and centred
// poses are cached the same way.
class QtSurface final : public Surface {
public:
    enum class Target { Buffer, Widget };
    explicit QtSurface(Target target = Target::Buffer);
    ~QtSurface() override;
    QtSurface(const QtSurface &) = delete;
    QtSurface &operator=(const QtSurface &) = delete;

    // Allocates a new back buffer filled with the background colour (a
    // widget's surface only takes the size).
    void resize(int width, int height, qreal devicePixelRatio = 1.0);
    // The back buffer; finishPainting() first when it is to be saved. Null
    // for a widget's surface.
    const QImage &image() const { return m_image; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    qreal devicePixelRatio() const { return m_dpr; }
    // A widget's surface: runs draw with every drawing going through painter,
    // clipped to area (logical pixels). Nothing drawn here is reported changed.
    void paintOn(QPainter &painter, const QRect &area, const std::function<void()> &draw);
    // Ends the open painter so the buffer can be read or saved on its own.
    void finishPainting();
    // Hands the region changed so far to changedCallback now instead of at
    // the next turn of the event loop.
    void flushChanges();

    // Called after a region changed, to schedule the blit (logical pixels).
    // Changes are gathered and reported once per turn of the event loop.
    std::function<void(const QRect &)> changedCallback;
    // The system button-face colour.
    QColor buttonFace;
    // What a new back buffer is filled with.
    Colour background = rgb(255, 255, 255);

    FontHandle createFont(const FontRequest &request) override;
    void deleteFont(FontHandle font) override;
    int textWidth(FontHandle font, std::u16string_view text) override;
    bool hasGlyph(FontHandle font, char16_t u) override;
    std::string familyOf(FontHandle font) override;
    void drawText(int x, int y, std::u16string_view text, const TextPaint &paint) override;
    void drawCellGlyph(int x, int y, char16_t u, GlyphPose pose, const TextPaint &paint) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void drawRoundRect(int left, int top, int right, int bottom, Colour fill) override;
    void fillRect(int left, int top, int right, int bottom, Colour colour) override;
    void invertRects(std::span<const PixelRect> rects) override;
    void drawClipped(int left, int top, int right, int bottom, const std::function<void()> &draw) override;
    PixelRect clipBounds() const override;

    // Resolves kButtonFaceColour.
    QColor toQColor(Colour colour) const;

    // Draws one code unit as drawText does, but shaped and rasterized afresh
    // (no glyph cache). The reference the cache is checked against.
    void drawGlyphUncached(int x, int y, char16_t u, const TextPaint &paint);

    // What drawCellGlyph, or drawText of one unit in an upright font, would
    // copy made ready in the glyph cache; nothing is drawn.
    void warmGlyph(char16_t u, GlyphPose pose, const TextPaint &paint);
    void warmText(std::u16string_view text, const TextPaint &paint);
    // A surface whose drawing only warms this one's glyph cache: pages
    // drawn on it ahead of time are copied when they are turned to.
    Surface &glyphWarmer() { return *m_warmer; }

    // Number of glyph images held by all caches (for tests).
    std::size_t cachedGlyphCount() const;

    // Maps the default Ming face names of book files to installed faces.
    static void registerFontSubstitutions();

private:
    struct GlyphImage {
        QImage image;   // premultiplied, at the buffer's pixel ratio; null when blank
        QPointF offset; // of the image's top-left from the cell's, logical pixels
    };
    struct GlyphCache {
        std::unordered_map<quint64, GlyphImage> glyphs;
        qsizetype bytes = 0;
        // Asked for every vertical form drawn: bits, not a hash lookup.
        std::bitset<0x10000> glyphKnown, glyphPresent; // by the face itself, no fallback
        std::unique_ptr<QRawFont> face;
    };
    struct FontSlot {
        bool used = false;
        QFont font;
        std::unique_ptr<QFontMetrics> metrics;
        int em = 16;
        int escapement = 0;
        int baseline = 0; // from the cell top
        std::shared_ptr<GlyphCache> cache;
    };

    void changed(const QRect &r);
    // False for a widget's surface outside paintOn(): draw calls only report
    // what they would change.
    bool drawing() const { return m_target == Target::Buffer || m_widgetPainter; }
    QPainter &painter();
    FontSlot *slot(FontHandle font)
    {
        if (font < 0 || std::size_t(font) >= m_fonts.size() || !m_fonts[std::size_t(font)].used)
            return nullptr;
        return &m_fonts[std::size_t(font)];
    }
    // The colour of a paint as drawn. A page draws thousands of glyphs with
    // one paint: the last colour is resolved once.
    const QColor &glyphColour(Colour colour);
    const GlyphImage &cachedGlyph(FontSlot &f, char16_t u, GlyphPose pose, const QColor &colour);
    GlyphImage renderGlyph(const FontSlot &f, char16_t u, GlyphPose pose, const QColor &colour) const;
    // Inverts in the buffer itself where the painter would give the same
    // pixels; false when it must be left to the painter.
    bool invertInBuffer(std::span<const PixelRect> rects, QRect &dirty);
    std::shared_ptr<GlyphCache> glyphCacheFor(const std::string &key);
    void dropGlyphCaches();
    void dropUnusedGlyphCaches();
    qsizetype glyphCacheBytes() const;

    Target m_target;
    QImage m_image;
    std::unique_ptr<QPainter> m_painter;
    // The widget's painter, only while paintOn() runs.
    QPainter *m_widgetPainter = nullptr;
    int m_width = 0;
    int m_height = 0;
    qreal m_dpr = 1.0;
    // The clip of the innermost drawClipped, logical pixels.
    int m_clipDepth = 0;
    QRect m_clip;
    std::vector<FontSlot> m_fonts;
    Colour m_glyphColourOf = kButtonFaceColour;
    QColor m_glyphColour;
    QRgb m_glyphRgba = 0;
    QRect m_dirty;
    bool m_flushPending = false;
    // Queued flushes are dropped with it when the surface goes away.
    std::unique_ptr<QObject> m_flushContext;
    // Shared by every font slot made from the same request, so that turning
    // and re-creating a font keeps its glyphs.
    std::unordered_map<std::string, std::shared_ptr<GlyphCache>> m_glyphCaches;
    std::unique_ptr<Surface> m_warmer;
};

} // namespace pagora
