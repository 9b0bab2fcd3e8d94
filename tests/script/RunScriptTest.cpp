#include "generator/script/RunScript.h"

#include "FakeHost.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace orv;
using ::testing::ElementsAre;

namespace {

constexpr const char* kHeader = "rem ORV Script File for Version 3.2\r\n";
constexpr const char* kShortTone = "tone 1000 1 -6 0 M 0 0 \r\n";
constexpr const char* kShortSweep = "sweep 20 20000 1 0 0 LR 90 LOG 0 \r\n";

class RunScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        shown = dialogs.get();
        Dialogs::Install(std::move(dialogs));
        ASSERT_TRUE(folder.isValid());
    }
    void TearDown() override { Dialogs::Install(nullptr); }

    QString Write(const std::string& bytes, const char* name = "s.ovs") {
        const QString path = QDir(folder.path()).filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }

    ScriptEnd Run(const std::string& bytes) { return RunScript(host, Write(bytes), Sleep()); }

    // Counts the delay steps and lets a test act at one of them.
    StepSleep Sleep() {
        return [this] {
            ++steps;
            host.log.push_back("step");
            if (atStep) atStep(steps);
        };
    }

    std::vector<std::string> Messages(const char* kind) const {
        std::vector<std::string> texts;
        for (const ScriptedDialogs::Shown& s : shown->Log)
            if (s.Kind == QLatin1String(kind)) texts.push_back(s.Text.toStdString());
        return texts;
    }

    // The log from the first entry equal to from, for checking an order.
    std::vector<std::string> LogFrom(const std::string& from) const {
        auto begin = std::find(host.log.begin(), host.log.end(), from);
        return {begin, host.log.end()};
    }

    QTemporaryDir folder;
    ScriptedDialogs* shown = nullptr;
    FakeHost host;
    int steps = 0;
    std::function<void(int)> atStep;
};

// --- Running a script line by line ---------------------------------------

TEST_F(RunScriptTest, ToneDelaySweepRunInOrderAndThePopupFollows) {
    const ScriptEnd end = Run(std::string(kHeader) + kShortTone + "delay 2\r\n" + kShortSweep + "end\r\n");
    EXPECT_EQ(end, ScriptEnd::Finished);
    EXPECT_THAT(host.lines, ElementsAre("Line 1: rem", "Line 2: tone", "Line 3: delay",
                                        "Line 4: sweep", "Line 5: end"));
    EXPECT_EQ(host.presses, 2);
    EXPECT_EQ(steps, 20);
    EXPECT_TRUE(shown->Log.empty());
    // The tone is set up, started and over before the delay; the sweep
    // comes after the delay.
    EXPECT_THAT(host.controls.writes,
                ElementsAre("Tone", "fEdit=1000", "Duration=1", "Amplitude=-6", "WaveForm#0", "mono=1",
                            "ModulationOn=0", "Sweep", "fInit=20", "fFinal=20000", "Duration=1",
                            "Amplitude=0", "WaveForm#0", "mono=0", "Lefttick=1", "RightTick=1",
                            "PhaseEdit=90", "Logarithmic=1", "ModulationOn=0"));
    const std::vector<std::string> fromTone = LogFrom("Tone");
    ASSERT_GE(fromTone.size(), 10u);
    EXPECT_EQ(fromTone[7], "ON");
    EXPECT_EQ(fromTone[8], "start");
    EXPECT_EQ(fromTone[9], "stop");
    EXPECT_EQ(fromTone[10], "step");
    EXPECT_EQ(host.log.back(), "front");
}

TEST_F(RunScriptTest, TheWindowIsDisabledDuringTheRunAndEnabledInFrontAfterIt) {
    Run(std::string(kHeader) + kShortTone + "end\r\n");
    ASSERT_FALSE(host.log.empty());
    EXPECT_EQ(host.log.front(), "disabled");
    EXPECT_NE(std::find(host.log.begin(), host.log.end(), "ON"), host.log.end())
        << "ON is pressed while the window is disabled";
    EXPECT_TRUE(host.enabled);
    EXPECT_FALSE(host.popup.isVisible());
    const auto front = std::find(host.log.begin(), host.log.end(), "front");
    ASSERT_NE(front, host.log.end());
    EXPECT_EQ(*(front - 1), "enabled");
}

TEST_F(RunScriptTest, LoopIsUncheckedForEachLineAndRestoredAfterTheRun) {
    host.loop = true;
    Run(std::string(kHeader) + kShortTone + kShortSweep + "end\r\n");
    EXPECT_TRUE(host.loop);
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "ON"), 2) << "both lines ran with Loop off";
    EXPECT_EQ(*(host.log.end() - 3), "Loop=1");
}

TEST_F(RunScriptTest, TheRunnerWaitsUntilTheOutputHasStopped) {
    host.output = [](FakeHost& h, int) {
        h.Later([&h] {
            h.Start();
            // Buffer refills arrive before the output stops by itself.
            h.Later([&h] {
                h.log.push_back("refill");
                h.Later([&h] {
                    h.log.push_back("refill");
                    h.Later([&h] { h.Stop(); });
                });
            });
        });
    };
    Run(std::string(kHeader) + kShortTone + "delay 0\r\nend\r\n");
    EXPECT_THAT(LogFrom("ON"), ::testing::IsSupersetOf({"start", "refill", "stop", "step"}));
    const std::vector<std::string> fromOn = LogFrom("ON");
    ASSERT_GE(fromOn.size(), 6u);
    EXPECT_THAT(std::vector<std::string>(fromOn.begin(), fromOn.begin() + 6),
                ElementsAre("ON", "start", "refill", "refill", "stop", "step"));
}

TEST_F(RunScriptTest, AnOutputThatDoesNotStartLetsTheRunGoOn) {
    host.output = [](FakeHost&, int) {};  // btnONClick reported the failure itself
    EXPECT_EQ(Run(std::string(kHeader) + kShortTone + kShortTone + "end\r\n"), ScriptEnd::Finished);
    EXPECT_EQ(host.presses, 2);
}

TEST_F(RunScriptTest, PauseWaitsForOk) {
    Run(std::string(kHeader) + "pause \r\n" + kShortTone + "end\r\n");
    EXPECT_THAT(Messages("information"), ElementsAre("Pause in script. Press OK to continue"));
    EXPECT_EQ(host.presses, 1);
}

TEST_F(RunScriptTest, KeywordsInCapitalsAndCommentsAnywhere) {
    Run(std::string("rem other header\r\nTONE 440 1 0 0 M 0 0\r\nrem between\r\nEnd"));
    EXPECT_EQ(host.presses, 1);
    EXPECT_TRUE(shown->Log.empty());
    EXPECT_EQ(host.lines.back(), "Line 4: end");
}

TEST_F(RunScriptTest, LinesAfterEndAreNotRead) {
    Run(std::string(kHeader) + "end\r\n" + kShortTone);
    EXPECT_EQ(host.presses, 0);
    EXPECT_TRUE(shown->Log.empty());
}

TEST_F(RunScriptTest, AWaveformFieldOfSevenSelectsNoEntryAndStillPlays) {
    Run(std::string(kHeader) + "tone 1000 1 -6 7 M 0 0 \r\nend\r\n");
    EXPECT_NE(std::find(host.controls.writes.begin(), host.controls.writes.end(), "WaveForm#7"),
              host.controls.writes.end());
    EXPECT_EQ(host.presses, 1);
    EXPECT_TRUE(shown->Log.empty());
}

// --- Invalid lines and the end of the file --------------------------------

TEST_F(RunScriptTest, AHeaderOnlyFileReportsLineTwo) {
    EXPECT_EQ(Run(kHeader), ScriptEnd::Finished);
    EXPECT_THAT(Messages("information"), ElementsAre("Invalid command in line 2"));
    EXPECT_FALSE(host.popup.isVisible());
    EXPECT_TRUE(host.enabled);
}

TEST_F(RunScriptTest, AnEmptyFileReportsLineOne) {
    Run("");
    EXPECT_THAT(Messages("information"), ElementsAre("Invalid command in line 1"));
}

TEST_F(RunScriptTest, TheEndOfTheFileWithoutEndIsTheLineAfterTheLast) {
    Run(std::string(kHeader) + kShortTone);
    EXPECT_EQ(host.presses, 1);
    EXPECT_THAT(Messages("information"), ElementsAre("Invalid command in line 3"));
}

TEST_F(RunScriptTest, AnUnknownCommandEndsTheRunAtItsLine) {
    Run(std::string(kHeader) + "play 1000\r\n" + kShortTone + "end\r\n");
    EXPECT_THAT(Messages("information"), ElementsAre("Invalid command in line 2"));
    EXPECT_EQ(host.presses, 0);
    EXPECT_EQ(host.lines.back(), "Line 2: play");
}

TEST_F(RunScriptTest, ALeadingBlankIsAnEmptyCommand) {
    Run(std::string(kHeader) + " tone 1000 1 -6 0 M 0 0\r\n");
    EXPECT_THAT(Messages("information"), ElementsAre("Invalid command in line 2"));
    EXPECT_EQ(host.presses, 0);
}

TEST_F(RunScriptTest, AHugeFirstFieldKeepsThePopupSmall) {
    Run(std::string(kHeader) + std::string(100000, 'x') + "\r\n");
    EXPECT_THAT(Messages("information"), ElementsAre("Invalid command in line 2"));
    EXPECT_EQ(host.lines.back(), "Line 2: " + std::string(40, 'x') + "...");
}

// --- Delays ----------------------------------------------------------------

struct DelayCase {
    const char* Time;
    char Separator;
    int Steps;
};

class DelaySteps : public RunScriptTest, public ::testing::WithParamInterface<DelayCase> {};

TEST_P(DelaySteps, TakeTheSmallestWholeNumberOfTenthsAndNeverNone) {
    host.separator = GetParam().Separator;
    Run(std::string(kHeader) + "delay " + GetParam().Time + "\r\nend\r\n");
    EXPECT_EQ(steps, GetParam().Steps);
    EXPECT_TRUE(shown->Log.empty());
    EXPECT_FALSE(host.playing);
}

INSTANTIATE_TEST_SUITE_P(Times, DelaySteps,
                         ::testing::Values(DelayCase{"0", '.', 1}, DelayCase{"0.25", '.', 3},
                                           DelayCase{"2", '.', 20}, DelayCase{"-3", '.', 1},
                                           DelayCase{"0.1", '.', 1}, DelayCase{"0.3", '.', 3},
                                           DelayCase{"0,25", ',', 3}, DelayCase{"1e-9", '.', 1}));

TEST_F(RunScriptTest, EveryDelayStepHoldsPlayingAndServesTheQueue) {
    atStep = [this](int) { host.log.push_back(host.playing ? "playing" : "silent"); };
    Run(std::string(kHeader) + "delay 0.2\r\nend\r\n");
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "playing"), 2);
    EXPECT_FALSE(host.playing);
}

TEST_F(RunScriptTest, UnderACommaTheDelayPointFailsAndLeavesThePopupUp) {
    host.separator = ',';
    host.loop = true;
    EXPECT_EQ(Run(std::string(kHeader) + "delay 0.25\r\nend\r\n"), ScriptEnd::Failed);
    EXPECT_THAT(Messages("error"), ElementsAre("'0.25' is not a valid floating point value"));
    EXPECT_EQ(steps, 0);
    EXPECT_FALSE(host.playing);
    EXPECT_TRUE(host.popup.isVisible());
    EXPECT_FALSE(host.enabled);
    EXPECT_TRUE(host.loop);
    EXPECT_THAT(host.lines, ElementsAre("Line 1: rem")) << "nothing waited after the failing line";
    EXPECT_EQ(host.popup.Label1->text(), QStringLiteral("Line 2: delay"));
    host.popup.Button2->click();
    EXPECT_FALSE(host.popup.isVisible());
    EXPECT_TRUE(host.enabled);
}

TEST_F(RunScriptTest, AnEmptyDelayTimeFails) {
    EXPECT_EQ(Run(std::string(kHeader) + "delay\r\nend\r\n"), ScriptEnd::Failed);
    EXPECT_THAT(Messages("error"), ElementsAre("'' is not a valid floating point value"));
}

TEST_F(RunScriptTest, NextDuringADelayEndsTheRunAtOnce) {
    atStep = [this](int step) {
        if (step == 5) host.Later([this] { host.popup.Button2->click(); });
    };
    Run(std::string(kHeader) + "delay 10\r\n" + kShortTone + "end\r\n");
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(host.presses, 0);
    EXPECT_TRUE(host.enabled);
    EXPECT_FALSE(host.popup.isVisible());
}

TEST_F(RunScriptTest, CancelDuringADelayWaitsItOutThenEndsTheRun) {
    atStep = [this](int step) {
        if (step == 5) {
            host.Later([this] { host.popup.Button1->click(); });
        } else if (step == 6) {
            EXPECT_TRUE(host.enabled) << "the window is usable as soon as the popup hides";
            EXPECT_FALSE(host.popup.isVisible());
        }
    };
    Run(std::string(kHeader) + "delay 2\r\n" + kShortTone + "end\r\n");
    EXPECT_EQ(steps, 20);
    EXPECT_EQ(host.presses, 0);
    EXPECT_TRUE(host.enabled);
}

// --- Repeat, Cancel and Next -----------------------------------------------

TEST_F(RunScriptTest, RepeatStartsAgainAtTheHeaderUntilNext) {
    host.output = [](FakeHost& h, int press) {
        h.Later([&h, press] {
            h.Start();
            if (press == 3)
                h.Later([&h] { h.popup.Button2->click(); });
            else
                h.Later([&h] { h.Stop(); });
        });
    };
    EXPECT_EQ(Run(std::string(kHeader) + kShortTone + "repeat \r\n"), ScriptEnd::Finished);
    EXPECT_EQ(host.presses, 3);
    EXPECT_THAT(host.lines, ElementsAre("Line 1: rem", "Line 2: tone", "Line 3: repeat", "Line 1: rem",
                                        "Line 2: tone", "Line 3: repeat", "Line 1: rem", "Line 2: tone"));
    EXPECT_FALSE(host.playing);
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "stop"), 2) << "Next does not stop the sounding tone";
    EXPECT_TRUE(host.enabled);
}

TEST_F(RunScriptTest, NextDuringAToneEndsTheRunWhileTheToneSoundsOn) {
    host.output = [](FakeHost& h, int) {
        h.Later([&h] {
            h.Start();
            h.Later([&h] { h.popup.Button2->click(); });
        });
    };
    Run(std::string(kHeader) + kShortTone + "repeat \r\n");
    EXPECT_EQ(host.presses, 1);
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "stop"), 0);
    EXPECT_FALSE(host.popup.isVisible());
}

TEST_F(RunScriptTest, CancelEndsARepeatingScriptAfterTheCurrentLine) {
    host.output = [](FakeHost& h, int press) {
        h.Later([&h, press] {
            h.Start();
            if (press == 2) h.Later([&h] { h.popup.Button1->click(); });
            h.Later([&h] { h.Later([&h] { h.Stop(); }); });
        });
    };
    Run(std::string(kHeader) + kShortTone + "repeat \r\n");
    EXPECT_EQ(host.presses, 2);
    const std::vector<std::string> fromSecond = LogFrom("enabled");
    // Cancel re-enables the window; the tone then plays to its end.
    ASSERT_GE(fromSecond.size(), 2u);
    EXPECT_EQ(fromSecond[1], "stop");
    EXPECT_FALSE(host.popup.isVisible());
    EXPECT_EQ(host.lines.back(), "Line 2: tone");
}

// --- Failures that leave the popup up --------------------------------------

TEST_F(RunScriptTest, AWaveformThatIsNoNumberAbandonsTheRunAtItsLine) {
    host.loop = true;
    EXPECT_EQ(Run(std::string(kHeader) + kShortTone + "tone 440 1 0 x M 0 0 \r\n" + kShortTone + "end\r\n"),
              ScriptEnd::Failed);
    EXPECT_THAT(Messages("error"), ElementsAre("'x' is not a valid integer value"));
    EXPECT_EQ(host.presses, 1);
    EXPECT_EQ(host.controls.writes.back(), "Amplitude=0") << "the fields before the waveform are set";
    EXPECT_TRUE(host.popup.isVisible());
    EXPECT_FALSE(host.enabled);
    EXPECT_TRUE(host.loop);
    EXPECT_EQ(host.popup.Label1->text(), QStringLiteral("Line 3: tone"));
    host.popup.Button1->click();
    EXPECT_TRUE(host.enabled);
}

TEST_F(RunScriptTest, AModulationFunctionThatIsNoNumberAbandonsTheRun) {
    EXPECT_EQ(Run(std::string(kHeader) + "sweep 20 200 1 0 0 L 0 LIN 1 2 50 sine 0 \r\nend\r\n"),
              ScriptEnd::Failed);
    EXPECT_THAT(Messages("error"), ElementsAre("'sine' is not a valid integer value"));
    EXPECT_EQ(host.presses, 0);
}

TEST_F(RunScriptTest, AMissingFileIsReportedAndNothingIsPerformed) {
    host.loop = true;
    const QString missing = QDir(folder.path()).filePath(QStringLiteral("none.ovs"));
    EXPECT_EQ(RunScript(host, missing, Sleep()), ScriptEnd::Failed);
    EXPECT_THAT(Messages("error"), ElementsAre("No such file or directory"));
    EXPECT_EQ(host.presses, 0);
    EXPECT_TRUE(host.controls.writes.empty());
    EXPECT_TRUE(host.loop);
    EXPECT_TRUE(host.popup.isVisible());
    EXPECT_FALSE(host.enabled);
    EXPECT_TRUE(host.popup.Label1->text().isEmpty()) << "no line of an earlier run is shown";
    host.popup.Button2->click();
    EXPECT_TRUE(host.enabled);
}

TEST_F(RunScriptTest, AFolderIsNoScript) {
    EXPECT_EQ(RunScript(host, folder.path(), Sleep()), ScriptEnd::Failed);
    EXPECT_THAT(Messages("error"), ElementsAre("Is a directory"));
}

TEST_F(RunScriptTest, ANameWithBlanksAndNonAsciiLetters) {
    const QString path = QDir(folder.path()).filePath(QStringLiteral("Tönë scripts.ovs"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("tone 1000 1 -6 0 M 0 0\r\nend");
    file.close();
    EXPECT_EQ(RunScript(host, path, Sleep()), ScriptEnd::Finished);
    EXPECT_EQ(host.presses, 1);
}

// --- A second run started inside the first ---------------------------------

TEST_F(RunScriptTest, RunScriptAgainAfterCancelEndsTheFirstRunWhenTheSecondReturns) {
    host.loop = true;
    const QString inner = Write(std::string(kHeader) + kShortSweep + "end\r\n", "inner.ovs");
    ScriptEnd innerEnd = ScriptEnd::Failed;
    host.output = [&](FakeHost& h, int press) {
        h.Later([&h] { h.Start(); });
        if (press != 1) {
            h.Later([&h] { h.Stop(); });
            return;
        }
        h.Later([&h] { h.popup.Button1->click(); });
        // The menu entry stops the output at once and runs the chosen file.
        h.Later([&] {
            h.Stop();
            innerEnd = RunScript(h, inner, Sleep());
        });
    };
    EXPECT_EQ(Run(std::string(kHeader) + kShortTone + "repeat \r\n"), ScriptEnd::Finished);
    EXPECT_EQ(innerEnd, ScriptEnd::Finished);
    EXPECT_EQ(host.presses, 2) << "the first run does not go on with its repeat";
    EXPECT_EQ(host.controls.writes.front(), "Tone");
    EXPECT_EQ(host.controls.writes[7], "Sweep");
    EXPECT_TRUE(host.loop);
    EXPECT_TRUE(host.enabled);
    EXPECT_FALSE(host.popup.isVisible());
}

TEST_F(RunScriptTest, AFailingSecondRunKeepsItsPopupAfterTheFirstEnds) {
    host.loop = true;
    const QString inner = Write(std::string(kHeader) + "delay soon\r\n", "inner.ovs");
    host.output = [&](FakeHost& h, int) {
        h.Later([&h] { h.Start(); });
        h.Later([&h] { h.popup.Button1->click(); });
        h.Later([&] {
            h.Stop();
            RunScript(h, inner, Sleep());
        });
    };
    EXPECT_EQ(Run(std::string(kHeader) + kShortTone + "repeat \r\n"), ScriptEnd::Finished);
    EXPECT_THAT(Messages("error"), ElementsAre("'soon' is not a valid floating point value"));
    EXPECT_EQ(host.presses, 1);
    EXPECT_TRUE(host.loop);
    EXPECT_TRUE(host.popup.isVisible());
    EXPECT_FALSE(host.enabled);
    host.popup.Button1->click();
    EXPECT_TRUE(host.enabled);
}

TEST_F(RunScriptTest, ASecondRunDuringADelayEndsTheDelay) {
    const QString inner = Write(std::string(kHeader) + "end\r\n", "inner.ovs");
    atStep = [&](int step) {
        if (step == 3) {
            host.Later([&] {
                host.popup.Button1->click();
                RunScript(host, inner, Sleep());
            });
        }
    };
    Run(std::string(kHeader) + "delay 100\r\n" + kShortTone + "end\r\n");
    EXPECT_LT(steps, 10);
    EXPECT_EQ(host.presses, 0);
    EXPECT_FALSE(host.popup.isVisible());
    EXPECT_TRUE(host.enabled);
}

// --- The file dialog -------------------------------------------------------

TEST_F(RunScriptTest, TheOpenDialogOffersScriptsAndAllFiles) {
    shown->Files.push_back(QStringLiteral("/x/a.ovs"));
    EXPECT_EQ(AskForScriptFile(nullptr), std::optional<QString>(QStringLiteral("/x/a.ovs")));
    EXPECT_EQ(AskForScriptFile(nullptr), std::nullopt) << "cancelled";
    ASSERT_EQ(shown->Requests.size(), 2u);
    EXPECT_EQ(shown->Requests[0].Filter, QStringLiteral("ORV Script|*.ovs|All Files|*.*"));
    EXPECT_TRUE(shown->Requests[0].DefaultExtension.isEmpty());
}

}  // namespace
