#include "gui_app.h"

#include "qt/qt_surface.h"

#include <QCoreApplication>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstring>

using namespace pagora;

namespace {

class QtSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { ensureGuiApp(); }

    QColor pixel(QtSurface &s, int x, int y)
    {
        s.finishPainting();
        const qreal dpr = s.image().devicePixelRatio();
        return s.image().pixelColor(int((x + 0.5) * dpr), int((y + 0.5) * dpr));
    }

    static void clear(QtSurface &s, Colour c = rgb(255, 255, 255)) { s.fillRect(0, 0, s.width(), s.height(), c); }

    // Buffer pixels darker than mid grey.
    static int inkCount(QtSurface &s, const QRect &logical)
    {
        s.finishPainting();
        const qreal dpr = s.image().devicePixelRatio();
        int n = 0;
        for (int y = int(logical.top() * dpr); y < int((logical.bottom() + 1) * dpr); ++y)
            for (int x = int(logical.left() * dpr); x < int((logical.right() + 1) * dpr); ++x)
                n += s.image().pixelColor(x, y).lightness() < 128;
        return n;
    }
};

} // namespace

TEST_F(QtSurfaceTest, LinesLeaveTheirEndPointUnpainted)
{
    struct Row {
        const char *name;
        int x1, y1, x2, y2;
        QPoint painted, unpainted;
    };
    const Row rows[] = {
        {"rightward", 10, 5, 20, 5, {19, 5}, {20, 5}},    {"leftward", 20, 5, 10, 5, {11, 5}, {10, 5}},
        {"downward", 7, 10, 7, 30, {7, 29}, {7, 30}},     {"upward", 7, 30, 7, 10, {7, 11}, {7, 10}},
        {"diagonal", 10, 10, 20, 20, {19, 19}, {20, 20}},
    };
    for (qreal dpr : {1.0, 2.0}) {
        for (const Row &r : rows) {
            QtSurface s;
            s.resize(40, 40, dpr);
            clear(s);
            s.drawLine(r.x1, r.y1, r.x2, r.y2);
            EXPECT_EQ(pixel(s, r.x1, r.y1), QColor(Qt::black)) << r.name << " " << dpr;
            EXPECT_EQ(pixel(s, r.painted.x(), r.painted.y()), QColor(Qt::black)) << r.name << " " << dpr;
            EXPECT_EQ(pixel(s, r.unpainted.x(), r.unpainted.y()), QColor(Qt::white)) << r.name << " " << dpr;
        }
        // One logical pixel thick at any density.
        QtSurface s;
        s.resize(40, 40, dpr);
        clear(s);
        s.drawLine(0, 5, 30, 5);
        EXPECT_EQ(inkCount(s, QRect(0, 0, 40, 40)), int(30 * dpr * dpr)) << dpr;
    }
}

TEST_F(QtSurfaceTest, RoundRectStaysInsideItsRightAndBottomEdges)
{
    QtSurface s;
    s.resize(60, 60);
    clear(s);
    s.drawRoundRect(10, 10, 50, 40, rgb(0, 0, 255));
    EXPECT_EQ(pixel(s, 30, 10), QColor(Qt::black)); // top edge
    EXPECT_EQ(pixel(s, 30, 39), QColor(Qt::black)); // bottom edge at bottom - 1
    EXPECT_EQ(pixel(s, 49, 25), QColor(Qt::black)); // right edge at right - 1
    EXPECT_EQ(pixel(s, 50, 25), QColor(Qt::white));
    EXPECT_EQ(pixel(s, 30, 40), QColor(Qt::white));
    EXPECT_EQ(pixel(s, 30, 25), QColor(Qt::blue));  // filled
    EXPECT_EQ(pixel(s, 10, 10), QColor(Qt::white)); // the corner is rounded off
}

TEST_F(QtSurfaceTest, InvertTwiceRestoresAtAnyDensity)
{
    for (qreal dpr : {1.0, 1.5, 2.0}) {
        QtSurface s;
        s.resize(50, 50, dpr);
        clear(s, rgb(12, 200, 99));
        s.invertRect(5, 5, 10, 10);
        EXPECT_EQ(pixel(s, 5, 5), QColor(243, 55, 156)) << dpr;
        EXPECT_EQ(pixel(s, 14, 14), QColor(243, 55, 156)) << dpr;
        EXPECT_EQ(pixel(s, 15, 15), QColor(12, 200, 99)) << dpr;
        s.invertRect(5, 5, 10, 10);
        EXPECT_EQ(pixel(s, 5, 5), QColor(12, 200, 99)) << dpr;
        // The buffer stays opaque.
        EXPECT_EQ(qAlpha(s.image().pixel(int(6 * dpr), int(6 * dpr))), 255);
    }
}

// Many rectangles at once, inside and outside a clip, give the bytes the
// raster's own inversion gives.
TEST_F(QtSurfaceTest, InvertedRectanglesMatchThePainterBytes)
{
    const PixelRect rects[] = {{5, 5, 10, 10}, {5, 15, 10, 7}, {30, 0, 20, 50}, {45, 40, 30, 30}, {-5, -5, 8, 8}};
    for (qreal dpr : {1.0, 1.5, 2.0}) {
        for (bool clipped : {false, true}) {
            QtSurface s;
            s.resize(60, 50, dpr);
            clear(s, rgb(12, 200, 99));
            s.fillRect(20, 10, 40, 30, rgb(250, 3, 77));
            s.finishPainting();
            QImage expected = s.image().copy();
            {
                QPainter p(&expected);
                if (clipped)
                    p.setClipRect(QRect(10, 10, 30, 30));
                p.setCompositionMode(QPainter::RasterOp_NotDestination);
                for (const PixelRect &r : rects)
                    p.fillRect(QRect(r.x, r.y, r.width, r.height), Qt::black);
            }
            if (clipped)
                s.drawClipped(10, 10, 40, 40, [&] { s.invertRects(rects); });
            else
                s.invertRects(rects);
            s.finishPainting();
            const QImage &got = s.image();
            ASSERT_EQ(got.sizeInBytes(), expected.sizeInBytes());
            EXPECT_EQ(std::memcmp(got.constBits(), expected.constBits(), std::size_t(got.sizeInBytes())), 0)
                << "dpr " << dpr << (clipped ? " clipped" : "");
        }
    }
}

TEST_F(QtSurfaceTest, ButtonFaceIsResolvedWhenDrawing)
{
    QtSurface s;
    s.resize(10, 10);
    s.buttonFace = QColor(1, 2, 3);
    clear(s, kButtonFaceColour);
    EXPECT_EQ(pixel(s, 5, 5), QColor(1, 2, 3));
    EXPECT_EQ(s.toQColor(rgb(7, 8, 9)), QColor(7, 8, 9));
}

// Drawing clipped to a rectangle leaves everything outside it, nested clips
// narrow each other, and the clip is gone afterwards.
TEST_F(QtSurfaceTest, ClippedDrawingStaysInsideItsRectangle)
{
    QtSurface s;
    s.resize(100, 100);
    clear(s, rgb(0, 0, 255));
    int paints = 0;
    const auto painter = [&] {
        ++paints;
        // A painter that draws everywhere, and only a corner over the background.
        s.fillRect(0, 0, 100, 100, rgb(255, 0, 0));
        s.fillRect(0, 0, 25, 25, rgb(0, 255, 0));
        s.invertRect(0, 0, 100, 100);
    };
    s.drawClipped(20, 20, 40, 40, painter);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(pixel(s, 19, 19), QColor(Qt::blue));
    EXPECT_EQ(pixel(s, 40, 40), QColor(Qt::blue));
    EXPECT_EQ(pixel(s, 22, 22), QColor(255, 0, 255)); // green inverted
    EXPECT_EQ(pixel(s, 39, 39), QColor(0, 255, 255)); // red inverted
    s.drawClipped(60, 60, 90, 90, [&] { s.drawClipped(80, 50, 95, 70, painter); });
    EXPECT_EQ(pixel(s, 85, 65), QColor(0, 255, 255));
    EXPECT_EQ(pixel(s, 85, 75), QColor(Qt::blue));
    EXPECT_EQ(pixel(s, 70, 65), QColor(Qt::blue));
    // The clip is gone afterwards.
    s.fillRect(0, 0, 100, 100, rgb(0, 0, 0));
    EXPECT_EQ(pixel(s, 90, 90), QColor(Qt::black));
    // Out of the buffer: nothing to do.
    s.drawClipped(200, 200, 300, 300, painter);
    EXPECT_EQ(paints, 2);
}

TEST_F(QtSurfaceTest, ChangesAreReportedOncePerTurnOfTheEventLoop)
{
    QtSurface s;
    s.resize(100, 100);
    std::vector<QRect> reported;
    s.changedCallback = [&](const QRect &r) { reported.push_back(r); };
    s.fillRect(10, 10, 20, 20, rgb(1, 1, 1));
    s.fillRect(50, 60, 70, 80, rgb(1, 1, 1));
    s.invertRect(0, 0, 5, 5);
    EXPECT_TRUE(reported.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], QRect(QPoint(0, 0), QPoint(69, 79)));
    QCoreApplication::processEvents();
    EXPECT_EQ(reported.size(), 1u);
    s.fillRect(1, 1, 2, 2, rgb(1, 1, 1));
    s.flushChanges();
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[1], QRect(1, 1, 1, 1));
}

TEST_F(QtSurfaceTest, CachedGlyphsMatchDirectDrawing)
{
    const std::u16string sample = u"國字永龘ａ，。A9.";
    for (qreal dpr : {1.0, 2.0}) {
        for (Colour colour : {rgb(0, 0, 0), rgb(255, 255, 255)}) {
            QtSurface cached, direct;
            TextPaint paint{kNoFont, colour};
            for (QtSurface *s : {&cached, &direct}) {
                s->resize(400, 40, dpr);
                clear(*s, rgb(0, 128, 192));
                paint.font = s->createFont({24, 0, "新細明體"});
            }
            for (std::size_t k = 0; k < sample.size(); ++k) {
                cached.drawText(int(k) * 30 + 3, 5, std::u16string_view(&sample[k], 1), paint);
                direct.drawGlyphUncached(int(k) * 30 + 3, 5, sample[k], paint);
            }
            cached.finishPainting();
            direct.finishPainting();
            const QImage &a = cached.image();
            const QImage &b = direct.image();
            ASSERT_EQ(a.size(), b.size());
            int worst = 0;
            for (int y = 0; y < a.height(); ++y)
                for (int x = 0; x < a.width(); ++x) {
                    const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                    worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                      std::abs(qBlue(p) - qBlue(q))});
                }
            EXPECT_EQ(worst, 0) << "dpr " << dpr << " colour " << colour;
        }
    }
}

TEST_F(QtSurfaceTest, GlyphCacheOutlivesRecreatedFonts)
{
    QtSurface s;
    s.resize(100, 100);
    FontHandle f = s.createFont({16, 0, "新細明體"});
    s.drawText(10, 10, u"國", {f});
    s.drawText(30, 10, u"國", {f});
    EXPECT_EQ(s.cachedGlyphCount(), 1u);
    // A font deleted and made again from the same request keeps its glyphs.
    s.deleteFont(f);
    const FontHandle turned = s.createFont({16, 900, "新細明體"});
    s.drawText(50, 26, u"…", {turned});
    f = s.createFont({16, 0, "新細明體"});
    s.drawText(70, 10, u"國", {f});
    EXPECT_EQ(s.cachedGlyphCount(), 1u);
    // Another colour is another image; blank glyphs are remembered too.
    s.drawText(70, 30, u"國", {f, rgb(255, 255, 255)});
    s.drawText(70, 50, u" ", {f, rgb(255, 255, 255)});
    EXPECT_EQ(s.cachedGlyphCount(), 3u);
    // A new density starts afresh.
    s.resize(100, 100, 2.0);
    EXPECT_EQ(s.cachedGlyphCount(), 0u);
}

TEST_F(QtSurfaceTest, TextIsRasterizedAtTheBufferDensity)
{
    // At 200% a glyph is drawn with its own detail, not as doubled pixels.
    QtSurface s;
    s.resize(40, 40, 2.0);
    clear(s);
    s.drawText(10, 10, u"龘", {s.createFont({16, 0, "新細明體"})});
    s.finishPainting();
    const QImage &img = s.image();
    EXPECT_EQ(img.width(), 80);
    int mixedBlocks = 0;
    for (int y = 0; y < 80; y += 2)
        for (int x = 0; x < 80; x += 2) {
            const QRgb a = img.pixel(x, y);
            if (img.pixel(x + 1, y) != a || img.pixel(x, y + 1) != a || img.pixel(x + 1, y + 1) != a)
                ++mixedBlocks;
        }
    EXPECT_GT(mixedBlocks, 20);
    // And it stays inside its cell.
    EXPECT_GT(inkCount(s, QRect(10, 10, 16, 16)), 0);
    EXPECT_EQ(inkCount(s, QRect(0, 0, 40, 9)) + inkCount(s, QRect(0, 27, 40, 13)), 0);
}

TEST_F(QtSurfaceTest, DefaultFaceResolvesToAMingFace)
{
    QtSurface s;
    s.resize(10, 10);
    const QFont font(QStringLiteral("新細明體"));
    const QString family = QFontInfo(font).family();
    EXPECT_TRUE(family.contains(QStringLiteral("Ming")) || family.contains(QStringLiteral("CJK")))
        << family.toStdString();
    // The advance of a CJK glyph is the em, as the layout assumes.
    EXPECT_EQ(s.textWidth(s.createFont({16, 0, "新細明體"}), u"一"), 16);
}

// A widget's surface draws nothing outside a paint, only asks for the area;
// painted later into a widget's device, the pixels are a buffer's.
TEST_F(QtSurfaceTest, AWidgetSurfacePaintsLaterWhatABufferDrawsNow)
{
    const PixelRect inverted[] = {{5, 5, 30, 12}, {40, 20, 12, 30}};
    const auto scene = [&](QtSurface &s, FontHandle font) {
        s.drawClipped(0, 0, 90, 60, [&] {
            s.fillRect(0, 0, 90, 60, rgb(240, 230, 200));
            s.drawText(4, 4, u"國", {font, rgb(0, 0, 0)});
            s.drawText(30, 30, u"第 3 頁", {font, rgb(20, 40, 60)});
            s.drawLine(0, 58, 90, 58);
            s.drawRoundRect(50, 2, 88, 20, rgb(255, 255, 255));
            s.drawClipped(10, 10, 45, 45, [&] { s.invertRects(inverted); });
        });
    };
    for (qreal dpr : {1.0, 2.0}) {
        QtSurface buffer, widget(QtSurface::Target::Widget);
        buffer.resize(90, 60, dpr);
        widget.resize(90, 60, dpr);
        std::vector<QRect> asked;
        widget.changedCallback = [&](const QRect &r) { asked.push_back(r); };
        scene(buffer, buffer.createFont({18, 0, "新細明體"}));
        const FontHandle font = widget.createFont({18, 0, "新細明體"});
        scene(widget, font);
        EXPECT_EQ(asked, std::vector<QRect>{QRect(0, 0, 90, 60)}) << "dpr " << dpr;
        EXPECT_EQ(widget.cachedGlyphCount(), 0u) << "nothing is drawn outside a paint";

        QImage device(int(90 * dpr), int(60 * dpr), QImage::Format_RGB32);
        device.setDevicePixelRatio(dpr);
        device.fill(Qt::red);
        for (const QRect &area : {QRect(0, 0, 90, 30), QRect(0, 30, 90, 30)}) {
            QPainter p(&device);
            widget.paintOn(p, area, [&] { scene(widget, font); });
        }
        EXPECT_EQ(asked.size(), 1u) << "a paint asks for no other";
        buffer.finishPainting();
        EXPECT_TRUE(device == buffer.image()) << "dpr " << dpr;
    }
}
