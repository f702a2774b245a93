#include "app/read_aloud.h"

#include "app/messages.h"
#include "app/navigation.h"
#include "app/reader.h"
#include "app/selection_handlers.h"
#include "render/layout_walk.h"
#include "text/codec.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>

namespace pagora {

namespace {

constexpr std::u16string_view kNoChineseVoice = u"找不到中文語音。請安裝 speech-dispatcher 與 espeak-ng。";
constexpr std::u16string_view kSpeechSilent = u"語音服務沒有回應。請確認 speech-dispatcher 可以使用。";
constexpr std::u16string_view kSpeechFailed = u"語音引擎無法朗讀，朗讀已停止。";

// Where the choice is kept in the notes store.
constexpr std::string_view kVoiceKey = "readAloud.voice";
constexpr std::string_view kLanguageKey = "readAloud.language";
constexpr std::string_view kRateKey = "readAloud.rate";

std::string lowered(std::string_view tag)
{
    std::string out(tag);
    for (char &c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    std::replace(out.begin(), out.end(), '_', '-');
    return out;
}

bool hasPrefix(const std::string &tag, std::string_view prefix)
{
    return tag.compare(0, prefix.size(), prefix) == 0 && (tag.size() == prefix.size() || tag[prefix.size()] == '-');
}

bool isCantonese(const Voice &v)
{
    const std::string tag = lowered(v.language);
    return hasPrefix(tag, "yue") || hasPrefix(tag, "zh-yue") || hasPrefix(tag, "zh-hk") || hasPrefix(tag, "zh-mo");
}

// Mandarin or Cantonese: the two the books are read in.
bool isChinese(const Voice &v)
{
    const std::string tag = lowered(v.language);
    return hasPrefix(tag, "zh") || hasPrefix(tag, "cmn") || isCantonese(v);
}

// The engine asked once for its Chinese voices; the remembered choice, or
// else the first Mandarin voice, given to it. False, with a message, when
// it has none.
bool prepare(Reader &r)
{
    ReadAloud &a = r.aloud;
    if (!a.prepared) {
        a.voices.clear();
        for (Voice &v : r.services.speech->voices())
            if (isChinese(v))
                a.voices.push_back(std::move(v));
        // Mandarin first, in the engine's order.
        std::stable_partition(a.voices.begin(), a.voices.end(), [](const Voice &v) { return !isCantonese(v); });
        const std::u16string name = utf8ToUtf16(r.services.notes->preference(kVoiceKey));
        const std::string language = r.services.notes->preference(kLanguageKey);
        a.voice = 0;
        for (std::size_t i = 0; i < a.voices.size(); ++i)
            if (a.voices[i].name == name && a.voices[i].language == language)
                a.voice = int(i);
        const std::string rate = r.services.notes->preference(kRateKey);
        a.rate = rate.empty() ? 0 : std::clamp(std::atoi(rate.c_str()), -10, 10);
        a.prepared = !a.voices.empty();
        if (a.prepared) {
            r.services.speech->setVoice(a.voices[std::size_t(a.voice)]);
            r.services.speech->setRate(a.rate / 10.0);
        }
    }
    if (!a.prepared)
        showMessage(r, r.services.speech->state() == SpeechState::Silent ? kSpeechSilent : kNoChineseVoice);
    return a.prepared;
}

// The engine comes up on a thread of its own: until it answers, step waits
// for it, unless reading is stopped or asked for again meanwhile. False
// when there is nothing to wait for.
bool awaitEngine(Reader &r, std::function<void()> step)
{
    if (r.aloud.prepared || r.services.speech->state() != SpeechState::Starting)
        return false;
    r.services.speech->whenAnswered([&r, step = std::move(step), wait = ++r.aloud.waits] {
        if (wait == r.aloud.waits)
            step();
    });
    return true;
}

void stopWith(Reader &r, std::u16string_view message)
{
    stopReadingAloud(r);
    showMessage(r, message);
}

// Speaks plan[next], going on into the next sections when this one is
// spoken through, and turns to the page where the utterance starts.
void speakNext(Reader &r)
{
    ReadAloud &a = r.aloud;
    ReaderState &s = r.state;
    bool sectionChanged = false;
    while (a.next >= a.plan.size()) {
        if (a.section >= s.book.sectionCount) {
            stopReadingAloud(r);
            return;
        }
        ++a.section;
        s.book.currentSection = std::int16_t(a.section);
        loadSection(r);
        a.plan = planUtterances(s.book.usableText(), a.section);
        a.next = 0;
        sectionChanged = true;
    }
    const Utterance u = a.plan[a.next];
    finishLayout(s.book);
    const int page = s.book.pages.pageHolding(u.start);
    if (sectionChanged || s.book.pages.shownPageStart() != s.book.pages.start(page)) {
        s.menu.clearReadingMarks();
        showPage(r, page);
    }
    showSpokenRange(r, u.start, u.length);
    if (!r.services.speech->speak(s.book.usableText().substr(std::size_t(u.start), std::size_t(u.length))))
        stopWith(r, kSpeechFailed);
}

} // namespace

bool isReadingAloud(const Reader &r)
{
    return r.aloud.active;
}

void readAloudFrom(Reader &r, std::int32_t offset)
{
    stopReadingAloud(r);
    ReaderState &s = r.state;
    if (s.book.currentSection < 1 || s.book.pages.pageCount() < 1)
        return;
    const int section = s.book.currentSection;
    if (awaitEngine(r, [&r, section, offset] {
            if (r.state.book.currentSection == section && std::size_t(offset) <= r.state.book.usableText().size())
                readAloudFrom(r, offset);
        }))
        return;
    if (!prepare(r))
        return;
    ReadAloud &a = r.aloud;
    a.active = true;
    a.section = s.book.currentSection;
    a.plan = planUtterances(s.book.usableText(), a.section, offset);
    a.next = 0;
    finishLayout(s.book);
    if (s.currentScreen != Screen::ReadingScreen)
        showPage(r, s.book.pages.pageHolding(offset));
    speakNext(r);
}

void readAloudFromPage(Reader &r)
{
    const PageTable &pages = r.state.book.pages;
    const std::int32_t shown = pages.shownPageStart();
    readAloudFrom(r, shown >= 0 ? shown : pages.start(pages.shownPage()));
}

bool stopReadingAloud(Reader &r)
{
    ReadAloud &a = r.aloud;
    ++a.waits;
    if (!a.active)
        return false;
    a.active = false;
    a.plan.clear();
    a.next = 0;
    r.services.speech->stop();
    showSpokenRange(r, 0, 0);
    return true;
}

void utteranceFinished(Reader &r, bool spoken)
{
    ReadAloud &a = r.aloud;
    if (!a.active)
        return;
    if (!spoken) {
        stopWith(r, kSpeechFailed);
        return;
    }
    ++a.next;
    speakNext(r);
}

bool chooseReadingVoice(Reader &r)
{
    if (awaitEngine(r, [&r] { chooseReadingVoice(r); }))
        return false;
    if (!prepare(r))
        return false;
    ReadAloud &a = r.aloud;
    int chosen = a.voice, rate = a.rate;
    if (!r.services.dialogs->chooseVoice(a.voices, chosen, rate))
        return false;
    if (chosen < 0 || chosen >= int(a.voices.size()))
        return false;
    a.voice = chosen;
    a.rate = std::clamp(rate, -10, 10);
    const Voice &v = a.voices[std::size_t(a.voice)];
    r.services.speech->setVoice(v);
    r.services.speech->setRate(a.rate / 10.0);
    r.services.notes->storePreference(kVoiceKey, utf16ToUtf8(v.name));
    r.services.notes->storePreference(kLanguageKey, v.language);
    r.services.notes->storePreference(kRateKey, std::to_string(a.rate));
    return true;
}

} // namespace pagora
