#pragma once
// The export's frames computed a block at a time: one sequential pass over
// the carrier phase, then the samples of any part of the block, each frame
// on its own, so that parts can be computed apart. The bits are those of the
// per-sample functions.
#include <cstdint>

#include "generator/synth/SynthState.h"

namespace orv {

// Everything a block's samples depend on besides the phases, read from the
// state and switches at the block's start.
struct BlockShape {
    int WaveForm = 0;  // 0..2 only: noise and silence stay with the per-sample functions
    bool Mono = true;
    bool Modulated = false;
    bool LeftOn = true;
    bool RightOn = true;
    int32_t FirstIndex = 0;  // SampleIndex of the block's first frame
    int32_t SampleRate = 0;
    double Scale = 0.0;  // 32767 x AmplitudeScale, times ModGain when not modulated
    float ChannelPhase = 0.0f;
    float LeftPeriod = 1.0f, LeftPhase = 0.0f, LeftDepth = 1.0f;
    float RightPeriod = 1.0f, RightPhase = 0.0f, RightDepth = 1.0f;
    int LeftFunction = 1, RightFunction = 1;
};

// The shape of a block that starts now, or false when the waveform is not a
// tone (noise draws its bits in frame order; silence costs nothing).
[[nodiscard]] bool ShapeOf(const SynthState& s, const SynthSwitches& sw, bool mono, BlockShape& shape);

// Advances s by frames samples as the sample functions do, writing the phase
// each frame is taken at. SampleIndex is left alone.
void AdvancePhases(SynthState& s, bool sweep, double* phases, int32_t frames);

// The 16-bit little-endian samples of frames [from, to) of the block, each
// frame at out + frame x frame size.
void BlockSamples(const BlockShape& shape, const double* phases, int32_t from, int32_t to, uint8_t* out);

// SampleIndex of the block's frame `frame`: it stops at the top of its range.
[[nodiscard]] int32_t IndexOf(const BlockShape& shape, int32_t frame);

// The ModGain the sample functions leave after the block's frame `frame`.
[[nodiscard]] float GainAfter(const BlockShape& shape, float before, int32_t frame);

}  // namespace orv
