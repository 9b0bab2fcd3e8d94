#pragma once
// The arithmetic of one sample, free of any state: the per-sample functions
// and the block render of the export both use these, so both give the same
// bits.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace orv {

inline constexpr double kTwoPi = 2.0 * std::numbers::pi;

// One frame's move of the phase; a sweep also moves the step itself.
template <bool Sweep>
inline void StepPhase(double& phase, double& step, double factor, double add)
{
    phase += step;
    if constexpr (Sweep)
        step = step * factor + add;
    if (phase > kTwoPi)
        phase -= kTwoPi;
}

// +1 for x >= 0, else -1
inline int32_t SignOf(float x) { return x >= 0.0f ? 1 : -1; }

// arcsin(sin x) x 2/pi
inline float TriangleOf(float x)
{
    const auto s = static_cast<float>(std::sin(static_cast<double>(x)));
    if (std::fabs(s) == 1.0f)
        return s;
    const double d = s;
    return static_cast<float>(std::atan(d / std::sqrt(1.0 - d * d)) * 2.0 * (1.0 / std::numbers::pi));
}

// Waveforms 0 Sine, 1 Square, 2 Triangular at phase p; noise and silence
// are left to the callers.
template <int W>
inline double ToneValue(double p)
{
    static_assert(W >= 0 && W <= 2);
    if constexpr (W == 0)
        return std::sin(p);
    else if constexpr (W == 1)
        return SignOf(static_cast<float>(std::sin(p)));
    else
        return TriangleOf(static_cast<float>(p));
}

// Ties to even as std::nearbyint in the default rounding mode, without its
// call: exact for |x| below 2^51, far beyond the 16-bit range it serves.
inline double RoundHalfEven(double x)
{
    constexpr double kShift = 0x1.8p52;
    return (x + kShift) - kShift;
}

// scale = 32767 x AmplitudeScale x ModGain, multiplied in that order.
// Saturated to -32767..32767; a NaN gives 0.
inline int32_t SampleOf(double scale, double v)
{
    const double x = scale * v;
    if (std::isnan(x))
        return 0;
    return static_cast<int32_t>(RoundHalfEven(std::clamp(x, -32767.0, 32767.0)));
}

// The low 16 bits of a sample value, little-endian.
inline void PutSample(uint8_t* at, int32_t sample)
{
    const auto bits = static_cast<uint16_t>(static_cast<int16_t>(sample));
    at[0] = static_cast<uint8_t>(bits & 0xFFu);
    at[1] = static_cast<uint8_t>(bits >> 8);
}

// The modulation gain of the sample with the given index. An argument that
// cannot be formed (no sample rate, a zero or non-finite period) leaves the
// carrier unmodulated, as does an unknown function.
inline float ModulationGainAt(int32_t index, int32_t rate, float period, float phase, float depth,
                              int function)
{
    if (rate <= 0 || period == 0.0f || !std::isfinite(period))
        return 1.0f;
    const double a = (static_cast<double>(index) / rate) * kTwoPi / period + phase;
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

}  // namespace orv
