#include "generator/synth/FrameBlock.h"

#include <algorithm>
#include <limits>

#include "generator/synth/SampleMath.h"

namespace orv {

int32_t IndexOf(const BlockShape& shape, int32_t frame)
{
    const int64_t index = int64_t{shape.FirstIndex} + frame;
    return static_cast<int32_t>(std::min<int64_t>(index, std::numeric_limits<int32_t>::max()));
}

namespace {

float LeftGain(const BlockShape& b, int32_t frame)
{
    return ModulationGainAt(IndexOf(b, frame), b.SampleRate, b.LeftPeriod, b.LeftPhase, b.LeftDepth,
                            b.LeftFunction);
}

float RightGain(const BlockShape& b, int32_t frame)
{
    return ModulationGainAt(IndexOf(b, frame), b.SampleRate, b.RightPeriod, b.RightPhase,
                            b.RightDepth, b.RightFunction);
}

// One instance per waveform, layout and modulation, so that the frame loop
// holds only the arithmetic. SamePhase: the right channel has no phase
// offset, so it shares the left's waveform value (p + 0 is p, and a zero of
// either sign gives the sample 0).
template <int W, bool Mono, bool Modulated, bool SamePhase>
void Frames(const BlockShape& b, const double* phases, int32_t from, int32_t to, uint8_t* out)
{
    const double scale = b.Scale;
    if constexpr (Mono) {
        for (int32_t i = from; i < to; ++i) {
            const double k = Modulated ? scale * LeftGain(b, i) : scale;
            PutSample(out + 2 * static_cast<size_t>(i), SampleOf(k, ToneValue<W>(phases[i])));
        }
    } else {
        const double channelPhase = b.ChannelPhase;
        for (int32_t i = from; i < to; ++i) {
            uint8_t* at = out + 4 * static_cast<size_t>(i);
            const double p = phases[i];
            int32_t left = 0;
            int32_t right = 0;
            if constexpr (SamePhase) {
                const double v = ToneValue<W>(p);
                if (b.LeftOn)
                    left = SampleOf(Modulated ? scale * LeftGain(b, i) : scale, v);
                if (b.RightOn)
                    right = Modulated ? SampleOf(scale * RightGain(b, i), v) : SampleOf(scale, v);
            } else {
                if (b.LeftOn)
                    left = SampleOf(Modulated ? scale * LeftGain(b, i) : scale, ToneValue<W>(p));
                if (b.RightOn)
                    right = SampleOf(Modulated ? scale * RightGain(b, i) : scale,
                                     ToneValue<W>(p + channelPhase));
            }
            PutSample(at, left);
            PutSample(at + 2, right);
        }
    }
}

using FramesFn = void (*)(const BlockShape&, const double*, int32_t, int32_t, uint8_t*);

template <int W>
FramesFn FramesFor(bool mono, bool modulated, bool samePhase)
{
    if (mono)
        return modulated ? &Frames<W, true, true, false> : &Frames<W, true, false, false>;
    if (samePhase)
        return modulated ? &Frames<W, false, true, true> : &Frames<W, false, false, true>;
    return modulated ? &Frames<W, false, true, false> : &Frames<W, false, false, false>;
}

}  // namespace

bool ShapeOf(const SynthState& s, const SynthSwitches& sw, bool mono, BlockShape& shape)
{
    if (sw.WaveForm < 0 || sw.WaveForm > 2)
        return false;
    shape.WaveForm = sw.WaveForm;
    shape.Mono = mono;
    shape.Modulated = sw.ModulationOn;
    shape.LeftOn = s.LeftOn != 0;
    shape.RightOn = s.RightOn != 0;
    shape.FirstIndex = s.SampleIndex;
    shape.SampleRate = s.SampleRate;
    shape.Scale = sw.ModulationOn ? 32767.0 * s.AmplitudeScale : 32767.0 * s.AmplitudeScale * s.ModGain;
    shape.ChannelPhase = s.ChannelPhase;
    shape.LeftPeriod = s.LeftModPeriod;
    shape.LeftPhase = s.LeftModPhase;
    shape.LeftDepth = s.LeftModDepth;
    shape.RightPeriod = s.RightModPeriod;
    shape.RightPhase = s.RightModPhase;
    shape.RightDepth = s.RightModDepth;
    shape.LeftFunction = sw.ModFunctionLeft;
    shape.RightFunction = sw.ModFunctionRight;
    return true;
}

void AdvancePhases(SynthState& s, bool sweep, double* phases, int32_t frames)
{
    double phase = s.Phase;
    double step = s.PhaseStep;
    if (sweep) {
        const double factor = s.StepFactor;
        const double add = s.StepAdd;
        for (int32_t i = 0; i < frames; ++i) {
            StepPhase<true>(phase, step, factor, add);
            phases[i] = phase;
        }
    } else {
        for (int32_t i = 0; i < frames; ++i) {
            StepPhase<false>(phase, step, 0.0, 0.0);
            phases[i] = phase;
        }
    }
    s.Phase = phase;
    s.PhaseStep = step;
}

void BlockSamples(const BlockShape& shape, const double* phases, int32_t from, int32_t to, uint8_t* out)
{
    // ChannelPhase -0 adds as exactly as +0.
    const bool samePhase = shape.ChannelPhase == 0.0f;
    FramesFn frames = nullptr;
    switch (shape.WaveForm) {
    case 0: frames = FramesFor<0>(shape.Mono, shape.Modulated, samePhase); break;
    case 1: frames = FramesFor<1>(shape.Mono, shape.Modulated, samePhase); break;
    default: frames = FramesFor<2>(shape.Mono, shape.Modulated, samePhase); break;
    }
    frames(shape, phases, from, to, out);
}

float GainAfter(const BlockShape& shape, float before, int32_t frame)
{
    if (!shape.Modulated)
        return before;
    return shape.Mono ? LeftGain(shape, frame) : RightGain(shape, frame);
}

}  // namespace orv
