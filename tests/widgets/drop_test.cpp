#include "test_platform.h"

#include "book/book_writer.h"
#include "shell/mpanel.h"
#include "shell/thome.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace pagora;

namespace {

QApplication &widgetApp()
{
    static int argc = 1;
    static char name[] = "widget_tests";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

std::string bookBytes()
{
    BookSpec spec;
    spec.title = u"千字文";
    spec.sectionTitles = {u"第一回"};
    spec.sectionTexts = {u"第一回\r\n天地玄黃"};
    std::string out;
    EXPECT_TRUE(writeBookBytes(spec, out));
    return out;
}

QMimeData *urlsOf(const std::vector<std::string> &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const std::string &p : paths)
        urls << QUrl::fromLocalFile(QString::fromStdString(p));
    data->setUrls(urls);
    return data;
}

// The panel takes drops of files a shelf can hold, and a drop copies the book
// onto the shelf (the program's folder, in portable use) and selects it.
TEST(PanelDrop, OffersAndTakesBooks)
{
    widgetApp();
    TempDir app, outside;
    writeFile(app.file("a.updb"), bookBytes());
    writeFile(outside.file("a.updb"), bookBytes());
    writeFile(outside.file("photo.jpg"), "x");
    THome home(app.path());
    MPanel *panel = home.panel();

    const std::unique_ptr<QMimeData> photo(urlsOf({outside.file("photo.jpg")}));
    QDragEnterEvent refused(QPoint(10, 100), Qt::CopyAction, photo.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &refused);
    EXPECT_FALSE(refused.isAccepted());

    const std::unique_ptr<QMimeData> book(urlsOf({outside.file("a.updb")}));
    QDragEnterEvent offered(QPoint(10, 100), Qt::CopyAction, book.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &offered);
    EXPECT_TRUE(offered.isAccepted());
    QDropEvent drop(QPointF(10, 100), Qt::CopyAction, book.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &drop);
    QCoreApplication::processEvents();

    EXPECT_EQ(readFile(app.file("a (2).updb")), bookBytes());
    const BookEntry *entry = panel->reader().s.shelf.selectedEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->fileName, "a (2).updb");
    home.close();
}

} // namespace
