#pragma once
#include "platform/speech.h"

#include <string>
#include <string_view>
#include <vector>

namespace pagora {

// Modal dialogs. Every message box carries the caption "Pagora 1.8".
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void showMessage(std::u16string_view text) = 0;
    // True for Yes.
    virtual bool askYesNo(std::u16string_view text) = 0;
    // A question with two answers named by their buttons, and a way out:
    // Neither when it is closed unanswered (Esc, the window's close, cancel).
    enum class Answer { First, Second, Neither };
    virtual Answer askEitherOr(std::u16string_view text, std::u16string_view first, std::u16string_view)
    {
        (void)first;
        return askYesNo(text) ? Answer::First : Answer::Second;
    }
    // A question with three answers named by their buttons: 0, 1 or 2 for the
    // one chosen. Closing the box (Esc) answers the third.
    virtual int askOneOfThree(std::u16string_view text, std::u16string_view first, std::u16string_view second,
                              std::u16string_view third)
    {
        (void)third;
        switch (askEitherOr(text, first, second)) {
        case Answer::First: return 0;
        case Answer::Second: return 1;
        case Answer::Neither: break;
        }
        return 2;
    }
    // Preset with face (UTF-8) and character height in pixels; on OK both hold
    // the choice and the result is true.
    virtual bool chooseFont(std::string &face, int &height) = 0;
    // Opens in folder when it is set; on OK folder holds the chosen folder
    // (UTF-8, no trailing separator needed) and the result is true.
    virtual bool chooseFolder(std::u16string_view caption, std::string &folder) = 0;
    // Books, texts and EPUBs to bring onto the shelf (UTF-8 paths); empty
    // when cancelled.
    virtual std::vector<std::string> chooseFilesToOpen() { return {}; }
    // A note on a passage, written in a multi-line editor preset with note;
    // on OK note holds the text and the result is true.
    virtual bool editNote(std::u16string_view caption, std::u16string_view passage, std::u16string &note)
    {
        (void)caption, (void)passage, (void)note;
        return false;
    }
    // The voice to read aloud with, one of voices, and the rate -10..10 (0 the
    // engine's normal one); preset with both; on OK both hold the choice.
    virtual bool chooseVoice(const std::vector<Voice> &voices, int &chosen, int &rate)
    {
        (void)voices, (void)chosen, (void)rate;
        return false;
    }
    // A file to write, proposed as suggested (UTF-8 path); empty when cancelled.
    virtual std::string chooseSaveFile(std::u16string_view caption, const std::string &suggested)
    {
        (void)caption, (void)suggested;
        return {};
    }
};

} // namespace pagora
