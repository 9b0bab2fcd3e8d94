// The real orv program started as a process, offscreen. Which files it
// opens is watched with inotify; SIGTERM closes it once its start is over.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <csignal>
#include <set>
#include <string>

#include "generator/files/PresetFile.h"
#include "tests/files/StartRecord.h"

namespace orv {
namespace {

// Notes every open of the files it watches.
class OpenWatch {
public:
    OpenWatch() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~OpenWatch() {
        if (fd_ >= 0) ::close(fd_);
    }
    int Add(const QString& path) {
        return inotify_add_watch(fd_, QFile::encodeName(path).constData(), IN_OPEN);
    }
    // Whether the watch was opened since the last look.
    bool Opened(int watch) {
        Drain();
        return opened_.count(watch) > 0;
    }

private:
    void Drain() {
        alignas(inotify_event) char buffer[4096];
        ssize_t got;
        while ((got = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (char* at = buffer; at < buffer + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                opened_.insert(event->wd);
                at += sizeof(inotify_event) + event->len;
            }
        }
    }
    int fd_;
    std::set<int> opened_;
};

class StartUpProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", dir_.path());
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }

    void TearDown() override {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    void Put(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(Path(name)).path()));
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    void Preset(const QString& name) {
        MemorySlots memories{test::StartRecord(1), test::StartRecord(2), test::StartRecord(3),
                             test::StartRecord(4)};
        Put(name, QByteArray::fromStdString(WritePresetBytes(memories)));
    }

    void Start(const QString& program, const QStringList& parameters, const QString& folder) {
        process_.setWorkingDirectory(folder);
        process_.start(program, parameters);
        ASSERT_TRUE(process_.waitForStarted(10000));
    }

    // Whether the program has its SIGTERM handler in place yet.
    bool CatchesTerm() const {
        QFile status(QStringLiteral("/proc/%1/status").arg(process_.processId()));
        if (!status.open(QIODevice::ReadOnly)) return false;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("SigCgt:"))
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
        return false;
    }

    // SIGTERM is served by the event loop, so the start is over once the
    // program has ended on it normally.
    void Close() {
        for (int i = 0; i < 500 && !CatchesTerm() && process_.state() == QProcess::Running; ++i)
            QThread::msleep(20);
        ASSERT_TRUE(CatchesTerm());
        ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
        ASSERT_TRUE(process_.waitForFinished(20000));
        EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process_.exitCode(), 0);
    }

    QTemporaryDir dir_;
    QProcess process_;
    OpenWatch watch_;
};

TEST_F(StartUpProcessTest, PresetNamesFromTheCommandLine) {
    Preset("My Tones/a.orv");
    Preset("TONES.ORV");
    Preset("myorv");
    const struct {
        QStringList parameters;
        QString file;
        bool loaded;
    } cases[] = {
        {{"My", "Tones/a.orv"}, "My Tones/a.orv", true},
        {{"TONES.ORV"}, "TONES.ORV", false},
        {{"myorv"}, "myorv", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const int watch = watch_.Add(Path(c.file));
        ASSERT_GE(watch, 0);
        Start(ORV_PROGRAM, c.parameters, dir_.path());
        Close();
        EXPECT_EQ(watch_.Opened(watch), c.loaded);
    }
}

TEST_F(StartUpProcessTest, ExamplesComeFromTheProgramFolder) {
    // A copy of the program in a folder of its own, with its own examples.
    ASSERT_TRUE(QDir().mkpath(Path("bin")));
    ASSERT_TRUE(QFile::copy(ORV_PROGRAM, Path("bin/orv")));
    Preset("bin/Examples.orv");
    Preset("elsewhere/Examples.orv");
    const int beside = watch_.Add(Path("bin/Examples.orv"));
    const int current = watch_.Add(Path("elsewhere/Examples.orv"));
    Start(Path("bin/orv"), {}, Path("elsewhere"));
    Close();
    EXPECT_TRUE(watch_.Opened(beside));
    EXPECT_FALSE(watch_.Opened(current));
}

TEST_F(StartUpProcessTest, AScriptEndsTheProgram) {
    Put("tones.ovs", "rem ORV Script File for Version 3.2\r\ndelay 0\r\nend\r\n");
    Start(ORV_PROGRAM, {"tones.ovs"}, dir_.path());
    ASSERT_TRUE(process_.waitForFinished(20000));
    EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process_.exitCode(), 0);
}

}  // namespace
}  // namespace orv
