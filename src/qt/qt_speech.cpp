#include "qt/qt_speech.h"

#include <QTextToSpeech>
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

QtSpeech::QtSpeech(QObject *parent) : QObject(parent) {}

QtSpeech::~QtSpeech()
{
    if (m_engine && m_speaking)
        m_engine->stop();
}

QTextToSpeech *QtSpeech::engine()
{
    if (m_tried)
        return m_engine;
    m_tried = true;
    const QStringList engines = QTextToSpeech::availableEngines();
    if (engines.isEmpty())
        return nullptr;
    const QString name = engines.contains(QStringLiteral("speechd")) ? QStringLiteral("speechd") : engines.first();
    m_engine = new QTextToSpeech(name, this);
    if (m_engine->state() == QTextToSpeech::Error) {
        delete m_engine;
        m_engine = nullptr;
        return nullptr;
    }
    connect(m_engine, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State s) { stateChanged(int(s)); });
    return m_engine;
}

std::vector<Voice> QtSpeech::voices()
{
    QTextToSpeech *e = engine();
    if (!m_listed && e) {
        m_listed = true;
        const QLocale was = e->locale();
        for (const QLocale &locale : e->availableLocales()) {
            if (!mayBeChinese(locale))
                continue;
            e->setLocale(locale);
            for (const QVoice &v : e->availableVoices()) {
                // espeak-ng's variants ("Chinese (Cantonese)+Alex") are one
                // voice in many timbres: the list offers the voice.
                if (v.name().contains(QLatin1Char('+')))
                    continue;
                const QString name = v.name();
                m_voices.push_back(
                    {{std::u16string(reinterpret_cast<const char16_t *>(name.utf16()), std::size_t(name.size())),
                      languageOf(locale, v)},
                     locale,
                     v});
            }
        }
        e->setLocale(was);
    }
    std::vector<Voice> out;
    for (const EngineVoice &v : m_voices)
        out.push_back(v.voice);
    return out;
}

bool QtSpeech::setVoice(const Voice &voice)
{
    QTextToSpeech *e = engine();
    for (const EngineVoice &v : m_voices) {
        if (e && v.voice == voice) {
            e->setLocale(v.locale);
            e->setVoice(v.qvoice);
            return true;
        }
    }
    return false;
}

void QtSpeech::setRate(double rate)
{
    if (QTextToSpeech *e = engine())
        e->setRate(std::clamp(rate, -1.0, 1.0));
}

bool QtSpeech::speak(std::u16string_view text)
{
    QTextToSpeech *e = engine();
    if (!e || e->state() == QTextToSpeech::Error)
        return false;
    ++m_generation;
    m_speaking = true;
    e->say(QString(reinterpret_cast<const QChar *>(text.data()), qsizetype(text.size())));
    return true;
}

void QtSpeech::stop()
{
    ++m_generation;
    m_speaking = false;
    if (m_engine)
        m_engine->stop();
}

void QtSpeech::stateChanged(int state)
{
    if (!m_speaking || (state != QTextToSpeech::Ready && state != QTextToSpeech::Error))
        return;
    m_speaking = false;
    const bool spoken = state == QTextToSpeech::Ready;
    // Never from inside the engine's signal: the reader may speak again at once.
    QTimer::singleShot(0, this, [this, spoken, generation = m_generation] {
        if (generation == m_generation && finished)
            finished(spoken);
    });
}

} // namespace pagora
