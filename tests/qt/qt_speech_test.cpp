// The speech object never makes the reader wait on the speech service,
// whatever state the machine's service is in.
#include "gui_app.h"

#include "qt/qt_speech.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace pagora;

namespace {

TEST(QtSpeech, NeverWaitsOnTheServiceAndHearsFromItInTime)
{
    ensureGuiApp();
    QElapsedTimer clock;
    clock.start();
    auto speech = std::make_unique<QtSpeech>();
    speech->stop();
    EXPECT_EQ(speech->state(), SpeechState::Starting);
    EXPECT_TRUE(speech->voices().empty()) << "nothing known before the engine answers";
    EXPECT_FALSE(speech->speak(u"子曰"));
    EXPECT_LT(clock.elapsed(), 500);

    bool told = false;
    QEventLoop loop;
    speech->whenAnswered([&] { told = true, loop.quit(); });
    QTimer::singleShot(QtSpeech::kPatienceMs + 2000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(told);
    EXPECT_NE(speech->state(), SpeechState::Starting);

    clock.restart();
    speech.reset();
    EXPECT_LT(clock.elapsed(), 2000) << "quitting leaves a stuck service behind";
}

} // namespace
