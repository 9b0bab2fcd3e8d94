// "Save Tone As..." in the real window: the proposed name, the file, the
// progress window and its Cancel.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QDir>
#include <QTabWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>

#include "generator/files/PresetFile.h"
#include "generator/files/WaveFile.h"
#include "generator/window/WaitForm.h"
#include "tests/files/StartRecord.h"
#include "tests/window/WindowFixture.h"

namespace orv {
namespace {

class ExportTest : public GeneratorTest {
protected:
    void SetUp() override {
        GeneratorTest::SetUp();
        ASSERT_TRUE(files_.isValid());
        Create();
        wait_ = std::make_unique<TWaitForm>(*gen_);
        // Runs at the export's progress points, while the progress window
        // is up.
        QObject::connect(&ticker_, &QTimer::timeout, [this] {
            if (!wait_->isVisible()) return;
            sawWindowDisabled_ = sawWindowDisabled_ || !gen_->isEnabled();
            if (duringExport_) duringExport_();
        });
        ticker_.start(0);
    }

    void TearDown() override {
        ticker_.stop();
        wait_.reset();
        GeneratorTest::TearDown();
    }

    // Saves under the name through the menu command.
    QByteArray Export(const QString& name) {
        const QString path = files_.filePath(name);
        dialogs_->Files.push_back(path);
        gen_->SaveWaveFile1->trigger();
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString ProposedName() {
        dialogs_->Files.push_back(std::nullopt);
        gen_->SaveWaveFile1Click();
        return dialogs_->Requests.back().FileName;
    }

    static uint32_t U32(const QByteArray& b, int at) {
        uint32_t v;
        std::memcpy(&v, b.constData() + at, 4);
        return v;
    }
    static uint16_t U16(const QByteArray& b, int at) {
        uint16_t v;
        std::memcpy(&v, b.constData() + at, 2);
        return v;
    }
    static int16_t Sample(const QByteArray& b, qsizetype index) {
        int16_t v;
        std::memcpy(&v, b.constData() + 44 + 2 * index, 2);
        return v;
    }

    QTemporaryDir files_;
    std::unique_ptr<TWaitForm> wait_;
    QTimer ticker_;
    bool sawWindowDisabled_ = false;
    std::function<void()> duringExport_;
};

TEST_F(ExportTest, TheProposedNameDescribesTheSignal) {
    EXPECT_EQ(ProposedName(), "Sine 1000Hz 3s 0dBFS mono.wav");
    const FileDialogRequest& request = dialogs_->Requests.back();
    EXPECT_EQ(request.Filter, "WAVE file|*.wav");
    EXPECT_EQ(request.DefaultExtension, "wav");
    EXPECT_TRUE(request.AskBeforeReplacing);

    gen_->SignalType->setCurrentWidget(gen_->Sweep);
    EXPECT_EQ(ProposedName(), "Sine sweep 100Hz to 1000Hz 3s 0dBFS mono.wav");
    gen_->SignalType->setCurrentWidget(gen_->Constant);

    gen_->mono->setChecked(false);
    gen_->PhaseEdit->setText("90");
    EXPECT_TRUE(ProposedName().endsWith("stereo 90 degrees out of phase.wav"));
    gen_->PhaseEdit->setText("0.0");
    EXPECT_TRUE(ProposedName().endsWith("stereo 0.0 degrees out of phase.wav"));
    gen_->PhaseEdit->setText("0");
    EXPECT_TRUE(ProposedName().endsWith("stereo in phase.wav"));
    gen_->Lefttick->setChecked(false);
    EXPECT_TRUE(ProposedName().endsWith("right channel only.wav"));
    // Nothing was written for a cancelled dialog.
    EXPECT_TRUE(QDir(files_.path()).isEmpty());
}

TEST_F(ExportTest, HeaderAndFramesFollowTheSettings) {
    const struct {
        int rateIndex;
        bool mono;
        const char* duration;
        uint32_t frames, channels, rate;
    } cases[] = {
        {1, true, "3", 66150, 1, 22050},
        {2, false, "1", 44100, 2, 44100},
        {1, true, "2.5", 55125, 1, 22050},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.duration);
        ChooseRate(c.rateIndex);
        gen_->mono->setChecked(c.mono);
        gen_->Duration->setText(c.duration);
        sawWindowDisabled_ = false;
        const QByteArray file = Export(QStringLiteral("out%1.wav").arg(c.frames));
        ASSERT_GE(file.size(), 44);
        const uint32_t data = c.frames * c.channels * 2;
        EXPECT_EQ(file.left(4), "RIFF");
        EXPECT_EQ(U32(file, 4), 36 + data);
        EXPECT_EQ(file.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(U16(file, 22), c.channels);
        EXPECT_EQ(U32(file, 24), c.rate);
        EXPECT_EQ(U32(file, 28), c.rate * c.channels * 2);
        EXPECT_EQ(U16(file, 32), c.channels * 2);
        EXPECT_EQ(U32(file, 40), data);
        EXPECT_EQ(file.size(), 44 + qsizetype(data));
        EXPECT_TRUE(sawWindowDisabled_);
        EXPECT_TRUE(gen_->isEnabled());
        EXPECT_FALSE(wait_->isVisible());
    }
    // Only the save dialogs were shown.
    for (const auto& shown : dialogs_->Log) EXPECT_EQ(shown.Kind, "save") << shown.Text.toStdString();
}

TEST_F(ExportTest, ASweepExportsTheSameAfterPlayingIt) {
    gen_->SignalType->setCurrentWidget(gen_->Sweep);
    gen_->Logarithmic->setChecked(true);
    gen_->Duration->setText("0.5");
    gen_->fEditChange();
    const QByteArray first = Export("first.wav");
    Start();
    ASSERT_TRUE(WaitFor([&] { return fake_.Written().size() > 3; }));
    const QByteArray second = Export("second.wav");
    const QByteArray third = Export("third.wav");
    ASSERT_EQ(first.size(), 44 + 11025 * 2);
    EXPECT_TRUE(first == second);
    EXPECT_TRUE(first == third);
}

TEST_F(ExportTest, RightChannelOnlyLeavesEveryLeftSampleSilent) {
    gen_->mono->setChecked(false);
    gen_->Lefttick->setChecked(false);
    gen_->Duration->setText("0.2");
    const QByteArray file = Export("right.wav");
    ASSERT_EQ(file.size(), 44 + 4410 * 4);
    bool leftSilent = true, rightSounds = false;
    for (qsizetype frame = 0; frame < 4410; ++frame) {
        leftSilent = leftSilent && Sample(file, 2 * frame) == 0;
        rightSounds = rightSounds || Sample(file, 2 * frame + 1) != 0;
    }
    EXPECT_TRUE(leftSilent);
    EXPECT_TRUE(rightSounds);
}

TEST_F(ExportTest, CancelLeavesNoFileAndDoesNotCancelTheNext) {
    gen_->Duration->setText("10");
    const QString path = files_.filePath("cancel.wav");
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("an earlier file");
    earlier.close();
    for (const bool escape : {false, true}) {
        int points = 0;
        duringExport_ = [&] {
            if (++points != 2) return;
            if (escape)
                QTest::keyClick(wait_.get(), Qt::Key_Escape);
            else
                wait_->Button1->click();
        };
        EXPECT_TRUE(Export("cancel.wav").isEmpty()) << escape;
        EXPECT_FALSE(QFile::exists(path)) << escape;
        EXPECT_FALSE(ExportCancelled);
    }
    duringExport_ = nullptr;
    gen_->Duration->setText("0.1");
    EXPECT_EQ(Export("cancel.wav").size(), 44 + 2205 * 2);
}

TEST_F(ExportTest, RefusalsAndWriteFailuresAreReported) {
    gen_->Duration->setText("abc");
    Export("a.wav");
    ASSERT_FALSE(dialogs_->Log.empty());
    EXPECT_EQ(dialogs_->Log.back().Text, "'abc' is not a valid floating point value");
    EXPECT_FALSE(sawWindowDisabled_);

    gen_->Duration->setText("1");
    gen_->fEdit->setText("20000");  // beyond 11025 Hz at 22050 Hz
    Export("b.wav");
    EXPECT_EQ(dialogs_->Log.back().Text, QString::fromUtf8(kExportSettingsRefused));

    gen_->fEdit->setText("1000");
    Export("missing folder/c.wav");
    EXPECT_EQ(dialogs_->Log.back().Text, "File Access Error, cannot write file.");
    EXPECT_TRUE(gen_->isEnabled());
    EXPECT_FALSE(wait_->isVisible());
    EXPECT_EQ(QDir(files_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

TEST_F(ExportTest, SoxReadsTheFile) {
    gen_->mono->setChecked(false);
    gen_->PhaseEdit->setText("90");
    gen_->Duration->setText("0.5");
    ASSERT_FALSE(Export("sox.wav").isEmpty());
    QProcess sox;
    sox.start("soxi", {files_.filePath("sox.wav")});
    ASSERT_TRUE(sox.waitForFinished(10000)) << "soxi is needed (apt-get install sox)";
    ASSERT_EQ(sox.exitCode(), 0);
    const QString info = QString::fromUtf8(sox.readAllStandardOutput());
    EXPECT_TRUE(info.contains(QRegularExpression("Channels\\s*: 2"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Sample Rate\\s*: 22050")));
    EXPECT_TRUE(info.contains(QRegularExpression("Precision\\s*: 16-bit")));
    EXPECT_TRUE(info.contains("11025 samples"));
}

// orv-render writes what this window's export writes, byte for byte.
TEST_F(ExportTest, TheHeadlessRendererWritesTheSameFiles) {
    MemorySlots memories{test::StartRecord(1), test::StartRecord(2), test::StartRecord(3),
                         test::StartRecord(4)};
    memories[0].mono = false;  // stereo sine with a phase offset
    memories[0].PhaseEdit = "90";
    memories[0].Duration = "0.7";
    memories[1].ActivePage = SignalPage::Sweep;  // log sweep, both ways (ignored by an export)
    memories[1].fInit = "20";
    memories[1].fFinal = "20000";
    memories[1].Logarithmic = memories[1].Bidirectional = true;
    memories[1].Duration = "1.3";
    memories[2].WaveForm = 2;  // triangle, modulated differently on each side
    memories[2].mono = false;
    memories[2].ModulationOn = true;
    memories[2].ModFunctionLeft = 3;
    memories[2].ModFunctionRight = 2;
    memories[2].ModPeriodLeft = "0.05";
    memories[2].ModDepthRight = "50";
    memories[2].ModPhaseRight = "45";
    memories[2].Amplitude = "-6";
    memories[3].WaveForm = 1;  // square on the right channel only
    memories[3].mono = false;
    memories[3].Lefttick = false;
    memories[3].fEdit = "3000.5";
    memories[3].Duration = "0.25";
    const QString preset = files_.filePath("render.orv");
    QFile file(preset);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(WritePresetBytes(memories)));
    file.close();

    ChooseRate(2);  // 44100 Hz, for the 20 kHz sweep
    ASSERT_TRUE(gen_->LoadPresetFile(preset));
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        gen_->RecallMemory(n);
        const QByteArray window = Export(QStringLiteral("window%1.wav").arg(n));
        const QString rendered = files_.filePath(QStringLiteral("render%1.wav").arg(n));
        QProcess render;
        render.start(ORV_RENDER, {preset, "--memory", QString::number(n), "--rate", "44100",
                                  "--quiet", "-o", rendered});
        ASSERT_TRUE(render.waitForFinished(30000));
        ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
        QFile out(rendered);
        ASSERT_TRUE(out.open(QIODevice::ReadOnly));
        const QByteArray headless = out.readAll();
        ASSERT_GT(window.size(), 44);
        EXPECT_EQ(headless.size(), window.size());
        EXPECT_TRUE(headless == window);
    }
}

}  // namespace
}  // namespace orv
