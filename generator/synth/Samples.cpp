#include "generator/synth/Samples.h"

#include <chrono>

#include "generator/synth/SampleMath.h"

namespace orv {

namespace {

void LeftGain(SynthState& s, const SynthSwitches& sw)
{
    if (sw.ModulationOn)
        s.ModGain = ModulationGainAt(s.SampleIndex, s.SampleRate, s.LeftModPeriod, s.LeftModPhase,
                                     s.LeftModDepth, sw.ModFunctionLeft);
}

void RightGain(SynthState& s, const SynthSwitches& sw)
{
    if (sw.ModulationOn)
        s.ModGain = ModulationGainAt(s.SampleIndex, s.SampleRate, s.RightModPeriod, s.RightModPhase,
                                     s.RightModDepth, sw.ModFunctionRight);
}

void Advance(SynthState& s, const SynthSwitches& sw)
{
    if (sw.SweepPage)
        StepPhase<true>(s.Phase, s.PhaseStep, s.StepFactor, s.StepAdd);
    else
        StepPhase<false>(s.Phase, s.PhaseStep, s.StepFactor, s.StepAdd);
}

double WaveValue(int w, double p, NoiseSource& noise)
{
    switch (w) {
    case 0: return ToneValue<0>(p);
    case 1: return ToneValue<1>(p);
    case 2: return ToneValue<2>(p);
    case 3: return noise.Bit() - 1;
    default: return 0.0;
    }
}

int32_t SampleValue(const SynthState& s, double v)
{
    return SampleOf(32767.0 * s.AmplitudeScale * s.ModGain, v);
}

}  // namespace

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
