#include "qt/qt_dialogs.h"
#include "state/interface_texts.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSlider>

#include <algorithm>

namespace pagora {

namespace {

QString toQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

} // namespace

bool QtDialogs::chooseVoice(const std::vector<Voice> &voices, int &chosen, int &rate)
{
    if (voices.empty())
        return false;
    QDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("voiceDialog"));
    dialog.setWindowTitle(QStringLiteral("聲音 - ") + toQString(texts::caption));
    auto *form = new QFormLayout(&dialog);
    auto *voiceBox = new QComboBox(&dialog);
    voiceBox->setObjectName(QStringLiteral("voice"));
    for (const Voice &v : voices)
        voiceBox->addItem(toQString(v.name));
    voiceBox->setCurrentIndex(std::clamp(chosen, 0, int(voices.size()) - 1));
    form->addRow(QStringLiteral("聲音"), voiceBox);
    auto *rateSlider = new QSlider(Qt::Horizontal, &dialog);
    rateSlider->setObjectName(QStringLiteral("rate"));
    rateSlider->setRange(-10, 10);
    rateSlider->setPageStep(2);
    rateSlider->setValue(std::clamp(rate, -10, 10));
    form->addRow(QStringLiteral("速度"), rateSlider);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    chosen = voiceBox->currentIndex();
    rate = rateSlider->value();
    return true;
}

} // namespace pagora
