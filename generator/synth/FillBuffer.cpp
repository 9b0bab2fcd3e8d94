#include "generator/synth/FillBuffer.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "generator/synth/SampleMath.h"
#include "generator/synth/SweepSteps.h"

namespace orv {

namespace {

bool Live(const SynthState& s, const SynthSwitches& sw)
{
    return s.SampleIndex < s.SweepLength || sw.Loop;
}

// The sweep runs back from where it is. A float reciprocal is not exact, so
// back at the start the first pass's steps are taken again: otherwise every
// round trip would shift the frequency range a little further.
void TurnAround(SynthState& s)
{
    const double startStep = PhaseStepOf(s.StartFreqNorm);
    const double finalStep = PhaseStepOf(s.FinalFreqNorm);
    s.StepAdd = -s.StepAdd;
    if (std::fabs(s.PhaseStep - startStep) < std::fabs(s.PhaseStep - finalStep)) {
        const auto outgoing = s.StepFactor != 1.0f
            ? LogStepFactor(s.StartFreqNorm, s.FinalFreqNorm, s.SweepLength)
            : std::nullopt;
        s.StepFactor = outgoing.value_or(static_cast<float>(1.0 / s.StepFactor));
        s.PhaseStep = startStep;
    } else {
        s.StepFactor = static_cast<float>(1.0 / s.StepFactor);
    }
}

// Counts the frame; a draining single pass stops counting at the top of the
// range instead of overflowing.
void EndFrame(SynthState& s, const SynthSwitches& sw)
{
    if (s.SampleIndex < std::numeric_limits<int32_t>::max())
        ++s.SampleIndex;
    if (!sw.Loop || s.SampleIndex < s.SweepLength)
        return;
    s.SampleIndex = 0;
    if (sw.Bidirectional)
        TurnAround(s);
    else
        s.PhaseStep = PhaseStepOf(s.StartFreqNorm);
}

}  // namespace

FillResult AudioOut1FillBuffer(SynthState& s, const SynthSwitches& sw, uint8_t* buffer,
                               int32_t size, NoiseSource& noise)
{
    if (s.FillBusy) {
        s.FillBusy = false;
        return FillResult::Busy;
    }
    s.FillBusy = true;

    const int32_t frameBytes = sw.Mono ? 2 : 4;
    const int32_t frames = size > 0 ? size / frameBytes : 0;
    const bool startedLive = Live(s, sw);
    uint8_t* at = buffer;
    if (sw.Mono) {
        for (int32_t i = 0; i < frames; ++i, at += 2) {
            PutSample(at, Live(s, sw) ? MonoSample(s, sw, sw.WaveForm, noise) : 0);
            EndFrame(s, sw);
        }
    } else {
        for (int32_t i = 0; i < frames; ++i, at += 4) {
            int32_t left = 0;
            int32_t right = 0;
            if (Live(s, sw)) {
                left = StereoLeftSample(s, sw, sw.WaveForm, noise);
                right = StereoRightSample(s, sw, sw.WaveForm, noise);
            }
            PutSample(at, s.LeftOn != 0 ? left : 0);
            PutSample(at + 2, s.RightOn != 0 ? right : 0);
            EndFrame(s, sw);
        }
    }
    if (size > 0)
        std::memset(at, 0, static_cast<size_t>(size - frames * frameBytes));

    const FillResult result = Live(s, sw) ? FillResult::More
                              : startedLive ? FillResult::PassEnded
                                            : FillResult::Silent;
    s.FillBusy = false;
    return result;
}

}  // namespace orv
