#include "generator/render/RenderJob.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "common/NumberText.h"
#include "generator/render/HeadlessGenerator.h"
#include "scriptfile/ScriptFile.h"
#include "scriptfile/ScriptReader.h"

namespace orv {

namespace {

WalkResult Failure(std::string error)
{
    WalkResult r;
    r.Error = std::move(error);
    return r;
}

// The pass the window would export or play from its present controls, or
// the reason it cannot.
WalkResult PassOf(HeadlessGenerator& gen, int64_t line, Segment& out)
{
    if (!gen.Mono() && !gen.AnyChannel())
        return Failure("neither the left nor the right channel is selected");
    if (const auto problem = gen.FrequencyProblem())
        return Failure(*problem);
    const std::string& duration = gen.Text(script::Edit::Duration);
    switch (PrepareWaveExport(gen.State, gen.Input(), gen.Mono())) {
    case ExportStatus::Ready: break;
    case ExportStatus::DurationNotANumber:
        return Failure("'" + duration + "' is not a valid floating point value");
    case ExportStatus::TooLong: return Failure(kExportTooLong);
    default: {
        // The frequencies are valid, so the duration was refused: beyond the
        // 32-bit sample count, or too short for a pass.
        const double samples =
            TextToFloat(duration, gen.DecimalSeparator()).value_or(0) * gen.State.SampleRate;
        if (samples >= 2147483647.5)
            return Failure(kExportTooLong);
        return Failure("the duration " + duration + " s holds too few samples at "
                       + IntToText(gen.State.SampleRate) + " Hz");
    }
    }
    out.Line = line;
    out.Silence = false;
    out.Frames = gen.State.SweepLength;
    out.Mono = gen.Mono();
    out.State = gen.State;
    out.Switches = gen.Switches();
    return {};
}

std::string LinePrefix(int64_t line) { return "line " + IntToText(line) + ": "; }

// Lines the text holds; LineReader yields empty texts past them, which the
// walk must tell from an empty line.
int64_t LineCount(std::string_view text)
{
    const auto breaks = std::count(text.begin(), text.end(), '\n');
    return breaks + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

}  // namespace

WalkResult WalkMemory(const MemoryRecord& memory, int32_t rate, char sep, const SegmentVisitor& visit)
{
    HeadlessGenerator gen(rate, sep);
    gen.RecallMemory(memory);
    Segment pass;
    WalkResult r = PassOf(gen, 0, pass);
    if (r.ok())
        (void)visit(pass);
    return r;
}

std::optional<int64_t> DelayFrames(double seconds, int32_t rate)
{
    // The runner counts steps until the count reaches ten times the time.
    constexpr double kMaxSteps = 1e12;
    const double tenths = seconds * 10.0;
    if (!(tenths < kMaxSteps) || rate <= 0)
        return std::nullopt;
    const auto steps = std::max<int64_t>(1, static_cast<int64_t>(std::ceil(tenths)));
    // steps x rate / 10, halves to even.
    const int64_t scaled = steps * rate;
    int64_t frames = scaled / 10;
    const int64_t rest = scaled % 10;
    if (rest > 5 || (rest == 5 && frames % 2 != 0))
        ++frames;
    return frames;
}

WalkResult WalkScript(std::string_view text, int32_t rate, char sep, const SegmentVisitor& visit)
{
    HeadlessGenerator gen(rate, sep);
    script::LineReader reader{std::string(text)};
    const int64_t lines = LineCount(text);
    WalkResult result;
    for (int64_t n = 1; n <= lines; ++n) {
        const script::LineFields fields = script::SplitLine(reader.NextLine());
        const std::string& keyword = fields.Field(1);
        if (script::IsComment(keyword))
            continue;
        const auto command = script::CommandOf(keyword);
        if (!command)
            return Failure("Invalid command in line " + IntToText(n));
        Segment segment;
        switch (*command) {
        case script::Command::Tone:
        case script::Command::Sweep: {
            if (const script::ReadResult read = gen.ReadScriptLine(*command, fields); !read.ok())
                return Failure(LinePrefix(n) + read.error);
            gen.PrepareStart();
            if (WalkResult pass = PassOf(gen, n, segment); !pass.ok())
                return Failure(LinePrefix(n) + pass.Error);
            break;
        }
        case script::Command::Delay: {
            const script::DelayTime delay = script::DelaySeconds(fields, sep);
            if (!delay.ok())
                return Failure(LinePrefix(n) + delay.error);
            const auto frames = DelayFrames(delay.seconds, rate);
            if (!frames)
                return Failure(LinePrefix(n) + kExportTooLong);
            segment.Line = n;
            segment.Silence = true;
            segment.Frames = *frames;
            break;
        }
        case script::Command::Pause: continue;  // nobody is there to press OK
        case script::Command::Repeat:
            result.Notes.push_back(LinePrefix(n) + "repeat: the script is rendered once");
            return result;
        case script::Command::End: return result;
        }
        if (!visit(segment))
            return result;
    }
    return result;
}

RenderPlan PlanRender(const Walker& walk, int32_t rate)
{
    RenderPlan plan;
    plan.Rate = rate;
    int64_t lastLine = 0;
    WalkResult r = walk([&](const Segment& s) {
        plan.Frames += s.Frames;
        lastLine = s.Line;
        if (!s.Silence && !s.Mono)
            plan.Channels = 2;
        // Stops past the largest WAVE file, long before the sum could overflow.
        return plan.Frames <= int64_t{1} << 32;
    });
    plan.Notes = std::move(r.Notes);
    if (!r.ok()) {
        plan.Error = std::move(r.Error);
        return plan;
    }
    if (!WaveFileHeader(plan.Channels, plan.Frames, rate))
        plan.Error = (lastLine > 0 ? LinePrefix(lastLine) : std::string()) + kExportTooLong;
    return plan;
}

namespace {

// Mono samples in, frames with the sample on both channels out.
class Widener {
public:
    explicit Widener(const ByteSink& out) : out_(out), block_(new uint8_t[2 * kRenderBlockSize]) {}

    bool operator()(const uint8_t* data, size_t size)
    {
        while (size > 0) {
            const size_t n = std::min(size, kRenderBlockSize) & ~size_t{1};
            if (n == 0)
                return false;  // the core hands over whole samples only
            for (size_t i = 0; i < n; i += 2) {
                uint8_t* at = block_.get() + 2 * i;
                at[0] = at[2] = data[i];
                at[1] = at[3] = data[i + 1];
            }
            if (!out_(block_.get(), 2 * n))
                return false;
            data += n;
            size -= n;
        }
        return true;
    }

private:
    const ByteSink& out_;
    std::unique_ptr<uint8_t[]> block_;
};

RenderStatus WriteSilence(int64_t frames, int channels, const ByteSink& sink,
                          const std::function<bool()>& keepGoing)
{
    const std::unique_ptr<uint8_t[]> zeros(new uint8_t[kRenderBlockSize]());
    uint64_t left = static_cast<uint64_t>(frames) * channels * 2;
    while (left > 0) {
        if (!keepGoing())
            return RenderStatus::Cancelled;
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, kRenderBlockSize));
        if (!sink(zeros.get(), n))
            return RenderStatus::WriteFailed;
        left -= n;
    }
    return RenderStatus::Complete;
}

}  // namespace

RenderStatus WriteRender(const Walker& walk, const RenderPlan& plan, const ByteSink& sink,
                         NoiseSource& noise, const std::function<bool()>& keepGoing)
{
    const auto header = WaveFileHeader(plan.Channels, plan.Frames, plan.Rate);
    if (!plan.ok() || !header || !sink(header->data(), header->size()))
        return RenderStatus::WriteFailed;
    const bool stereoFile = plan.Channels == 2;
    Widener widener(sink);
    const ByteSink widened = [&widener](const uint8_t* data, size_t size) { return widener(data, size); };
    const RenderProgress progress = [&keepGoing](int32_t, SynthSwitches&) { return keepGoing(); };

    RenderStatus status = RenderStatus::Complete;
    int64_t written = 0;
    const WalkResult r = walk([&](const Segment& seg) {
        if (seg.Silence) {
            status = WriteSilence(seg.Frames, plan.Channels, sink, keepGoing);
        } else {
            SynthState s = seg.State;
            const ByteSink& target = stereoFile && seg.Mono ? widened : sink;
            const RenderResult rendered = RenderToStream(s, seg.Switches, noise, target, progress);
            status = rendered.Status;
            if (status == RenderStatus::Complete && rendered.Frames != seg.Frames)
                status = RenderStatus::WriteFailed;
        }
        written += seg.Frames;
        return status == RenderStatus::Complete;
    });
    // A second walk that differs from the first would break the header.
    if (status == RenderStatus::Complete && (!r.ok() || written != plan.Frames))
        return RenderStatus::WriteFailed;
    return status;
}

}  // namespace orv
