#pragma once
// The frame loop of live output.
#include <cstdint>

#include "generator/synth/Samples.h"
#include "generator/synth/SynthState.h"

namespace orv {

enum class FillResult {
    More,       // the signal goes on after this buffer
    PassEnded,  // a single pass has ended inside this buffer, which holds its last samples
    Silent,     // the pass had already ended: the buffer is all silence
    Busy,       // a previous fill never completed: stop the output and show the performance message
};

inline constexpr const char* kPerformanceMessage =
    "There is an issue with performance. See help for details";

// Fills exactly size bytes with 16-bit little-endian frames, mono or stereo
// as sw.Mono says. Only whole frames are synthesised; the bytes of a trailing
// partial frame are set to 0. A negative size writes nothing.
FillResult AudioOut1FillBuffer(SynthState& s, const SynthSwitches& sw,
                               uint8_t* buffer, int32_t size, NoiseSource& noise);

}  // namespace orv
