// orv-render as a program: its exit codes, messages and files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "RenderTestSupport.h"
#include "generator/files/FileBytes.h"
#include "generator/files/PresetFile.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadText(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<uint8_t> ReadBytes(const fs::path& p)
{
    const std::string t = ReadText(p);
    return {t.begin(), t.end()};
}

struct Outcome {
    int Exit = -1;
    std::string Err;
    std::string Out;
};

class Cli : public testing::Test {
protected:
    fs::path dir;

    void SetUp() override
    {
        char pattern[] = "/tmp/orv-render-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directory(dir / "out");
        fs::create_directory(dir / "config");
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the program in dir with its own settings folder; pipe, if given,
    // reads standard output.
    Outcome Render(const std::vector<std::string>& args, const std::string& pipe = "")
    {
        std::string cmd = "cd " + Quote(dir) + " && XDG_CONFIG_HOME=" + Quote(dir / "config") + " "
            + Quote(ORV_RENDER);
        for (const std::string& a : args)
            cmd += " " + Quote(a);
        cmd += " 2>" + Quote(dir / "err.txt");
        cmd += pipe.empty() ? " >" + Quote(dir / "stdout.txt") : " | " + pipe + " >" + Quote(dir / "stdout.txt") + " 2>&1";
        const int status = std::system(cmd.c_str());
        Outcome r;
        r.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.Err = ReadText(dir / "err.txt");
        r.Out = ReadText(dir / "stdout.txt");
        return r;
    }

    void Write(const std::string& name, const std::string& text) { std::ofstream(dir / name, std::ios::binary) << text; }
    bool OutEmpty() const { return fs::is_empty(dir / "out"); }
};

TEST_F(Cli, HelpPrintsTheUsage)
{
    const Outcome r = Render({"--help"});
    EXPECT_EQ(r.Exit, 0);
    EXPECT_NE(r.Out.find("Usage: orv-render PRESETFILE --memory N -o OUT.wav"), std::string::npos);
}

TEST_F(Cli, MemoriesOfAPresetFileEqualTheLibraryRender)
{
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(ORV_EXAMPLES_FILE, bytes).Ok);
    MemorySlots slots{};
    ASSERT_TRUE(ReadPresetBytes(bytes, slots).Ok());
    for (int n = 1; n <= 4; ++n) {
        const MemoryRecord& m = slots[static_cast<size_t>(n - 1)];
        const std::string out = "out/m" + std::to_string(n) + ".wav";
        const Outcome r = Render({ORV_EXAMPLES_FILE, "--memory", std::to_string(n), "--rate", "44100", "-o", out});
        ASSERT_EQ(r.Exit, 0) << r.Err;
        EXPECT_EQ(r.Err, "") << "no progress bar without a terminal";
        const Rendered expected = RenderToBytes(MemoryWalker(m, 44100), 44100);
        const std::vector<uint8_t> got = ReadBytes(dir / out);
        if (m.WaveForm == 3) {
            ASSERT_EQ(got.size(), expected.Bytes.size()) << m.Name;
            EXPECT_TRUE(std::equal(got.begin(), got.begin() + 44, expected.Bytes.begin())) << m.Name;
        } else {
            EXPECT_EQ(got, expected.Bytes) << m.Name;
        }
    }
}

TEST_F(Cli, LineEqualsTheSameLineInAScriptFile)
{
    const std::string line = "sweep 20 20000 0.5 0 0 LR 90 LOG 0 ";
    Write("one.ovs", "rem ORV Script File for Version 3.2\r\n" + line + "\r\nend\r\n");
    ASSERT_EQ(Render({"-e", line, "-r", "48000", "-o", "out/e.wav"}).Exit, 0);
    const Outcome file = Render({"one.ovs", "-r", "48000", "-o", "out/f.wav"});
    ASSERT_EQ(file.Exit, 0) << file.Err;
    const std::vector<uint8_t> e = ReadBytes(dir / "out/e.wav");
    EXPECT_EQ(e.size(), 44u + 24000u * 4u);
    EXPECT_EQ(e, ReadBytes(dir / "out/f.wav"));
}

TEST_F(Cli, RateDefaultsToTheStoredSettingElse22050)
{
    ASSERT_EQ(Render({"-e", "tone 1000 0.1 0 0 M 0 0", "-o", "out/a.wav"}).Exit, 0);
    EXPECT_EQ(U32(ReadBytes(dir / "out/a.wav"), 24), 22050u);
    fs::create_directory(dir / "config/Kelvane");
    Write("config/Kelvane/Orvana.conf", "[General]\nFs=3\n");
    ASSERT_EQ(Render({"-e", "tone 1000 0.1 0 0 M 0 0", "-o", "out/b.wav"}).Exit, 0);
    EXPECT_EQ(U32(ReadBytes(dir / "out/b.wav"), 24), 48000u);
    const Outcome damaged = (Write("config/Kelvane/Orvana.conf", "[General]\nFs=9\n"),
                         Render({"-e", "tone 1000 0.1 0 0 M 0 0", "-o", "out/c.wav"}));
    ASSERT_EQ(damaged.Exit, 0);
    EXPECT_NE(damaged.Err.find("using 22050 Hz"), std::string::npos) << damaged.Err;
    EXPECT_EQ(U32(ReadBytes(dir / "out/c.wav"), 24), 22050u);
}

TEST_F(Cli, StandardOutputReadsAsAWaveBySox)
{
    const Outcome info = Render({"-e", "tone 1000 1 -6 0 LR 0 0", "-r", "44100", "-o", "-"}, "soxi -");
    ASSERT_EQ(info.Exit, 0) << info.Err;
    EXPECT_NE(info.Out.find("Channels       : 2"), std::string::npos) << info.Out;
    EXPECT_NE(info.Out.find("Sample Rate    : 44100"), std::string::npos) << info.Out;
    EXPECT_NE(info.Out.find("44100 samples"), std::string::npos) << info.Out;
    const Outcome stat = Render({"-e", "tone 1000 1 0 0 M 0 0", "-o", "-"}, "sox -t wav - -n stat");
    ASSERT_EQ(stat.Exit, 0) << stat.Err;
    EXPECT_NE(stat.Out.find("Samples read:             22050"), std::string::npos) << stat.Out;
    EXPECT_NE(stat.Out.find("Maximum amplitude:     0.999969"), std::string::npos) << stat.Out;
}

struct BadInput {
    const char* name;
    std::vector<std::string> args;
    std::string message;
};

void PrintTo(const BadInput& c, std::ostream* os) { *os << c.name; }

class CliBadInput : public Cli, public testing::WithParamInterface<BadInput> {};

TEST_P(CliBadInput, OneLineNonZeroExitAndNoFile)
{
    const BadInput& c = GetParam();
    Write("junk.orv", "not a preset\r\n");
    Write("bad.ovs", "rem\r\ntone 1000 1 0 0 M 0 0 \r\nfrobnicate\r\n");
    Write("keep.wav", "old contents");
    const Outcome r = Render(c.args);
    EXPECT_NE(r.Exit, 0);
    EXPECT_EQ(r.Err.find("orv-render: "), 0u) << r.Err;
    EXPECT_NE(r.Err.find(c.message), std::string::npos) << r.Err;
    EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
    EXPECT_TRUE(OutEmpty()) << "a file or a temporary was left";
    EXPECT_EQ(r.Out, "") << "nothing reaches standard output";
    EXPECT_EQ(ReadText(dir / "keep.wav"), "old contents");
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find(".keep.wav."), std::string::npos) << e.path();
}

INSTANTIATE_TEST_SUITE_P(List, CliBadInput, testing::Values(
    BadInput{"missing_file", {"nothere.orv", "-m", "1", "-o", "out/x.wav"}, "nothere.orv: No such file or directory"},
    BadInput{"folder_as_input", {"out", "-m", "1", "-o", "out/x.wav"}, "out: "},
    BadInput{"wrong_format", {"junk.orv", "-m", "1", "-o", "out/x.wav"}, "junk.orv: Wrong file format"},
    BadInput{"bad_line", {"-e", "tone 1000 1 0 x M 0 0", "-o", "out/x.wav"}, "-e: line 1: 'x' is not a valid integer value"},
    BadInput{"bad_line_in_file", {"bad.ovs", "-o", "keep.wav"}, "bad.ovs: Invalid command in line 3"},
    BadInput{"bad_line_to_stdout", {"-e", "delay x", "-o", "-"}, "-e: line 1: 'x' is not a valid floating point value"},
    BadInput{"frequency_at_rate", {"-e", "tone 6000 1 0 0 M 0 0", "-r", "11025", "-o", "out/x.wav"},
             "the constant frequency 6000 Hz is outside the range above 0 and below 5512.5 Hz"},
    BadInput{"memory_5", {ORV_EXAMPLES_FILE, "-m", "5", "-o", "out/x.wav"}, "the memory number 5 is not 1, 2, 3 or 4"},
    BadInput{"memory_0", {ORV_EXAMPLES_FILE, "-m", "0", "-o", "out/x.wav"}, "the memory number 0 is not"},
    BadInput{"memory_text", {ORV_EXAMPLES_FILE, "-m", "one", "-o", "out/x.wav"}, "the memory number one is not"},
    BadInput{"preset_without_memory", {ORV_EXAMPLES_FILE, "-o", "out/x.wav"}, "give --memory N"},
    BadInput{"rate_not_listed", {"-e", "tone 1000 1 0 0 M 0 0", "-r", "32000", "-o", "out/x.wav"},
             "the rate 32000 is not one of"},
    BadInput{"unwritable_folder", {"-e", "tone 1000 1 0 0 M 0 0", "-o", "out/none/x.wav"},
             "cannot write out/none/x.wav: No such file or directory"},
    BadInput{"output_is_a_folder", {"-e", "tone 1000 1 0 0 M 0 0", "-o", "out"}, "cannot write out: Is a directory"},
    BadInput{"full_device", {"-e", "tone 1000 1 0 0 M 0 0", "-o", "/dev/full"}, "cannot write /dev/full: No space left"},
    BadInput{"no_output", {"-e", "tone 1000 1 0 0 M 0 0"}, "no output"},
    BadInput{"unknown_option", {"--frequency", "1000"}, "unknown option --frequency"}),
    [](const testing::TestParamInfo<BadInput>& i) { return std::string(i.param.name); });

TEST_F(Cli, AFailedRenderKeepsTheOldFileAndASuccessfulOneReplacesIt)
{
    Write("keep.wav", "old contents");
    fs::permissions(dir / "keep.wav", fs::perms(0640));
    ASSERT_NE(Render({"-e", "tone 1000 1 0 x M 0 0", "-o", "keep.wav"}).Exit, 0);
    EXPECT_EQ(ReadText(dir / "keep.wav"), "old contents");
    ASSERT_EQ(Render({"-e", "tone 1000 0.1 0 0 M 0 0", "-o", "keep.wav"}).Exit, 0);
    EXPECT_EQ(fs::file_size(dir / "keep.wav"), 44u + 2205u * 2u);
    EXPECT_EQ(fs::status(dir / "keep.wav").permissions(), fs::perms(0640));
}

TEST_F(Cli, ALinkKeepsPointingAtItsFile)
{
    Write("real.wav", "old contents");
    fs::create_symlink("real.wav", dir / "link.wav");
    ASSERT_EQ(Render({"-e", "tone 1000 0.1 0 0 M 0 0", "-o", "link.wav"}).Exit, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.wav"));
    EXPECT_EQ(fs::file_size(dir / "real.wav"), 44u + 2205u * 2u);
}

TEST_F(Cli, RepeatNoteGoesToStandardError)
{
    const Outcome r = Render({"-e", "tone 1000 0.1 0 0 M 0 0", "-e", "repeat ", "-o", "out/r.wav"});
    ASSERT_EQ(r.Exit, 0);
    EXPECT_EQ(r.Err, "orv-render: -e: line 2: repeat: the script is rendered once\n");
    EXPECT_EQ(fs::file_size(dir / "out/r.wav"), 44u + 4410u);
}

}  // namespace
}  // namespace orv
