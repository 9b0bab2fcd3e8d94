#pragma once
// The numbers the sample synthesis works on, derived from the window's
// controls by the recomputation handlers. One instance per process.
#include <array>
#include <cstdint>
#include <limits>

namespace orv {

// The rates of the compatibility settings, in list order; the stored "Fs"
// value is a position in this list.
inline constexpr std::array<int32_t, 5> kSampleRates = {11025, 22050, 44100, 48000, 96000};
inline constexpr int kDefaultRatePosition = 1;  // 22050 Hz

// Narrowing a double into a float field relies on IEEE conversions
// (out-of-range values become infinities, never undefined behaviour).
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559);

struct SynthState {
    int32_t SampleRate = 0;      // Hz
    int32_t SweepLength = 0;     // samples in one pass
    int32_t SampleIndex = 0;     // next sample within the pass
    double Phase = 0.0;          // carrier phase, radians
    double PhaseStep = 0.0;      // carrier phase increment per sample, radians
    float StartFreqNorm = 0.0f;  // start frequency / SampleRate
    float FinalFreqNorm = 0.0f;  // final frequency / SampleRate
    float StepAdd = 0.0f;        // linear sweep: added to PhaseStep per sample
    float StepFactor = 1.0f;     // logarithmic sweep: PhaseStep factor per sample
    float AmplitudeScale = 1.0f; // 10^(dBFS/20)
    float ModGain = 1.0f;        // modulation gain of the sample being computed
    float LeftModDepth = 1.0f;   // fraction
    float RightModDepth = 1.0f;
    float LeftModPeriod = 1.0f;  // seconds
    float RightModPeriod = 1.0f;
    float LeftModPhase = 0.0f;   // radians
    float RightModPhase = 0.0f;
    float ChannelPhase = 0.0f;   // right channel ahead of the left, radians
    int32_t LeftOn = 1;          // channel gains, 0 or 1
    int32_t RightOn = 1;
    bool FillBusy = false;
};

// The control states the synthesis reads at each fill, captured by the
// window once per fill so the loop never touches a widget.
struct SynthSwitches {
    bool SweepPage = false;      // active page is "Sweep"
    int WaveForm = 0;            // 0 Sine, 1 Square, 2 Triangular, 3 White noise; anything else is silence
    bool Mono = true;            // the layout the output was started with
    bool Loop = true;
    bool Bidirectional = false;
    bool ModulationOn = false;
    int ModFunctionLeft = 1;     // 0 Sine, 1 Cosine, 2 Square, 3 Triangular; anything else leaves the gain at 1
    int ModFunctionRight = 1;
};

}  // namespace orv
