#include "generator/files/ExportName.h"
#include "generator/files/WaveFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "common/NumberText.h"
#include "generator/synth/FillBuffer.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
int16_t S16(const std::vector<uint8_t>& b, size_t at) { return static_cast<int16_t>(U16(b, at)); }
std::string Tag(const std::vector<uint8_t>& b, size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

// ---- header ---------------------------------------------------------------

struct HeaderCase {
    int32_t channels;
    int64_t frames;
    int64_t rate;
    uint32_t riff, bytesPerSecond, data;
    uint16_t align;
};

void PrintTo(const HeaderCase& c, std::ostream* os)
{
    *os << c.channels << " ch, " << c.frames << " frames, " << c.rate << " Hz";
}

class WaveHeaderTable : public testing::TestWithParam<HeaderCase> {};

TEST_P(WaveHeaderTable, FieldsAreLittleEndianAsTheFormatSays)
{
    const HeaderCase& c = GetParam();
    const auto h = WaveFileHeader(c.channels, c.frames, c.rate);
    ASSERT_TRUE(h);
    const std::vector<uint8_t> b(h->begin(), h->end());
    EXPECT_EQ(Tag(b, 0), "RIFF");
    EXPECT_EQ(U32(b, 4), c.riff);
    EXPECT_EQ(Tag(b, 8), "WAVE");
    EXPECT_EQ(Tag(b, 12), "fmt ");
    EXPECT_EQ(U32(b, 16), 16u);
    EXPECT_EQ(U16(b, 20), 1u);
    EXPECT_EQ(U16(b, 22), c.channels);
    EXPECT_EQ(U32(b, 24), static_cast<uint32_t>(c.rate));
    EXPECT_EQ(U32(b, 28), c.bytesPerSecond);
    EXPECT_EQ(U16(b, 32), c.align);
    EXPECT_EQ(U16(b, 34), 16u);
    EXPECT_EQ(Tag(b, 36), "data");
    EXPECT_EQ(U32(b, 40), c.data);
}

INSTANTIATE_TEST_SUITE_P(Formats, WaveHeaderTable, testing::Values(
    HeaderCase{1, 66150, 22050, 132336, 44100, 132300, 2},
    HeaderCase{2, 44100, 44100, 176436, 176400, 176400, 4},
    HeaderCase{2, 0, 96000, 36, 384000, 0, 4},
    // Beyond 24 bits the rate keeps its top byte.
    HeaderCase{1, 1, 0x01000001, 38, 0x02000002, 2, 2},
    // The largest data that still fits the RIFF size.
    HeaderCase{1, (0xFFFFFFFFll - 36) / 2, 8000, 0xFFFFFFFFu - 1, 16000, 0xFFFFFFFFu - 37, 2}));

TEST(WaveHeader, RefusesWhatTheFieldsCannotHold)
{
    EXPECT_FALSE(WaveFileHeader(0, 10, 44100));
    EXPECT_FALSE(WaveFileHeader(3, 10, 44100));
    EXPECT_FALSE(WaveFileHeader(1, -1, 44100));
    EXPECT_FALSE(WaveFileHeader(1, 10, 0));
    EXPECT_FALSE(WaveFileHeader(1, (0xFFFFFFFFll - 36) / 2 + 1, 8000));
    EXPECT_FALSE(WaveFileHeader(2, 0x7FFFFFFF, 96000));
    EXPECT_FALSE(WaveFileHeader(2, 10, 0x40000000));  // bytes per second overflow
    EXPECT_TRUE(WaveFileHeader(2, 10, 0x3FFFFFFF));
}

// ---- proposed name --------------------------------------------------------

struct NameCase {
    ExportNameInput in;
    const char* name;
};

ExportNameInput Defaults()
{
    ExportNameInput in;
    in.WaveForm = 0;
    in.fEdit = "1000";
    in.fInit = "100";
    in.fFinal = "1000";
    in.Duration = "3";
    in.Amplitude = "0";
    in.PhaseEdit = "0";
    return in;
}

template <typename F>
ExportNameInput With(F change)
{
    ExportNameInput in = Defaults();
    change(in);
    return in;
}

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class ProposedNameTable : public testing::TestWithParam<NameCase> {};

TEST_P(ProposedNameTable, DescribesTheSignal)
{
    EXPECT_EQ(ProposedWaveFileName(GetParam().in), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Settings, ProposedNameTable, testing::Values(
    NameCase{Defaults(), "Sine 1000Hz 3s 0dBFS mono.wav"},
    NameCase{With([](auto& in) { in.ConstantPage = false; }), "Sine sweep 100Hz to 1000Hz 3s 0dBFS mono.wav"},
    NameCase{With([](auto& in) { in.Mono = false; in.PhaseEdit = "90"; in.WaveForm = 1; }),
             "Square 1000Hz 3s 0dBFS stereo 90 degrees out of phase.wav"},
    NameCase{With([](auto& in) { in.Mono = false; in.PhaseEdit = "0.0"; }),
             "Sine 1000Hz 3s 0dBFS stereo 0.0 degrees out of phase.wav"},
    NameCase{With([](auto& in) { in.Mono = false; }), "Sine 1000Hz 3s 0dBFS stereo in phase.wav"},
    NameCase{With([](auto& in) { in.Mono = false; in.LeftTick = false; in.PhaseEdit = "45"; }),
             "Sine 1000Hz 3s 0dBFS right channel only.wav"},
    NameCase{With([](auto& in) { in.Mono = false; in.RightTick = false; in.WaveForm = 2; }),
             "Triangular 1000Hz 3s 0dBFS left channel only.wav"},
    // mono wins over the channel boxes
    NameCase{With([](auto& in) { in.LeftTick = false; in.WaveForm = 3; in.Amplitude = "-6"; }),
             "White noise 1000Hz 3s -6dBFS mono.wav"},
    NameCase{With([](auto& in) { in.WaveForm = -1; in.Duration = "2,5"; }), "1000Hz 2,5s 0dBFS mono.wav"},
    NameCase{With([](auto& in) { in.WaveForm = 7; }), "1000Hz 3s 0dBFS mono.wav"},
    NameCase{With([](auto& in) { in.fEdit = "1/2"; in.Duration = std::string_view("3\0", 2); }),
             "Sine 1-2Hz 3-s 0dBFS mono.wav"}));

// ---- render ---------------------------------------------------------------

struct Settings {
    const char* fEdit = "1000";
    const char* fInit = "100";
    const char* fFinal = "1000";
    const char* duration = "3";
    int32_t rate = 22050;
    bool sweep = false;
    bool logarithmic = false;
    SynthSwitches sw{};
};

RecomputeInput InputOf(const Settings& set)
{
    return RecomputeInput{set.fEdit, set.fInit, set.fFinal, set.duration, set.sweep, set.logarithmic, '.'};
}

SynthSwitches SwitchesOf(const Settings& set)
{
    SynthSwitches sw = set.sw;
    sw.SweepPage = set.sweep;
    return sw;
}

SynthState Prepared(const Settings& set)
{
    SynthState s;
    s.SampleRate = set.rate;
    EXPECT_EQ(PrepareWaveExport(s, InputOf(set), set.sw.Mono), ExportStatus::Ready);
    return s;
}

struct Capture {
    std::vector<uint8_t> bytes;
    size_t calls = 0;
    size_t largest = 0;
    ByteSink Sink()
    {
        return [this](const uint8_t* d, size_t n) {
            bytes.insert(bytes.end(), d, d + n);
            ++calls;
            largest = std::max(largest, n);
            return true;
        };
    }
};

// The export's frame loop one frame at a time through the per-sample
// functions, with the progress points where the render has them: the
// reference the block render must match bit for bit.
std::vector<int16_t> ScalarRender(SynthState& s, SynthSwitches sw, NoiseSource& noise,
                                  const RenderProgress& progress)
{
    std::vector<int16_t> out;
    s.Phase = 0.0;
    s.SampleIndex = 0;
    const int64_t frames = std::max(s.SweepLength, 0);
    const bool mono = sw.Mono;
    for (int64_t i = 0; i < frames; ++i) {
        if (mono) {
            out.push_back(static_cast<int16_t>(MonoSample(s, sw, sw.WaveForm, noise)));
        } else {
            const int32_t left = StereoLeftSample(s, sw, sw.WaveForm, noise);
            const int32_t right = StereoRightSample(s, sw, sw.WaveForm, noise);
            out.push_back(static_cast<int16_t>(s.LeftOn != 0 ? left : 0));
            out.push_back(static_cast<int16_t>(s.RightOn != 0 ? right : 0));
        }
        if (progress && i % kProgressInterval == 0
            && !progress(RoundToInt(static_cast<double>(i) * 100.0 / frames).value_or(0), sw))
            break;
        if (s.SampleIndex < std::numeric_limits<int32_t>::max())
            ++s.SampleIndex;
    }
    return out;
}

std::vector<int16_t> DirectLoop(SynthState s, const SynthSwitches& sw, NoiseSource noise)
{
    return ScalarRender(s, sw, noise, {});
}

std::vector<int16_t> SamplesOf(const std::vector<uint8_t>& bytes, size_t from)
{
    std::vector<int16_t> out;
    for (size_t at = from; at + 1 < bytes.size(); at += 2)
        out.push_back(S16(bytes, at));
    return out;
}

struct RenderCase {
    const char* label;
    Settings set;
    bool leftOn = true;
    bool rightOn = true;
};

Settings Stereo(int w, bool sweep, bool log)
{
    Settings set;
    set.sw.Mono = false;
    set.sw.WaveForm = w;
    set.sweep = sweep;
    set.logarithmic = log;
    set.duration = "0.7";
    return set;
}

Settings Modulated()
{
    Settings set = Stereo(0, true, false);
    set.sw.ModulationOn = true;
    set.sw.ModFunctionLeft = 3;
    set.sw.ModFunctionRight = 2;
    return set;
}

void PrintTo(const RenderCase& c, std::ostream* os) { *os << c.label; }

class RenderMatchesDirectLoop : public testing::TestWithParam<RenderCase> {};

TEST_P(RenderMatchesDirectLoop, SampleBySample)
{
    const RenderCase& c = GetParam();
    SynthState s = Prepared(c.set);
    s.ChannelPhase = 1.5707964f;
    s.LeftOn = c.leftOn;
    s.RightOn = c.rightOn;
    const SynthSwitches sw = SwitchesOf(c.set);
    const auto expected = DirectLoop(s, sw, NoiseSource(7));

    // Playing first leaves the phase and the sweep elsewhere; the export
    // starts from the start all the same.
    NoiseSource playNoise(1);
    std::vector<uint8_t> played(4096);
    SynthSwitches looping = sw;
    looping.Loop = true;
    ASSERT_EQ(AudioOut1FillBuffer(s, looping, played.data(), 4096, playNoise), FillResult::More);
    ASSERT_EQ(PrepareWaveExport(s, InputOf(c.set), sw.Mono), ExportStatus::Ready);

    NoiseSource noise(7);
    Capture cap;
    ASSERT_EQ(WriteWave(cap.Sink(), s, sw, noise, {}), ExportStatus::Complete);
    const auto got = SamplesOf(cap.bytes, kWaveHeaderSize);
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(U32(cap.bytes, 40), got.size() * 2);
}

INSTANTIATE_TEST_SUITE_P(Signals, RenderMatchesDirectLoop, testing::Values(
    RenderCase{"MonoSine", Settings{}},
    RenderCase{"MonoSquareSweep", [] { Settings s; s.sw.WaveForm = 1; s.sweep = true; return s; }()},
    RenderCase{"MonoNoise", [] { Settings s; s.sw.WaveForm = 3; s.duration = "0.5"; return s; }()},
    RenderCase{"StereoSine", Stereo(0, false, false)},
    RenderCase{"StereoTriangleLogSweep", Stereo(2, true, true)},
    RenderCase{"StereoNoise", Stereo(3, false, false)},
    RenderCase{"StereoModulated", Modulated()},
    RenderCase{"RightOnly", Stereo(1, true, false), false, true},
    RenderCase{"LeftOnly", Stereo(0, false, false), true, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(RenderToStream, DefaultToneStartsAtPhaseStepAndFillsTheHeader)
{
    Settings set;
    SynthState s = Prepared(set);
    NoiseSource noise(1);
    Capture cap;
    ASSERT_EQ(WriteWave(cap.Sink(), s, SwitchesOf(set), noise, {}), ExportStatus::Complete);
    ASSERT_EQ(cap.bytes.size(), kWaveHeaderSize + 132300);
    EXPECT_EQ(U32(cap.bytes, 4), 132336u);
    EXPECT_EQ(U16(cap.bytes, 22), 1u);
    EXPECT_EQ(U32(cap.bytes, 28), 44100u);
    EXPECT_EQ(U16(cap.bytes, 32), 2u);
    const auto samples = SamplesOf(cap.bytes, kWaveHeaderSize);
    EXPECT_EQ(std::vector<int16_t>(samples.begin(), samples.begin() + 4),
              (std::vector<int16_t>{9211, 17679, 24722, 29771}));
    // Constant memory: the samples arrive in fixed blocks, not all at once.
    EXPECT_LE(cap.largest, kRenderBlockSize);
    EXPECT_GE(cap.calls, 3u);
}

TEST(RenderToStream, FrameCountFollowsDurationAndRate)
{
    Settings half;
    half.duration = "2.5";
    SynthState s = Prepared(half);
    EXPECT_EQ(s.SweepLength, 55125);

    Settings stereo;
    stereo.duration = "1";
    stereo.rate = 44100;
    stereo.sw.Mono = false;
    SynthState t = Prepared(stereo);
    NoiseSource noise(1);
    Capture cap;
    ASSERT_EQ(WriteWave(cap.Sink(), t, SwitchesOf(stereo), noise, {}), ExportStatus::Complete);
    EXPECT_EQ(cap.bytes.size(), kWaveHeaderSize + 176400);
    EXPECT_EQ(U16(cap.bytes, 22), 2u);
    EXPECT_EQ(U32(cap.bytes, 28), 176400u);
    EXPECT_EQ(U16(cap.bytes, 32), 4u);
    EXPECT_EQ(U32(cap.bytes, 40), 176400u);
}

TEST(RenderToStream, ProgressPointsFollowTheFrameAtEachMultipleOfTenThousand)
{
    Settings set;
    SynthState s = Prepared(set);  // 66150 frames
    NoiseSource noise(1);
    Capture cap;
    std::vector<int32_t> percents;
    std::vector<int32_t> indexes;
    const RenderProgress progress = [&](int32_t percent, SynthSwitches&) {
        percents.push_back(percent);
        indexes.push_back(s.SampleIndex);
        return true;
    };
    ASSERT_EQ(RenderToStream(s, SwitchesOf(set), noise, cap.Sink(), progress).Status, RenderStatus::Complete);
    EXPECT_EQ(percents, (std::vector<int32_t>{0, 15, 30, 45, 60, 76, 91}));
    EXPECT_EQ(indexes, (std::vector<int32_t>{0, 10000, 20000, 30000, 40000, 50000, 60000}));
    EXPECT_EQ(s.SampleIndex, 66150);
}

TEST(RenderToStream, CancelAtTheFirstPointStopsAfterOneFrame)
{
    for (bool mono : {true, false}) {
        Settings set;
        set.sw.Mono = mono;
        SynthState s = Prepared(set);
        NoiseSource noise(1);
        Capture cap;
        int calls = 0;
        const auto r = RenderToStream(s, SwitchesOf(set), noise, cap.Sink(),
                                      [&](int32_t, SynthSwitches&) { ++calls; return false; });
        EXPECT_EQ(r.Status, RenderStatus::Cancelled);
        EXPECT_EQ(r.Frames, 1);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(cap.bytes.size(), mono ? 2u : 4u);
        EXPECT_EQ(S16(cap.bytes, 0), 9211);
    }
}

TEST(RenderToStream, SwitchesChangedAtAPointActFromTheNextFrameButNotTheLayout)
{
    Settings set;
    SynthState s = Prepared(set);
    const auto sine = DirectLoop(s, SwitchesOf(set), NoiseSource(1));
    NoiseSource noise(1);
    Capture cap;
    const auto r = RenderToStream(s, SwitchesOf(set), noise, cap.Sink(), [](int32_t percent, SynthSwitches& sw) {
        if (percent > 0) {
            sw.WaveForm = 1;
            sw.Mono = false;
        }
        return true;
    });
    ASSERT_EQ(r.Status, RenderStatus::Complete);
    const auto got = SamplesOf(cap.bytes, 0);
    ASSERT_EQ(got.size(), 66150u);
    EXPECT_TRUE(std::equal(got.begin(), got.begin() + 10001, sine.begin()));
    EXPECT_TRUE(std::all_of(got.begin() + 10001, got.end(), [](int16_t v) { return v == 32767 || v == -32767; }));
}

TEST(RenderToStream, ControlMessageRecomputingMidRenderKeepsTheFrameCount)
{
    Settings set;
    SynthState s = Prepared(set);
    NoiseSource noise(1);
    Capture cap;
    const auto r = RenderToStream(s, SwitchesOf(set), noise, cap.Sink(), [&](int32_t, SynthSwitches&) {
        Settings longer;
        longer.duration = "10";
        (void)fEditChange(s, InputOf(longer));
        return true;
    });
    ASSERT_EQ(r.Status, RenderStatus::Complete);
    EXPECT_EQ(r.Frames, 66150);
    EXPECT_EQ(cap.bytes.size(), 132300u);
}

TEST(RenderToStream, NoWaveformIsSilentInBothChannels)
{
    Settings set = Stereo(-1, false, false);
    SynthState s = Prepared(set);
    NoiseSource noise(1);
    Capture cap;
    ASSERT_EQ(RenderToStream(s, SwitchesOf(set), noise, cap.Sink(), {}).Status, RenderStatus::Complete);
    const auto got = SamplesOf(cap.bytes, 0);
    EXPECT_EQ(got.size(), 2u * 15435);
    EXPECT_TRUE(std::all_of(got.begin(), got.end(), [](int16_t v) { return v == 0; }));
}

// ---- block render against the frame-by-frame reference -------------------

struct ExactCase {
    const char* label;
    Settings set;
    float channelPhase = 0.0f;
    bool leftOn = true;
    bool rightOn = true;
    float amplitude = 1.0f;
    float modGain = 1.0f;  // left in the state by an earlier playback
};

void PrintTo(const ExactCase& c, std::ostream* os) { *os << c.label; }

Settings Signal(int w, bool mono, int32_t rate)
{
    Settings set;
    set.sw.WaveForm = w;
    set.sw.Mono = mono;
    set.rate = rate;
    set.duration = "4";
    return set;
}

Settings Sweep(Settings set, const char* from, const char* to, bool log)
{
    set.sweep = true;
    set.fInit = from;
    set.fFinal = to;
    set.logarithmic = log;
    return set;
}

Settings Modulation(Settings set, int left, int right)
{
    set.sw.ModulationOn = true;
    set.sw.ModFunctionLeft = left;
    set.sw.ModFunctionRight = right;
    return set;
}

SynthState ExactState(const ExactCase& c)
{
    SynthState s = Prepared(c.set);
    s.ChannelPhase = c.channelPhase;
    s.LeftOn = c.leftOn;
    s.RightOn = c.rightOn;
    s.AmplitudeScale = c.amplitude;
    s.ModGain = c.modGain;
    s.LeftModPeriod = 0.25f;
    s.LeftModDepth = 0.8f;
    s.LeftModPhase = 0.3f;
    s.RightModPeriod = 0.1f;
    s.RightModDepth = 1.5f;
    s.RightModPhase = 1.0f;
    return s;
}

void ExpectSameState(const SynthState& got, const SynthState& want)
{
    EXPECT_EQ(got.Phase, want.Phase);
    EXPECT_EQ(got.PhaseStep, want.PhaseStep);
    EXPECT_EQ(got.SampleIndex, want.SampleIndex);
    EXPECT_EQ(got.ModGain, want.ModGain);
}

class BlockRenderIsExact : public testing::TestWithParam<ExactCase> {};

TEST_P(BlockRenderIsExact, EverySampleAndTheStateAfter)
{
    const ExactCase& c = GetParam();
    SynthState reference = ExactState(c);
    NoiseSource referenceNoise(5);
    const auto want = ScalarRender(reference, SwitchesOf(c.set), referenceNoise, {});

    SynthState s = ExactState(c);
    NoiseSource noise(5);
    Capture cap;
    const RenderResult r = RenderToStream(s, SwitchesOf(c.set), noise, cap.Sink(), {});
    ASSERT_EQ(r.Status, RenderStatus::Complete);
    EXPECT_EQ(r.Frames, reference.SweepLength);
    const auto got = SamplesOf(cap.bytes, 0);
    ASSERT_EQ(got.size(), want.size());
    const auto diff = std::mismatch(got.begin(), got.end(), want.begin());
    EXPECT_TRUE(diff.first == got.end()) << "first difference at sample " << (diff.first - got.begin())
                                         << ": " << *diff.first << " instead of " << *diff.second;
    ExpectSameState(s, reference);
}

constexpr float kQuarter = 1.5707964f;

INSTANTIATE_TEST_SUITE_P(Signals, BlockRenderIsExact, testing::Values(
    ExactCase{"SineMono44100", Signal(0, true, 44100)},
    ExactCase{"SquareMono96000", Signal(1, true, 96000)},
    ExactCase{"TriangleMono48000", Signal(2, true, 48000)},
    ExactCase{"SineStereoInPhase", Signal(0, false, 96000)},
    ExactCase{"SineStereoQuarterAhead", Signal(0, false, 96000), kQuarter},
    ExactCase{"TriangleStereoNegativeZeroPhase", Signal(2, false, 44100), -0.0f},
    ExactCase{"SquareStereoBehind", Signal(1, false, 44100), -2.5f},
    ExactCase{"LinearSweepMono", Sweep(Signal(0, true, 96000), "20", "20000", false)},
    ExactCase{"LogSweepMono", Sweep(Signal(0, true, 96000), "20", "20000", true)},
    ExactCase{"LogSweepTriangleStereo", Sweep(Signal(2, false, 44100), "100", "15000", true), 1.0f},
    ExactCase{"DownSweepSquareStereo", Sweep(Signal(1, false, 96000), "15000", "30", false)},
    ExactCase{"LeftOnly", Signal(0, false, 44100), 0.5f, true, false},
    ExactCase{"RightOnly", Sweep(Signal(2, false, 44100), "50", "5000", true), 0.5f, false, true},
    ExactCase{"QuietWithLeftoverGain", Signal(0, false, 44100), 0.0f, true, true, 0.50118721f, 0.75f},
    ExactCase{"AboveFullScaleSaturates", Signal(2, true, 44100), 0.0f, true, true, 1.9952623f},
    ExactCase{"ModulatedMonoSine", Modulation(Signal(0, true, 44100), 0, 1)},
    ExactCase{"ModulatedMonoCosine", Modulation(Signal(1, true, 96000), 1, 0)},
    ExactCase{"ModulatedMonoSquare", Modulation(Sweep(Signal(2, true, 44100), "100", "1000", true), 2, 3)},
    ExactCase{"ModulatedMonoTriangle", Modulation(Signal(0, true, 48000), 3, 2)},
    ExactCase{"ModulatedStereoInPhase", Modulation(Signal(0, false, 96000), 3, 1)},
    ExactCase{"ModulatedStereoSweep", Modulation(Sweep(Signal(2, false, 44100), "20", "20000", false), 1, 2), kQuarter},
    ExactCase{"ModulatedStereoUnknownFunction", Modulation(Signal(1, false, 44100), 0, 7), 0.3f},
    ExactCase{"ModulatedRightOnly", Modulation(Signal(0, false, 44100), 2, 0), 0.0f, false, true}),
    [](const auto& info) { return std::string(info.param.label); });

// What a window does at its progress points: waveform, modulation, channel
// and phase changes, a recomputation that restarts the phase, noise, and
// at last a cancel. The same script runs against both renders.
RenderProgress Meddling(SynthState& s, int& calls)
{
    return [&s, &calls](int32_t, SynthSwitches& sw) {
        switch (++calls) {
        case 2: sw.WaveForm = 2; sw.ModulationOn = true; break;
        case 3: s.LeftOn = 0; s.ChannelPhase = 1.0f; sw.ModFunctionRight = 3; break;
        case 4: {
            Settings other;
            other.fEdit = "3000";
            other.rate = s.SampleRate;
            (void)fEditChange(s, InputOf(other));
            s.LeftOn = 1;
            break;
        }
        case 5: sw.WaveForm = 3; break;
        case 6: sw.WaveForm = 0; sw.ModulationOn = false; s.ChannelPhase = 0.0f; break;
        case 7: sw.SweepPage = true; s.StepFactor = 1.00001f; break;
        case 9: return false;
        default: break;
        }
        return true;
    };
}

TEST(BlockRenderIsExact, SwitchesAndStateChangedAtProgressPoints)
{
    for (bool mono : {false, true}) {
        Settings set = Signal(1, mono, 44100);
        SynthState reference = ExactState({"", set});
        int referenceCalls = 0;
        NoiseSource referenceNoise(9);
        const auto want =
            ScalarRender(reference, SwitchesOf(set), referenceNoise, Meddling(reference, referenceCalls));

        SynthState s = ExactState({"", set});
        int calls = 0;
        NoiseSource noise(9);
        Capture cap;
        const RenderResult r = RenderToStream(s, SwitchesOf(set), noise, cap.Sink(), Meddling(s, calls));
        EXPECT_EQ(r.Status, RenderStatus::Cancelled);
        EXPECT_EQ(r.Frames, 80001);
        EXPECT_EQ(calls, 9);
        EXPECT_EQ(SamplesOf(cap.bytes, 0), want) << (mono ? "mono" : "stereo");
        ExpectSameState(s, reference);
    }
}

TEST(BlockRenderIsExact, NoiseHasTheStatisticsOfIndependentFairBits)
{
    Settings set = Signal(3, false, 96000);
    SynthState s = ExactState({"", set});
    NoiseSource noise(11);
    Capture cap;
    ASSERT_EQ(RenderToStream(s, SwitchesOf(set), noise, cap.Sink(), {}).Status, RenderStatus::Complete);
    const auto got = SamplesOf(cap.bytes, 0);
    ASSERT_EQ(got.size(), 2u * 384000);
    size_t left = 0, right = 0, both = 0;
    for (size_t i = 0; i < got.size(); i += 2) {
        ASSERT_TRUE(got[i] == 0 || got[i] == -32767);
        ASSERT_TRUE(got[i + 1] == 0 || got[i + 1] == -32767);
        left += got[i] != 0;
        right += got[i + 1] != 0;
        both += got[i] != 0 && got[i + 1] != 0;
    }
    // Six standard deviations of 384000 fair draws.
    const double frames = 384000.0;
    EXPECT_NEAR(left / frames, 0.5, 0.005);
    EXPECT_NEAR(right / frames, 0.5, 0.005);
    EXPECT_NEAR(both / frames, 0.25, 0.005);
}

TEST(RenderToStream, SinkFailureStopsTheRender)
{
    Settings set;
    SynthState s = Prepared(set);
    NoiseSource noise(1);
    int calls = 0;
    const auto r = RenderToStream(s, SwitchesOf(set), noise, [&](const uint8_t*, size_t) { ++calls; return false; }, {});
    EXPECT_EQ(r.Status, RenderStatus::WriteFailed);
    EXPECT_EQ(calls, 1);
    EXPECT_LT(r.Frames, 66150);

    SynthState t = Prepared(set);
    EXPECT_EQ(WriteWave(ByteSink{}, t, SwitchesOf(set), noise, {}), ExportStatus::WriteFailed);
    EXPECT_EQ(RenderToStream(t, SwitchesOf(set), noise, ByteSink{}, {}).Status, RenderStatus::WriteFailed);
}

// ---- checks before the export ---------------------------------------------

TEST(PrepareWaveExport, RefusesWhatCannotGiveAMatchingFile)
{
    struct Case {
        const char* label;
        Settings set;
        ExportStatus status;
    };
    const auto make = [](auto change) { Settings s; change(s); return s; };
    const Case cases[] = {
        {"duration text", make([](Settings& s) { s.duration = "abc"; }), ExportStatus::DurationNotANumber},
        {"above half the rate", make([](Settings& s) { s.fEdit = "11025"; }), ExportStatus::SettingsRefused},
        {"sweep final above half", make([](Settings& s) { s.sweep = true; s.fFinal = "20000"; }),
         ExportStatus::SettingsRefused},
        {"shorter than a sample", make([](Settings& s) { s.duration = "0.00001"; }), ExportStatus::SettingsRefused},
        {"stereo beyond 4 GB", make([](Settings& s) { s.rate = 96000; s.duration = "20000"; s.sw.Mono = false; }),
         ExportStatus::TooLong},
        {"mono under 4 GB", make([](Settings& s) { s.rate = 96000; s.duration = "20000"; }), ExportStatus::Ready},
    };
    for (const Case& c : cases) {
        SynthState s;
        s.SampleRate = c.set.rate;
        EXPECT_EQ(PrepareWaveExport(s, InputOf(c.set), c.set.sw.Mono), c.status) << c.label;
    }
}

TEST(PrepareWaveExport, RefusedFrequenciesNeverReachAFile)
{
    Settings good;
    SynthState s = Prepared(good);  // SweepLength 66150 stays from here
    Settings bad;
    bad.fEdit = "20000";
    bad.duration = "1";
    ASSERT_EQ(PrepareWaveExport(s, InputOf(bad), true), ExportStatus::SettingsRefused);

    SynthState unprepared;
    NoiseSource noise(1);
    Capture cap;
    EXPECT_EQ(WriteWave(cap.Sink(), unprepared, SynthSwitches{}, noise, {}), ExportStatus::SettingsRefused);
    EXPECT_TRUE(cap.bytes.empty());
}

// ---- files ----------------------------------------------------------------

class WaveFileOnDisk : public testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/orv-wavefile-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const char* name) const { return (dir_ / name).string(); }

    static std::vector<uint8_t> Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    ExportStatus Export(const std::string& path, const Settings& set, const RenderProgress& progress = {})
    {
        SynthState s = Prepared(set);
        NoiseSource noise(3);
        return WriteWaveFile(path, s, SwitchesOf(set), noise, progress);
    }

    fs::path dir_;
};

std::string Soxi(const char* option, const std::string& path)
{
    const std::string cmd = std::string("soxi ") + option + " '" + path + "' 2>/dev/null";
    FILE* p = ::popen(cmd.c_str(), "r");
    if (p == nullptr)
        return {};
    char line[128] = {};
    const bool got = std::fgets(line, sizeof line, p) != nullptr;
    ::pclose(p);
    std::string s = got ? line : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}

TEST_F(WaveFileOnDisk, SoxReadsWhatWasWritten)
{
    if (std::system("command -v soxi >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "soxi is not installed";
    Settings mono;
    ASSERT_EQ(Export(Path("mono.wav"), mono), ExportStatus::Complete);
    EXPECT_EQ(Soxi("-c", Path("mono.wav")), "1");
    EXPECT_EQ(Soxi("-r", Path("mono.wav")), "22050");
    EXPECT_EQ(Soxi("-s", Path("mono.wav")), "66150");
    EXPECT_EQ(Soxi("-b", Path("mono.wav")), "16");

    Settings stereo = Stereo(0, true, true);
    stereo.rate = 44100;
    stereo.duration = "1";
    ASSERT_EQ(Export(Path("stereo.wav"), stereo), ExportStatus::Complete);
    EXPECT_EQ(Soxi("-c", Path("stereo.wav")), "2");
    EXPECT_EQ(Soxi("-r", Path("stereo.wav")), "44100");
    EXPECT_EQ(Soxi("-s", Path("stereo.wav")), "44100");
}

TEST_F(WaveFileOnDisk, TwoExportsOfTheSameSweepAreIdenticalAndReplaceTheOldFile)
{
    Settings set = Stereo(2, true, true);
    const std::string a = Path("a.wav");
    {
        std::ofstream old(a, std::ios::binary);
        old << std::string(500000, 'x');
    }
    ASSERT_EQ(Export(a, set), ExportStatus::Complete);
    ASSERT_EQ(Export(Path("b.wav"), set), ExportStatus::Complete);
    const auto first = Read(a);
    EXPECT_EQ(first.size(), kWaveHeaderSize + 15435u * 4);
    EXPECT_EQ(first, Read(Path("b.wav")));
}

TEST_F(WaveFileOnDisk, RightChannelOnlyHasASilentLeft)
{
    Settings set = Stereo(0, false, false);
    SynthState s = Prepared(set);
    ASSERT_FALSE(SetChannels(s, false, true));
    NoiseSource noise(1);
    ASSERT_EQ(WriteWaveFile(Path("r.wav"), s, SwitchesOf(set), noise, {}), ExportStatus::Complete);
    const auto samples = SamplesOf(Read(Path("r.wav")), kWaveHeaderSize);
    ASSERT_EQ(samples.size(), 2u * 15435);
    bool rightPlays = false;
    for (size_t i = 0; i < samples.size(); i += 2) {
        ASSERT_EQ(samples[i], 0) << i;
        rightPlays = rightPlays || samples[i + 1] != 0;
    }
    EXPECT_TRUE(rightPlays);
}

TEST_F(WaveFileOnDisk, CancelLeavesNoFileAndTheNextExportRuns)
{
    Settings set;
    const std::string path = Path("tone.wav");
    {
        std::ofstream old(path);
        old << "earlier file";
    }
    int points = 0;
    EXPECT_EQ(Export(path, set, [&](int32_t percent, SynthSwitches&) { ++points; return percent < 30; }),
              ExportStatus::Cancelled);
    EXPECT_EQ(points, 3);
    EXPECT_FALSE(fs::exists(path));

    EXPECT_EQ(Export(path, set, [](int32_t, SynthSwitches&) { return true; }), ExportStatus::Complete);
    EXPECT_EQ(fs::file_size(path), kWaveHeaderSize + 132300);
}

TEST_F(WaveFileOnDisk, CancelNeverDeletesWhatIsNotAFileOfItsOwn)
{
    const std::string fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Nobody reading: the open fails at once instead of blocking.
    EXPECT_EQ(Export(fifo, Settings{}), ExportStatus::WriteFailed);

    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(Export(fifo, Settings{}, [](int32_t, SynthSwitches&) { return false; }), ExportStatus::Cancelled);
    ::close(reader);
    struct stat st {};
    ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(WaveFileOnDisk, WriteFailuresAreReported)
{
    EXPECT_EQ(Export(Path("missing/tone.wav"), Settings{}), ExportStatus::WriteFailed);
    EXPECT_FALSE(fs::exists(Path("missing")));
    if (fs::exists("/dev/full")) {
        EXPECT_EQ(Export("/dev/full", Settings{}), ExportStatus::WriteFailed);
        EXPECT_TRUE(fs::exists("/dev/full"));
    }
    EXPECT_EQ(Export(dir_.string(), Settings{}), ExportStatus::WriteFailed);
    EXPECT_STREQ(kFileAccessError, "File Access Error, cannot write file.");
}

TEST_F(WaveFileOnDisk, RefusalsCreateNothing)
{
    SynthState s;  // never recomputed
    NoiseSource noise(1);
    EXPECT_EQ(WriteWaveFile(Path("x.wav"), s, SynthSwitches{}, noise, {}), ExportStatus::SettingsRefused);
    Settings big;
    big.rate = 96000;
    big.duration = "20000";
    SynthState t;
    t.SampleRate = 96000;
    ASSERT_EQ(PrepareWaveExport(t, InputOf(big), true), ExportStatus::Ready);
    SynthSwitches stereo;
    stereo.Mono = false;
    EXPECT_EQ(WriteWaveFile(Path("y.wav"), t, stereo, noise, {}), ExportStatus::TooLong);
    EXPECT_FALSE(fs::exists(Path("x.wav")));
    EXPECT_FALSE(fs::exists(Path("y.wav")));
}

}  // namespace
}  // namespace orv
