#pragma once
#include "platform/surface.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <functional>
#include <memory>
#include <vector>

// Draws into a QImage back buffer at a device pixel ratio; coordinates stay in
// device-independent pixels. Usable without a widget (offscreen rendering).
class QtSurface final : public Surface {
public:
    QtSurface();
    ~QtSurface() override;

    // Allocates a new back buffer (contents undefined until repainted).
    void resize(int width, int height, qreal devicePixelRatio = 1.0);
    const QImage &image() const { return m_image; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // paintScreen(false); set by the panel.
    std::function<void()> paintCallback;
    // Called after a region changed, to schedule the blit (logical pixels).
    std::function<void(const QRect &)> changedCallback;
    // The system button-face colour.
    QColor buttonFace;

    FontHandle createFont(const FontRequest &request) override;
    void deleteFont(FontHandle font) override;
    void selectFont(FontHandle font) override;
    void setTextColour(Colour colour) override;
    void setFillColour(Colour colour) override;
    void setBackgroundColour(Colour colour) override;
    void drawText(int x, int y, std::u16string_view text) override;
    int textWidth(std::u16string_view text) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void drawRoundRect(int left, int top, int right, int bottom) override;
    void fillRect(int left, int top, int right, int bottom) override;
    void invertRect(int x, int y, int width, int height) override;
    void repaintRect(int left, int top, int right, int bottom) override;

    // Resolves kButtonFaceColour.
    QColor toQColor(Colour colour) const;

    // Maps the default Ming face names of book files to installed faces.
    static void registerFontSubstitutions();

private:
    struct FontSlot {
        bool used = false;
        QFont font;
        int escapement = 0;
        int baseline = 0; // from the cell top
    };
    void changed(const QRect &r);
    QPainter &painter();

    QImage m_image;
    std::unique_ptr<QPainter> m_painter;
    int m_width = 0;
    int m_height = 0;
    std::vector<FontSlot> m_fonts;
    FontHandle m_current = kNoFont;
    QColor m_text = Qt::black;
    QColor m_fill = Qt::white;
    QColor m_background = Qt::white;
};
