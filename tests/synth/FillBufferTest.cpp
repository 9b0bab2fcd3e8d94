// The sample functions and the frame loop of live output.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <set>

#include "SynthFixture.h"
#include "generator/synth/SweepSteps.h"

namespace orv {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(Waveforms, SignAndTriangle)
{
    EXPECT_EQ(SignOf(0.0f), 1);
    EXPECT_EQ(SignOf(-0.0f), 1);
    EXPECT_EQ(SignOf(1e-30f), 1);
    EXPECT_EQ(SignOf(-1e-30f), -1);
    EXPECT_EQ(TriangleOf(static_cast<float>(kPi / 2)), 1.0f);
    EXPECT_EQ(TriangleOf(static_cast<float>(-kPi / 2)), -1.0f);
    EXPECT_NEAR(TriangleOf(static_cast<float>(kPi / 4)), 0.5f, 1e-6);
    EXPECT_NEAR(TriangleOf(static_cast<float>(3 * kPi / 4)), 0.5f, 1e-6);
    EXPECT_NEAR(TriangleOf(static_cast<float>(kPi)), 0.0f, 1e-6);
}

TEST(Waveforms, RoundingIsTiesToEvenAsNearbyint)
{
    const double ties[] = {0.5, 1.5, 2.5, -0.5, -1.5, -2.5, 32766.5, -32766.5, 16421.5, -0.0, 0.0};
    for (double x : ties)
        EXPECT_EQ(RoundHalfEven(x), std::nearbyint(x)) << x;
    // Values next to the ties round away from them as they should.
    for (double x : {0.5, 2.5, -2.5, 32766.5}) {
        EXPECT_EQ(RoundHalfEven(std::nextafter(x, 1e9)), std::nearbyint(std::nextafter(x, 1e9))) << x;
        EXPECT_EQ(RoundHalfEven(std::nextafter(x, -1e9)), std::nearbyint(std::nextafter(x, -1e9))) << x;
    }
    for (double x = -32767.0; x <= 32767.0; x += 0.37109375)
        ASSERT_EQ(RoundHalfEven(x), std::nearbyint(x)) << x;
    EXPECT_EQ(SampleOf(32767.0, std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(SampleOf(65534.0, 1.0), 32767);
    EXPECT_EQ(SampleOf(65534.0, -1.0), -32767);
}

using Synthesis = Generator;

TEST_F(Synthesis, FirstSineSamplesAreTakenAfterTheFirstStep)
{
    Start();
    const Filled out = Fill(4);
    EXPECT_EQ(out.result, FillResult::More);
    EXPECT_EQ(out.samples, (std::vector<int16_t>{9211, 17679, 24722, 29771}));
    EXPECT_EQ(s.SampleIndex, 4);
}

TEST_F(Synthesis, FirstTriangleSample)
{
    sw.WaveForm = 2;
    Start();
    EXPECT_EQ(Fill(1).samples.front(), 5944);
}

struct LevelCase {
    int waveform;
    const char* amplitude;
    std::set<int16_t> values;
};

class Levels : public Generator, public ::testing::WithParamInterface<LevelCase> {};

// Square and noise only ever take their two levels, at the amplitude's scale.
TEST_P(Levels, OnlyTheTwoLevelsOfTheWaveform)
{
    sw.WaveForm = GetParam().waveform;
    AmplitudeChange(s, GetParam().amplitude);
    Start();
    const Filled out = Fill(5000);
    const std::set<int16_t> seen(out.samples.begin(), out.samples.end());
    EXPECT_EQ(seen, GetParam().values);
}

INSTANTIATE_TEST_SUITE_P(Cases, Levels,
                         ::testing::Values(LevelCase{1, "0", {32767, -32767}},
                                           LevelCase{1, "-6", {16422, -16422}},
                                           LevelCase{1, "6", {32767, -32767}},
                                           LevelCase{3, "0", {0, -32767}}));

TEST_F(Synthesis, NoiseChannelsDrawIndependently)
{
    sw.WaveForm = 3;
    sw.Mono = false;
    Start();
    const Filled out = Fill(20000);
    int differ = 0;
    std::set<int16_t> left, right;
    for (size_t i = 0; i < out.samples.size(); i += 2) {
        left.insert(out.samples[i]);
        right.insert(out.samples[i + 1]);
        differ += out.samples[i] != out.samples[i + 1];
    }
    EXPECT_EQ(left, (std::set<int16_t>{0, -32767}));
    EXPECT_EQ(right, (std::set<int16_t>{0, -32767}));
    EXPECT_GT(differ, 9000);
    EXPECT_LT(differ, 11000);
}

TEST_F(Synthesis, RightChannelLeadsByAQuarterPeriodAt90Degrees)
{
    f = "1102.5";   // 20 samples per period
    sw.Mono = false;
    PhaseEditChange(s, "90", '.');
    Start();
    const Filled out = Fill(60);
    for (size_t i = 0; i + 5 < 60; ++i)
        EXPECT_NEAR(out.samples[2 * i + 1], out.samples[2 * (i + 5)], 1) << i;
    EXPECT_EQ(out.samples[1], static_cast<int16_t>(std::nearbyint(
                                  32767.0 * std::sin(s.PhaseStep + static_cast<float>(kPi / 2)))));
}

TEST_F(Synthesis, ClearedLeftBoxSilencesLeftOnlyAndThePhaseRunsOn)
{
    sw.Mono = false;
    Start();
    const Filled both = Fill(300);
    const double phase = s.Phase;
    Start();
    EXPECT_FALSE(SetChannels(s, false, true));
    const Filled rightOnly = Fill(300);
    EXPECT_EQ(s.Phase, phase);
    for (size_t i = 0; i < both.samples.size(); i += 2) {
        EXPECT_EQ(rightOnly.samples[i], 0);
        EXPECT_EQ(rightOnly.samples[i + 1], both.samples[i + 1]);
    }
}

// MonoSample takes the gain before the advance and StereoSample after it;
// both read only SampleIndex, so the samples agree.
TEST_F(Synthesis, MonoAndStereoLeftAgreeUnderModulation)
{
    sw.ModulationOn = true;
    sw.ModFunctionLeft = 0;
    ModDepthChange(s.LeftModDepth, "50", '.');
    ModPeriodChange(s.LeftModPeriod, "0.01", '.');
    Start();
    const Filled mono = Fill(1000);
    sw.Mono = false;
    Start();
    const Filled stereo = Fill(1000);
    for (size_t i = 0; i < mono.samples.size(); ++i)
        ASSERT_EQ(mono.samples[i], stereo.samples[2 * i]) << i;
}

TEST_F(Synthesis, CosineModulationRestartsSilentAtEveryPass)
{
    sw.WaveForm = 1;
    sw.ModulationOn = true;
    sw.ModFunctionLeft = 1;
    duration = "0.5";                           // 11025 samples a pass
    ModPeriodChange(s.LeftModPeriod, "0.2", '.');   // 4410 samples a period
    Start();
    const Filled out = Fill(3 * 11025);
    for (int pass = 0; pass < 3; ++pass) {
        EXPECT_EQ(out.samples[pass * 11025], 0) << pass;
        EXPECT_EQ(std::abs(out.samples[pass * 11025 + 2205]), 32767) << pass;
        EXPECT_LT(std::abs(out.samples[pass * 11025 + 1000]), 32767) << pass;
    }
}

struct UnmodulatedCase {
    const char* name;
    int function;
    const char* period;
};

class Unmodulated : public Generator, public ::testing::WithParamInterface<UnmodulatedCase> {};

// Modulation that has no defined gain leaves the carrier as it is.
TEST_P(Unmodulated, GainStaysOne)
{
    sw.Mono = false;
    Start();
    const Filled plain = Fill(2000);
    sw.ModulationOn = true;
    sw.ModFunctionLeft = sw.ModFunctionRight = GetParam().function;
    ModPeriodChange(s.LeftModPeriod, GetParam().period, '.');
    ModPeriodChange(s.RightModPeriod, GetParam().period, '.');
    Start();
    EXPECT_EQ(Fill(2000).samples, plain.samples);
}

INSTANTIATE_TEST_SUITE_P(Cases, Unmodulated,
                         ::testing::Values(UnmodulatedCase{"ZeroPeriod", 1, "0"},
                                           UnmodulatedCase{"UnknownFunction", 7, "1"},
                                           UnmodulatedCase{"NoFunction", -1, "1"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Synthesis, NoWaveformIsSilenceWithTheClockRunning)
{
    for (const int w : {-1, 4, 99}) {
        sw.WaveForm = 0;
        Start();
        Fill(500);
        const double phase = s.Phase;
        sw.WaveForm = w;
        Start();
        for (const bool mono : {true, false}) {
            sw.Mono = mono;
            const Filled out = Fill(250);
            EXPECT_TRUE(std::all_of(out.samples.begin(), out.samples.end(),
                                    [](int16_t v) { return v == 0; }))
                << w;
        }
        EXPECT_EQ(s.Phase, phase) << w;
    }
}

TEST_F(Synthesis, ValuesBeyondSixteenBitsSaturate)
{
    sw.WaveForm = 1;
    sw.ModulationOn = true;
    sw.ModFunctionLeft = 0;
    ModDepthChange(s.LeftModDepth, "300", '.');
    ModPhaseChange(s.LeftModPhase, "90", '.');   // gain 1 - 3 = -2 at the first sample
    Start();
    EXPECT_EQ(MonoSample(s, sw, 1, noise), -32767);

    s.AmplitudeScale = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(MonoSample(s, sw, 0, noise), 0);
}

TEST_F(Synthesis, WaveformChangeBetweenFillsKeepsThePhase)
{
    Start();
    Fill(301);
    const double phase = s.Phase;
    Start();
    Fill(300);
    sw.WaveForm = 1;
    Fill(1);
    EXPECT_EQ(s.Phase, phase);
}

using FrameLoop = Generator;

class SinglePass : public Generator, public ::testing::WithParamInterface<int32_t> {};

// The fill that writes index 11024 reports the end of the pass; every frame
// after it is silent, and every later fill reports silence.
TEST_P(SinglePass, EndsInTheFillHoldingTheLastIndex)
{
    const int32_t framesPerFill = GetParam();
    sw.Loop = false;
    duration = "0.5";
    Start();
    ASSERT_EQ(s.SweepLength, 11025);
    int32_t written = 0;
    bool ended = false;
    while (written < 11025 + 3 * framesPerFill) {
        const Filled out = Fill(framesPerFill);
        const bool holdsLast = written <= 11024 && 11024 < written + framesPerFill;
        if (!ended)
            EXPECT_EQ(out.result == FillResult::PassEnded, holdsLast) << written;
        else
            EXPECT_EQ(out.result, FillResult::Silent) << written;
        ended = ended || out.result == FillResult::PassEnded;
        for (int32_t i = std::max(0, 11025 - written); i < framesPerFill; ++i)
            ASSERT_EQ(out.samples[static_cast<size_t>(i)], 0) << written + i;
        written += framesPerFill;
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(s.SampleIndex, written);
}

INSTANTIATE_TEST_SUITE_P(BufferSizes, SinglePass, ::testing::Values(1, 2048, 11025, 16384));

TEST_F(FrameLoop, DrainingCountStopsAtTheTopOfTheRange)
{
    sw.Loop = false;
    Start();
    s.SampleIndex = std::numeric_limits<int32_t>::max() - 2;
    const Filled out = Fill(8);
    EXPECT_EQ(out.result, FillResult::Silent);
    EXPECT_EQ(s.SampleIndex, std::numeric_limits<int32_t>::max());
    EXPECT_TRUE(std::all_of(out.samples.begin(), out.samples.end(),
                            [](int16_t v) { return v == 0; }));
}

TEST_F(FrameLoop, LoopRestartsTheSweepWithoutAPhaseJump)
{
    sw.SweepPage = true;
    duration = "0.1";   // 2205 samples a pass
    Start();
    const double startStep = s.PhaseStep;
    Fill(2204);
    const double before = s.Phase;
    const double lastStep = s.PhaseStep;
    Fill(1);
    EXPECT_EQ(s.SampleIndex, 0);
    EXPECT_EQ(s.PhaseStep, startStep);
    double expected = before + lastStep;
    if (expected > 2 * kPi)
        expected -= 2 * kPi;
    EXPECT_EQ(s.Phase, expected);
}

class Bidirectional : public Generator, public ::testing::WithParamInterface<bool> {};

// Up in one pass, down in the next, and back at exactly the first pass's
// steps after every round trip, however many there are.
TEST_P(Bidirectional, RisesThenFallsAndComesBack)
{
    sw.SweepPage = true;
    sw.Bidirectional = true;
    logarithmic = GetParam();
    duration = "0.1";
    Start();
    const float factor = s.StepFactor;
    const float add = s.StepAdd;
    const double step = s.PhaseStep;
    double peak = 0.0;
    for (int pass = 0; pass < 40; ++pass) {
        for (int i = 0; i < 2205; ++i) {
            const double previous = s.PhaseStep;
            Fill(1);
            if (pass % 2 == 0)
                ASSERT_GT(s.PhaseStep, previous) << pass << " " << i;
            else
                ASSERT_LT(s.PhaseStep, previous) << pass << " " << i;
        }
        if (pass == 0)
            peak = s.PhaseStep;
        if (pass % 2 == 0) {
            EXPECT_EQ(s.PhaseStep, peak) << pass;
        } else {
            EXPECT_EQ(s.StepFactor, factor) << pass;
            EXPECT_EQ(s.StepAdd, add) << pass;
            EXPECT_EQ(s.PhaseStep, step) << pass;
        }
    }
    EXPECT_NEAR(peak, PhaseStepOf(s.FinalFreqNorm), PhaseStepOf(s.FinalFreqNorm) * 2e-3);
}

INSTANTIATE_TEST_SUITE_P(LinearAndLogarithmic, Bidirectional, ::testing::Bool());

TEST_F(FrameLoop, BusyFillStopsWithoutWriting)
{
    Start();
    s.FillBusy = true;
    std::vector<uint8_t> bytes(64, 0xAB);
    EXPECT_EQ(AudioOut1FillBuffer(s, sw, bytes.data(), 64, noise), FillResult::Busy);
    EXPECT_FALSE(s.FillBusy);
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0xAB; }));
    EXPECT_EQ(s.SampleIndex, 0);
    EXPECT_EQ(AudioOut1FillBuffer(s, sw, bytes.data(), 64, noise), FillResult::More);
    EXPECT_FALSE(s.FillBusy);
}

struct SizeCase {
    bool mono;
    int32_t size;
    int32_t frames;
};

class PartialFrames : public Generator, public ::testing::WithParamInterface<SizeCase> {};

// Only whole frames are synthesised, the rest of the buffer is zeroed, and
// nothing beyond size is touched.
TEST_P(PartialFrames, FillWholeFramesAndZeroTheRest)
{
    const SizeCase& c = GetParam();
    sw.Mono = c.mono;
    sw.WaveForm = 1;
    Start();
    std::vector<uint8_t> bytes(32, 0xAB);
    EXPECT_EQ(AudioOut1FillBuffer(s, sw, bytes.data(), c.size, noise), FillResult::More);
    const int32_t frameBytes = c.mono ? 2 : 4;
    const int32_t used = std::max(c.size, 0);
    for (int32_t i = 0; i < c.frames * frameBytes; i += 2)
        EXPECT_EQ(bytes[i] | (bytes[i + 1] << 8), 32767) << i;
    for (int32_t i = c.frames * frameBytes; i < used; ++i)
        EXPECT_EQ(bytes[i], 0) << i;
    for (int32_t i = used; i < 32; ++i)
        EXPECT_EQ(bytes[i], 0xAB) << i;
    EXPECT_EQ(s.SampleIndex, c.frames);
}

INSTANTIATE_TEST_SUITE_P(Cases, PartialFrames,
                         ::testing::Values(SizeCase{true, 7, 3}, SizeCase{false, 6, 1},
                                           SizeCase{false, 3, 0}, SizeCase{true, 0, 0},
                                           SizeCase{false, -4, 0}, SizeCase{false, 16, 4}));

}  // namespace
}  // namespace orv
