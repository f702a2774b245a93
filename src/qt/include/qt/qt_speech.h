#pragma once
#include "platform/speech.h"

#include <QLocale>
#include <QObject>
#include <QVoice>

#include <memory>
#include <vector>

class QTextToSpeech;

namespace pagora {

// The desktop's speech service through Qt TextToSpeech, speech-dispatcher
// preferred. Nothing is loaded before the first call: start-up pays nothing.
class QtSpeech final : public QObject, public Speech {
    Q_OBJECT
public:
    explicit QtSpeech(QObject *parent = nullptr);
    ~QtSpeech() override;

    std::vector<Voice> voices() override;
    bool setVoice(const Voice &voice) override;
    void setRate(double rate) override;
    bool speak(std::u16string_view text) override;
    void stop() override;

private:
    QTextToSpeech *engine();
    void stateChanged(int state);

    struct EngineVoice {
        Voice voice;
        QLocale locale;
        QVoice qvoice;
    };
    QTextToSpeech *m_engine = nullptr;
    bool m_tried = false;
    bool m_listed = false;
    std::vector<EngineVoice> m_voices;
    bool m_speaking = false;
    // Counts utterances started or stopped: a finish queued for an earlier
    // one is dropped.
    unsigned m_generation = 0;
};

} // namespace pagora
