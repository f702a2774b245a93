// The floor for the reader's start-up: a bare Qt Widgets program that opens a
// 704×544 window and paints a page of CJK glyphs in vertical columns, right
// to left, in the reader's face and size, and reads no file. After its first
// painted page it prints "painted" on standard output and runs on until its
// input closes, as the reader does with PAGORA_BENCH_FIRST_PAINT set;
// startup_bench times both.
#include <QApplication>
#include <QFont>
#include <QPaintEvent>
#include <QPainter>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <unistd.h>

namespace {

class Page final : public QWidget {
public:
    Page()
    {
        setWindowTitle(QStringLiteral("Floor"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(704, 544);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        static const QString verse = QStringLiteral("天地玄黃宇宙洪荒日月盈昃辰宿列張寒來暑往秋收冬藏閏餘成歲律呂調陽");
        QPainter p(this);
        p.fillRect(rect(), QColor(0xF5, 0xEE, 0xDC));
        QFont font(QStringLiteral("新細明體"));
        font.setPixelSize(19);
        p.setFont(font);
        p.setPen(Qt::black);
        const int cell = 22, columns = (width() - 40) / cell, rows = (height() - 32) / cell;
        int k = 0;
        for (int c = 0; c < columns; ++c)
            for (int r = 0; r < rows; ++r, ++k)
                p.drawText(QRect(width() - 20 - (c + 1) * cell, 16 + r * cell, cell, cell), Qt::AlignCenter,
                           verse.mid(k % verse.size(), 1));
        if (!m_reported) {
            m_reported = true;
            // Once this paint has reached the window.
            QTimer::singleShot(0, [] {
                static const char line[] = "painted\n";
                if (::write(1, line, sizeof line - 1) < 0)
                    std::_Exit(2);
                // Running on, as the reader does, until the benchmark closes our input.
                auto *input = new QSocketNotifier(0, QSocketNotifier::Read);
                QObject::connect(input, &QSocketNotifier::activated, [] { std::_Exit(0); });
            });
        }
    }

private:
    bool m_reported = false;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The face the reader draws for this name: without it the floor would
    // draw (and map) whatever face the system falls back to.
    QFont::insertSubstitutions(QStringLiteral("新細明體"),
                               {QStringLiteral("AR PL UMing TW"), QStringLiteral("AR PL UMing HK"),
                                QStringLiteral("Noto Serif CJK TC"), QStringLiteral("Noto Sans CJK TC")});
    Page page;
    page.show();
    return app.exec();
}
