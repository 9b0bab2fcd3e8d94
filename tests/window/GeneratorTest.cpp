#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QTabBar>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <numbers>

#include "generator/audioout/FakeWaveOut.h"
#include "generator/synth/FillBuffer.h"
#include "generator/window/AboutBox.h"
#include "generator/window/Generator.h"
#include "generator/window/SettingsForm.h"
#include "platform/Dialogs.h"
#include "platform/Help.h"

namespace orv {
namespace {

class GeneratorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path());
        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogs_ = dialogs.get();
        Dialogs::Install(std::move(dialogs));
        fake_.Devices = {"First card", "Second card"};
    }

    void TearDown() override {
        settings_.reset();
        gen_.reset();
        Dialogs::Install(nullptr);
    }

    void Create() {
        gen_ = std::make_unique<TGenerator>(fake_, '.');
        settings_ = std::make_unique<TSettingsForm>(*gen_);
        gen_->show();
        gen_->activateWindow();
        QApplication::setActiveWindow(gen_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(gen_.get(), 2000));
    }

    void ChooseRate(int index) {
        settings_->FsList->setCurrentIndex(index);
        settings_->FsListChange();
    }

    // Types the text into the edit and leaves it, which runs its exit rule.
    void TypeAndLeave(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, text);
        gen_->chkSync->setFocus();
        QApplication::processEvents();
    }

    // Bounded wait; with play set the fake device plays its queued buffers.
    bool WaitFor(const std::function<bool()>& done, bool play = true) {
        QDeadlineTimer deadline(5000);
        while (!done() && !deadline.hasExpired()) {
            QApplication::processEvents();
            if (play) fake_.CompleteOne();
        }
        return done();
    }

    void Start() {
        gen_->btnONClick();
        ASSERT_TRUE(WaitFor([&] { return gen_->Playing; }, false));
    }

    QTemporaryDir config_;
    FakeWaveOut fake_;
    ScriptedDialogs* dialogs_ = nullptr;
    std::unique_ptr<TGenerator> gen_;
    std::unique_ptr<TSettingsForm> settings_;
};

TEST_F(GeneratorTest, ExitRulesNormaliseWhatWasTyped) {
    Create();
    ChooseRate(2);  // 44100 Hz
    struct Case {
        QLineEdit* TGenerator::*edit;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {&TGenerator::fEdit, "abc", "1000"},
        {&TGenerator::fEdit, "0", "0.1"},
        {&TGenerator::fEdit, "30000", "22050"},
        {&TGenerator::fEdit, "1000.123456", "1000.1235"},
        {&TGenerator::fFinal, "1000.12346", "1000.123"},
        {&TGenerator::fInit, "1000.12346", "1000.1235"},
        {&TGenerator::fInit, "abc", "1000"},
        {&TGenerator::Duration, "0.01", "0.1"},
        {&TGenerator::ModPeriodLeftEdit, "0.125", "0.12"},
        {&TGenerator::ModPeriodLeftEdit, "x", "1"},
        {&TGenerator::ModPhaseLeftEdit, "-10", "0"},
        {&TGenerator::ModDepthLeftEdit, "150", "100"},
    };
    gen_->ModulationOn->setChecked(true);
    for (const Case& c : cases) {
        QLineEdit* edit = gen_.get()->*c.edit;
        TypeAndLeave(edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown)) << c.typed;
    }
}

TEST_F(GeneratorTest, PhaseExitKeepsTwoDecimalsAndNoRange) {
    Create();
    gen_->mono->setChecked(false);
    TypeAndLeave(gen_->PhaseEdit, "33.333");
    EXPECT_EQ(gen_->PhaseEdit->text(), "33.33");
    TypeAndLeave(gen_->PhaseEdit, "-400");
    EXPECT_EQ(gen_->PhaseEdit->text(), "-400");
    EXPECT_NEAR(gen_->State.ChannelPhase, -400 * std::numbers::pi / 180, 1e-5);
}

TEST_F(GeneratorTest, AmplitudeExitRoundsAndMovesTheSlider) {
    Create();
    const struct {
        const char* typed;
        const char* shown;
        int slider;
    } cases[] = {{"-2.5", "-2", 2}, {"-3.5", "-4", 4}, {"5", "0", 0}, {"-150", "-100", 100}};
    for (const auto& c : cases) {
        TypeAndLeave(gen_->Amplitude, QString::fromLatin1(c.typed));
        EXPECT_EQ(gen_->Amplitude->text(), QString::fromLatin1(c.shown)) << c.typed;
        EXPECT_EQ(gen_->barAmplitude->value(), c.slider) << c.typed;
    }
    // A text that is not a whole number keeps the last whole number's scale.
    gen_->Amplitude->setText("-6");
    gen_->Amplitude->setText("-6.5");
    EXPECT_FLOAT_EQ(gen_->State.AmplitudeScale, static_cast<float>(std::pow(10.0, -0.3)));
    gen_->barAmplitude->setValue(30);
    EXPECT_EQ(gen_->Amplitude->text(), "-30");
    EXPECT_FLOAT_EQ(gen_->State.AmplitudeScale, static_cast<float>(std::pow(10.0, -1.5)));
}

TEST_F(GeneratorTest, EmptyDurationBecomesOneSecondAndRecomputes) {
    Create();
    TypeAndLeave(gen_->Duration, "");
    EXPECT_EQ(gen_->Duration->text(), "1");
    EXPECT_EQ(gen_->State.SweepLength, 22050);
}

TEST_F(GeneratorTest, SemitoneUpAndItsLimits) {
    Create();
    gen_->fEdit->setText("440");
    gen_->SemiUp->click();
    EXPECT_EQ(gen_->fEdit->text(), "466.163757324219");

    gen_->fEdit->setText("11000");  // a semitone up passes 11025
    gen_->SemiUp->click();
    EXPECT_EQ(gen_->fEdit->text(), "11000");

    gen_->fEdit->setText("abc");
    gen_->SemiDown->click();
    EXPECT_EQ(gen_->fEdit->text(), "abc");
    ASSERT_FALSE(dialogs_->Log.empty());
    EXPECT_EQ(dialogs_->Log.back().Text, "'abc' is not a valid floating point value");
}

TEST_F(GeneratorTest, UpDownStepsTheEditWithinItsRange) {
    Create();
    gen_->UpDown2->Click(true);
    EXPECT_EQ(gen_->fEdit->text(), "1100");
    gen_->fEdit->setText("19950.4");
    gen_->UpDown2->Click(true);
    EXPECT_EQ(gen_->fEdit->text(), "20000");
    gen_->fEdit->setText("junk");
    gen_->UpDown2->Click(false);
    EXPECT_EQ(gen_->fEdit->text(), "19900");
}

TEST_F(GeneratorTest, MonoHidesTheRightColumnAndChecksBothChannels) {
    Create();
    EXPECT_FALSE(gen_->ModPeriodRightEdit->isVisible());
    gen_->mono->setChecked(false);
    EXPECT_TRUE(gen_->ModPeriodRightEdit->isVisible());
    EXPECT_TRUE(gen_->Label11->isVisible());
    EXPECT_TRUE(gen_->PhaseEdit->isEnabled());
    gen_->Lefttick->setChecked(false);
    gen_->PhaseEdit->setText("45");
    gen_->mono->setChecked(true);
    EXPECT_FALSE(gen_->ModPeriodRightEdit->isVisible());
    EXPECT_TRUE(gen_->Lefttick->isChecked());
    EXPECT_TRUE(gen_->RightTick->isChecked());
    EXPECT_EQ(gen_->PhaseEdit->text(), "0");
    EXPECT_FALSE(gen_->Lefttick->isEnabled());
}

TEST_F(GeneratorTest, BothChannelsOffStopAndDisableOn) {
    Create();
    gen_->mono->setChecked(false);
    Start();
    gen_->Lefttick->setChecked(false);
    gen_->RightTick->setChecked(false);
    EXPECT_TRUE(WaitFor([&] { return !gen_->Playing; }));
    EXPECT_FALSE(gen_->btnON->isEnabled());
    EXPECT_FALSE(gen_->SaveWaveFile1->isEnabled());
    EXPECT_TRUE(gen_->Off1->isEnabled());
    gen_->RightTick->setChecked(true);
    EXPECT_TRUE(gen_->btnON->isEnabled());
    EXPECT_FALSE(gen_->PhaseEdit->isEnabled());
}

TEST_F(GeneratorTest, WhiteNoiseAndLoopEnablingRules) {
    Create();
    gen_->mono->setChecked(false);
    gen_->WaveForm->setCurrentIndex(3);
    gen_->WaveFormChange();
    EXPECT_FALSE(gen_->PhaseEdit->isEnabled());
    gen_->WaveForm->setCurrentIndex(0);
    gen_->WaveFormChange();
    EXPECT_TRUE(gen_->PhaseEdit->isEnabled());
    gen_->mono->setChecked(true);
    gen_->WaveFormChange();
    EXPECT_FALSE(gen_->PhaseEdit->isEnabled());

    gen_->Bidirectional->setChecked(true);
    gen_->Loop->setChecked(false);
    EXPECT_FALSE(gen_->Bidirectional->isEnabled());
    EXPECT_TRUE(gen_->Bidirectional->isChecked());
    gen_->Loop->setChecked(true);
    EXPECT_TRUE(gen_->Bidirectional->isEnabled());
}

TEST_F(GeneratorTest, ZeroModulationPeriodStopsOnlyARunningOutput) {
    Create();
    gen_->ModulationOn->setChecked(true);
    gen_->ModPeriodLeftEdit->setText("0");
    EXPECT_EQ(gen_->ModPeriodLeftEdit->text(), "0");
    gen_->ModPeriodLeftEdit->setText("2");
    Start();
    gen_->ModPeriodLeftEdit->setText("0");
    EXPECT_EQ(gen_->ModPeriodLeftEdit->text(), "1");
    EXPECT_FLOAT_EQ(gen_->State.LeftModPeriod, 1.0f);
    EXPECT_TRUE(WaitFor([&] { return !gen_->Playing; }));
}

TEST_F(GeneratorTest, PlayingLocksControlsAndLightsTheIndicator) {
    Create();
    EXPECT_EQ(gen_->LEDColor(), QColor(255, 0, 0));
    EXPECT_EQ(gen_->DefaultButton(), gen_->btnON);
    Start();
    EXPECT_EQ(gen_->LEDColor(), QColor(0, 255, 0));
    EXPECT_EQ(gen_->DefaultButton(), gen_->btnOFF);
    for (QWidget* w : std::initializer_list<QWidget*>{gen_->mono, gen_->Duration, gen_->fInit,
                                                       gen_->Amplitude, gen_->Mem1})
        EXPECT_FALSE(w->isEnabled());
    EXPECT_FALSE(gen_->Presets1->menuAction()->isEnabled());
    EXPECT_TRUE(gen_->fEdit->isEnabled());
    gen_->btnOFFClick();
    EXPECT_TRUE(WaitFor([&] { return !gen_->Playing; }));
    EXPECT_EQ(gen_->LEDColor(), QColor(255, 0, 0));
    EXPECT_EQ(gen_->DefaultButton(), gen_->btnON);
    EXPECT_TRUE(gen_->Duration->isEnabled());
    EXPECT_TRUE(gen_->Presets1->menuAction()->isEnabled());
}

TEST_F(GeneratorTest, PauseBeforeOnStartsPausedAndBold) {
    Create();
    gen_->btnPauseClick();
    EXPECT_TRUE(gen_->btnPause->font().bold());
    Start();
    EXPECT_TRUE(gen_->AudioOut1->Paused());
    EXPECT_TRUE(gen_->btnPause->font().bold());
    gen_->btnPauseClick();
    EXPECT_FALSE(gen_->btnPause->font().bold());
    EXPECT_FALSE(gen_->AudioOut1->Paused());
}

// 0.2 s at 22050 Hz is 4410 mono frames: three buffers of 4096 bytes, or less
// than one of 16384. Either way the pass starts, is played whole and ends.
TEST_F(GeneratorTest, SinglePassEndsByItself) {
    for (const int sizeIndex : {0, 2}) {
        SCOPED_TRACE(sizeIndex);
        Create();
        gen_->Loop->setChecked(false);
        settings_->BufferSize->setCurrentIndex(sizeIndex);
        gen_->Duration->setText("0.2");
        const size_t before = fake_.Written().size();
        Start();
        ASSERT_TRUE(dialogs_->Log.empty()) << dialogs_->Log.front().Text.toStdString();
        EXPECT_TRUE(WaitFor([&] { return !gen_->Playing; }));
        EXPECT_EQ(gen_->LEDColor(), QColor(255, 0, 0));
        EXPECT_TRUE(gen_->Duration->isEnabled());
        EXPECT_FALSE(gen_->AudioOut1->Running());

        std::vector<uint8_t> played;
        for (size_t i = before; i < fake_.Written().size(); ++i)
            played.insert(played.end(), fake_.Written()[i].begin(), fake_.Written()[i].end());
        ASSERT_GE(played.size(), 2u * 4410u);
        // The last sample of the pass reached the device.
        EXPECT_TRUE(played[2 * 4409] != 0 || played[2 * 4409 + 1] != 0);
        settings_.reset();
        gen_.reset();
    }
}

TEST_F(GeneratorTest, OffThenOnRestartsTheSweep) {
    Create();
    gen_->SignalType->setCurrentWidget(gen_->Sweep);
    gen_->fEditChange();
    Start();
    const size_t firstRun = fake_.Written().size();
    ASSERT_GT(firstRun, 0u);
    for (int i = 0; i < 3; ++i) fake_.CompleteOne();
    QApplication::processEvents();
    gen_->btnOFFClick();
    ASSERT_TRUE(WaitFor([&] { return !gen_->Playing; }));
    const size_t before = fake_.Written().size();
    Start();
    ASSERT_GT(fake_.Written().size(), before);
    // The second run begins with the very samples of the first.
    EXPECT_EQ(fake_.Written()[before], fake_.Written()[0]);
}

TEST_F(GeneratorTest, StartFailureIsShown) {
    Create();
    fake_.SetErrorText(-16, "Device or resource busy");
    fake_.FailOpen(-16);
    gen_->btnONClick();
    ASSERT_FALSE(dialogs_->Log.empty());
    EXPECT_TRUE(dialogs_->Log.back().Text.startsWith("Audio Out failed because: \n"));
    EXPECT_TRUE(dialogs_->Log.back().Text.contains("Device or resource busy"));
    EXPECT_FALSE(gen_->Playing);
}

TEST_F(GeneratorTest, SyncedCommandsReachTheWindowItself) {
    Create();
    gen_->chkSync->setChecked(true);
    gen_->btnONClick();
    EXPECT_EQ(gen_->SyncMessage, kMsgOn);
    EXPECT_TRUE(WaitFor([&] { return gen_->Playing; }));
    gen_->btnOFFClick();
    EXPECT_EQ(gen_->SyncMessage, kMsgOff);
    EXPECT_TRUE(WaitFor([&] { return !gen_->Playing; }));
}

TEST_F(GeneratorTest, UserPageSwitchRecomputesButCodeDoesNot) {
    Create();
    gen_->fInit->setText("200");
    const float constant = gen_->State.StartFreqNorm;
    gen_->SignalType->setCurrentIndex(1);
    EXPECT_FLOAT_EQ(gen_->State.StartFreqNorm, constant);
    gen_->SignalType->setCurrentIndex(0);
    QTabBar* bar = gen_->SignalType->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(gen_->SignalType->currentIndex(), 1);
    EXPECT_FLOAT_EQ(gen_->State.StartFreqNorm, 200.0f / 22050);
}

TEST_F(GeneratorTest, TitleAndDeviceList) {
    gen_ = std::make_unique<TGenerator>(fake_, '.');
    EXPECT_EQ(gen_->windowTitle(), "Orvana ");
    QStringList items;
    for (int i = 0; i < gen_->WaveDevice->count(); ++i) items << gen_->WaveDevice->itemText(i);
    EXPECT_EQ(items, (QStringList{"Default", "First card", "Second card"}));
    EXPECT_EQ(gen_->AudioOut1->WaveDevice(), -1);
    settings_ = std::make_unique<TSettingsForm>(*gen_);
    gen_->show();
    gen_->activateWindow();
    QApplication::setActiveWindow(gen_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(gen_.get(), 2000));
    EXPECT_EQ(gen_->windowTitle(), "Orvana 3.21");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Orvana 3.21");
}

TEST_F(GeneratorTest, SettingsAreStoredAndReadBack) {
    Create();
    EXPECT_EQ(gen_->State.SampleRate, 22050);
    EXPECT_FALSE(QSettings("Kelvane", "Orvana").contains("Fs"));
    gen_->Compatibilitysettings1Click();
    EXPECT_FALSE(gen_->isEnabled());
    settings_->FsList->setCurrentIndex(3);
    settings_->FsListChange();
    settings_->Buffers->setCurrentIndex(0);
    settings_->BufferSize->setCurrentIndex(4);
    settings_->CloseButton->click();
    EXPECT_TRUE(gen_->isEnabled());
    EXPECT_FALSE(settings_->isVisible());

    TSettingsForm second(*gen_);
    EXPECT_EQ(second.FsList->currentIndex(), 3);
    EXPECT_EQ(second.Buffers->currentIndex(), 0);
    EXPECT_EQ(second.BufferSize->currentIndex(), 4);
    EXPECT_EQ(gen_->State.SampleRate, 48000);
    EXPECT_TRUE(dialogs_->Log.empty());
}

TEST_F(GeneratorTest, CloseBoxKeepsTheRateWithoutSaving) {
    Create();
    gen_->Compatibilitysettings1Click();
    ChooseRate(0);
    settings_->close();
    EXPECT_TRUE(gen_->isEnabled());
    EXPECT_EQ(gen_->State.SampleRate, 11025);
    EXPECT_FALSE(QSettings("Kelvane", "Orvana").contains("Fs"));
}

TEST_F(GeneratorTest, LowRateClampsTheFrequencies) {
    Create();
    gen_->fEdit->setText("8000");
    gen_->fInit->setText("5512");
    gen_->fFinal->setText("9000");
    ChooseRate(0);
    EXPECT_EQ(gen_->fEdit->text(), "5512");
    EXPECT_EQ(gen_->fInit->text(), "5512");
    EXPECT_EQ(gen_->fFinal->text(), "5512");

    // An unreadable field is reported and the fields after it are left.
    gen_->fInit->setText("x");
    gen_->fFinal->setText("30000");
    ChooseRate(2);
    ASSERT_FALSE(dialogs_->Log.empty());
    EXPECT_EQ(dialogs_->Log.back().Text, "'x' is not a valid floating point value");
    EXPECT_EQ(gen_->fFinal->text(), "30000");
}

TEST_F(GeneratorTest, DamagedStoredSettingsFallBackToTheDefaults) {
    const struct {
        const char* fs;       // nullptr: not stored
        const char* buffers;
        const char* bufferSize;
        int rate;
        QStringList messages;
    } cases[] = {
        {"2", "many", "9", 44100,
         {"Invalid data type for 'Buffers'", "Invalid value 9 for 'BufferSize'"}},
        {"3", nullptr, "0", 48000, {"Failed to get data for 'Buffers'"}},
        {"-1", "0", "0", 22050, {"Invalid value -1 for 'Fs'"}},
        {nullptr, "0", "0", 22050, {}},
    };
    for (const auto& c : cases) {
        {
            QSettings store("Kelvane", "Orvana");
            store.clear();
            if (c.fs) store.setValue("Fs", c.fs);
            if (c.buffers) store.setValue("Buffers", c.buffers);
            if (c.bufferSize) store.setValue("BufferSize", c.bufferSize);
        }
        dialogs_->Log.clear();
        gen_ = std::make_unique<TGenerator>(fake_, '.');
        TSettingsForm form(*gen_);
        EXPECT_EQ(gen_->State.SampleRate, c.rate) << c.messages.join(";").toStdString();
        EXPECT_GE(form.Buffers->currentIndex(), 0);
        EXPECT_GE(form.BufferSize->currentIndex(), 0);
        QStringList shown;
        for (const auto& entry : dialogs_->Log) shown << entry.Text;
        EXPECT_EQ(shown, c.messages);
        // The fallback still recomputes: the start frequency is in force.
        EXPECT_FLOAT_EQ(gen_->State.StartFreqNorm, 1000.0f / c.rate);
    }
}

TEST_F(GeneratorTest, AFailedSaveKeepsTheWindowOpen) {
    Create();
    // A file where the settings folder should be makes the write fail.
    QFile blocker(config_.path() + "/Kelvane");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    gen_->Compatibilitysettings1Click();
    settings_->CloseButton->click();
    EXPECT_TRUE(settings_->isVisible());
    ASSERT_FALSE(dialogs_->Log.empty());
    EXPECT_EQ(dialogs_->Log.back().Text, "Failed to set data for 'Fs'");
}

TEST_F(GeneratorTest, AboutDisablesTheWindowUntilOk) {
    Create();
    gen_->About2Click();
    EXPECT_FALSE(gen_->isEnabled());
    EXPECT_EQ(gen_->AboutBox->windowTitle(), "About");
    gen_->AboutBox->OKButton->click();
    EXPECT_TRUE(gen_->isEnabled());
    EXPECT_FALSE(gen_->AboutBox->isVisible());
}

TEST_F(GeneratorTest, NoVisibleTextIsClipped) {
    Create();
    EXPECT_EQ(gen_->minimumSize(), gen_->maximumSize());
    const QSize monoSize = gen_->size();
    gen_->mono->setChecked(false);
    QApplication::processEvents();
    EXPECT_EQ(gen_->size(), monoSize);
    for (QWidget* w : gen_->findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QPushButton*>(w)) {
            EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->metaObject()->className();
        }
    }
    // Both page tabs show their whole caption.
    QTabBar* tabs = gen_->SignalType->tabBar();
    for (int i = 0; i < tabs->count(); ++i) {
        const QRect tab = tabs->tabRect(i);
        EXPECT_GT(tab.width(), tabs->fontMetrics().horizontalAdvance(tabs->tabText(i))) << i;
        EXPECT_LE(tabs->mapTo(gen_->SignalType, tab.topRight()).x(), gen_->SignalType->width()) << i;
    }
}

TEST_F(GeneratorTest, ReturnClicksTheDefaultButton) {
    Create();
    gen_->fEdit->setFocus();
    QTest::keyClick(gen_->fEdit, Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return gen_->Playing; }, false));
    EXPECT_EQ(gen_->DefaultButton(), gen_->btnOFF);
    gen_->fEdit->setFocus();
    QTest::keyClick(gen_->fEdit, Qt::Key_Enter);
    EXPECT_TRUE(WaitFor([&] { return !gen_->Playing; }));
}

TEST_F(GeneratorTest, MenusCarryTheirShortCuts) {
    Create();
    EXPECT_EQ(gen_->SaveWaveFile1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
    EXPECT_TRUE(gen_->CompatibilityTest1->shortcut().isEmpty());
    EXPECT_TRUE(gen_->CompatibilityTest1->text().endsWith("\tCtrl+T"));
    EXPECT_EQ(gen_->OnOff1->text(), "OFF");
    EXPECT_EQ(gen_->OnOff1->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(gen_->Off1->text(), "ON");
    EXPECT_EQ(gen_->Off1->shortcut(), QKeySequence(Qt::Key_F11));
    EXPECT_EQ(gen_->StoreMemory[3]->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F8));
    QTest::keyClick(gen_.get(), Qt::Key_F11);
    EXPECT_TRUE(WaitFor([&] { return gen_->Playing; }, false));
    QTest::keyClick(gen_.get(), Qt::Key_F9);
    EXPECT_TRUE(WaitFor([&] { return !gen_->Playing; }));
}

TEST_F(GeneratorTest, ExitStopsAndClosesAndHelpOpensItsTopic) {
    Create();
    gen_->Help1Click();
    EXPECT_EQ(ShownHelpTopic(), "IDH_1");
    Start();
    bool closed = false;
    QObject::connect(gen_.get(), &TGenerator::Closed, [&] { closed = true; });
    gen_->Exit1Click();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(gen_->AudioOut1->Running());
    EXPECT_FALSE(gen_->isVisible());
}

TEST_F(GeneratorTest, AnInterruptedFillStopsWithThePerformanceMessage) {
    Create();
    Start();
    gen_->State.FillBusy = true;  // as if the previous fill had failed half-way
    EXPECT_TRUE(WaitFor([&] { return !gen_->Playing; }));
    ASSERT_FALSE(dialogs_->Log.empty());
    EXPECT_EQ(dialogs_->Log.back().Kind, "information");
    EXPECT_EQ(dialogs_->Log.back().Text, kPerformanceMessage);
}

TEST_F(GeneratorTest, CommaSeparatorReadsAndWritesNumbers) {
    gen_ = std::make_unique<TGenerator>(fake_, ',');
    settings_ = std::make_unique<TSettingsForm>(*gen_);
    gen_->show();
    gen_->activateWindow();
    QApplication::setActiveWindow(gen_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(gen_.get(), 2000));
    gen_->fEdit->setText("440");
    gen_->SemiUp->click();
    EXPECT_EQ(gen_->fEdit->text(), "466,163757324219");
    TypeAndLeave(gen_->fEdit, "1000,123456");
    EXPECT_EQ(gen_->fEdit->text(), "1000,1235");
    TypeAndLeave(gen_->Duration, "2,5");
    EXPECT_EQ(gen_->State.SweepLength, 55125);
}

}  // namespace
}  // namespace orv
