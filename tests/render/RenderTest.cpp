#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

#include "RenderTestSupport.h"
#include "common/NumberText.h"
#include "generator/files/FileBytes.h"
#include "generator/files/PresetFile.h"
#include "generator/render/HeadlessGenerator.h"
#include "generator/synth/Recompute.h"
#include "tests/files/StartRecord.h"

namespace orv {
namespace {

// The window's start values as a record; the name plays no part in a render.
MemoryRecord StartRecord() { return test::StartRecord(1); }

// The state a record stands for, derived field by field rather than through
// the window's chain of events: what the recall must arrive at.
SynthState DirectState(const MemoryRecord& m, int32_t rate)
{
    SynthState s;
    s.SampleRate = rate;
    const RecomputeInput in{m.fEdit, m.fInit, m.fFinal, m.Duration,
                            m.ActivePage == SignalPage::Sweep, m.Logarithmic, '.'};
    EXPECT_FALSE(fEditChange(s, in).StopOutput);
    // Only a change of ModulationOn normalises the amplitude text.
    AmplitudeChange(s, m.ModulationOn ? AmplitudeExitText(m.Amplitude, '.') : m.Amplitude);
    // The record's boxes and phase are written after monoClick, so they win.
    PhaseEditChange(s, m.PhaseEdit, '.');
    (void)SetChannels(s, m.Lefttick, m.RightTick);
    ModDepthChange(s.LeftModDepth, m.ModDepthLeft, '.');
    ModDepthChange(s.RightModDepth, m.ModDepthRight, '.');
    (void)ModPeriodChange(s.LeftModPeriod, m.ModPeriodLeft, '.');
    (void)ModPeriodChange(s.RightModPeriod, m.ModPeriodRight, '.');
    ModPhaseChange(s.LeftModPhase, m.ModPhaseLeft, '.');
    ModPhaseChange(s.RightModPhase, m.ModPhaseRight, '.');
    return s;
}

SynthSwitches DirectSwitches(const MemoryRecord& m)
{
    SynthSwitches sw;
    sw.SweepPage = m.ActivePage == SignalPage::Sweep;
    sw.WaveForm = ValidItemIndex(m.WaveForm).value_or(-1);
    sw.Mono = m.mono;
    sw.Loop = m.Loop;
    sw.Bidirectional = m.Bidirectional;
    sw.ModulationOn = m.ModulationOn;
    sw.ModFunctionLeft = ValidItemIndex(m.ModFunctionLeft).value_or(-1);
    sw.ModFunctionRight = ValidItemIndex(m.ModFunctionRight).value_or(-1);
    return sw;
}

std::vector<uint8_t> DirectWave(const MemoryRecord& m, int32_t rate, uint64_t seed)
{
    SynthState s = DirectState(m, rate);
    NoiseSource noise(seed);
    std::vector<uint8_t> bytes;
    const ByteSink sink = [&bytes](const uint8_t* data, size_t size) {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    };
    EXPECT_EQ(WriteWave(sink, s, DirectSwitches(m), noise, nullptr), ExportStatus::Complete);
    return bytes;
}

// ---- memories --------------------------------------------------------------

struct MemoryCase {
    const char* name;
    MemoryRecord record;
    int32_t rate;
};

void PrintTo(const MemoryCase& c, std::ostream* os) { *os << c.name; }

MemoryCase Case(const char* name, int32_t rate, void (*edit)(MemoryRecord&))
{
    MemoryCase c{name, StartRecord(), rate};
    c.record.Duration = "0.5";
    edit(c.record);
    return c;
}

class MemoryRender : public testing::TestWithParam<MemoryCase> {};

TEST_P(MemoryRender, EqualsADirectRenderOfTheSameState)
{
    const MemoryCase& c = GetParam();
    const Rendered r = RenderToBytes(MemoryWalker(c.record, c.rate), c.rate, 99);
    ASSERT_TRUE(r.Plan.ok()) << r.Plan.Error;
    ASSERT_EQ(r.Status, RenderStatus::Complete);
    EXPECT_EQ(r.Bytes, DirectWave(c.record, c.rate, 99));
    const int channels = c.record.mono ? 1 : 2;
    EXPECT_EQ(U16(r.Bytes, 22), channels);
    EXPECT_EQ(U32(r.Bytes, 24), static_cast<uint32_t>(c.rate));
    EXPECT_EQ(U32(r.Bytes, 40), r.Bytes.size() - 44);
}

INSTANTIATE_TEST_SUITE_P(Records, MemoryRender, testing::Values(
    Case("start_values", 22050, [](MemoryRecord&) {}),
    Case("square_minus_12", 44100, [](MemoryRecord& m) { m.WaveForm = 1; m.Amplitude = "-12"; }),
    Case("triangle_stereo_90", 48000, [](MemoryRecord& m) {
        m.WaveForm = 2; m.mono = false; m.PhaseEdit = "90"; }),
    Case("right_only", 22050, [](MemoryRecord& m) { m.mono = false; m.Lefttick = false; }),
    Case("log_sweep", 96000, [](MemoryRecord& m) {
        m.ActivePage = SignalPage::Sweep; m.fInit = "20"; m.fFinal = "20000"; m.Logarithmic = true; }),
    Case("linear_sweep_down", 11025, [](MemoryRecord& m) {
        m.ActivePage = SignalPage::Sweep; m.fInit = "5000"; m.fFinal = "50"; }),
    Case("modulated_stereo", 22050, [](MemoryRecord& m) {
        m.mono = false; m.ModulationOn = true; m.ModPeriodLeft = "0.1"; m.ModDepthLeft = "50";
        m.ModFunctionLeft = 2; m.ModPeriodRight = "0.2"; m.ModFunctionRight = 3; m.ModPhaseRight = "90"; }),
    // The amplitude text is normalised only when ModulationOn changes.
    Case("fractional_amplitude_modulated", 22050, [](MemoryRecord& m) {
        m.Amplitude = "-6.5"; m.ModulationOn = true; }),
    Case("fractional_amplitude_kept", 22050, [](MemoryRecord& m) { m.Amplitude = "-6.5"; }),
    Case("no_waveform_selected", 22050, [](MemoryRecord& m) { m.WaveForm = 7; }),
    Case("zero_mod_period", 22050, [](MemoryRecord& m) { m.ModulationOn = true; m.ModPeriodLeft = "0"; }),
    Case("white_noise", 22050, [](MemoryRecord& m) { m.WaveForm = 3; })),
    [](const testing::TestParamInfo<MemoryCase>& i) { return std::string(i.param.name); });

TEST(MemoryRecall, ExamplesPresetMemoriesEqualDirectRenders)
{
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(ORV_EXAMPLES_FILE, bytes).Ok);
    MemorySlots slots{};
    ASSERT_TRUE(ReadPresetBytes(bytes, slots).Ok());
    for (const MemoryRecord& m : slots) {
        const Rendered r = RenderToBytes(MemoryWalker(m, 44100), 44100, 5);
        ASSERT_TRUE(r.Plan.ok()) << m.Name << ": " << r.Plan.Error;
        EXPECT_EQ(r.Bytes, DirectWave(m, 44100, 5)) << m.Name;
    }
}

TEST(MemoryRecall, BoxesAndPhaseOfTheRecordAreWrittenAfterMonoClick)
{
    HeadlessGenerator gen(22050, '.');
    MemoryRecord stereo = StartRecord();
    stereo.mono = false;
    stereo.Lefttick = false;
    stereo.PhaseEdit = "45";
    gen.RecallMemory(stereo);
    EXPECT_EQ(gen.State.LeftOn, 0);
    EXPECT_FLOAT_EQ(gen.State.ChannelPhase, static_cast<float>(45 * std::numbers::pi / 180));

    MemoryRecord mono = StartRecord();
    mono.Lefttick = false;  // a mono record's boxes are checked by monoClick first
    mono.PhaseEdit = "30";
    gen.RecallMemory(mono);
    EXPECT_EQ(gen.State.LeftOn, 0) << "the record's box is written after monoClick";
    EXPECT_EQ(gen.Text(script::Edit::PhaseEdit), "30");
}

TEST(MemoryRecall, RefusalsSayWhy)
{
    struct Refusal {
        void (*edit)(MemoryRecord&);
        const char* message;
    };
    const Refusal cases[] = {
        {[](MemoryRecord& m) { m.fEdit = "11025"; }, "the constant frequency 11025 Hz is outside"},
        {[](MemoryRecord& m) { m.fFinal = "abc"; }, "the sweep final frequency 'abc' is not a number"},
        {[](MemoryRecord& m) { m.Duration = "x"; }, "'x' is not a valid floating point value"},
        {[](MemoryRecord& m) { m.Duration = "0.00001"; }, "the duration 0.00001 s holds too few samples"},
        {[](MemoryRecord& m) { m.mono = false; m.Lefttick = m.RightTick = false; },
         "neither the left nor the right channel"},
        {[](MemoryRecord& m) { m.Duration = "100000"; }, "too long for a WAVE file"},
    };
    for (const Refusal& c : cases) {
        MemoryRecord m = StartRecord();
        c.edit(m);
        const RenderPlan plan = PlanRender(MemoryWalker(m, 22050), 22050);
        EXPECT_NE(plan.Error.find(c.message), std::string::npos) << plan.Error;
    }
}

// ---- script lines ------------------------------------------------------------

struct LineCase {
    std::string line;
    MemoryRecord expected;  // the controls the line leaves, from the start values
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.line; }

LineCase Line(std::string line, void (*edit)(MemoryRecord&))
{
    LineCase c{std::move(line), StartRecord()};
    c.expected.Loop = false;
    edit(c.expected);
    return c;
}

class ScriptLine : public testing::TestWithParam<LineCase> {};

// A line renders as the record of the controls it fills, started as ON
// starts: amplitude text normalised.
TEST_P(ScriptLine, RendersAsTheControlsItFills)
{
    const LineCase& c = GetParam();
    const Rendered r = RenderToBytes(ScriptWalker(c.line, 22050), 22050, 3);
    ASSERT_TRUE(r.Plan.ok()) << r.Plan.Error;
    MemoryRecord expected = c.expected;
    expected.Amplitude = AmplitudeExitText(expected.Amplitude, '.');
    EXPECT_EQ(r.Bytes, DirectWave(expected, 22050, 3));
}

INSTANTIATE_TEST_SUITE_P(Lines, ScriptLine, testing::Values(
    Line("tone 1000 0.5 -6 0 M 0 0 ", [](MemoryRecord& m) { m.Duration = "0.5"; m.Amplitude = "-6"; }),
    Line("Tone 440 0.25 -10.5 1 L 0 0", [](MemoryRecord& m) {
        m.fEdit = "440"; m.Duration = "0.25"; m.Amplitude = "-10.5"; m.WaveForm = 1;
        m.mono = false; m.RightTick = false; }),
    Line("sweep 20 10000 0.5 0 0 LR 90 LOG 0 ", [](MemoryRecord& m) {
        m.ActivePage = SignalPage::Sweep; m.fInit = "20"; m.fFinal = "10000"; m.Duration = "0.5";
        m.mono = false; m.PhaseEdit = "90"; m.Logarithmic = true; }),
    Line("sweep 300 3000 0.3 -3 2 R 45 log 0 ", [](MemoryRecord& m) {
        m.ActivePage = SignalPage::Sweep; m.fInit = "300"; m.fFinal = "3000"; m.Duration = "0.3";
        m.Amplitude = "-3"; m.WaveForm = 2; m.mono = false; m.Lefttick = false; }),
    Line("tone 440 0.5 -10 1 L 0 1 0.2 50 0 0 0.4 100 3 90 ", [](MemoryRecord& m) {
        m.fEdit = "440"; m.Duration = "0.5"; m.Amplitude = "-10"; m.WaveForm = 1; m.mono = false;
        m.RightTick = false; m.ModulationOn = true; m.ModPeriodLeft = "0.2"; m.ModDepthLeft = "50";
        m.ModFunctionLeft = 0; m.ModPeriodRight = "0.4"; m.ModFunctionRight = 3; m.ModPhaseRight = "90"; }),
    // The writer's mono line with modulation: the right group is absent.
    Line("tone 1000 0.5 0 0 M 0 1 0.1 100 2 0 ", [](MemoryRecord& m) {
        m.Duration = "0.5"; m.ModulationOn = true; m.ModPeriodLeft = "0.1"; m.ModFunctionLeft = 2; })));

TEST(ScriptLine, ControlsCarryOverFromLineToLine)
{
    // The second line sets no phase: turning mono on writes "0" into it.
    const std::string text = "tone 1000 0.1 0 0 LR 30 0 \r\ntone 500 0.1 0 0 M 0 0 \r\n";
    std::vector<Segment> passes;
    const WalkResult r = WalkScript(text, 22050, '.', [&](const Segment& s) {
        passes.push_back(s);
        return true;
    });
    ASSERT_TRUE(r.ok()) << r.Error;
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_FALSE(passes[0].Mono);
    EXPECT_TRUE(passes[1].Mono);
    EXPECT_FLOAT_EQ(passes[0].State.ChannelPhase, static_cast<float>(30 * std::numbers::pi / 180));
    EXPECT_EQ(passes[1].State.ChannelPhase, 0.0f) << "mono on sets the phase text to 0";
}

// ---- scripts ---------------------------------------------------------------

TEST(Script, ToneDelaySweepGiveTheirFramesWithSilenceForTheDelay)
{
    const std::string text =
        "rem ORV Script File for Version 3.2\r\n"
        "tone 1000 1 0 0 M 0 0 \r\n"
        "delay 2\r\n"
        "pause \r\n"
        "sweep 100 1000 1 0 0 M 0 LIN 0 \r\n"
        "end\r\n"
        "tone 1000 5 0 0 M 0 0 \r\n";
    const Rendered r = RenderToBytes(ScriptWalker(text, 22050), 22050);
    ASSERT_TRUE(r.Plan.ok()) << r.Plan.Error;
    ASSERT_EQ(r.Status, RenderStatus::Complete);
    EXPECT_EQ(r.Plan.Channels, 1);
    EXPECT_EQ(r.Plan.Frames, 22050 + 44100 + 22050);
    const std::vector<int16_t> s = Samples(r.Bytes);
    ASSERT_EQ(s.size(), 88200u);
    const auto peak = [&s](size_t from, size_t to) {
        int m = 0;
        for (size_t i = from; i < to; ++i)
            m = std::max(m, std::abs(static_cast<int>(s[i])));
        return m;
    };
    EXPECT_GT(peak(0, 22050), 32000);
    EXPECT_EQ(peak(22050, 66150), 0);
    EXPECT_GT(peak(66150, 88200), 32000);
}

TEST(Script, MonoPassesOfAStereoFileSoundOnBothChannels)
{
    const std::string mono = "tone 1000 0.2 0 0 M 0 0 ";
    const std::string both = mono + "\ntone 700 0.1 0 0 R 0 0 \n";
    const Rendered alone = RenderToBytes(ScriptWalker(mono, 22050), 22050);
    const Rendered mixed = RenderToBytes(ScriptWalker(both, 22050), 22050);
    ASSERT_TRUE(mixed.Plan.ok()) << mixed.Plan.Error;
    EXPECT_EQ(mixed.Plan.Channels, 2);
    EXPECT_EQ(mixed.Plan.Frames, 4410 + 2205);
    const std::vector<int16_t> m = Samples(alone.Bytes);
    const std::vector<int16_t> st = Samples(mixed.Bytes);
    for (size_t i = 0; i < m.size(); ++i) {
        ASSERT_EQ(st[2 * i], m[i]) << i;
        ASSERT_EQ(st[2 * i + 1], m[i]) << i;
    }
    for (size_t i = m.size(); i < st.size() / 2; ++i)
        ASSERT_EQ(st[2 * i], 0) << "left of a right-only pass, frame " << i;
}

TEST(Script, RepeatEndsAfterOnePassWithANote)
{
    const RenderPlan plan = PlanRender(ScriptWalker("tone 1000 0.1 0 0 M 0 0 \r\nrepeat \r\n", 22050), 22050);
    ASSERT_TRUE(plan.ok()) << plan.Error;
    EXPECT_EQ(plan.Frames, 2205);
    ASSERT_EQ(plan.Notes.size(), 1u);
    EXPECT_EQ(plan.Notes[0], "line 2: repeat: the script is rendered once");
}

TEST(Script, BadLinesNameTheirLine)
{
    struct Bad {
        std::string text;
        std::string message;
    };
    const Bad cases[] = {
        {"bogus 1", "Invalid command in line 1"},
        {"rem\r\n\r\nend\r\n", "Invalid command in line 2"},
        {" tone 1000 1 0 0 M 0 0", "Invalid command in line 1"},
        {"tone 1000 1 0 x M 0 0", "line 1: 'x' is not a valid integer value"},
        {"tone 1000 1 0 0 LR 0 1 1 100 y 0 1 100 0 0", "line 1: 'y' is not a valid integer value"},
        {"rem\ntone 12000 1 0 0 M 0 0", "line 2: the constant frequency 12000 Hz is outside"},
        {"sweep 20 11025 1 0 0 M 0 LIN 0", "line 1: the sweep final frequency 11025 Hz is outside"},
        {"tone 1000 abc 0 0 M 0 0", "line 1: 'abc' is not a valid floating point value"},
        {"delay 0,5", "line 1: '0,5' is not a valid floating point value"},
        {"delay 1e9", "line 1: The signal is too long"},
    };
    for (const Bad& c : cases) {
        const RenderPlan plan = PlanRender(ScriptWalker(c.text, 22050), 22050);
        EXPECT_EQ(plan.Error.substr(0, c.message.size()), c.message) << c.text;
    }
}

TEST(Script, DecimalCommaUnderACommaLocale)
{
    const RenderPlan plan = PlanRender(ScriptWalker("tone 1000,5 0,5 0 0 M 0 0\ndelay 0,25", 22050, ','), 22050);
    ASSERT_TRUE(plan.ok()) << plan.Error;
    EXPECT_EQ(plan.Frames, 11025 + 6615);
}

TEST(Script, DelayWaitsWholeStepsOfATenth)
{
    struct Delay {
        double seconds;
        int32_t rate;
        int64_t frames;
    };
    const Delay cases[] = {
        {0, 22050, 2205},     {-3, 22050, 2205},  {0.25, 22050, 6615}, {2, 22050, 44100},
        {0.05, 48000, 4800},  {0.1, 11025, 1102}, {0.3, 11025, 3308},  {1.01, 96000, 105600},
    };
    for (const Delay& c : cases)
        EXPECT_EQ(DelayFrames(c.seconds, c.rate), c.frames) << c.seconds << " s at " << c.rate;
    EXPECT_FALSE(DelayFrames(1e300, 22050));
}

}  // namespace
}  // namespace orv
