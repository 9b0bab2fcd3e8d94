// Scripts played by the real generator window on the fake output.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "generator/script/ScriptPopup.h"
#include "tests/window/WindowFixture.h"

namespace orv {
namespace {

class ScriptRunTest : public GeneratorTest {
protected:
    void SetUp() override {
        GeneratorTest::SetUp();
        ASSERT_TRUE(files_.isValid());
        Create();
        scriptPopup_ = std::make_unique<TScriptPopup>(gen_->ScriptControls());
        gen_->ScriptPopup = scriptPopup_.get();
        // Plays the fake device's buffers and notes every line the popup
        // shows while the runner serves the event queue.
        ticker_.setInterval(0);
        QObject::connect(&ticker_, &QTimer::timeout, [this] {
            fake_.CompleteOne();
            const QString line = scriptPopup_->Label1->text();
            if (scriptPopup_->isVisible() && !line.isEmpty() && (shown_.empty() || shown_.back() != line))
                shown_.push_back(line);
            if (onTick_) onTick_();
        });
        ticker_.start();
    }

    void TearDown() override {
        ticker_.stop();
        gen_->ScriptPopup = nullptr;
        scriptPopup_.reset();
        GeneratorTest::TearDown();
    }

    // The lines shown, the last one included: "end" hides the popup at once.
    std::vector<QString> Shown() {
        std::vector<QString> lines = shown_;
        const QString last = scriptPopup_->Label1->text();
        if (lines.empty() || lines.back() != last) lines.push_back(last);
        return lines;
    }

    QString Script(const char* name, const QByteArray& lines) {
        const QString path = files_.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("rem ORV Script File for Version 3.2\r\n" + lines);
        return path;
    }

    QTemporaryDir files_;
    std::unique_ptr<TScriptPopup> scriptPopup_;
    QTimer ticker_;
    std::vector<QString> shown_;
    std::function<void()> onTick_;
};

TEST_F(ScriptRunTest, ToneDelaySweepPlayInOrderAndLeaveTheLastSettings) {
    gen_->Loop->setChecked(true);
    const QString path = Script("three.ovs",
                                "tone 440 0.2 -6 2 0 L \r\n"
                                "delay 0.1\r\n"
                                "sweep 100 1000 0.2 -3 0 LR 90 LOG 0\r\n"
                                "end\r\n");
    const int opensBefore = fake_.OpenCount();
    EXPECT_TRUE(gen_->RunScript(path));

    EXPECT_EQ(Shown(), (std::vector<QString>{"Line 1: rem", "Line 2: tone", "Line 3: delay",
                                             "Line 4: sweep", "Line 5: end"}));
    EXPECT_TRUE(dialogs_->Log.empty()) << dialogs_->Log.front().Text.toStdString();
    EXPECT_EQ(fake_.OpenCount() - opensBefore, 2);  // the tone, then the sweep
    EXPECT_FALSE(gen_->Playing);
    // The sweep's values stay; Loop is as before the run.
    EXPECT_EQ(gen_->SignalType->currentWidget(), gen_->Sweep);
    EXPECT_EQ(gen_->fInit->text(), "100");
    EXPECT_EQ(gen_->fFinal->text(), "1000");
    EXPECT_EQ(gen_->Amplitude->text(), "-3");
    EXPECT_FALSE(gen_->mono->isChecked());
    EXPECT_TRUE(gen_->Lefttick->isChecked() && gen_->RightTick->isChecked());
    EXPECT_EQ(gen_->PhaseEdit->text(), "90");
    EXPECT_TRUE(gen_->Logarithmic->isChecked());
    EXPECT_TRUE(gen_->Loop->isChecked());
    EXPECT_TRUE(gen_->isEnabled());
    EXPECT_FALSE(scriptPopup_->isVisible());
}

TEST_F(ScriptRunTest, MenuCommandAsksForTheScriptAndUnknownWaveformSelectsNothing) {
    dialogs_->Files.push_back(Script("seven.ovs", "tone 1000 0.1 0 7 0 M \r\nend\r\n"));
    gen_->RunScript1->trigger();
    ASSERT_EQ(dialogs_->Requests.size(), 1u);
    EXPECT_EQ(dialogs_->Requests[0].Filter, "ORV Script|*.ovs|All Files|*.*");
    EXPECT_TRUE(dialogs_->Requests[0].DefaultExtension.isEmpty());
    EXPECT_EQ(gen_->WaveForm->currentIndex(), -1);
    EXPECT_EQ(Shown().back(), "Line 3: end");
    EXPECT_TRUE(gen_->isEnabled());

    // A cancelled dialog runs nothing.
    dialogs_->Files.push_back(std::nullopt);
    shown_.clear();
    gen_->RunScript1->trigger();
    EXPECT_TRUE(shown_.empty());
    EXPECT_TRUE(gen_->isEnabled());
}

TEST_F(ScriptRunTest, FailuresKeepThePopupUntilNext) {
    const struct {
        const char* name;
        QByteArray lines;
        const char* message;
    } cases[] = {
        {"missing.ovs", {}, nullptr},
        {"comma.ovs", "delay 0,25\r\nend\r\n", "'0,25' is not a valid floating point value"},
        {"wave.ovs", "tone 1000 0.1 0 x 0 M \r\nend\r\n", "'x' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        dialogs_->Log.clear();
        const QString path = c.message ? Script(c.name, c.lines) : files_.filePath(c.name);
        EXPECT_FALSE(gen_->RunScript(path)) << c.name;
        ASSERT_EQ(dialogs_->Log.size(), 1u) << c.name;
        EXPECT_EQ(dialogs_->Log[0].Kind, "error");
        if (c.message) {
            EXPECT_EQ(dialogs_->Log[0].Text, c.message);
        }
        EXPECT_TRUE(scriptPopup_->isVisible()) << c.name;
        EXPECT_FALSE(gen_->isEnabled()) << c.name;
        scriptPopup_->Button2->click();
        EXPECT_TRUE(gen_->isEnabled()) << c.name;
    }
}

TEST_F(ScriptRunTest, RepeatRunsUntilCancelAndInvalidLinesEndTheRun) {
    const QString path = Script("again.ovs", "tone 1000 0.05 0 0 0 M \r\nrepeat\r\n");
    const int opensBefore = fake_.OpenCount();
    onTick_ = [&] {
        // Cancel during the third tone, which then plays to its end.
        if (gen_->Playing && scriptPopup_->isVisible() && fake_.OpenCount() - opensBefore == 3)
            scriptPopup_->Button1->click();
    };
    EXPECT_TRUE(gen_->RunScript(path));
    EXPECT_EQ(fake_.OpenCount() - opensBefore, 3);
    EXPECT_EQ(Shown().back(), "Line 2: tone");
    EXPECT_FALSE(gen_->Playing);
    EXPECT_TRUE(gen_->isEnabled());

    onTick_ = nullptr;
    shown_.clear();
    EXPECT_TRUE(gen_->RunScript(Script("header.ovs", "")));
    ASSERT_EQ(dialogs_->Log.size(), 1u);
    EXPECT_EQ(dialogs_->Log[0].Text, "Invalid command in line 2");
    EXPECT_FALSE(scriptPopup_->isVisible());
    EXPECT_TRUE(gen_->isEnabled());
}

TEST_F(ScriptRunTest, ClosingTheWindowEndsARunningScript) {
    const QString path = Script("long.ovs", "delay 100\r\nend\r\n");
    onTick_ = [&] {
        if (scriptPopup_->Label1->text() == "Line 2: delay") gen_->close();
    };
    EXPECT_TRUE(gen_->RunScript(path));
    EXPECT_FALSE(scriptPopup_->isVisible());
    EXPECT_FALSE(gen_->Playing);
}

}  // namespace
}  // namespace orv
