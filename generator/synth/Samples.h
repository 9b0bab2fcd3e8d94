#pragma once
// The sample functions shared by live output and WAVE export.
#include <cstdint>
#include <random>

#include "generator/synth/SampleMath.h"
#include "generator/synth/SynthState.h"

namespace orv {

// Uniform source of the bits 0 and 1 for white noise.
class NoiseSource {
public:
    NoiseSource();                         // seeded from the clock
    explicit NoiseSource(uint64_t seed);
    int Bit();
private:
    std::mt19937_64 engine_;
    uint64_t bits_ = 0;
    int left_ = 0;
};

// The sample values are saturated to -32767..32767 (a NaN gives 0). A
// waveform w outside 0..3 gives silence; the phase still advances.

// Modulation gain first (left settings), then advances one sample and
// returns waveform w at Phase.
int32_t MonoSample(SynthState& s, const SynthSwitches& sw, int w, NoiseSource& noise);
// k below 4: StereoLeftSample(k); otherwise StereoRightSample(k - 4).
int32_t StereoSample(SynthState& s, const SynthSwitches& sw, int k, NoiseSource& noise);
// Advances one sample, then the left modulation gain, then waveform w at Phase.
int32_t StereoLeftSample(SynthState& s, const SynthSwitches& sw, int w, NoiseSource& noise);
// Right modulation gain, then waveform w at Phase + ChannelPhase; no advance.
int32_t StereoRightSample(SynthState& s, const SynthSwitches& sw, int w, NoiseSource& noise);

}  // namespace orv
