#include "generator/synth/Samples.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

namespace orv {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * kPi;

// A modulation argument that cannot be formed (no sample rate, a zero or
// non-finite period) leaves the carrier unmodulated, as does an unknown
// function.
float ModulationGain(const SynthState& s, float period, float phase, float depth,
                     int function)
{
    if (s.SampleRate <= 0 || period == 0.0f || !std::isfinite(period))
        return 1.0f;
    const double a =
        (static_cast<double>(s.SampleIndex) / s.SampleRate) * kTwoPi / period + phase;
    if (!std::isfinite(a))
        return 1.0f;
    double m = 0.0;
    switch (function) {
    case 0: m = std::sin(a); break;
    case 1: m = std::cos(a); break;
    case 2: m = SignOf(static_cast<float>(std::sin(a))); break;
    case 3: m = TriangleOf(static_cast<float>(a)); break;
    default: return 1.0f;
    }
    float gain = static_cast<float>(m);
    gain = static_cast<float>(gain + 1.0);
    gain = static_cast<float>(0.5 * depth * gain);
    gain = static_cast<float>(1.0 - gain);
    return gain;
}

void LeftGain(SynthState& s, const SynthSwitches& sw)
{
    if (sw.ModulationOn)
        s.ModGain = ModulationGain(s, s.LeftModPeriod, s.LeftModPhase, s.LeftModDepth,
                                   sw.ModFunctionLeft);
}

void RightGain(SynthState& s, const SynthSwitches& sw)
{
    if (sw.ModulationOn)
        s.ModGain = ModulationGain(s, s.RightModPeriod, s.RightModPhase, s.RightModDepth,
                                   sw.ModFunctionRight);
}

void Advance(SynthState& s, const SynthSwitches& sw)
{
    s.Phase += s.PhaseStep;
    if (sw.SweepPage)
        s.PhaseStep = s.PhaseStep * s.StepFactor + s.StepAdd;
    if (s.Phase > kTwoPi)
        s.Phase -= kTwoPi;
}

double WaveValue(int w, double p, NoiseSource& noise)
{
    switch (w) {
    case 0: return std::sin(p);
    case 1: return SignOf(static_cast<float>(std::sin(p)));
    case 2: return TriangleOf(static_cast<float>(p));
    case 3: return noise.Bit() - 1;
    default: return 0.0;
    }
}

int32_t SampleValue(const SynthState& s, double v)
{
    const double x = 32767.0 * s.AmplitudeScale * s.ModGain * v;
    if (std::isnan(x))
        return 0;
    return static_cast<int32_t>(std::nearbyint(std::clamp(x, -32767.0, 32767.0)));
}

}  // namespace

int32_t SignOf(float x) { return x >= 0.0f ? 1 : -1; }

float TriangleOf(float x)
{
    const auto s = static_cast<float>(std::sin(static_cast<double>(x)));
    if (std::fabs(s) == 1.0f)
        return s;
    const double d = s;
    return static_cast<float>(std::atan(d / std::sqrt(1.0 - d * d)) * 2.0 * (1.0 / kPi));
}

NoiseSource::NoiseSource()
    : NoiseSource(static_cast<uint64_t>(
          std::chrono::system_clock::now().time_since_epoch().count()))
{
}

NoiseSource::NoiseSource(uint64_t seed) : engine_(seed) {}

int NoiseSource::Bit()
{
    if (left_ == 0) {
        bits_ = engine_();
        left_ = 64;
    }
    const int bit = static_cast<int>(bits_ & 1u);
    bits_ >>= 1;
    --left_;
    return bit;
}

int32_t MonoSample(SynthState& s, const SynthSwitches& sw, int w, NoiseSource& noise)
{
    LeftGain(s, sw);
    Advance(s, sw);
    return SampleValue(s, WaveValue(w, s.Phase, noise));
}

int32_t StereoLeftSample(SynthState& s, const SynthSwitches& sw, int w, NoiseSource& noise)
{
    Advance(s, sw);
    LeftGain(s, sw);
    return SampleValue(s, WaveValue(w, s.Phase, noise));
}

int32_t StereoRightSample(SynthState& s, const SynthSwitches& sw, int w, NoiseSource& noise)
{
    RightGain(s, sw);
    return SampleValue(s, WaveValue(w, s.Phase + s.ChannelPhase, noise));
}

int32_t StereoSample(SynthState& s, const SynthSwitches& sw, int k, NoiseSource& noise)
{
    return k < 4 ? StereoLeftSample(s, sw, k, noise) : StereoRightSample(s, sw, k - 4, noise);
}

}  // namespace orv
