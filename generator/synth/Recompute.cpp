#include "generator/synth/Recompute.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "common/NumberText.h"
#include "generator/synth/SweepSteps.h"

namespace orv {

namespace {

constexpr double kPi = std::numbers::pi;

// A value that is not finite or lies beyond the float range cannot be stored
// in a float field.
std::optional<float> ToFloat(double x)
{
    if (!std::isfinite(x) || std::fabs(x) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(x);
}

struct Derived {
    int32_t SweepLength;
    float StartFreqNorm;
    float FinalFreqNorm;
    float StepAdd;
    float StepFactor;
};

std::optional<Derived> Derive(const SynthState& s, const RecomputeInput& in, double f,
                              double f0, double f1)
{
    const auto duration = TextToFloat(in.Duration, in.DecimalSeparator);
    if (!duration)
        return std::nullopt;
    const auto length = RoundToInt(*duration * s.SampleRate);
    if (!length || *length < 1)
        return std::nullopt;
    const double rate = s.SampleRate;
    if (!in.SweepPage) {
        const auto norm = static_cast<float>(f / rate);
        return Derived{*length, norm, norm, 0.0f, 1.0f};
    }
    const auto start = static_cast<float>(f0 / rate);
    const auto final = static_cast<float>(f1 / rate);
    if (in.Logarithmic) {
        const auto factor = LogStepFactor(start, final, *length);
        if (!factor)
            return std::nullopt;
        return Derived{*length, start, final, 0.0f, *factor};
    }
    const auto add = LinearStepAdd(start, final, *length);
    if (!add)
        return std::nullopt;
    return Derived{*length, start, final, *add, 1.0f};
}

void ResetPass(SynthState& s)
{
    s.FillBusy = false;
    s.SampleIndex = 0;
    s.Phase = 0.0;
}

}  // namespace

RecomputeResult fEditChange(SynthState& s, const RecomputeInput& in)
{
    RecomputeResult result;
    const auto f = TextToFloat(in.fEdit, in.DecimalSeparator);
    const auto f0 = TextToFloat(in.fInit, in.DecimalSeparator);
    const auto f1 = TextToFloat(in.fFinal, in.DecimalSeparator);
    if (!f || !f0 || !f1) {
        result.StopOutput = true;
        return result;
    }
    const double half = s.SampleRate * 0.5;
    const auto valid = [half](double x) { return x > 0.0 && x < half; };
    if (!valid(*f) || !valid(*f0) || !valid(*f1)) {
        result.StopOutput = true;
        ResetPass(s);
        return result;
    }
    result.SliderPosition = RoundToInt(1000.0 * std::log10(*f * 0.5));

    const auto derived = Derive(s, in, *f, *f0, *f1);
    if (!derived) {
        result.StopOutput = true;
        return result;
    }
    s.SweepLength = derived->SweepLength;
    s.StartFreqNorm = derived->StartFreqNorm;
    s.FinalFreqNorm = derived->FinalFreqNorm;
    s.PhaseStep = PhaseStepOf(s.StartFreqNorm);
    s.StepAdd = derived->StepAdd;
    s.StepFactor = derived->StepFactor;
    ResetPass(s);
    return result;
}

void LogarithmicClick(SynthState& s, bool logarithmic)
{
    s.SampleIndex = 0;
    s.PhaseStep = PhaseStepOf(s.StartFreqNorm);
    s.StepFactor = 1.0f;
    s.StepAdd = 0.0f;
    if (logarithmic) {
        if (const auto factor = LogStepFactor(s.StartFreqNorm, s.FinalFreqNorm, s.SweepLength))
            s.StepFactor = *factor;
    } else if (const auto add = LinearStepAdd(s.StartFreqNorm, s.FinalFreqNorm, s.SweepLength)) {
        s.StepAdd = *add;
    }
}

void AmplitudeChange(SynthState& s, std::string_view text)
{
    const auto dbfs = TextToInt(text);
    if (!dbfs)
        return;
    if (const auto scale = ToFloat(std::pow(10.0, *dbfs * 0.05)))
        s.AmplitudeScale = *scale;
}

std::string AmplitudeExitText(std::string_view text, char sep)
{
    return ClampNumberText(text, -100.0f, 0.0f, 0.0f, 0.0f, sep);
}

namespace {

std::optional<float> DegreesToRadians(std::string_view text, char sep)
{
    const auto degrees = TextToFloat(text, sep);
    if (!degrees)
        return std::nullopt;
    return ToFloat(*degrees * kPi * (1.0 / 180.0));
}

}  // namespace

void PhaseEditChange(SynthState& s, std::string_view text, char sep)
{
    if (const auto radians = DegreesToRadians(text, sep))
        s.ChannelPhase = *radians;
}

std::string PhaseEditExit(SynthState& s, std::string_view text, char sep)
{
    const auto radians = DegreesToRadians(text, sep);
    const auto hundredths =
        radians ? RoundToInt(*radians * 18000.0 * (1.0 / kPi)) : std::nullopt;
    if (!hundredths) {
        s.ChannelPhase = 0.0f;
        return "0";
    }
    s.ChannelPhase = *radians;
    return FloatToText(*hundredths * 0.01, sep);
}

void ModDepthChange(float& depth, std::string_view text, char sep)
{
    if (text.empty())
        return;
    const auto percent = TextToFloat(text, sep);
    if (!percent)
        return;
    if (const auto fraction = ToFloat(*percent * 0.01))
        depth = *fraction;
}

bool ModPeriodChange(float& period, std::string_view text, char sep)
{
    if (!text.empty()) {
        const auto seconds = TextToFloat(text, sep);
        const auto stored = seconds ? ToFloat(*seconds) : std::nullopt;
        if (!stored)
            return false;
        period = *stored;
    }
    return period == 0.0f;
}

std::string ModPeriodExit(float& period, std::string_view text, char sep)
{
    const auto seconds = TextToFloat(text, sep);
    const auto stored = seconds ? ToFloat(*seconds) : std::nullopt;
    const auto hundredths =
        stored ? RoundToInt(static_cast<double>(*stored) * 100.0) : std::nullopt;
    if (!hundredths) {
        period = 1.0f;
        return "1";
    }
    period = *stored;
    return FloatToText(*hundredths * 0.01, sep);
}

void ModPhaseChange(float& phase, std::string_view text, char sep)
{
    if (const auto radians = DegreesToRadians(text, sep))
        phase = *radians;
}

bool SetChannels(SynthState& s, bool left, bool right)
{
    s.LeftOn = left ? 1 : 0;
    s.RightOn = right ? 1 : 0;
    return s.LeftOn == 0 && s.RightOn == 0;
}

}  // namespace orv
