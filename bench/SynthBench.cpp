// Frames per second of the live frame loop and of the export's block render
// at 96000 Hz, against the bare per-sample sine that bounds exact per-sample
// synthesis.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "generator/synth/FillBuffer.h"
#include "generator/synth/FrameBlock.h"
#include "generator/synth/Samples.h"
#include "generator/synth/SynthState.h"
#include "generator/synth/SweepSteps.h"

namespace {

constexpr int32_t kRate = 96000;
constexpr int32_t kFrames = 16384;

orv::SynthState ToneAt1000Hz()
{
    orv::SynthState s;
    s.SampleRate = kRate;
    s.SweepLength = 10 * kRate;
    s.StartFreqNorm = s.FinalFreqNorm = 1000.0f / kRate;
    s.PhaseStep = orv::PhaseStepOf(s.StartFreqNorm);
    s.LeftModPeriod = s.RightModPeriod = 0.5f;
    s.LeftModDepth = s.RightModDepth = 0.5f;
    return s;
}

// Arguments: waveform, mono (1) or stereo (0), modulation on (1) or off (0).
void BM_Fill(benchmark::State& state)
{
    orv::SynthState s = ToneAt1000Hz();
    orv::SynthSwitches sw;
    sw.WaveForm = static_cast<int>(state.range(0));
    sw.Mono = state.range(1) != 0;
    sw.ModulationOn = state.range(2) != 0;
    orv::NoiseSource noise(1);
    const int32_t bytes = kFrames * (sw.Mono ? 2 : 4);
    std::vector<uint8_t> buffer(static_cast<size_t>(bytes));
    for (auto _ : state) {
        benchmark::DoNotOptimize(orv::AudioOut1FillBuffer(s, sw, buffer.data(), bytes, noise));
        benchmark::ClobberMemory();
    }
    state.counters["frames/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Fill)
    ->ArgNames({"wave", "mono", "mod"})
    ->ArgsProduct({{0, 1, 2, 3}, {1, 0}, {0, 1}});

// The export's block render on one thread: the phase pass, then the samples.
// Arguments: waveform (0..2), mono (1) or stereo (0), sweep (1) or constant (0).
void BM_Block(benchmark::State& state)
{
    orv::SynthState s = ToneAt1000Hz();
    s.StepFactor = 1.000001f;
    orv::SynthSwitches sw;
    sw.WaveForm = static_cast<int>(state.range(0));
    const bool mono = state.range(1) != 0;
    const bool sweep = state.range(2) != 0;
    orv::BlockShape shape;
    if (!orv::ShapeOf(s, sw, mono, shape)) {
        state.SkipWithError("not a tone");
        return;
    }
    constexpr int32_t kBlock = 10000;
    std::vector<double> phases(kBlock);
    std::vector<uint8_t> out(kBlock * 4);
    for (auto _ : state) {
        orv::AdvancePhases(s, sweep, phases.data(), kBlock);
        orv::BlockSamples(shape, phases.data(), 0, kBlock, out.data());
        s.PhaseStep = orv::PhaseStepOf(s.StartFreqNorm);
        benchmark::ClobberMemory();
    }
    state.counters["frames/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kBlock, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Block)
    ->ArgNames({"wave", "mono", "sweep"})
    ->ArgsProduct({{0, 1, 2}, {1, 0}, {0, 1}});

// One std::sin per sample into a mono buffer: nothing exact per sample is faster.
void BM_BareSin(benchmark::State& state)
{
    const double step = orv::PhaseStepOf(1000.0f / kRate);
    std::vector<int16_t> buffer(kFrames);
    double phase = 0.0;
    for (auto _ : state) {
        for (int16_t& sample : buffer) {
            phase += step;
            if (phase > 2.0 * std::numbers::pi)
                phase -= 2.0 * std::numbers::pi;
            sample = static_cast<int16_t>(32767.0 * std::sin(phase));
        }
        benchmark::ClobberMemory();
    }
    state.counters["frames/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_BareSin);

}  // namespace
