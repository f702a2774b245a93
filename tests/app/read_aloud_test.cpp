#include "paged_book.h"
#include "panel_screens.h"

#include "app/input_dispatch.h"
#include "app/read_aloud.h"
#include "app/selection_handlers.h"
#include "app/show_screen.h"
#include "notes/notes_database.h"
#include "screens/menu_screen.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

using namespace pagora;

namespace {

std::u16string sentences(int count, int length, char16_t c)
{
    std::u16string out;
    for (int i = 0; i < count; ++i)
        out += std::u16string(std::size_t(length - 1), char16_t(c + i)) + u"。";
    return out;
}

// A mode-one panel over a book whose first section runs over several pages
// and whose second holds two short sentences.
class ReadAloudTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startModeOne(t);
        ASSERT_TRUE(openBookOfTexts(t.r, dir, {sentences(12, 60, u'甲'), u"  子曰：「好。」\r\n末句！"}));
        showPosition(t.r, 1, 1);
    }

    void tap(const PixelRect &b, std::chrono::milliseconds held = {})
    {
        onPointerPressed(t.r, b.x + 2, b.y + 2, true);
        t.r.aloud.pressedAt -= held;
        onPointerReleased(t.r, b.x + 2, b.y + 2, true);
    }

    // What the reader shows while the utterance u is spoken: its section, the
    // page holding its start, and u selected.
    void expectShowing(const Utterance &u)
    {
        const ReaderState &s = t.r.state;
        EXPECT_EQ(s.currentScreen, Screen::ReadingScreen);
        EXPECT_EQ(s.book.currentSection, u.section);
        EXPECT_EQ(s.book.pages.shownPageStart(), s.book.pages.start(s.book.pages.pageHolding(u.start)));
        EXPECT_EQ(std::make_pair(s.book.selection.start, s.book.selection.length), std::make_pair(u.start, u.length));
        ASSERT_FALSE(t.speech.spoken.empty());
        EXPECT_EQ(t.speech.spoken.back(), s.book.usableText().substr(std::size_t(u.start), std::size_t(u.length)));
    }

    TempDir dir;
    TestReader t;
};

TEST_F(ReadAloudTest, ReadsToTheEndOfTheBookTurningPagesAndSections)
{
    showScreen(t.r, Screen::MenuScreen);
    tap(readAloudButton(t.r.state));
    ASSERT_TRUE(isReadingAloud(t.r));
    EXPECT_EQ(t.speech.voice.language, "cmn"); // Mandarin unless told otherwise

    std::vector<Utterance> expected = planUtterances(t.r.state.book.usableText(), 1);
    std::set<std::pair<int, int>> pagesShown;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        expectShowing(expected[i]);
        pagesShown.insert({t.r.state.book.currentSection, t.r.state.book.pages.currentPage()});
        if (i + 1 == expected.size() && expected.back().section == 1) {
            utteranceFinished(t.r, true);
            const auto second = planUtterances(t.r.state.book.usableText(), 2);
            expected.insert(expected.end(), second.begin(), second.end());
            continue;
        }
        utteranceFinished(t.r, true);
    }
    EXPECT_EQ(expected.size(), 14u);
    EXPECT_EQ(t.speech.spoken.size(), 14u);
    EXPECT_EQ(t.speech.spoken[12], u"子曰：「好。」");
    EXPECT_GE(pagesShown.size(), 3u); // at least two pages of section 1 and one of section 2
    EXPECT_FALSE(isReadingAloud(t.r));
    EXPECT_TRUE(t.r.state.book.selection.isEmpty());
    EXPECT_EQ(t.r.state.book.currentSection, 2);
}

TEST_F(ReadAloudTest, EscStopsWhereTheSpeechIsAndATapOnlyStops)
{
    readAloudFrom(t.r, 65); // mid-sentence, as from a selection
    EXPECT_EQ(t.speech.spoken.front(), std::u16string(54, char16_t(u'甲' + 1)) + u"。");
    while (t.r.state.book.pages.currentPage() < 2 && isReadingAloud(t.r))
        utteranceFinished(t.r, true);
    const std::int32_t place = t.r.state.book.pages.shownPageStart();
    const std::size_t said = t.speech.spoken.size();

    EXPECT_TRUE(onCommand(t.r, Command::Back));
    EXPECT_FALSE(isReadingAloud(t.r));
    EXPECT_EQ(t.speech.stops, 1);
    EXPECT_TRUE(t.r.state.book.selection.isEmpty());
    EXPECT_EQ(t.r.state.currentScreen, Screen::ReadingScreen);
    EXPECT_EQ(t.r.state.book.pages.shownPageStart(), place);
    utteranceFinished(t.r, true); // late: nothing more is said
    EXPECT_EQ(t.speech.spoken.size(), said);

    readAloudFromPage(t.r);
    EXPECT_TRUE(selectionPressed(t.r, 100, 100, PointerButton::Left, false));
    EXPECT_FALSE(isReadingAloud(t.r));
    EXPECT_EQ(t.r.state.book.pages.shownPageStart(), place);
}

TEST_F(ReadAloudTest, VoiceChoiceIsKeptAndAMissingVoiceSaysWhatToInstall)
{
    NotesDatabase notes(dir.file("notes.sqlite"));
    t.r.services.notes = &notes;
    t.dialogs.voiceAnswers.push_back({1, 4}); // the Cantonese voice, a little faster
    showScreen(t.r, Screen::MenuScreen);
    tap(readAloudButton(t.r.state), kLongPress);
    EXPECT_FALSE(isReadingAloud(t.r));
    EXPECT_EQ(t.speech.voice.language, "yue");
    EXPECT_DOUBLE_EQ(t.speech.rate, 0.4);

    // The next run of the reader takes the voice kept.
    t.r.aloud = {};
    t.speech.voice = {};
    readAloudFromPage(t.r);
    EXPECT_EQ(t.speech.voice.language, "yue");

    stopReadingAloud(t.r);
    t.r.aloud = {};
    t.speech.engineVoices = {{u"English", "en"}};
    readAloudFromPage(t.r);
    EXPECT_FALSE(isReadingAloud(t.r));
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_EQ(t.dialogs.messages[0], u"找不到中文語音。請安裝 speech-dispatcher 與 espeak-ng。");
}

TEST_F(ReadAloudTest, AnEngineComingUpIsWaitedForOnlyAsLongAsAsked)
{
    const struct {
        SpeechState answer;
        bool stoppedMeanwhile;
        bool reads;
    } rows[] = {
        {SpeechState::Answered, false, true},
        {SpeechState::Silent, false, false},
        {SpeechState::Answered, true, false},
    };
    for (const auto &row : rows) {
        t.r.aloud = {};
        t.speech.spoken.clear();
        t.dialogs.messages.clear();
        t.speech.engineState = SpeechState::Starting;
        readAloudFromPage(t.r);
        readAloudFromPage(t.r); // asked twice, read once
        EXPECT_TRUE(t.speech.spoken.empty());
        if (row.stoppedMeanwhile)
            stopReadingAloud(t.r);
        t.speech.answer(row.answer);
        EXPECT_EQ(isReadingAloud(t.r), row.reads);
        EXPECT_EQ(t.speech.spoken.size(), row.reads ? 1u : 0u);
        const bool told = row.answer == SpeechState::Silent;
        ASSERT_EQ(t.dialogs.messages.size(), told ? 1u : 0u);
        if (told) {
            EXPECT_EQ(t.dialogs.messages[0], u"語音服務沒有回應。請確認 speech-dispatcher 可以使用。");
        }
        stopReadingAloud(t.r);
    }
}

} // namespace
