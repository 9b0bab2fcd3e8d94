// orv-render: the generator's signals as WAVE files, without a window.
#include <QLocale>
#include <QSettings>
#include <QString>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "common/NumberText.h"
#include "generator/files/FileBytes.h"
#include "generator/files/PresetFile.h"
#include "generator/render/HeadlessGenerator.h"
#include "generator/render/OutputFile.h"
#include "generator/render/RenderJob.h"

namespace {

constexpr const char* kUsage =
    "Usage: orv-render PRESETFILE --memory N -o OUT.wav\n"
    "       orv-render SCRIPTFILE.ovs -o OUT.wav\n"
    "       orv-render -e LINE [-e LINE ...] -o OUT.wav\n"
    "\n"
    "Renders the generator's signals into a 16-bit PCM WAVE file.\n"
    "\n"
    "  -m, --memory N   memory 1 to 4 of the preset file, as Save Tone As exports it\n"
    "                   after recalling that memory\n"
    "  -e, --line LINE  a script line (\"tone 1000 3 -6 0 M 0 0\"); several make a script\n"
    "  -o, --output F   the WAVE file; \"-\" writes to standard output\n"
    "  -r, --rate R     11025, 22050, 44100, 48000 or 96000 Hz\n"
    "                   (default: the generator's stored setting, else 22050)\n"
    "  -q, --quiet      no progress bar\n"
    "  -h, --help       this text\n"
    "\n"
    "A script renders each tone and sweep as one pass, a delay as its silence,\n"
    "skips pauses and stops at repeat or end. Nothing is left under the output\n"
    "name unless the whole file was written.\n";

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void OnSignal(int) { gInterrupted = 1; }

int Fail(const std::string& message)
{
    std::fprintf(stderr, "orv-render: %s\n", message.c_str());
    return 1;
}

struct Options {
    std::string input;
    std::optional<std::string> memory;
    std::vector<std::string> lines;
    std::optional<std::string> output;
    std::optional<std::string> rate;
    bool quiet = false;
    bool help = false;
};

// Parses the command line, or says what is wrong with it.
std::optional<std::string> Parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](std::string& to) -> bool {
            if (i + 1 >= argc)
                return false;
            to = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else if (arg == "-q" || arg == "--quiet") {
            o.quiet = true;
        } else if (arg == "-m" || arg == "--memory" || arg == "-o" || arg == "--output"
                   || arg == "-r" || arg == "--rate" || arg == "-e" || arg == "--line") {
            if (!value(v))
                return arg + " needs a value";
            if (arg == "-m" || arg == "--memory")
                o.memory = v;
            else if (arg == "-o" || arg == "--output")
                o.output = v;
            else if (arg == "-r" || arg == "--rate")
                o.rate = v;
            else
                o.lines.push_back(v);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else if (!o.input.empty()) {
            return "more than one input file: " + o.input + ", " + arg;
        } else {
            o.input = arg;
        }
    }
    return std::nullopt;
}

char LocaleSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode()) : '.';
}

// The rate of the settings window: the stored list position, else 22050.
int32_t StoredRate()
{
    const QSettings store(QStringLiteral("Kelvane"), QStringLiteral("Orvana"));
    const QString key = QStringLiteral("Fs");
    const int32_t fallback = orv::kSampleRates[orv::kDefaultRatePosition];
    if (!store.contains(key))
        return fallback;
    bool ok = false;
    const int position = store.value(key).toString().trimmed().toInt(&ok);
    if (!ok || position < 0 || position >= static_cast<int>(orv::kSampleRates.size())) {
        std::fprintf(stderr, "orv-render: the stored rate setting is not valid; using %d Hz\n",
                     static_cast<int>(fallback));
        return fallback;
    }
    return orv::kSampleRates[static_cast<size_t>(position)];
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A bar on a terminal's stderr, once the render has taken about a second.
class Progress {
public:
    explicit Progress(bool enabled) : enabled_(enabled && ::isatty(STDERR_FILENO) == 1) {}

    void Update(uint64_t done, uint64_t total)
    {
        if (!enabled_ || total == 0)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(100))
            return;
        last_ = now;
        constexpr int kWidth = 40;
        const int percent = static_cast<int>(done * 100 / total);
        const int filled = percent * kWidth / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(static_cast<size_t>(filled), '#').c_str(),
                     std::string(static_cast<size_t>(kWidth - filled), ' ').c_str(), percent);
        shown_ = true;
    }

    void Finish()
    {
        if (shown_)
            std::fprintf(stderr, "\r%*s\r", 48, "");
        shown_ = false;
    }

private:
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    if (const auto problem = Parse(argc, argv, o))
        return Fail(*problem + " (see orv-render --help)");
    if (o.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (o.input.empty() == o.lines.empty())
        return Fail(o.lines.empty() ? "no input: give a preset file, a script file or -e LINE"
                                    : "give either an input file or -e lines, not both");
    if (!o.output)
        return Fail("no output: give -o OUT.wav, or -o - for standard output");
    if (o.memory && o.input.empty())
        return Fail("--memory needs a preset file");

    int32_t rate = 0;
    if (o.rate) {
        const auto r = orv::TextToInt(*o.rate);
        if (!r || !orv::IsListedRate(*r))
            return Fail("the rate " + *o.rate + " is not one of 11025, 22050, 44100, 48000, 96000");
        rate = *r;
    } else {
        rate = StoredRate();
    }
    const char sep = LocaleSeparator();

    // What is rendered, read whole before anything is written.
    std::string where = "-e";
    std::string bytes;
    orv::MemorySlots memories{};
    int memory = 0;
    if (!o.input.empty()) {
        where = o.input;
        if (!o.memory && !EndsWith(o.input, "ovs"))
            return Fail(o.input + ": give --memory N (1 to 4) to render a memory of a preset file");
        if (o.memory) {
            const auto n = orv::TextToInt(*o.memory);
            if (!n || *n < 1 || *n > orv::kMemoryCount)
                return Fail("the memory number " + *o.memory + " is not 1, 2, 3 or 4");
            memory = *n;
        }
        const orv::FileResult read = orv::ReadFileBytes(o.input, bytes);
        if (!read.Ok)
            return Fail(o.input + ": " + read.ErrorText);
        if (memory != 0) {
            const orv::PresetLoadResult load = orv::ReadPresetBytes(bytes, memories);
            if (!load.Ok()) {
                std::string message = o.input + ": " + std::string(load.Message());
                if (load.Status == orv::PresetLoadStatus::InvalidNumber)
                    message += " (memory " + orv::IntToText(load.Slot) + ", line "
                        + orv::IntToText(load.BlockLine) + " of its block)";
                return Fail(message);
            }
        }
    } else {
        for (const std::string& line : o.lines)
            bytes += line + "\n";
    }

    const orv::Walker walk = [&](const orv::SegmentVisitor& visit) {
        return memory != 0 ? orv::WalkMemory(memories[static_cast<size_t>(memory - 1)], rate, sep, visit)
                           : orv::WalkScript(bytes, rate, sep, visit);
    };
    const orv::RenderPlan plan = orv::PlanRender(walk, rate);
    if (!plan.ok())
        return Fail(where + ": " + plan.Error);
    for (const std::string& note : plan.Notes)
        std::fprintf(stderr, "orv-render: %s: %s\n", where.c_str(), note.c_str());

    if (*o.output == "-" && ::isatty(STDOUT_FILENO) == 1)
        return Fail("standard output is a terminal; give -o with a file name or redirect it");
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    const std::string shownName = *o.output == "-" ? std::string("standard output") : *o.output;

    orv::OutputFile out;
    if (!out.Open(*o.output))
        return Fail("cannot write " + shownName + ": " + out.ErrorText());
    Progress progress(!o.quiet);
    uint64_t done = 0;
    int writeError = 0;
    const orv::ByteSink fileSink = out.Sink();
    const orv::ByteSink sink = [&](const uint8_t* data, size_t size) {
        if (!fileSink(data, size)) {
            writeError = errno;
            return false;
        }
        done += size;
        progress.Update(done, plan.Bytes());
        return true;
    };
    orv::NoiseSource noise;
    const orv::RenderStatus status =
        orv::WriteRender(walk, plan, sink, noise, [] { return gInterrupted == 0; });
    progress.Finish();
    switch (status) {
    case orv::RenderStatus::Complete: break;
    case orv::RenderStatus::Cancelled: out.Discard(); return Fail("interrupted; nothing was written");
    case orv::RenderStatus::WriteFailed: {
        const std::string why = writeError != 0 ? std::strerror(writeError) : "write failed";
        out.Discard();
        return Fail("cannot write " + shownName + ": " + why);
    }
    }
    if (!out.Commit())
        return Fail("cannot write " + shownName + ": " + out.ErrorText());
    return 0;
}
