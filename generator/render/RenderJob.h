#pragma once
// What orv-render writes: a memory of a preset file or a script, walked as
// a row of passes and silences, then rendered through the export core into
// one WAVE stream. The walk runs twice, once to learn the header and once
// to write, so memory stays constant whatever the length of the script.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generator/files/MemoryRecord.h"
#include "generator/files/WaveFile.h"
#include "generator/synth/Samples.h"
#include "generator/synth/SynthState.h"

namespace orv {

// One stretch of the output: a pass of a tone or sweep, or a delay's silence.
struct Segment {
    int64_t Line = 0;  // the script line it comes from; 0 for a memory
    bool Silence = false;
    int64_t Frames = 0;
    bool Mono = true;
    SynthState State;  // recomputed, at the start of its pass
    SynthSwitches Switches;
};

// Returning false stops the walk.
using SegmentVisitor = std::function<bool(const Segment&)>;

struct [[nodiscard]] WalkResult {
    bool ok() const { return Error.empty(); }
    std::string Error;               // why nothing may be rendered
    std::vector<std::string> Notes;  // what was rendered differently from the runner
};

using Walker = std::function<WalkResult(const SegmentVisitor&)>;

// The window after recalling the memory, as "Save Tone As" would export it.
[[nodiscard]] WalkResult WalkMemory(const MemoryRecord& memory, int32_t rate, char sep,
                                    const SegmentVisitor& visit);

// The runner's path through a script: each tone or sweep one pass; a delay
// its whole 100 ms steps of silence; pause and rem skipped; repeat, end and
// the end of the text end the walk. Messages name the line.
[[nodiscard]] WalkResult WalkScript(std::string_view text, int32_t rate, char sep,
                                    const SegmentVisitor& visit);

// Frames of silence a delay of the given seconds waits: at least one step
// of 100 ms, and whole steps. Fails beyond any WAVE file.
[[nodiscard]] std::optional<int64_t> DelayFrames(double seconds, int32_t rate);

struct [[nodiscard]] RenderPlan {
    bool ok() const { return Error.empty(); }
    std::string Error;
    std::vector<std::string> Notes;
    int32_t Rate = 0;
    int Channels = 1;  // 2 when any pass is stereo
    int64_t Frames = 0;
    uint64_t Bytes() const { return kWaveHeaderSize + static_cast<uint64_t>(Frames) * Channels * 2; }
};

// The first walk: the layout and length, or why the input is refused.
RenderPlan PlanRender(const Walker& walk, int32_t rate);

// The second walk: the header of the plan and every segment. Mono passes of
// a stereo file sound on both channels. keepGoing is asked between blocks;
// false cancels.
[[nodiscard]] RenderStatus WriteRender(const Walker& walk, const RenderPlan& plan,
                                       const ByteSink& sink, NoiseSource& noise,
                                       const std::function<bool()>& keepGoing);

}  // namespace orv
