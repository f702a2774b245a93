#pragma once
// Test doubles for the platform layer: nothing here blocks or opens a window.
#include "platform/desktop.h"
#include "platform/null_services.h"
#include "platform/speech.h"
#include "state/reader_state.h"

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace pagora {

// Records every drawing call. Text is measured as 1 em for characters above
// U+00FF and half an em for the rest, so geometry is predictable.
// Screens and phases print as their numbers in failure messages.
std::ostream &operator<<(std::ostream &out, Screen screen);
std::ostream &operator<<(std::ostream &out, PointerPhase phase);

class RecordingSurface final : public Surface {
public:
    struct Call {
        std::string op; // "text", "glyph", "line", "roundRect", "fill", "invert", "clip", "createFont", ...
        int a = 0, b = 0, c = 0, d = 0;
        std::u16string text;
        Colour colour = 0;
        int font = kNoFont;
        int clipDepth = 0; // clips already in force when the call was made
    };
    std::vector<Call> calls;
    std::vector<FontRequest> fonts; // by handle
    std::vector<bool> fontAlive;
    // Glyphs the face lacks; every other one it has.
    std::u16string missingGlyphs;

    FontHandle createFont(const FontRequest &request) override;
    void deleteFont(FontHandle font) override;
    int textWidth(FontHandle font, std::u16string_view text) override;
    bool hasGlyph(FontHandle font, char16_t u) override;
    void drawText(int x, int y, std::u16string_view text, const TextPaint &paint) override;
    // Recorded as "glyph" with c = 1 when turned plus 2 when ink-centred.
    void drawCellGlyph(int x, int y, char16_t u, GlyphPose pose, const TextPaint &paint) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void drawRoundRect(int left, int top, int right, int bottom, Colour fill) override;
    void fillRect(int left, int top, int right, int bottom, Colour colour) override;
    // One "invert" call per rectangle, cut to the clip: what changes on
    // screen. A rectangle wholly outside it is not recorded.
    void invertRects(std::span<const PixelRect> rects) override;
    // Recorded as "clip" with the rectangle, before what is drawn inside.
    void drawClipped(int left, int top, int right, int bottom, const std::function<void()> &draw) override;

    std::vector<Call> callsOf(const std::string &op) const;
    // The texts drawn, in order.
    std::vector<std::u16string> texts() const;
    void clear() { calls.clear(); }

private:
    std::vector<PixelRect> clips_;
};

class ScriptedDialogs final : public Dialogs {
public:
    std::vector<std::u16string> messages;
    std::vector<std::u16string> questions;
    std::deque<bool> yesNoAnswers; // empty: No
    std::deque<int> choiceAnswers; // of three; empty: Yes 0, No 1
    struct FontAnswer {
        std::string face;
        int height;
    };
    std::deque<std::optional<FontAnswer>> fontAnswers; // empty or nullopt: cancel
    std::vector<std::pair<std::string, int>> fontPresets;
    std::deque<std::optional<std::string>> folderAnswers; // empty or nullopt: cancel
    std::vector<std::u16string> folderCaptions;
    std::vector<std::string> folderPresets;
    std::deque<std::vector<std::string>> fileAnswers;      // empty: cancel
    std::deque<std::optional<std::u16string>> noteAnswers; // empty or nullopt: cancel
    std::vector<std::u16string> notePresets;               // the note each editor opened with
    std::deque<std::string> saveAnswers;                   // empty: cancel
    std::vector<std::string> savePresets;                  // the name each save dialog proposed

    void showMessage(std::u16string_view text) override;
    bool askYesNo(std::u16string_view text) override;
    bool chooseFont(std::string &face, int &height) override;
    std::deque<Answer> eitherOrAnswers; // empty: the next yes/no answer, yes for the first
    Answer askEitherOr(std::u16string_view text, std::u16string_view, std::u16string_view) override
    {
        if (eitherOrAnswers.empty())
            return askYesNo(text) ? Answer::First : Answer::Second;
        questions.emplace_back(text);
        const Answer a = eitherOrAnswers.front();
        eitherOrAnswers.pop_front();
        return a;
    }
    int askOneOfThree(std::u16string_view text, std::u16string_view, std::u16string_view, std::u16string_view) override
    {
        if (choiceAnswers.empty())
            return askYesNo(text) ? 0 : 1;
        questions.emplace_back(text);
        const int a = choiceAnswers.front();
        choiceAnswers.pop_front();
        return a;
    }
    bool chooseFolder(std::u16string_view caption, std::string &folder) override;
    std::vector<std::string> chooseFilesToOpen() override;
    bool editNote(std::u16string_view caption, std::u16string_view passage, std::u16string &note) override;
    std::string chooseSaveFile(std::u16string_view caption, const std::string &suggested) override;
    struct VoiceAnswer {
        int voice, rate;
    };
    std::deque<VoiceAnswer> voiceAnswers; // empty: cancel
    bool chooseVoice(const std::vector<Voice> &voices, int &chosen, int &rate) override
    {
        if (voiceAnswers.empty() || voices.empty())
            return false;
        chosen = voiceAnswers.front().voice, rate = voiceAnswers.front().rate;
        voiceAnswers.pop_front();
        return true;
    }
};

// A speech engine with a Mandarin and a Cantonese voice that records what it
// is told; the test says when an utterance has been spoken through.
class RecordingSpeech final : public Speech {
public:
    std::vector<Voice> engineVoices = {{u"English", "en"}, {u"Chinese (Cantonese)", "yue"}, {u"Mandarin", "cmn"}};
    std::vector<std::u16string> spoken;
    int stops = 0;
    Voice voice;
    double rate = 0;

    std::vector<Voice> voices() override
    {
        return engineState == SpeechState::Answered ? engineVoices : std::vector<Voice>{};
    }
    bool setVoice(const Voice &v) override { return voice = v, true; }
    void setRate(double r) override { rate = r; }
    bool speak(std::u16string_view text) override { return spoken.emplace_back(text), true; }
    void stop() override { ++stops; }

    // Starting: what waits for the engine runs when the test answers for it.
    SpeechState engineState = SpeechState::Answered;
    std::vector<std::function<void()>> waiting;
    SpeechState state() override { return engineState; }
    void whenAnswered(std::function<void()> then) override { waiting.push_back(std::move(then)); }
    void answer(SpeechState s)
    {
        engineState = s;
        for (std::function<void()> &then : std::exchange(waiting, {}))
            then();
    }
};

class FakeWindowHost final : public WindowHost {
public:
    std::u16string caption = u"Pagora 1.8";
    bool autoSize = true;
    bool frameless = false;
    WindowState state = WindowState::Normal;
    std::vector<WindowState> stateChanges;
    int panelW = 0, panelH = 0;
    int formW = 0, formH = 0;
    int screenW = 1280, screenH = 1024;
    bool focused = false;
    int closeRequests = 0;
    // Called from setWindowState, as the platform reports the change.
    std::function<void(WindowState)> onStateChanged;

    void setCaption(std::u16string_view c) override { caption = std::u16string(c); }
    void setAutoSize(bool on) override { autoSize = on; }
    void setFrameless(bool on) override { frameless = on; }
    void setWindowState(WindowState s) override;
    void setPanelSize(int w, int h) override { panelW = w, panelH = h; }
    int panelWidth() const override { return panelW; }
    int panelHeight() const override { return panelH; }
    // A maximized form keeps the size the window manager gave it.
    void setFormSize(int w, int h) override
    {
        if (state != WindowState::Maximized)
            formW = w, formH = h;
    }
    int formWidth() const override { return formW; }
    int formHeight() const override { return formH; }
    int screenWidth() const override { return screenW; }
    int screenHeight() const override { return screenH; }
    void focusPanel() override { focused = true; }
    void close() override { ++closeRequests; }
};

class FakeTextBox final : public TextBox {
public:
    bool created = false, visible = false, focused = false;
    int x = 0, y = 0, w = 0, h = 0;
    int createCount = 0;
    std::u16string content;

    bool isCreated() const override { return created; }
    void create(int cx, int cy, int cw, int ch) override;
    void show() override { visible = true; }
    void hide() override { visible = false, focused = false; }
    void focus() override { focused = true; }
    std::u16string text() const override { return content; }
    void setText(std::u16string_view text) override { content = text; }
};

// A temporary folder removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    // Ends with '/'.
    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + name; }

private:
    std::string m_path;
};

// The pointer as the input dispatch leaves it for a handler of that phase.
void enterPhase(Pointer &pointer, PointerPhase phase);

void writeFile(const std::string &path, const std::string &bytes);
std::string readFile(const std::string &path);

// The doubles a test hands to the code under test.
struct TestDoubles {
    RecordingSurface surface;
    ScriptedDialogs dialogs;
    FakeWindowHost window;
    FakeTextBox searchBox;
    RecordingSpeech speech;
};

// A state and its fonts beside the doubles and the real file system: the
// parts the layers below the app take one by one.
struct TestParts : TestDoubles {
    Files *files = &systemFiles();
    ReaderState s;
    PainterFonts fonts;
};

} // namespace pagora
