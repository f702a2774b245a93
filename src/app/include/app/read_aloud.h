#pragma once
#include "platform/speech.h"
#include "text/utterances.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagora {

struct Reader;

// The book being read aloud: the utterances of the section being read and
// the one being spoken, and the voice, chosen once per run.
struct ReadAloud {
    bool active = false;
    int section = 0;
    std::vector<Utterance> plan;
    std::size_t next = 0; // the utterance being spoken
    // The engine asked for its voices and given the reader's choice.
    bool prepared = false;
    std::vector<Voice> voices; // the Chinese ones
    int voice = 0;             // into voices
    int rate = 0;              // -10..10
    // Counts waits for the engine to come up: only the latest is acted on.
    unsigned waits = 0;
    // A press on the menu's button, to tell a long press from a tap.
    bool buttonPressed = false;
    std::chrono::steady_clock::time_point pressedAt;
};

// A press held this long on 朗讀 opens the voice dialog instead.
constexpr std::chrono::milliseconds kLongPress{600};

bool isReadingAloud(const Reader &r);
// Reads the open section aloud from offset on, to the end of the book;
// the reader is told what to install when there is no Chinese voice.
void readAloudFrom(Reader &r, std::int32_t offset);
// From the first character of the page shown.
void readAloudFromPage(Reader &r);
// Silence; the page shown stays where the speech stopped. False when
// nothing was being read.
bool stopReadingAloud(Reader &r);
// The engine has spoken the utterance through (or failed on it): on to the
// next, or a message.
void utteranceFinished(Reader &r, bool spoken);
// The voice dialog; the choice is kept in the notes store. True on OK.
bool chooseReadingVoice(Reader &r);

} // namespace pagora
