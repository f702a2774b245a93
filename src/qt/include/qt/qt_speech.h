#pragma once
#include "platform/speech.h"

#include <QLocale>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVoice>

#include <functional>
#include <utility>
#include <vector>

class QTextToSpeech;
class QThread;

namespace pagora {

// Lives on the speech thread and owns the engine there: a stuck speech
// service blocks this thread, never the reader's.
class SpeechWorker final : public QObject {
    Q_OBJECT
public:
    void start();
    void setVoice(int index);
    void setRate(double rate);
    void speak(const QString &text, unsigned generation);
    void stop(unsigned generation);

signals:
    // The engine's voices that may read Chinese; engine false when there is none.
    void answered(bool engine, const QStringList &names, const QStringList &languages);
    // The engine's state while the utterance of that generation was spoken.
    void stateChanged(int state, unsigned generation);

private:
    QTextToSpeech *m_engine = nullptr;
    std::vector<std::pair<QLocale, QVoice>> m_voices;
    unsigned m_generation = 0;
};

// The desktop's speech service through Qt TextToSpeech, speech-dispatcher
// preferred, on a thread of its own. Nothing is loaded before the first
// call: start-up pays nothing.
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
    SpeechState state() override;
    void whenAnswered(std::function<void()> then) override;

    // How long the engine may take to come up before the reader is told.
    static constexpr int kPatienceMs = 3000;

private:
    void start();
    void answered(bool engine, const QStringList &names, const QStringList &languages);
    void stateChanged(int state, unsigned generation);
    void settle(SpeechState state);
    template <typename F> void post(F &&call);

    QThread *m_thread = nullptr;
    SpeechWorker *m_worker = nullptr;
    SpeechState m_state = SpeechState::Starting;
    bool m_engine = false;
    std::vector<Voice> m_voices;
    std::vector<std::function<void()>> m_waiting;
    QTimer m_patience;
    bool m_speaking = false;
    // Counts utterances started or stopped: a finish queued for an earlier
    // one is dropped.
    unsigned m_generation = 0;
};

} // namespace pagora
