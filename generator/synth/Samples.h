#pragma once
// The sample functions shared by live output and WAVE export.
#include <cstdint>
#include <random>

#include "generator/synth/SynthState.h"

namespace orv {

int32_t SignOf(float x);
float TriangleOf(float x);

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

// Advances one sample and returns waveform w with the left modulation.
int32_t MonoSample(SynthState& s, const SynthSwitches& sw, int w, NoiseSource& noise);
// k 0..3: advances and returns the left sample of waveform k;
// k 4..7: returns the right sample of waveform k-4 without advancing.
int32_t StereoSample(SynthState& s, const SynthSwitches& sw, int k, NoiseSource& noise);

}  // namespace orv
