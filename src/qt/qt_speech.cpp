#include "qt/qt_speech.h"

#include <QTextToSpeech>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace pagora {

namespace {

// Qt names no locale for some of the engine's languages (espeak-ng's
// Mandarin comes as the C locale): its voice's name then tells.
std::string languageOf(const QLocale &locale, const QVoice &voice)
{
    if (locale.language() != QLocale::C && locale.language() != QLocale::AnyLanguage)
        return locale.bcp47Name().toStdString();
    if (voice.name().contains(QStringLiteral("Mandarin"), Qt::CaseInsensitive))
        return "cmn";
    if (voice.name().contains(QStringLiteral("Cantonese"), Qt::CaseInsensitive))
        return "yue";
    return "und";
}

// Only these can read a Chinese book; asking every locale of the engine
// for its voices would cost a round trip each.
bool mayBeChinese(const QLocale &locale)
{
    const QLocale::Language l = locale.language();
    return l == QLocale::Chinese || l == QLocale::Cantonese || l == QLocale::C || l == QLocale::AnyLanguage;
}

} // namespace

void SpeechWorker::start()
{
    if (m_engine)
        return;
    const QStringList engines = QTextToSpeech::availableEngines();
    if (!engines.isEmpty()) {
        const QString name = engines.contains(QStringLiteral("speechd")) ? QStringLiteral("speechd") : engines.first();
        // Where the service is stuck this never returns: only this thread waits.
        m_engine = new QTextToSpeech(name, this);
        if (m_engine->state() == QTextToSpeech::Error) {
            delete m_engine;
            m_engine = nullptr;
        }
    }
    QStringList names, languages;
    if (m_engine) {
        connect(m_engine, &QTextToSpeech::stateChanged, this,
                [this](QTextToSpeech::State s) { emit stateChanged(int(s), m_generation); });
        const QLocale was = m_engine->locale();
        for (const QLocale &locale : m_engine->availableLocales()) {
            if (!mayBeChinese(locale))
                continue;
            m_engine->setLocale(locale);
            for (const QVoice &v : m_engine->availableVoices()) {
                // espeak-ng's variants ("Chinese (Cantonese)+Alex") are one
                // voice in many timbres: the list offers the voice.
                if (v.name().contains(QLatin1Char('+')))
                    continue;
                m_voices.emplace_back(locale, v);
                names.push_back(v.name());
                languages.push_back(QString::fromStdString(languageOf(locale, v)));
            }
        }
        m_engine->setLocale(was);
    }
    emit answered(m_engine != nullptr, names, languages);
}

void SpeechWorker::setVoice(int index)
{
    if (m_engine && index >= 0 && std::size_t(index) < m_voices.size()) {
        m_engine->setLocale(m_voices[std::size_t(index)].first);
        m_engine->setVoice(m_voices[std::size_t(index)].second);
    }
}

void SpeechWorker::setRate(double rate)
{
    if (m_engine)
        m_engine->setRate(rate);
}

void SpeechWorker::speak(const QString &text, unsigned generation)
{
    m_generation = generation;
    if (!m_engine || m_engine->state() == QTextToSpeech::Error) {
        emit stateChanged(int(QTextToSpeech::Error), generation);
        return;
    }
    m_engine->say(text);
}

void SpeechWorker::stop(unsigned generation)
{
    m_generation = generation;
    if (m_engine)
        m_engine->stop();
}

QtSpeech::QtSpeech(QObject *parent) : QObject(parent)
{
    m_patience.setSingleShot(true);
    m_patience.setInterval(kPatienceMs);
    connect(&m_patience, &QTimer::timeout, this, [this] { settle(SpeechState::Silent); });
}

QtSpeech::~QtSpeech()
{
    if (!m_thread)
        return;
    if (m_speaking)
        stop();
    // Behind the stop in the worker's queue.
    post([] { QThread::currentThread()->quit(); });
    // A stuck service is left behind with its thread (a running QThread
    // may not be deleted): the reader quits all the same.
    if (m_thread->wait(QDeadlineTimer(500)))
        delete m_thread;
}

template <typename F> void QtSpeech::post(F &&call)
{
    start();
    QMetaObject::invokeMethod(m_worker, std::forward<F>(call), Qt::QueuedConnection);
}

void QtSpeech::start()
{
    if (m_thread)
        return;
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("speech"));
    m_worker = new SpeechWorker;
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &SpeechWorker::answered, this, &QtSpeech::answered, Qt::QueuedConnection);
    connect(m_worker, &SpeechWorker::stateChanged, this, &QtSpeech::stateChanged, Qt::QueuedConnection);
    m_thread->start();
    QMetaObject::invokeMethod(m_worker, &SpeechWorker::start, Qt::QueuedConnection);
    m_patience.start();
}

SpeechState QtSpeech::state()
{
    start();
    return m_state;
}

void QtSpeech::whenAnswered(std::function<void()> then)
{
    start();
    m_waiting.push_back(std::move(then));
    if (m_state != SpeechState::Starting)
        QTimer::singleShot(0, this, [this] { settle(m_state); });
}

void QtSpeech::answered(bool engine, const QStringList &names, const QStringList &languages)
{
    m_engine = engine;
    m_voices.clear();
    for (qsizetype i = 0; i < names.size() && i < languages.size(); ++i)
        m_voices.push_back({names[i].toStdU16String(), languages[i].toStdString()});
    settle(SpeechState::Answered);
}

// Tells those waiting where the engine is; once it has answered, that stays.
void QtSpeech::settle(SpeechState state)
{
    if (m_state != SpeechState::Answered)
        m_state = state;
    m_patience.stop();
    for (std::function<void()> &then : std::exchange(m_waiting, {}))
        then();
}

std::vector<Voice> QtSpeech::voices()
{
    start();
    return m_voices;
}

bool QtSpeech::setVoice(const Voice &voice)
{
    const auto it = std::find(m_voices.begin(), m_voices.end(), voice);
    if (it == m_voices.end())
        return false;
    post([w = m_worker, index = int(it - m_voices.begin())] { w->setVoice(index); });
    return true;
}

void QtSpeech::setRate(double rate)
{
    post([w = m_worker, rate = std::clamp(rate, -1.0, 1.0)] { w->setRate(rate); });
}

bool QtSpeech::speak(std::u16string_view text)
{
    if (m_state != SpeechState::Answered || !m_engine)
        return false;
    ++m_generation;
    m_speaking = true;
    post([w = m_worker, generation = m_generation,
          t = QString(reinterpret_cast<const QChar *>(text.data()), qsizetype(text.size()))] {
        w->speak(t, generation);
    });
    return true;
}

void QtSpeech::stop()
{
    ++m_generation;
    m_speaking = false;
    if (m_thread)
        post([w = m_worker, generation = m_generation] { w->stop(generation); });
}

void QtSpeech::stateChanged(int state, unsigned generation)
{
    if (!m_speaking || generation != m_generation || (state != QTextToSpeech::Ready && state != QTextToSpeech::Error))
        return;
    m_speaking = false;
    // Queued already: the reader may speak again from here.
    if (finished)
        finished(state == QTextToSpeech::Ready);
}

} // namespace pagora
