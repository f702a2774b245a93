#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

// A voice of the speech engine: its name as the engine gives it, shown to
// the reader, and the language it speaks as a BCP 47 tag ("cmn", "zh-TW",
// "yue"; "und" when the engine does not say).
struct Voice {
    std::u16string name;
    std::string language;
    bool operator==(const Voice &) const = default;
};

// Where the engine is: an engine coming up elsewhere is Starting until it
// answers, and Silent when it has not answered in time (it may still).
enum class SpeechState { Starting, Answered, Silent };

// The desktop's speech engine, loaded on first use. One utterance is spoken
// at a time; when it has been spoken through, finished is called from the
// event loop, never from inside speak or stop: spoken is false when the
// engine failed on it.
class Speech {
public:
    virtual ~Speech() = default;
    // The engine's voices that may read Chinese (an engine may name more);
    // empty when there is no engine.
    virtual std::vector<Voice> voices() = 0;
    // False when the voice is not one of voices().
    virtual bool setVoice(const Voice &voice) = 0;
    // -1 (slowest) .. 0 (the engine's normal rate) .. 1 (fastest).
    virtual void setRate(double rate) = 0;
    // Starts speaking text; false when nothing will be spoken.
    virtual bool speak(std::u16string_view text) = 0;
    // Silence at once; no finished follows for the utterance cut off.
    virtual void stop() = 0;
    // Asking starts the engine. voices() is known once Answered.
    virtual SpeechState state() { return SpeechState::Answered; }
    // then runs from the event loop once state() is no longer Starting;
    // asked only while it is.
    virtual void whenAnswered(std::function<void()> then) { then(); }

    std::function<void(bool spoken)> finished;
};

// No engine: no voices, nothing spoken.
Speech &noSpeech();

} // namespace pagora
