// The recomputation of SynthState and the field rules of the signal controls.
#include <cmath>
#include <limits>
#include <numbers>

#include "SynthFixture.h"

namespace orv {
namespace {

constexpr double kPi = std::numbers::pi;

using Recomputation = Generator;

TEST_F(Recomputation, ConstantToneDerivesStepsAndSlider)
{
    const RecomputeResult r = Recompute();
    EXPECT_FALSE(r.StopOutput);
    ASSERT_TRUE(r.SliderPosition.has_value());
    EXPECT_EQ(*r.SliderPosition, 2699);
    const float norm = static_cast<float>(1000.0 / 22050.0);
    EXPECT_EQ(s.StartFreqNorm, norm);
    EXPECT_EQ(s.FinalFreqNorm, norm);
    EXPECT_EQ(s.PhaseStep, static_cast<double>(norm) * 2.0 * kPi);
    EXPECT_EQ(s.StepAdd, 0.0f);
    EXPECT_EQ(s.StepFactor, 1.0f);
    EXPECT_EQ(s.SweepLength, 22050);
}

enum class Field { fEdit, fInit, fFinal };

struct FrequencyCase {
    Field field;
    const char* text;
    bool stops;
    bool resets;   // the pass restarts although the output stops
};

class FrequencyValidity : public Generator,
                          public ::testing::WithParamInterface<FrequencyCase> {};

// All six tests are made whatever the page; a number out of range restarts
// the pass with the old steps, a text that does not parse changes nothing.
TEST_P(FrequencyValidity, AtHalfTheSampleRate)
{
    const FrequencyCase& c = GetParam();
    s.SampleRate = 44100;
    f = "440";
    ASSERT_FALSE(Recompute().StopOutput);
    const double oldStep = s.PhaseStep;
    s.Phase = 1.5;
    s.SampleIndex = 77;

    (c.field == Field::fEdit ? f : c.field == Field::fInit ? f0 : f1) = c.text;
    const RecomputeResult r = Recompute();

    EXPECT_EQ(r.StopOutput, c.stops);
    EXPECT_EQ(s.Phase, c.resets ? 0.0 : 1.5);
    EXPECT_EQ(s.SampleIndex, c.resets ? 0 : 77);
    if (c.stops)
        EXPECT_EQ(s.PhaseStep, oldStep);
    else
        EXPECT_NE(s.PhaseStep, oldStep);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrequencyValidity,
    ::testing::Values(FrequencyCase{Field::fEdit, "22049.9", false, true},
                      FrequencyCase{Field::fEdit, "22050", true, true},
                      FrequencyCase{Field::fEdit, "0", true, true},
                      FrequencyCase{Field::fEdit, "-1000", true, true},
                      FrequencyCase{Field::fEdit, "abc", true, false},
                      FrequencyCase{Field::fEdit, "", true, false},
                      FrequencyCase{Field::fInit, "30000", true, true},
                      FrequencyCase{Field::fFinal, "1k", true, false}));

TEST_F(Recomputation, InvalidFrequencyAtStartUpOnlyResets)
{
    s.SampleRate = 0;
    s.Phase = 2.0;
    const RecomputeResult r = Recompute();
    EXPECT_TRUE(r.StopOutput);
    EXPECT_FALSE(r.SliderPosition.has_value());
    EXPECT_EQ(s.Phase, 0.0);
    EXPECT_EQ(s.SweepLength, 0);
    EXPECT_EQ(s.StepFactor, 1.0f);
}

TEST_F(Recomputation, ValidTextAfterALetterRecomputes)
{
    f = "10a";
    EXPECT_TRUE(Recompute().StopOutput);
    f = "500";
    EXPECT_FALSE(Recompute().StopOutput);
    EXPECT_EQ(s.StartFreqNorm, static_cast<float>(500.0 / 22050.0));
}

struct LengthCase {
    int32_t rate;
    const char* duration;
    int32_t length;
};

class SweepLengthRounding : public Generator,
                            public ::testing::WithParamInterface<LengthCase> {};

TEST_P(SweepLengthRounding, TiesToEven)
{
    s.SampleRate = GetParam().rate;
    f = f0 = f1 = "1";
    duration = GetParam().duration;
    ASSERT_FALSE(Recompute().StopOutput);
    EXPECT_EQ(s.SweepLength, GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Cases, SweepLengthRounding,
                         ::testing::Values(LengthCase{5, "0.5", 2}, LengthCase{7, "0.5", 4},
                                           LengthCase{22050, "3", 66150},
                                           LengthCase{44100, "0.5", 22050}));

TEST_F(Recomputation, LinearSweepStep)
{
    sw.SweepPage = true;
    duration = "3";
    ASSERT_FALSE(Recompute().StopOutput);
    EXPECT_EQ(s.SweepLength, 66150);
    const float start = static_cast<float>(100.0 / 22050.0);
    const float final = static_cast<float>(1000.0 / 22050.0);
    EXPECT_EQ(s.StartFreqNorm, start);
    EXPECT_EQ(s.FinalFreqNorm, final);
    EXPECT_EQ(s.PhaseStep, static_cast<double>(start) * 2.0 * kPi);
    EXPECT_EQ(s.StepFactor, 1.0f);
    EXPECT_EQ(s.StepAdd,
              static_cast<float>((static_cast<double>(final) - start) * 2.0 * kPi / 66149.0));
    EXPECT_FLOAT_EQ(s.StepAdd, static_cast<float>(900.0 / 22050.0 * 2.0 * kPi / 66149.0));
}

TEST_F(Recomputation, LogarithmicSweepStepFromTheStoredNorms)
{
    sw.SweepPage = true;
    logarithmic = true;
    duration = "3";
    ASSERT_FALSE(Recompute().StopOutput);
    const double start = static_cast<float>(100.0 / 22050.0);
    const double final = static_cast<float>(1000.0 / 22050.0);
    EXPECT_EQ(s.StepFactor,
              static_cast<float>(std::exp((std::log(final) - std::log(start)) / 66149.0)));
    EXPECT_FLOAT_EQ(s.StepFactor, static_cast<float>(std::exp(std::log(10.0) / 66149.0)));
    EXPECT_EQ(s.StepAdd, 0.0f);
}

TEST_F(Recomputation, SliderIsReportedOnTheSweepPageAndBeforeADurationFailure)
{
    sw.SweepPage = true;
    f = "20";
    duration = "x";
    const RecomputeResult r = Recompute();
    EXPECT_TRUE(r.StopOutput);
    ASSERT_TRUE(r.SliderPosition.has_value());
    EXPECT_EQ(*r.SliderPosition, 1000);
}

struct FailureCase {
    const char* name;
    const char* duration;
    bool sweep;
    bool logarithmic;
    const char* start;
};

class FailedComputation : public Generator,
                          public ::testing::WithParamInterface<FailureCase> {};

// A computation that cannot give a usable pass stops the output and keeps
// the last valid state whole, so a start plays those values.
TEST_P(FailedComputation, StopsAndKeepsTheStateWhole)
{
    const FailureCase& c = GetParam();
    ASSERT_FALSE(Recompute().StopOutput);
    s.Phase = 0.75;
    s.SampleIndex = 5;
    const auto before = Fields(s);

    duration = c.duration;
    sw.SweepPage = c.sweep;
    logarithmic = c.logarithmic;
    f0 = c.start;
    EXPECT_TRUE(Recompute().StopOutput);
    EXPECT_TRUE(Fields(s) == before);
    EXPECT_TRUE(std::isfinite(s.StepFactor));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedComputation,
    ::testing::Values(FailureCase{"NotANumber", "x", false, false, "100"},
                      FailureCase{"Empty", "", true, false, "100"},
                      FailureCase{"Zero", "0", false, false, "100"},
                      FailureCase{"BelowOneSample", "0.00002", false, false, "100"},
                      FailureCase{"NegativeConstant", "-1", false, false, "100"},
                      FailureCase{"NegativeSweep", "-1", true, true, "100"},
                      FailureCase{"OneSampleLinearSweep", "0.000046", true, false, "100"},
                      FailureCase{"OneSampleLogSweep", "0.000046", true, true, "100"},
                      FailureCase{"BeyondInt32", "1e6", false, false, "100"},
                      FailureCase{"StartNormUnderflowsToZero", "1", true, true, "1e-300"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Recomputation, OneSampleConstantToneIsAccepted)
{
    duration = "0.000046";
    EXPECT_FALSE(Recompute().StopOutput);
    EXPECT_EQ(s.SweepLength, 1);
}

TEST_F(Recomputation, PageSwitchRestartsThePhase)
{
    sw.SweepPage = true;
    Start();
    Fill(500);
    ASSERT_NE(s.Phase, 0.0);
    sw.SweepPage = false;
    ASSERT_FALSE(Recompute().StopOutput);
    EXPECT_EQ(s.Phase, 0.0);
    EXPECT_EQ(s.SampleIndex, 0);
    EXPECT_EQ(Fill(1).samples.front(), 9211);
}

TEST_F(Recomputation, LogarithmicClickRederivesFromTheStoredNorms)
{
    sw.SweepPage = true;
    logarithmic = true;
    ASSERT_FALSE(Recompute().StopOutput);
    const float logFactor = s.StepFactor;
    logarithmic = false;
    ASSERT_FALSE(Recompute().StopOutput);
    const float linearAdd = s.StepAdd;
    const double startStep = s.PhaseStep;

    Fill(300);
    const double phase = s.Phase;
    LogarithmicClick(s, true);
    EXPECT_EQ(s.StepFactor, logFactor);
    EXPECT_EQ(s.StepAdd, 0.0f);
    EXPECT_EQ(s.PhaseStep, startStep);
    EXPECT_EQ(s.SampleIndex, 0);
    EXPECT_EQ(s.Phase, phase);

    LogarithmicClick(s, false);
    EXPECT_EQ(s.StepFactor, 1.0f);
    EXPECT_EQ(s.StepAdd, linearAdd);
}

struct ClickCase {
    const char* name;
    float start;
    float final;
    int32_t length;
};

class LogarithmicClickWithoutASweep : public ::testing::TestWithParam<ClickCase> {};

TEST_P(LogarithmicClickWithoutASweep, KeepsAConstantStep)
{
    for (const bool logarithmic : {true, false}) {
        SynthState s;
        s.StartFreqNorm = GetParam().start;
        s.FinalFreqNorm = GetParam().final;
        s.SweepLength = GetParam().length;
        LogarithmicClick(s, logarithmic);
        EXPECT_EQ(s.StepFactor, 1.0f);
        EXPECT_EQ(s.StepAdd, 0.0f);
        EXPECT_EQ(s.PhaseStep, static_cast<double>(s.StartFreqNorm) * 2.0 * kPi);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogarithmicClickWithoutASweep,
    ::testing::Values(ClickCase{"NothingComputedYet", 0.0f, 0.0f, 0},
                      ClickCase{"OneSamplePass", 0.01f, 0.04f, 1},
                      ClickCase{"ConstantPage", 0.04f, 0.04f, 22050}),
    [](const auto& info) { return std::string(info.param.name); });

// Field rules

struct AmplitudeCase {
    const char* text;
    float scale;   // NaN: unchanged
};

class Amplitude : public ::testing::TestWithParam<AmplitudeCase> {};

TEST_P(Amplitude, ReadsWholeDecibels)
{
    SynthState s;
    s.AmplitudeScale = 0.25f;
    AmplitudeChange(s, GetParam().text);
    const float expected = std::isnan(GetParam().scale) ? 0.25f : GetParam().scale;
    EXPECT_FLOAT_EQ(s.AmplitudeScale, expected);
}

constexpr float kUnchanged = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, Amplitude,
    ::testing::Values(AmplitudeCase{"-6", static_cast<float>(std::pow(10.0, -0.3))},
                      AmplitudeCase{"0", 1.0f}, AmplitudeCase{" -20 ", 0.1f},
                      AmplitudeCase{"-6.5", kUnchanged}, AmplitudeCase{"", kUnchanged},
                      AmplitudeCase{"abc", kUnchanged},
                      AmplitudeCase{"2000000000", kUnchanged}));

TEST(AmplitudeExit, ClampsAndRoundsToWholeDecibels)
{
    const std::pair<const char*, const char*> cases[] = {
        {"-2.5", "-2"}, {"-3.5", "-4"}, {"5", "0"}, {"-150", "-100"}, {"abc", "0"}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(AmplitudeExitText(text, '.'), expected) << text;
}

TEST(PhaseEdit, ChangeConvertsDegreesAndKeepsTheValueOnBadText)
{
    SynthState s;
    PhaseEditChange(s, "90", '.');
    EXPECT_EQ(s.ChannelPhase, static_cast<float>(90.0 * kPi * (1.0 / 180.0)));
    PhaseEditChange(s, "9x", '.');
    PhaseEditChange(s, "1e300", '.');
    EXPECT_EQ(s.ChannelPhase, static_cast<float>(kPi / 2.0));
}

struct PhaseExitCase {
    const char* text;
    char sep;
    const char* shown;
    double degrees;   // of the stored ChannelPhase
};

class PhaseEditExitRule : public ::testing::TestWithParam<PhaseExitCase> {};

TEST_P(PhaseEditExitRule, TwoDecimalsFromTheStoredRadians)
{
    SynthState s;
    s.ChannelPhase = 1.0f;
    EXPECT_EQ(PhaseEditExit(s, GetParam().text, GetParam().sep), GetParam().shown);
    EXPECT_NEAR(s.ChannelPhase, GetParam().degrees * kPi / 180.0, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Cases, PhaseEditExitRule,
                         ::testing::Values(PhaseExitCase{"33.333", '.', "33.33", 33.333},
                                           PhaseExitCase{"33,333", ',', "33,33", 33.333},
                                           PhaseExitCase{"-400", '.', "-400", -400.0},
                                           PhaseExitCase{"x", '.', "0", 0.0},
                                           PhaseExitCase{"3e7", '.', "0", 0.0},
                                           PhaseExitCase{"1e300", '.', "0", 0.0}));

TEST(ModDepth, ClearingOneEditLeavesBothDepths)
{
    SynthState s;
    ModDepthChange(s.LeftModDepth, "40", '.');
    ModDepthChange(s.RightModDepth, "70", '.');
    ModDepthChange(s.LeftModDepth, "", '.');
    ModDepthChange(s.LeftModDepth, "4x", '.');
    EXPECT_FLOAT_EQ(s.LeftModDepth, 0.4f);
    EXPECT_FLOAT_EQ(s.RightModDepth, 0.7f);
    ModDepthChange(s.RightModDepth, "150", '.');
    EXPECT_FLOAT_EQ(s.RightModDepth, 1.5f);
}

struct PeriodChangeCase {
    float before;
    const char* text;
    float after;
    bool zero;
};

class ModPeriodChangeRule : public ::testing::TestWithParam<PeriodChangeCase> {};

TEST_P(ModPeriodChangeRule, ReportsAZeroPeriod)
{
    float period = GetParam().before;
    EXPECT_EQ(ModPeriodChange(period, GetParam().text, '.'), GetParam().zero);
    EXPECT_EQ(period, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Cases, ModPeriodChangeRule,
                         ::testing::Values(PeriodChangeCase{1.0f, "0", 0.0f, true},
                                           PeriodChangeCase{0.0f, "", 0.0f, true},
                                           PeriodChangeCase{0.0f, "x", 0.0f, false},
                                           PeriodChangeCase{1.0f, "2.5", 2.5f, false},
                                           PeriodChangeCase{1.0f, "", 1.0f, false},
                                           PeriodChangeCase{0.0f, "1e300", 0.0f, false}));

TEST(ModPeriodExit, SecondsToTwoDecimals)
{
    struct Case {
        const char* text;
        const char* shown;
        float period;
    };
    const Case cases[] = {{"0.125", "0.12", 0.125f}, {"2.5", "2.5", 2.5f}, {"0", "0", 0.0f},
                          {"x", "1", 1.0f},          {"3e7", "1", 1.0f},   {"1e300", "1", 1.0f}};
    for (const Case& c : cases) {
        float period = 7.0f;
        EXPECT_EQ(ModPeriodExit(period, c.text, '.'), c.shown) << c.text;
        EXPECT_EQ(period, c.period) << c.text;
    }
}

TEST(ModPhase, ConvertsDegreesAndKeepsTheValueOnBadText)
{
    float phase = 0.0f;
    ModPhaseChange(phase, "90", '.');
    EXPECT_EQ(phase, static_cast<float>(kPi / 2.0));
    ModPhaseChange(phase, "", '.');
    EXPECT_EQ(phase, static_cast<float>(kPi / 2.0));
}

TEST(Channels, BothOffAsksForAStop)
{
    struct Case {
        bool left, right, stop;
    };
    for (const Case c : {Case{true, true, false}, Case{false, true, false},
                         Case{true, false, false}, Case{false, false, true}}) {
        SynthState s;
        EXPECT_EQ(SetChannels(s, c.left, c.right), c.stop);
        EXPECT_EQ(s.LeftOn, c.left ? 1 : 0);
        EXPECT_EQ(s.RightOn, c.right ? 1 : 0);
    }
}

}  // namespace
}  // namespace orv
