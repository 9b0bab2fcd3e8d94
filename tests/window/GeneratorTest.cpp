#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QDir>
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

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>

#include "generator/audioout/FakeWaveOut.h"
#include "generator/files/MemoryRecord.h"
#include "generator/synth/FillBuffer.h"
#include "generator/window/AboutBox.h"
#include "generator/window/Generator.h"
#include "generator/window/SettingsForm.h"
#include "platform/Dialogs.h"
#include "platform/Help.h"
#include "tests/files/StartRecord.h"
#include "tests/window/WindowFixture.h"

namespace orv {
namespace {

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
    EXPECT_EQ(gen_->StoreMemoryItems[3]->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F8));
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

// ---- memories ----

using test::StartRecord;

// The numbers the controls describe, without the running position.
void ExpectSameSynthesis(const SynthState& a, const SynthState& b) {
    EXPECT_EQ(a.SweepLength, b.SweepLength);
    EXPECT_EQ(a.PhaseStep, b.PhaseStep);
    EXPECT_EQ(a.StartFreqNorm, b.StartFreqNorm);
    EXPECT_EQ(a.FinalFreqNorm, b.FinalFreqNorm);
    EXPECT_EQ(a.StepAdd, b.StepAdd);
    EXPECT_EQ(a.StepFactor, b.StepFactor);
    EXPECT_EQ(a.AmplitudeScale, b.AmplitudeScale);
    EXPECT_EQ(a.LeftModDepth, b.LeftModDepth);
    EXPECT_EQ(a.RightModDepth, b.RightModDepth);
    EXPECT_EQ(a.LeftModPeriod, b.LeftModPeriod);
    EXPECT_EQ(a.RightModPeriod, b.RightModPeriod);
    EXPECT_EQ(a.LeftModPhase, b.LeftModPhase);
    EXPECT_EQ(a.RightModPhase, b.RightModPhase);
    EXPECT_EQ(a.ChannelPhase, b.ChannelPhase);
    EXPECT_EQ(a.LeftOn, b.LeftOn);
    EXPECT_EQ(a.RightOn, b.RightOn);
}

class MemoryTest : public GeneratorTest {
protected:
    // A stereo sweep with every field away from its start value.
    void SetStereoSweep() {
        TGenerator& g = *gen_;
        g.SignalType->setCurrentWidget(g.Sweep);
        g.fEdit->setText("440.5");
        g.fInit->setText("20");
        g.fFinal->setText("10000");
        g.Duration->setText("2.5");
        g.Amplitude->setText("-12");
        g.WaveForm->setCurrentIndex(2);
        g.mono->setChecked(false);
        g.RightTick->setChecked(false);
        g.PhaseEdit->setText("90");
        g.Logarithmic->setChecked(true);
        g.Bidirectional->setChecked(true);
        g.ModulationOn->setChecked(true);
        g.ModPeriodLeftEdit->setText("0.5");
        g.ModPeriodRightEdit->setText("2");
        g.ModDepthLeftEdit->setText("50");
        g.ModDepthRightEdit->setText("75");
        g.ModFunctionLeft->setCurrentIndex(2);
        g.ModFunctionRight->setCurrentIndex(3);
        g.ModPhaseLeftEdit->setText("45");
        g.ModPhaseRightEdit->setText("180");
        g.fEditChange();
    }

    void ExpectStereoSweepShown() {
        const TGenerator& g = *gen_;
        EXPECT_EQ(g.SignalType->currentWidget(), g.Sweep);
        EXPECT_EQ(g.fEdit->text(), "440.5");
        EXPECT_EQ(g.fInit->text(), "20");
        EXPECT_EQ(g.fFinal->text(), "10000");
        EXPECT_EQ(g.Duration->text(), "2.5");
        EXPECT_EQ(g.Amplitude->text(), "-12");
        EXPECT_EQ(g.WaveForm->currentIndex(), 2);
        EXPECT_TRUE(g.Loop->isChecked());
        EXPECT_FALSE(g.mono->isChecked());
        EXPECT_TRUE(g.Lefttick->isChecked());
        EXPECT_FALSE(g.RightTick->isChecked());
        EXPECT_EQ(g.PhaseEdit->text(), "90");
        EXPECT_TRUE(g.Logarithmic->isChecked());
        EXPECT_TRUE(g.Bidirectional->isChecked());
        EXPECT_TRUE(g.ModulationOn->isChecked());
        EXPECT_TRUE(g.ModPeriodLeftEdit->isEnabled());
        EXPECT_EQ(g.ModPeriodLeftEdit->text(), "0.5");
        EXPECT_EQ(g.ModPeriodRightEdit->text(), "2");
        EXPECT_EQ(g.ModDepthLeftEdit->text(), "50");
        EXPECT_EQ(g.ModDepthRightEdit->text(), "75");
        EXPECT_EQ(g.ModFunctionLeft->currentIndex(), 2);
        EXPECT_EQ(g.ModFunctionRight->currentIndex(), 3);
        EXPECT_EQ(g.ModPhaseLeftEdit->text(), "45");
        EXPECT_EQ(g.ModPhaseRightEdit->text(), "180");
    }

    void ExpectStartValuesShown() {
        const TGenerator& g = *gen_;
        EXPECT_EQ(g.SignalType->currentWidget(), g.Constant);
        EXPECT_EQ(g.fEdit->text(), "1000");
        EXPECT_EQ(g.Duration->text(), "3");
        EXPECT_EQ(g.Amplitude->text(), "0");
        EXPECT_EQ(g.WaveForm->currentIndex(), 0);
        EXPECT_TRUE(g.Loop->isChecked());
        EXPECT_TRUE(g.mono->isChecked());
        EXPECT_FALSE(g.ModulationOn->isChecked());
        EXPECT_FALSE(g.ModPeriodLeftEdit->isEnabled());
        EXPECT_EQ(g.ModFunctionLeft->currentIndex(), 1);
        EXPECT_EQ(g.ModFunctionRight->currentIndex(), 1);
        EXPECT_FALSE(g.ModPeriodRightEdit->isVisible());
    }
};

TEST_F(MemoryTest, EverySlotStartsWithTheStartValuesAndItsName) {
    Create();
    for (int n = 1; n <= kMemoryCount; ++n) {
        EXPECT_EQ(gen_->Memories[n - 1], StartRecord(n)) << n;
    }
    EXPECT_EQ(gen_->Mem1->text(), "Memory 1");
    EXPECT_EQ(gen_->Memory4->text(), "Memory 4");
}

TEST_F(MemoryTest, StoreThenRecallGivesBackEveryFieldAndTheSynthesis) {
    Create();
    SetStereoSweep();
    const SynthState stored = gen_->State;
    QTest::keyClick(gen_.get(), Qt::Key_F7, Qt::ShiftModifier);
    const MemoryRecord& m = gen_->Memories[2];
    EXPECT_EQ(m.Name, "Memory 3");
    EXPECT_EQ(m.fEdit, "440.5");
    EXPECT_EQ(m.fInit, "20");
    EXPECT_EQ(m.fFinal, "10000");
    EXPECT_EQ(m.WaveForm, 2);
    EXPECT_FALSE(m.RightTick);
    EXPECT_EQ(m.ActivePage, SignalPage::Sweep);
    EXPECT_EQ(m.ModFunctionRight, 3);
    EXPECT_EQ(m.ModPhaseRight, "180");
    EXPECT_EQ(gen_->Memories[0], StartRecord(1));

    gen_->Mem1->click();
    ExpectStartValuesShown();
    EXPECT_FLOAT_EQ(gen_->State.StartFreqNorm, 1000.0f / 22050);

    QTest::keyClick(gen_.get(), Qt::Key_F7);
    ExpectStereoSweepShown();
    ExpectSameSynthesis(gen_->State, stored);
    EXPECT_TRUE(dialogs_->Log.empty());
}

TEST_F(MemoryTest, EveryRouteStoresAndRecallsItsOwnSlot) {
    Create();
    const std::array<QPushButton*, 4> buttons{gen_->Mem1, gen_->Mem2, gen_->Memory3,
                                              gen_->Memory4};
    const std::array<QAction*, 4> popupStores{gen_->Store, gen_->Store2, gen_->Store3,
                                              gen_->Store4};
    const Qt::Key keys[4] = {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const QString byPopup = QString::number(200 + i);
        const QString byMenu = QString::number(300 + i);
        const QString byKey = QString::number(400 + i);
        const auto storeAndRecall = [&](const QString& f, const std::function<void()>& store,
                                        const std::function<void()>& recall) {
            gen_->fEdit->setText(f);
            store();
            EXPECT_EQ(gen_->Memories[i].fEdit, f.toStdString());
            gen_->fEdit->setText("50");
            recall();
            EXPECT_EQ(gen_->fEdit->text(), f);
        };
        storeAndRecall(byPopup, [&] { popupStores[i]->trigger(); }, [&] { buttons[i]->click(); });
        storeAndRecall(byMenu, [&] { gen_->StoreMemoryItems[i]->trigger(); },
                       [&] { gen_->RecallMemoryItems[i]->trigger(); });
        storeAndRecall(byKey, [&] { QTest::keyClick(gen_.get(), keys[i], Qt::ShiftModifier); },
                       [&] { QTest::keyClick(gen_.get(), keys[i]); });
        for (int other = 0; other < 4; ++other) {
            if (other != i) {
                EXPECT_NE(gen_->Memories[other].fEdit, byKey.toStdString());
            }
        }
    }
}

TEST_F(MemoryTest, ARightClickOpensTheButtonsOwnMenu) {
    Create();
    const QPoint at = gen_->Memory3->rect().center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, gen_->Memory3->mapToGlobal(at));
    QApplication::sendEvent(gen_->Memory3, &click);
    EXPECT_TRUE(gen_->PopupMenu3->isVisible());
    EXPECT_FALSE(gen_->PopupMenu1->isVisible());
    QStringList items;
    for (QAction* a : gen_->PopupMenu3->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{"Store", "Rename"}));
    gen_->PopupMenu3->close();
}

TEST_F(MemoryTest, RecallWhilePlayingStopsAndDoesNotRestart) {
    Create();
    gen_->fEdit->setText("500");
    gen_->StoreMemory(2);
    gen_->fEdit->setText("700");
    Start();
    gen_->RecallMemory(2);
    EXPECT_FALSE(gen_->AudioOut1->Running());
    EXPECT_TRUE(WaitFor([&] { return !gen_->Playing; }));
    EXPECT_EQ(gen_->fEdit->text(), "500");
    for (int i = 0; i < 3; ++i) fake_.CompleteOne();
    QApplication::processEvents();
    EXPECT_FALSE(gen_->Playing);
    EXPECT_TRUE(gen_->Mem2->isEnabled());
}

TEST_F(MemoryTest, StoreWhilePlayingKeepsPlaying) {
    Create();
    Start();
    gen_->fEdit->setText("880");
    gen_->StoreMemory(4);
    EXPECT_TRUE(gen_->AudioOut1->Running());
    EXPECT_TRUE(gen_->Playing);
    EXPECT_EQ(gen_->Memories[3].fEdit, "880");
    EXPECT_EQ(gen_->Memories[3].Name, "Memory 4");
    EXPECT_TRUE(dialogs_->Log.empty());
}

TEST_F(MemoryTest, AStereoSlotRecalledIntoAMonoWindow) {
    Create();
    gen_->mono->setChecked(false);
    gen_->Lefttick->setChecked(false);
    gen_->PhaseEdit->setText("30");
    gen_->StoreMemory(1);
    gen_->mono->setChecked(true);
    ASSERT_FALSE(gen_->ModPeriodRightEdit->isVisible());

    gen_->RecallMemory(1);
    EXPECT_FALSE(gen_->mono->isChecked());
    EXPECT_TRUE(gen_->ModPeriodRightEdit->isVisible());
    EXPECT_TRUE(gen_->Label11->isVisible());
    EXPECT_FALSE(gen_->Lefttick->isChecked());
    EXPECT_TRUE(gen_->RightTick->isChecked());
    EXPECT_EQ(gen_->PhaseEdit->text(), "30");
    EXPECT_EQ(gen_->State.LeftOn, 0);
    EXPECT_EQ(gen_->State.RightOn, 1);
    // One channel only: no phase between channels to set.
    EXPECT_FALSE(gen_->PhaseEdit->isEnabled());
}

TEST_F(MemoryTest, AMonoSlotRecalledIntoAStereoWindow) {
    Create();
    gen_->StoreMemory(1);
    gen_->mono->setChecked(false);
    gen_->RightTick->setChecked(false);
    gen_->PhaseEdit->setText("45");

    gen_->RecallMemory(1);
    EXPECT_TRUE(gen_->mono->isChecked());
    EXPECT_FALSE(gen_->ModPeriodRightEdit->isVisible());
    EXPECT_TRUE(gen_->Lefttick->isChecked());
    EXPECT_TRUE(gen_->RightTick->isChecked());
    EXPECT_EQ(gen_->PhaseEdit->text(), "0");
    EXPECT_EQ(gen_->State.ChannelPhase, 0.0f);
    EXPECT_EQ(gen_->State.RightOn, 1);
}

TEST_F(MemoryTest, ANeverStoredSlotGivesTheStartValues) {
    Create();
    const SynthState start = gen_->State;
    SetStereoSweep();
    gen_->RecallMemory(4);
    ExpectStartValuesShown();
    EXPECT_EQ(gen_->fInit->text(), "100");
    EXPECT_EQ(gen_->fFinal->text(), "1000");
    EXPECT_FALSE(gen_->Logarithmic->isChecked());
    ExpectSameSynthesis(gen_->State, start);
}

TEST_F(MemoryTest, SlotNumbersOutsideOneToFourTouchNothing) {
    Create();
    gen_->fEdit->setText("1234");
    Start();
    const MemorySlots before = gen_->Memories;
    for (const int32_t n : {0, 5, -1, 1024, std::numeric_limits<int32_t>::min()}) {
        gen_->StoreMemory(n);
        gen_->RecallMemory(n);
    }
    EXPECT_EQ(gen_->Memories, before);
    EXPECT_TRUE(gen_->Playing);
    EXPECT_TRUE(gen_->AudioOut1->Running());
    EXPECT_EQ(gen_->fEdit->text(), "1234");
}

TEST_F(MemoryTest, AnItemIndexOutsideTheListsSelectsNothing) {
    Create();
    gen_->Memories[1].WaveForm = 7;
    gen_->Memories[1].ModFunctionLeft = -3;
    gen_->Memories[1].ModFunctionRight = 3;
    gen_->RecallMemory(2);
    EXPECT_EQ(gen_->WaveForm->currentIndex(), -1);
    EXPECT_EQ(gen_->ModFunctionLeft->currentIndex(), -1);
    EXPECT_EQ(gen_->ModFunctionRight->currentIndex(), 3);
    // The slot itself keeps what it holds until it is stored again.
    EXPECT_EQ(gen_->Memories[1].WaveForm, 7);
    EXPECT_TRUE(dialogs_->Log.empty());
}

TEST_F(MemoryTest, RecallRunsTheChangeRulesButNotTheExitRules) {
    Create();
    gen_->Memories[0].fEdit = "abc";
    gen_->Memories[0].ModDepthLeft = "150";
    gen_->Memories[0].ModulationOn = true;
    const float before = gen_->State.StartFreqNorm;
    gen_->RecallMemory(1);
    // Unparsable texts stand as typed and keep the previous values.
    EXPECT_EQ(gen_->fEdit->text(), "abc");
    EXPECT_EQ(gen_->ModDepthLeftEdit->text(), "150");
    EXPECT_FLOAT_EQ(gen_->State.StartFreqNorm, before);
    EXPECT_TRUE(dialogs_->Log.empty());
}

TEST_F(MemoryTest, RenameWithEnterNamesTheSlotAndGivesBackTheDefaultButton) {
    Create();
    const QSize size = gen_->size();
    const int width = gen_->Mem1->width();
    gen_->Rename->trigger();
    EXPECT_EQ(gen_->Mem1->text(), "");
    EXPECT_TRUE(gen_->Mem1Edit->isVisible());
    EXPECT_TRUE(gen_->Mem1Edit->isEnabled());
    EXPECT_TRUE(gen_->Mem1Edit->hasFocus());
    EXPECT_EQ(gen_->Mem1Edit->text(), "");
    EXPECT_EQ(gen_->DefaultButton(), nullptr);
    // The empty caption moves nothing.
    QApplication::processEvents();
    EXPECT_EQ(gen_->size(), size);
    EXPECT_EQ(gen_->Mem1->width(), width);

    QTest::keyClicks(gen_->Mem1Edit, "Bass");
    QTest::keyClick(gen_->Mem1Edit, Qt::Key_Return);
    EXPECT_EQ(gen_->Mem1->text(), "Bass");
    EXPECT_EQ(gen_->Memories[0].Name, "Bass");
    EXPECT_EQ(gen_->DefaultButton(), gen_->btnON);
    EXPECT_FALSE(gen_->Mem1Edit->isVisible());
    EXPECT_FALSE(gen_->Mem1Edit->isEnabled());
    // Return named the slot; it did not switch the output on.
    QApplication::processEvents();
    EXPECT_FALSE(gen_->Playing);

    // Storing keeps the name.
    gen_->fEdit->setText("60");
    gen_->StoreClick();
    EXPECT_EQ(gen_->Memories[0].Name, "Bass");
    EXPECT_EQ(gen_->Memories[0].fEdit, "60");
}

TEST_F(MemoryTest, LeavingTheRenameEditTakesWhatItHolds) {
    Create();
    gen_->Rename1->trigger();
    QTest::mouseClick(gen_->fEdit, Qt::LeftButton);
    EXPECT_EQ(gen_->Mem2->text(), "");
    EXPECT_EQ(gen_->Memories[1].Name, "");
    EXPECT_FALSE(gen_->Mem2Edit->isVisible());
    EXPECT_EQ(gen_->DefaultButton(), gen_->btnON);

    gen_->Rename3->trigger();
    QTest::keyClicks(gen_->Mem4Edit, "Sub, 40.5 Hz");
    QTest::keyClick(gen_->Mem4Edit, Qt::Key_Tab);
    EXPECT_EQ(gen_->Memory4->text(), "Sub, 40.5 Hz");
    EXPECT_EQ(gen_->Memories[3].Name, "Sub, 40.5 Hz");
    EXPECT_EQ(gen_->Memories[2].Name, "Memory 3");
}

TEST_F(MemoryTest, EscapeDoesNotCancelARename) {
    Create();
    gen_->Rename2->trigger();
    QTest::keyClicks(gen_->Mem3Edit, "Lead");
    QTest::keyClick(gen_->Mem3Edit, Qt::Key_Escape);
    EXPECT_TRUE(gen_->Mem3Edit->isVisible());
    EXPECT_EQ(gen_->Mem3Edit->text(), "Lead");
    EXPECT_EQ(gen_->DefaultButton(), nullptr);
    QTest::mouseClick(gen_->Duration, Qt::LeftButton);
    EXPECT_EQ(gen_->Memory3->text(), "Lead");
    EXPECT_EQ(gen_->Memories[2].Name, "Lead");
}

TEST_F(MemoryTest, ASecondRenameEndsTheFirst) {
    Create();
    gen_->RenameClick();
    QTest::keyClicks(gen_->Mem1Edit, "A");
    gen_->Rename1Click();
    EXPECT_EQ(gen_->Mem1->text(), "A");
    EXPECT_FALSE(gen_->Mem1Edit->isVisible());
    EXPECT_TRUE(gen_->Mem2Edit->hasFocus());
    // The second name is still being typed.
    EXPECT_EQ(gen_->DefaultButton(), nullptr);
    QTest::keyClicks(gen_->Mem2Edit, "B");
    QTest::keyClick(gen_->Mem2Edit, Qt::Key_Enter);
    EXPECT_EQ(gen_->Memories[1].Name, "B");
    EXPECT_EQ(gen_->DefaultButton(), gen_->btnON);
}

TEST_F(MemoryTest, AStartDuringARenameTakesTheNameAndKeepsOffTheDefault) {
    Create();
    gen_->Rename->trigger();
    QTest::keyClicks(gen_->Mem1Edit, "Tone");
    Start();
    EXPECT_FALSE(gen_->Mem1Edit->isVisible());
    EXPECT_EQ(gen_->Memories[0].Name, "Tone");
    EXPECT_EQ(gen_->Mem1->text(), "Tone");
    EXPECT_EQ(gen_->DefaultButton(), gen_->btnOFF);
}

TEST_F(MemoryTest, ASweepSlotRecalledOverTheSameTextsDescribesTheSweep) {
    Create();
    // Only the page differs, so no text write recomputes anything.
    gen_->Memories[0].ActivePage = SignalPage::Sweep;
    gen_->RecallMemory(1);
    EXPECT_EQ(gen_->SignalType->currentWidget(), gen_->Sweep);
    EXPECT_FLOAT_EQ(gen_->State.StartFreqNorm, 100.0f / 22050);
    EXPECT_FLOAT_EQ(gen_->State.FinalFreqNorm, 1000.0f / 22050);
}

// ---- preset files ----

class PresetCommandsTest : public MemoryTest {
protected:
    QString Path(const QString& name) const { return files_.filePath(name); }

    static QByteArray Contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void Put(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    void Save(const QString& path) {
        dialogs_->Files.push_back(path);
        gen_->SaveSweepSettingsAs1Click();
    }

    void Load(const QString& path) {
        dialogs_->Files.push_back(path);
        gen_->LoadSweepSettings1Click();
    }

    // Four different slots: both pages, every check box both ways, texts
    // with "," and ".", and an empty name.
    void FillFourSlots() {
        SetStereoSweep();
        gen_->StoreMemory(1);
        gen_->Memories[0].Name = "Sweep, stereo";
        MemoryRecord& b = gen_->Memories[1];
        b = StartRecord(2);
        b.Name = "";
        b.fEdit = "1000,5";
        b.Loop = false;
        b.Bidirectional = true;
        b.ModulationOn = true;
        b.ModFunctionLeft = 0;
        b.ModFunctionRight = 2;
        MemoryRecord& c = gen_->Memories[2];
        c = StartRecord(3);
        c.Name = "Noise -6 dB";
        c.WaveForm = 3;
        c.Amplitude = "-6";
        c.mono = false;
        c.Lefttick = false;
        c.RightTick = true;
        c.Logarithmic = true;
        c.ActivePage = SignalPage::Sweep;
        MemoryRecord& d = gen_->Memories[3];
        d = StartRecord(4);
        d.Name = "Ton 440,0 Hz.";
        d.fEdit = "440.25";
        d.ModPhaseLeft = "12,5";
    }

    QTemporaryDir files_;
};

TEST_F(PresetCommandsTest, SavedSlotsLoadIntoASecondWindow) {
    Create();
    FillFourSlots();
    const QString file = Path("four.orv");
    Save(Path("four"));
    ASSERT_TRUE(dialogs_->Log.empty() ||
                std::all_of(dialogs_->Log.begin(), dialogs_->Log.end(),
                            [](const auto& e) { return e.Kind == "save"; }));
    ASSERT_FALSE(dialogs_->Requests.empty());
    EXPECT_EQ(dialogs_->Requests.back().Filter, "ORV presets|*.orv");
    EXPECT_EQ(dialogs_->Requests.back().DefaultExtension, "orv");
    EXPECT_FALSE(dialogs_->Requests.back().AskBeforeReplacing);
    ASSERT_TRUE(QFile::exists(file));
    const MemorySlots saved = gen_->Memories;

    auto first = std::move(gen_);
    settings_.reset();
    Create();
    dialogs_->Log.clear();
    Load(file);
    EXPECT_EQ(dialogs_->Requests.back().Filter, "Orvana Presets|*.orv");
    EXPECT_EQ(dialogs_->Requests.back().DefaultExtension, "orv");
    EXPECT_EQ(gen_->Memories, saved);
    EXPECT_EQ(gen_->Mem1->text(), "Sweep, stereo");
    EXPECT_EQ(gen_->Mem2->text(), "");
    EXPECT_EQ(gen_->Memory3->text(), "Noise -6 dB");
    EXPECT_EQ(gen_->Memory4->text(), "Ton 440,0 Hz.");
    EXPECT_EQ(gen_->SignalType->currentWidget(), gen_->Sweep);
    for (const auto& e : dialogs_->Log) EXPECT_EQ(e.Kind, "open") << e.Text.toStdString();

    gen_->RecallMemory(1);
    ExpectStereoSweepShown();
    first.reset();
}

TEST_F(PresetCommandsTest, StartValuesSaveAsFourBlocksThatDifferInMarkerAndName) {
    Create();
    const QString file = Path("start.orv");
    Save(file);
    const QList<QByteArray> lines = Contents(file).split('\n');
    ASSERT_EQ(lines.size(), 102);
    EXPECT_TRUE(lines.back().isEmpty());
    for (int i = 0; i < 101; ++i) ASSERT_TRUE(lines[i].endsWith('\r')) << i;
    const QList<QByteArray> block1{
        "Preset1", "Memory 1", "100", "1000", "1000", "3", "0", "0", "-1", "-1", "-1", "-1", "0",
        "0",       "0",        "Constant", "0", "1", "1", "100", "100", "1", "1", "0", "0"};
    EXPECT_EQ(lines[0].chopped(1), "ORV Preset File V3.2");
    for (int n = 0; n < 4; ++n) {
        for (int i = 0; i < 25; ++i) {
            QByteArray expected = block1[i];
            if (i == 0) expected = "Preset" + QByteArray::number(n + 1);
            if (i == 1) expected = "Memory " + QByteArray::number(n + 1);
            EXPECT_EQ(lines[1 + n * 25 + i].chopped(1), expected) << n << " " << i;
        }
    }
}

TEST_F(PresetCommandsTest, AWrongHeaderShowsItsMessageAndChangesNothing) {
    Create();
    gen_->RenameClick();
    QTest::keyClicks(gen_->Mem1Edit, "Kept");
    QTest::keyClick(gen_->Mem1Edit, Qt::Key_Return);
    const MemorySlots before = gen_->Memories;
    const QString good = Path("good.orv");
    Save(good);
    const QByteArray bytes = Contents(good);
    QByteArray lfOnly = bytes;
    lfOnly.replace("\r\n", "\n");
    QByteArray otherVersion = bytes;
    otherVersion.replace("V3.2", "V3.1");
    QByteArray lowerCase = bytes;
    lowerCase.replace("ORV Preset", "orv Preset");
    for (const QByteArray& damaged : {lfOnly, otherVersion, lowerCase, QByteArray()}) {
        Put(Path("bad.orv"), damaged);
        gen_->Memories[0].Name = "Kept";
        dialogs_->Log.clear();
        gen_->SignalType->setCurrentWidget(gen_->Constant);
        Load(Path("bad.orv"));
        ASSERT_EQ(dialogs_->Log.size(), 2u);
        EXPECT_EQ(dialogs_->Log.back().Kind, "information");
        EXPECT_EQ(dialogs_->Log.back().Text, "Wrong file format");
        EXPECT_EQ(gen_->Memories, before);
        EXPECT_EQ(gen_->Mem1->text(), "Kept");
        EXPECT_EQ(gen_->SignalType->currentWidget(), gen_->Sweep);
    }
}

TEST_F(PresetCommandsTest, ABadNumberStopsTheLoadAndKeepsWhatWasRead) {
    Create();
    FillFourSlots();
    const MemorySlots written = gen_->Memories;
    Save(Path("four.orv"));
    QList<QByteArray> lines = Contents(Path("four.orv")).split('\n');
    // Slot 2, line 9 of its block: Loop.
    lines[1 + 25 + 8] = "True\r";
    Put(Path("true.orv"), lines.join('\n'));

    Create();
    gen_->fEdit->setText("777");
    const MemorySlots before = gen_->Memories;
    dialogs_->Log.clear();
    Load(Path("true.orv"));
    ASSERT_FALSE(dialogs_->Log.empty());
    EXPECT_EQ(dialogs_->Log.back().Kind, "error");
    EXPECT_EQ(dialogs_->Log.back().Text, "Invalid numeric input");
    EXPECT_EQ(gen_->Memories[0], written[0]);
    const MemoryRecord& m = gen_->Memories[1];
    EXPECT_EQ(m.Name, written[1].Name);
    EXPECT_EQ(m.fEdit, written[1].fEdit);
    EXPECT_EQ(m.WaveForm, written[1].WaveForm);
    EXPECT_EQ(m.Loop, before[1].Loop);
    EXPECT_EQ(m.Bidirectional, before[1].Bidirectional);
    EXPECT_EQ(gen_->Memories[2], before[2]);
    EXPECT_EQ(gen_->Memories[3], before[3]);
    // Neither the captions nor the page nor the controls follow.
    EXPECT_EQ(gen_->Mem1->text(), "Memory 1");
    EXPECT_EQ(gen_->SignalType->currentWidget(), gen_->Constant);
    EXPECT_EQ(gen_->fEdit->text(), "777");
}

TEST_F(PresetCommandsTest, ACancelledLoadStillShowsTheSweepPage) {
    Create();
    const SynthState before = gen_->State;
    const MemorySlots kept = gen_->Memories;
    gen_->LoadSweepSettings1Click();
    EXPECT_EQ(gen_->SignalType->currentWidget(), gen_->Sweep);
    EXPECT_EQ(gen_->Memories, kept);
    ExpectSameSynthesis(gen_->State, before);
    ASSERT_EQ(dialogs_->Log.size(), 1u);
    EXPECT_EQ(dialogs_->Log.back().Kind, "open");
}

TEST_F(PresetCommandsTest, LoadingTouchesOnlyTheSlotsAndTheCaptions) {
    Create();
    const QString file = Path("p.orv");
    gen_->Memories[2].Name = "Third";
    gen_->Memories[2].fEdit = "3000";
    Save(file);
    gen_->Memories[2] = StartRecord(3);
    gen_->fEdit->setText("640");
    Start();
    EXPECT_TRUE(gen_->LoadPresetFile(file));
    EXPECT_TRUE(gen_->Playing);
    EXPECT_EQ(gen_->Memories[2].fEdit, "3000");
    EXPECT_EQ(gen_->Memory3->text(), "Third");
    EXPECT_EQ(gen_->fEdit->text(), "640");
    EXPECT_EQ(gen_->SignalType->currentWidget(), gen_->Constant);
}

TEST_F(PresetCommandsTest, AFileThatCannotBeReadChangesNothing) {
    Create();
    const MemorySlots before = gen_->Memories;
    QDir(files_.path()).mkdir("folder.orv");
    for (const QString& name : {Path("missing.orv"), Path("folder.orv")}) {
        dialogs_->Log.clear();
        EXPECT_FALSE(gen_->LoadPresetFile(name));
        ASSERT_EQ(dialogs_->Log.size(), 1u);
        EXPECT_EQ(dialogs_->Log.back().Kind, "error");
        EXPECT_FALSE(dialogs_->Log.back().Text.isEmpty());
        EXPECT_EQ(gen_->Memories, before);
    }
    Load(Path("missing.orv"));
    EXPECT_EQ(gen_->SignalType->currentWidget(), gen_->Constant);
}

TEST_F(PresetCommandsTest, AFailedSaveShowsTheErrorAndKeepsTheOldFile) {
    Create();
    const QString folder = Path("folder.orv");
    ASSERT_TRUE(QDir(files_.path()).mkdir("folder.orv"));
    Put(folder + "/inside", "kept");
    const QString kernelFile = QStringLiteral("/proc/version");
    const QByteArray kernelBefore = Contents(kernelFile);
    for (const QString& target : {folder, kernelFile, Path("no folder/x.orv")}) {
        dialogs_->Log.clear();
        Save(target);
        ASSERT_EQ(dialogs_->Log.size(), 2u) << target.toStdString();
        EXPECT_EQ(dialogs_->Log.back().Kind, "error");
        EXPECT_FALSE(dialogs_->Log.back().Text.isEmpty());
    }
    EXPECT_EQ(Contents(folder + "/inside"), "kept");
    EXPECT_EQ(Contents(kernelFile), kernelBefore);
    EXPECT_EQ(QDir(files_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"folder.orv"});

    // Saving over an existing preset file replaces it whole.
    const QString file = Path("old.orv");
    Put(file, "old contents");
    Save(file);
    EXPECT_TRUE(Contents(file).startsWith("ORV Preset File V3.2\r\n"));
}

TEST_F(PresetCommandsTest, TheShippedExamplesLoadWithoutAMessage) {
    Create();
    ChooseRate(2);  // the 20 kHz sweep needs 44100 Hz
    const QString examples = QCoreApplication::applicationDirPath() + "/Examples.orv";
    ASSERT_TRUE(QFile::exists(examples));
    Load(examples);
    ASSERT_EQ(dialogs_->Log.size(), 1u);
    const std::array<QPushButton*, 4> buttons{gen_->Mem1, gen_->Mem2, gen_->Memory3,
                                              gen_->Memory4};
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        const MemoryRecord& m = gen_->Memories[n - 1];
        EXPECT_FALSE(m.Name.empty());
        EXPECT_EQ(buttons[n - 1]->text().toStdString(), m.Name);
        EXPECT_TRUE(ValidItemIndex(m.WaveForm));
        gen_->RecallMemory(n);
        // Leaving every field changes none of the recalled texts.
        for (QLineEdit* edit : {gen_->fEdit, gen_->fInit, gen_->fFinal, gen_->Duration,
                                gen_->Amplitude}) {
            const QString recalled = edit->text();
            TypeAndLeave(edit, recalled);
            EXPECT_EQ(edit->text(), recalled);
        }
    }
    EXPECT_EQ(dialogs_->Log.size(), 1u);
}

}  // namespace
}  // namespace orv
