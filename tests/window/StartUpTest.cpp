// What the command line makes of the generator's start, in process.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "generator/files/PresetFile.h"
#include "generator/window/StartUp.h"
#include "tests/files/StartRecord.h"
#include "tests/window/WindowFixture.h"

namespace orv {
namespace {

class StartUpTest : public GeneratorTest {
protected:
    void SetUp() override {
        GeneratorTest::SetUp();
        ASSERT_TRUE(files_.isValid());
        previous_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(files_.path()));
        windows_ = std::make_unique<GeneratorWindows>(fake_, '.');
    }

    void TearDown() override {
        windows_.reset();
        QDir::setCurrent(previous_);
        GeneratorTest::TearDown();
    }

    // A preset file whose first memory is named after it.
    void Preset(const QString& path, const std::string& name) {
        MemorySlots memories{test::StartRecord(1), test::StartRecord(2), test::StartRecord(3),
                             test::StartRecord(4)};
        memories[0].Name = name;
        Put(path, QByteArray::fromStdString(WritePresetBytes(memories)));
    }

    static void Put(const QString& path, const QByteArray& bytes) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QString FirstMemory() const { return windows_->Generator.Mem1->text(); }

    QTemporaryDir files_;
    QString previous_;
    std::unique_ptr<GeneratorWindows> windows_;
};

TEST_F(StartUpTest, ParametersJoinIntoOneName) {
    EXPECT_EQ(CommandLineFileName({}), "");
    EXPECT_EQ(CommandLineFileName({"a b.orv"}), "a b.orv");
    EXPECT_EQ(CommandLineFileName({"My", "Tones/a.orv"}), "My Tones/a.orv");
    EXPECT_EQ(CommandLineFileName({"x", "", "y"}), "x  y");
}

TEST_F(StartUpTest, PresetNamesAreLoadedOnlyWhenTheyEndInOrv) {
    Preset("My Tones/a.orv", "blank path");
    Preset("Two  Blanks/b.orv", "two blanks");
    Preset("TONES.ORV", "upper case");
    Preset("myorv", "no dot");
    ASSERT_TRUE(QDir().mkdir("folder.orv"));
    const struct {
        QStringList parameters;
        const char* firstMemory;
    } cases[] = {
        {{"My", "Tones/a.orv"}, "blank path"},
        {{"My Tones/a.orv"}, "blank path"},
        // An unquoted "Two  Blanks/b.orv" arrives as two parameters.
        {{"Two", "Blanks/b.orv"}, "Memory 1"},
        {{"Two  Blanks/b.orv"}, "two blanks"},
        {{"TONES.ORV"}, "Memory 1"},
        {{"myorv"}, "no dot"},
        {{"folder.orv"}, "Memory 1"},
        {{"missing.orv"}, "Memory 1"},
    };
    for (const auto& c : cases) {
        const QString name = CommandLineFileName(c.parameters);
        windows_ = std::make_unique<GeneratorWindows>(fake_, '.');
        EXPECT_EQ(StartUp(*windows_, c.parameters), std::nullopt) << name.toStdString();
        EXPECT_EQ(FirstMemory(), c.firstMemory) << name.toStdString();
        EXPECT_TRUE(windows_->Generator.isVisible());
    }
    // Neither a wrong name nor a folder gets a message.
    EXPECT_TRUE(dialogs_->Log.empty());
}

TEST_F(StartUpTest, NoParameterLoadsTheExamplesBesideTheProgram) {
    Preset("Examples.orv", "the current folder's");
    ASSERT_TRUE(QFile::exists(QCoreApplication::applicationDirPath() + "/Examples.orv"));
    EXPECT_EQ(StartUp(*windows_, {}), std::nullopt);
    EXPECT_NE(FirstMemory(), "the current folder's");
    EXPECT_NE(FirstMemory(), "Memory 1");
    EXPECT_TRUE(dialogs_->Log.empty());
}

TEST_F(StartUpTest, ADamagedPresetIsReportedAndTheWindowStillOpens) {
    Put("cut.orv", "ORV Preset File\r\n");
    EXPECT_EQ(StartUp(*windows_, {"cut.orv"}), std::nullopt);
    EXPECT_EQ(dialogs_->Log.size(), 1u);
    EXPECT_TRUE(windows_->Generator.isVisible());
}

TEST_F(StartUpTest, AScriptRunsWithTheWindowHiddenAndEndsTheProgram) {
    Put("ok.ovs", "rem ORV Script File for Version 3.2\r\ndelay 0\r\nend\r\n");
    Put("bad.ovs", "rem ORV Script File for Version 3.2\r\ndelay x\r\nend\r\n");
    EXPECT_EQ(StartUp(*windows_, {"ok.ovs"}), 0);
    EXPECT_FALSE(windows_->Generator.isVisible());
    EXPECT_TRUE(dialogs_->Log.empty());

    windows_ = std::make_unique<GeneratorWindows>(fake_, '.');
    EXPECT_EQ(StartUp(*windows_, {"bad.ovs"}), 1);
    EXPECT_FALSE(windows_->Generator.isVisible());
    ASSERT_EQ(dialogs_->Log.size(), 1u);
    EXPECT_EQ(dialogs_->Log[0].Text, "'x' is not a valid floating point value");
}

}  // namespace
}  // namespace orv
