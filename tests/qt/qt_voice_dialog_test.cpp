// The voice dialog through the real Qt widgets: preset with the choice in
// use, answered as a person would.
#include "gui_app.h"

#include "qt/qt_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <gtest/gtest.h>

using namespace pagora;

namespace {

TEST(VoiceDialog, ShowsTheChoiceAndOkTakesTheNewOneCancelNot)
{
    ensureGuiApp();
    QtDialogs dialogs(nullptr);
    const std::vector<Voice> voices = {{u"Mandarin", "cmn"}, {u"Cantonese", "yue"}};
    for (const bool ok : {true, false}) {
        int presetVoice = -1, presetRate = 99;
        QTimer answer;
        answer.setInterval(10);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!d || d->objectName() != QStringLiteral("voiceDialog"))
                return;
            answer.stop();
            auto *voice = d->findChild<QComboBox *>(QStringLiteral("voice"));
            auto *rate = d->findChild<QSlider *>(QStringLiteral("rate"));
            presetVoice = voice->currentIndex(), presetRate = rate->value();
            voice->setCurrentIndex(1);
            rate->setValue(-7);
            d->findChild<QDialogButtonBox *>()->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        answer.start();
        int chosen = 0, rate = 3;
        EXPECT_EQ(dialogs.chooseVoice(voices, chosen, rate), ok);
        EXPECT_EQ(std::make_pair(presetVoice, presetRate), std::make_pair(0, 3));
        EXPECT_EQ(std::make_pair(chosen, rate), ok ? std::make_pair(1, -7) : std::make_pair(0, 3));
    }
}

} // namespace
