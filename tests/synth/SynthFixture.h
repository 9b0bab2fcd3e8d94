#pragma once
// A generator set up the way the window sets it up before a start.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "generator/synth/FillBuffer.h"
#include "generator/synth/Recompute.h"
#include "generator/synth/Samples.h"
#include "generator/synth/SynthState.h"

namespace orv {

inline auto Fields(const SynthState& s)
{
    return std::tuple(s.SampleRate, s.SweepLength, s.SampleIndex, s.Phase, s.PhaseStep,
                      s.StartFreqNorm, s.FinalFreqNorm, s.StepAdd, s.StepFactor,
                      s.AmplitudeScale, s.ModGain, s.LeftModDepth, s.RightModDepth,
                      s.LeftModPeriod, s.RightModPeriod, s.LeftModPhase, s.RightModPhase,
                      s.ChannelPhase, s.LeftOn, s.RightOn, s.FillBusy);
}

struct Filled {
    FillResult result;
    std::vector<int16_t> samples;   // interleaved left, right in stereo
};

class Generator : public ::testing::Test {
protected:
    SynthState s;
    SynthSwitches sw;
    NoiseSource noise{12345};
    std::string f = "1000";
    std::string f0 = "100";
    std::string f1 = "1000";
    std::string duration = "1";
    bool logarithmic = false;

    void SetUp() override { s.SampleRate = 22050; }

    RecomputeResult Recompute()
    {
        return fEditChange(s, {f, f0, f1, duration, sw.SweepPage, logarithmic, '.'});
    }

    // The recomputation and reset that precede every start.
    void Start()
    {
        const RecomputeResult r = Recompute();
        ASSERT_FALSE(r.StopOutput);
        s.FillBusy = false;
        s.SampleIndex = 0;
        s.Phase = 0.0;
        s.ModGain = 1.0f;
    }

    Filled Fill(int32_t frames)
    {
        const int32_t frameBytes = sw.Mono ? 2 : 4;
        std::vector<uint8_t> bytes(static_cast<size_t>(frames * frameBytes));
        Filled out{AudioOut1FillBuffer(s, sw, bytes.data(), frames * frameBytes, noise), {}};
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
            out.samples.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)));
        return out;
    }
};

}  // namespace orv
