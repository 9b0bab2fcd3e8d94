#include "generator/window/SettingsForm.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

#include "common/NumberText.h"
#include "generator/synth/SynthState.h"
#include "generator/window/FreqPopup.h"
#include "generator/window/Generator.h"
#include "platform/Dialogs.h"
#include "platform/Help.h"

namespace orv {

namespace {

constexpr int kDefaultFs = 1;          // 22050 Hz
constexpr int kDefaultBuffers = 2;     // 4 buffers
constexpr int kDefaultBufferSize = 2;  // 16384 bytes

QSettings Store() {
    return QSettings(QStringLiteral("Kelvane"), QStringLiteral("Orvana"));
}

}  // namespace

TSettingsForm::TSettingsForm(TGenerator& generator)
    : QWidget(nullptr, Qt::Tool), generator_(generator) {
    setWindowTitle(QStringLiteral("Compatibility Settings"));
    auto* layout = new QGridLayout(this);
    Label1 = new QLabel(QStringLiteral("Sampling Frequency( Hz)"), this);
    FsList = new QComboBox(this);
    for (const int32_t rate : kSampleRates)
        FsList->addItem(QString::number(rate));
    Label2 = new QLabel(QStringLiteral("Buffer Size:"), this);
    BufferSize = new QComboBox(this);
    BufferSize->addItems({QStringLiteral("4096"), QStringLiteral("8192"), QStringLiteral("16384"),
                          QStringLiteral("32768"), QStringLiteral("64536")});
    Label3 = new QLabel(QStringLiteral("Buffers:"), this);
    Buffers = new QComboBox(this);
    Buffers->addItems({QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(FsList, 1, 0);
    layout->addWidget(Label2, 2, 0);
    layout->addWidget(BufferSize, 3, 0);
    layout->addWidget(Label3, 2, 1);
    layout->addWidget(Buffers, 3, 1);
    auto* buttons = new QHBoxLayout;
    CloseButton = new QPushButton(QStringLiteral("Close"), this);
    CloseButton->setToolTip(QStringLiteral("Save settings and close"));
    HelpButton = new QPushButton(QStringLiteral("Help"), this);
    buttons->addWidget(CloseButton);
    buttons->addWidget(HelpButton);
    layout->addLayout(buttons, 4, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(FsList, &QComboBox::activated, this, &TSettingsForm::FsListChange);
    connect(CloseButton, &QPushButton::clicked, this, &TSettingsForm::CloseButtonClick);
    connect(HelpButton, &QPushButton::clicked, this, &TSettingsForm::HelpButtonClick);

    generator_.SettingsForm = this;
    FormCreate();
}

TSettingsForm::~TSettingsForm() {
    if (generator_.SettingsForm == this) generator_.SettingsForm = nullptr;
}

void TSettingsForm::ReadPosition(const char* name, QComboBox* list, int defaultPosition) {
    const QSettings store = Store();
    const QString key = QString::fromLatin1(name);
    int position = defaultPosition;
    if (!store.contains(key)) {
        Dialogs::Get().Error(this, QStringLiteral("Failed to get data for '%1'").arg(key));
    } else {
        bool ok = false;
        const int stored = store.value(key).toString().trimmed().toInt(&ok);
        if (!ok)
            Dialogs::Get().Error(this, QStringLiteral("Invalid data type for '%1'").arg(key));
        else if (stored < 0 || stored >= list->count())
            Dialogs::Get().Error(this, QStringLiteral("Invalid value %1 for '%2'").arg(stored).arg(key));
        else
            position = stored;
    }
    list->setCurrentIndex(position);
}

void TSettingsForm::FormCreate() {
    if (Store().contains(QStringLiteral("Fs"))) {
        ReadPosition("Fs", FsList, kDefaultFs);
        ReadPosition("Buffers", Buffers, kDefaultBuffers);
        ReadPosition("BufferSize", BufferSize, kDefaultBufferSize);
    } else {
        FsList->setCurrentIndex(kDefaultFs);
        Buffers->setCurrentIndex(kDefaultBuffers);
        BufferSize->setCurrentIndex(kDefaultBufferSize);
    }
    generator_.State.SampleRate = TextToInt(FsList->currentText().toStdString()).value_or(22050);
    generator_.fEditChange();
}

void TSettingsForm::FsListChange() {
    const int32_t rate = TextToInt(FsList->currentText().toStdString()).value_or(22050);
    generator_.State.SampleRate = rate;
    if (generator_.FreqPopup) generator_.FreqPopup->FollowRate(rate);
    const int32_t half = rate / 2;
    for (QLineEdit* edit : {generator_.fEdit, generator_.fInit, generator_.fFinal}) {
        const QString text = edit->text();
        const auto value = TextToFloat(text.toStdString(), generator_.DecimalSeparator);
        if (!value) {
            Dialogs::Get().Error(this,
                                 QStringLiteral("'%1' is not a valid floating point value").arg(text));
            return;
        }
        if (*value > half) edit->setText(QString::fromStdString(IntToText(half)));
    }
}

void TSettingsForm::CloseButtonClick() {
    QSettings store = Store();
    store.setValue(QStringLiteral("Fs"), FsList->currentIndex());
    store.setValue(QStringLiteral("Buffers"), Buffers->currentIndex());
    store.setValue(QStringLiteral("BufferSize"), BufferSize->currentIndex());
    store.sync();
    if (store.status() != QSettings::NoError) {
        Dialogs::Get().Error(this, QStringLiteral("Failed to set data for 'Fs'"));
        return;
    }
    close();
}

void TSettingsForm::HelpButtonClick() {
    ShowHelpTopic(generator_.HelpFilePath, QStringLiteral("IDH_2"));
}

void TSettingsForm::closeEvent(QCloseEvent* event) {
    generator_.setEnabled(true);
    generator_.fEditChange();
    event->accept();
}

}  // namespace orv
