// What the reader takes from another start over D-Bus and what it hands to a
// dictionary program: nothing in a name or a word passes for an option.
#include "qt/qt_desktop.h"
#include "qt/qt_single_instance.h"

#include <gtest/gtest.h>

using namespace pagora;

namespace {

TEST(HandOver, OnlyAbsoluteLocalFileUrisAreTaken)
{
    struct Case {
        QString uri;
        QString path; // empty: refused
    };
    const Case cases[] = {
        {QStringLiteral("file:///home/%E6%9B%B8/a%20b.txt"), QStringLiteral("/home/書/a b.txt")},
        {QStringLiteral("file://localhost/tmp/-o.txt"), QStringLiteral("/tmp/-o.txt")},
        {QStringLiteral("file:/tmp/x.epub"), QStringLiteral("/tmp/x.epub")},
        {QStringLiteral("file:relative.txt"), {}},
        {QStringLiteral("file:-o.txt"), {}},
        {QStringLiteral("file://otherhost/tmp/x.txt"), {}},
        {QStringLiteral("http://example.org/x.txt"), {}},
        {QStringLiteral("/tmp/x.txt"), {}},
        {QStringLiteral("-o.txt"), {}},
        {QStringLiteral("file:///tmp/a%0Ab.txt"), {}},
        {QStringLiteral("file:///tmp/a\nb.txt"), {}},
        {QStringLiteral("file:///tmp/x.txt?q=1"), {}},
        {QStringLiteral("file:///tmp/x.txt#f"), {}},
        {QString(), {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(localPathOfUri(c.uri), c.path) << c.uri.toStdString();
    EXPECT_EQ(shownUri(QStringLiteral("file:a\nb\x1b")), QStringLiteral("\"file:a\\u000ab\\u001b\""));
    EXPECT_EQ(shownUri(QString(500, QLatin1Char('x'))).size(), 203);
}

TEST(HandOver, ADictionaryNeverTakesTheWordForAnOption)
{
    struct Case {
        const char *option;
        QString word;
        QStringList arguments;
    };
    const Case cases[] = {
        {"--look-up", QStringLiteral("書"), {QStringLiteral("--look-up=書")}},
        {"--look-up", QStringLiteral("--source=x"), {QStringLiteral("--look-up=--source=x")}},
        {"", QStringLiteral("書"), {QStringLiteral("書")}},
        {"", QStringLiteral("-style=x"), {QStringLiteral("style=x")}},
        {"", QStringLiteral("--"), {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(dictionaryArguments(QString::fromLatin1(c.option), c.word), c.arguments) << c.word.toStdString();
}

} // namespace
