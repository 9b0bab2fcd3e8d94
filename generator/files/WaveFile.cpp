#include "generator/files/WaveFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/NumberText.h"
#include "generator/files/BlockLanes.h"
#include "generator/files/FileBytes.h"
#include "generator/synth/FrameBlock.h"

namespace orv {

namespace {

constexpr int64_t kMaxU32 = std::numeric_limits<uint32_t>::max();

void Put16(uint8_t* at, uint32_t v)
{
    at[0] = static_cast<uint8_t>(v & 0xFFu);
    at[1] = static_cast<uint8_t>((v >> 8) & 0xFFu);
}

void Put32(uint8_t* at, uint32_t v)
{
    Put16(at, v & 0xFFFFu);
    Put16(at + 2, v >> 16);
}

void PutTag(uint8_t* at, const char (&tag)[5])
{
    std::memcpy(at, tag, 4);
}

// Collects frames in a fixed block so the memory used does not grow with the
// duration.
class BlockWriter {
public:
    explicit BlockWriter(const ByteSink& sink) : sink_(sink), block_(new uint8_t[kRenderBlockSize]) {}

    // Appends whole frames; a full block goes to the sink first.
    [[nodiscard]] bool Append(const uint8_t* data, size_t size)
    {
        while (size > 0) {
            if (used_ == kRenderBlockSize && !Flush())
                return false;
            const size_t n = std::min(size, kRenderBlockSize - used_);
            std::memcpy(block_.get() + used_, data, n);
            used_ += n;
            data += n;
            size -= n;
        }
        return true;
    }

    [[nodiscard]] bool Flush()
    {
        if (used_ == 0)
            return true;
        const bool ok = sink_(block_.get(), used_);
        used_ = 0;
        return ok;
    }

private:
    const ByteSink& sink_;
    std::unique_ptr<uint8_t[]> block_;
    size_t used_ = 0;
};

// Frames [0, frames) of a block through the per-sample functions, for what
// the block render leaves to them: noise, which draws its bits in frame
// order, and silence.
void FramesOneByOne(SynthState& s, const SynthSwitches& sw, bool mono, NoiseSource& noise,
                    int32_t frames, uint8_t* out)
{
    for (int32_t i = 0; i < frames; ++i) {
        if (mono) {
            PutSample(out + 2 * static_cast<size_t>(i), MonoSample(s, sw, sw.WaveForm, noise));
        } else {
            // Left and right of the same waveform: with no waveform selected
            // both stay silent rather than the right one turning into noise.
            const int32_t left = StereoLeftSample(s, sw, sw.WaveForm, noise);
            const int32_t right = StereoRightSample(s, sw, sw.WaveForm, noise);
            uint8_t* at = out + 4 * static_cast<size_t>(i);
            PutSample(at, s.LeftOn != 0 ? left : 0);
            PutSample(at + 2, s.RightOn != 0 ? right : 0);
        }
        if (i + 1 < frames && s.SampleIndex < std::numeric_limits<int32_t>::max())
            ++s.SampleIndex;
    }
}

// Frames from `next` up to and including the next progress point's frame.
int32_t BlockFrames(int64_t next, int64_t frames)
{
    const int64_t end = next == 0 ? 1 : next + kProgressInterval;
    return static_cast<int32_t>(std::min(end, frames) - next);
}

}  // namespace

std::optional<std::array<uint8_t, kWaveHeaderSize>>
WaveFileHeader(int32_t channels, int64_t frames, int64_t sampleRate)
{
    if ((channels != 1 && channels != 2) || frames < 0 || sampleRate <= 0)
        return std::nullopt;
    const int64_t frameBytes = channels * 2;
    if (frames > (kMaxU32 - 36) / frameBytes || sampleRate > kMaxU32 / frameBytes)
        return std::nullopt;
    const auto dataSize = static_cast<uint32_t>(frames * frameBytes);

    std::array<uint8_t, kWaveHeaderSize> h{};
    PutTag(&h[0], "RIFF");
    Put32(&h[4], 36 + dataSize);
    PutTag(&h[8], "WAVE");
    PutTag(&h[12], "fmt ");
    Put32(&h[16], 16);
    Put16(&h[20], 1);
    Put16(&h[22], static_cast<uint32_t>(channels));
    // Full 32-bit rates: three bytes and a zero would corrupt rates beyond 24 bits.
    Put32(&h[24], static_cast<uint32_t>(sampleRate));
    Put32(&h[28], static_cast<uint32_t>(sampleRate * frameBytes));
    Put16(&h[32], static_cast<uint32_t>(frameBytes));
    Put16(&h[34], 16);
    PutTag(&h[36], "data");
    Put32(&h[40], dataSize);
    return h;
}

RenderResult RenderToStream(SynthState& s, SynthSwitches sw, NoiseSource& noise,
                            const ByteSink& sink, const RenderProgress& progress)
{
    RenderResult result;
    if (!sink) {
        result.Status = RenderStatus::WriteFailed;
        return result;
    }
    s.Phase = 0.0;
    s.SampleIndex = 0;
    // Fixed at the start so that the data always matches the header, whatever
    // a message handled at a progress point recomputes or switches.
    const int64_t frames = s.SweepLength > 0 ? s.SweepLength : 0;
    const bool mono = sw.Mono;
    const size_t frameBytes = mono ? 2 : 4;

    // Block k is computed into one buffer while block k - 1 goes from the
    // other to the sink. Each block ends at a progress point, where the
    // switches may change.
    const size_t blockBytes = frameBytes * kProgressInterval;
    const std::unique_ptr<uint8_t[]> buffers(new uint8_t[2 * blockBytes]);
    BlockWriter out(sink);
    int32_t pending = 0;  // frames of the previous block not yet handed over
    uint8_t* pendingAt = nullptr;
    const std::function<bool()> handOver = [&] {
        if (pending == 0)
            return true;
        if (!out.Append(pendingAt, pending * frameBytes))
            return false;
        result.Frames += pending;
        pending = 0;
        return true;
    };
    BlockLanes lanes(frames > kProgressInterval && std::thread::hardware_concurrency() > 1);

    for (int64_t i = 0, k = 0; i < frames; ++k) {
        const int32_t n = BlockFrames(i, frames);
        uint8_t* at = buffers.get() + (k % 2) * blockBytes;
        BlockShape shape;
        bool handed = true;
        if (ShapeOf(s, sw, mono, shape)) {
            handed = lanes.Render(s, sw.SweepPage, shape, n, at, handOver);
            s.ModGain = GainAfter(shape, s.ModGain, n - 1);
            s.SampleIndex = IndexOf(shape, n - 1);
        } else {
            handed = handOver();
            FramesOneByOne(s, sw, mono, noise, n, at);
        }
        if (!handed) {
            result.Status = RenderStatus::WriteFailed;
            return result;
        }
        pending = n;
        pendingAt = at;
        i += n;
        const int64_t last = i - 1;
        if (progress && last % kProgressInterval == 0) {
            const int32_t percent = RoundToInt(static_cast<double>(last) * 100.0 / frames).value_or(0);
            if (!progress(percent, sw)) {
                result.Status = handOver() && out.Flush() ? RenderStatus::Cancelled : RenderStatus::WriteFailed;
                return result;
            }
        }
        if (s.SampleIndex < std::numeric_limits<int32_t>::max())
            ++s.SampleIndex;
    }
    result.Status = handOver() && out.Flush() ? RenderStatus::Complete : RenderStatus::WriteFailed;
    return result;
}

namespace {

std::optional<std::array<uint8_t, kWaveHeaderSize>> HeaderOf(const SynthState& s, bool mono)
{
    return WaveFileHeader(mono ? 1 : 2, s.SweepLength, s.SampleRate);
}

// Why no header can be written for the state, if so.
std::optional<ExportStatus> HeaderRefusal(const SynthState& s, bool mono)
{
    if (s.SweepLength < 1 || s.SampleRate < 1)
        return ExportStatus::SettingsRefused;
    if (!HeaderOf(s, mono))
        return ExportStatus::TooLong;
    return std::nullopt;
}

}  // namespace

ExportStatus WriteWave(const ByteSink& sink, SynthState& s, const SynthSwitches& sw,
                       NoiseSource& noise, const RenderProgress& progress)
{
    if (const auto refusal = HeaderRefusal(s, sw.Mono))
        return *refusal;
    const auto header = HeaderOf(s, sw.Mono);
    if (!sink || !sink(header->data(), header->size()))
        return ExportStatus::WriteFailed;
    switch (RenderToStream(s, sw, noise, sink, progress).Status) {
    case RenderStatus::Complete: return ExportStatus::Complete;
    case RenderStatus::Cancelled: return ExportStatus::Cancelled;
    case RenderStatus::WriteFailed: break;
    }
    return ExportStatus::WriteFailed;
}

ExportStatus PrepareWaveExport(SynthState& s, const RecomputeInput& in, bool mono)
{
    if (!TextToFloat(in.Duration, in.DecimalSeparator))
        return ExportStatus::DurationNotANumber;
    if (fEditChange(s, in).StopOutput)
        return ExportStatus::SettingsRefused;
    return HeaderRefusal(s, mono).value_or(ExportStatus::Ready);
}

namespace {

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

ExportStatus WriteWaveFile(const std::string& path, SynthState& s, const SynthSwitches& sw,
                           NoiseSource& noise, const RenderProgress& progress)
{
    if (const auto refusal = HeaderRefusal(s, sw.Mono))
        return *refusal;
    // Non-blocking only for the open, so a FIFO without a reader fails
    // instead of hanging the window.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0)
        return ExportStatus::WriteFailed;
    struct stat opened {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0 || ::fstat(fd, &opened) < 0) {
        ::close(fd);
        return ExportStatus::WriteFailed;
    }

    const ByteSink sink = [fd](const uint8_t* data, size_t size) { return WriteAll(fd, {reinterpret_cast<const char*>(data), size}); };
    ExportStatus status = ExportStatus::WriteFailed;
    try {
        status = WriteWave(sink, s, sw, noise, progress);
    } catch (...) {
        ::close(fd);
        throw;
    }
    const bool closed = ::close(fd) == 0;

    if (status == ExportStatus::Cancelled) {
        // Only the regular file this export created goes; a device or FIFO
        // named by the user stays, as does a file put there meanwhile.
        struct stat now {};
        if (S_ISREG(opened.st_mode) && ::stat(path.c_str(), &now) == 0 && SameFile(opened, now)
            && ::unlink(path.c_str()) != 0)
            return ExportStatus::WriteFailed;
        return ExportStatus::Cancelled;
    }
    if (status == ExportStatus::Complete && !closed)
        return ExportStatus::WriteFailed;
    return status;
}

}  // namespace orv
