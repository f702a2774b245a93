#include "test_platform.h"

#include "book/book_writer.h"
#include "qt/qt_dialogs.h"
#include "shell/mpanel.h"
#include "shell/thome.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
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
    BookRecipe spec;
    spec.title = u"千字文";
    spec.sectionTitles = {u"第一回"};
    spec.sectionTexts = {u"第一回\r\n天地玄黃"};
    std::string out;
    EXPECT_TRUE(writeBookBytes(spec, out));
    return out;
}

// Answers the next modal dialog: notes the texts of its buttons and labels,
// then clicks the button reading `click`, or closes the dialog without one.
class DialogAnswer {
public:
    explicit DialogAnswer(QString click = {}) : m_click(std::move(click))
    {
        m_poll.setInterval(20);
        QObject::connect(&m_poll, &QTimer::timeout, [this] { answer(); });
        m_poll.start();
    }
    QStringList buttons, labels;

private:
    void answer()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        m_poll.stop();
        QAbstractButton *chosen = nullptr;
        for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>()) {
            if (!b->isVisible() || b->text().isEmpty())
                continue;
            buttons << b->text();
            if (b->text() == m_click)
                chosen = b;
        }
        for (QLabel *l : dialog->findChildren<QLabel *>())
            if (l->isVisible() && !l->text().isEmpty())
                labels << l->text();
        if (chosen)
            chosen->click();
        else
            dialog->reject();
    }
    QString m_click;
    QTimer m_poll;
};

// A word with Latin letters and no Chinese is a word left in English.
bool isEnglish(const QString &text)
{
    bool latin = false;
    for (QChar c : text) {
        if (c.unicode() >= 0x3000)
            return false;
        latin = latin || (c.toLower() >= u'a' && c.toLower() <= u'z');
    }
    return latin;
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
    writeFile(outside.file("photo.jpg"), std::string("\xFF\xD8\xFF\xE0\0\0\x10JFIF", 11));
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
    // The same text is on the shelf already: asked, a second copy is made.
    DialogAnswer secondCopy(QStringLiteral("再放一本"));
    QDropEvent drop(QPointF(10, 100), Qt::CopyAction, book.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &drop);
    QCoreApplication::processEvents();
    EXPECT_TRUE(secondCopy.buttons.contains(QStringLiteral("打開架上那本")))
        << secondCopy.buttons.join(u'|').toStdString();

    EXPECT_EQ(readFile(app.file("a (2).updb")), bookBytes());
    const BookEntry *entry = panel->reader().state.shelf.selectedEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->fileName, "a (2).updb");
    home.close();
}

// Qt's own words in the standard dialogs are Chinese like the reader's.
TEST(QtDialogs, SpeakChinese)
{
    widgetApp();
    TempDir folder;
    QtDialogs::loadQtTranslations();
    QtDialogs dialogs(nullptr);
    std::string face = "Sans";
    int height = 16;
    std::string start = folder.path();
    const std::pair<const char *, std::function<void()>> cases[] = {
        {"YesNo", [&] { dialogs.askYesNo(u"？"); }},         {"Message", [&] { dialogs.showMessage(u"！"); }},
        {"Font", [&] { dialogs.chooseFont(face, height); }}, {"Folder", [&] { dialogs.chooseFolder(u"選", start); }},
        {"Files", [&] { dialogs.chooseFilesToOpen(); }},
    };
    for (const auto &[name, open] : cases) {
        DialogAnswer look;
        open();
        EXPECT_FALSE(look.buttons.isEmpty()) << name;
        for (const QString &text : look.buttons + look.labels)
            EXPECT_FALSE(isEnglish(text)) << name << ": " << text.toStdString();
    }
}

} // namespace
