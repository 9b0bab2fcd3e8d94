#pragma once
// WAVE export: the 44-byte PCM header, the render of one pass of the signal
// into a byte sink, and the file around both. Qt-free, so that the window and
// the headless renderer share it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "generator/synth/Recompute.h"
#include "generator/synth/Samples.h"
#include "generator/synth/SynthState.h"

namespace orv {

inline constexpr const char* kFileAccessError = "File Access Error, cannot write file.";
// Texts for the refusals that have no message of their own in the window.
inline constexpr const char* kExportSettingsRefused =
    "The signal cannot be saved with these settings: the frequencies must lie "
    "between 0 Hz and half the sample rate and the duration must hold the signal.";
inline constexpr const char* kExportTooLong =
    "The signal is too long for a WAVE file (at most 4 GB of samples).";

inline constexpr size_t kWaveHeaderSize = 44;
inline constexpr int32_t kProgressInterval = 10000;  // frames between progress points
inline constexpr size_t kRenderBlockSize = 64 * 1024;  // bytes handed to the sink at once

// The header of a 16-bit PCM file with the given channel count (1 or 2),
// frame count and rate. Fails when a size field cannot hold the value.
[[nodiscard]] std::optional<std::array<uint8_t, kWaveHeaderSize>>
WaveFileHeader(int32_t channels, int64_t frames, int64_t sampleRate);

// Receives the file's bytes in order; false means they could not be written.
using ByteSink = std::function<bool(const uint8_t* data, size_t size)>;

// Called at each progress point with the percentage done. Messages handled
// there may change the switches, which act on the rest of the render (the
// channel layout excepted: it is fixed when the render starts). Returning
// false cancels.
using RenderProgress = std::function<bool(int32_t percent, SynthSwitches& sw)>;

enum class RenderStatus { Complete, Cancelled, WriteFailed };

struct RenderResult {
    RenderStatus Status = RenderStatus::Complete;
    int64_t Frames = 0;  // frames handed to the sink
};

// Renders SweepLength frames from Phase 0 and SampleIndex 0 as 16-bit
// little-endian samples, mono or stereo as sw.Mono says, with LeftOn and
// RightOn applied in stereo. Progress points come after the frames whose
// index is a multiple of kProgressInterval, the first one after frame 0; an
// empty progress never cancels. On cancel the frames rendered so far still
// reach the sink.
[[nodiscard]] RenderResult RenderToStream(SynthState& s, SynthSwitches sw, NoiseSource& noise,
                                          const ByteSink& sink, const RenderProgress& progress);

enum class ExportStatus {
    Ready,               // checked: the export may start
    Complete,            // the whole file is written
    Cancelled,           // stopped at a progress point; the file is gone
    WriteFailed,         // the window shows kFileAccessError
    DurationNotANumber,  // the window reports the conversion error of the Duration text
    SettingsRefused,     // fEditChange refused the settings; the window shows kExportSettingsRefused
    TooLong,             // the sizes do not fit the header; the window shows kExportTooLong
};

// Before anything is shown or written: checks the Duration text, recomputes
// the state with fEditChange so the render starts at the start of the
// signal, and checks that the file's sizes fit its header. Ready, or the
// reason for refusing.
[[nodiscard]] ExportStatus PrepareWaveExport(SynthState& s, const RecomputeInput& in, bool mono);

// The header for SweepLength frames at SampleRate, then the render.
// Complete, Cancelled, WriteFailed, or SettingsRefused / TooLong when the
// state cannot give a header.
[[nodiscard]] ExportStatus WriteWave(const ByteSink& sink, SynthState& s, const SynthSwitches& sw,
                                     NoiseSource& noise, const RenderProgress& progress);

// WriteWave into the file at path, created or replaced. A cancelled export
// deletes the file (WriteFailed if that fails); after a write failure the
// bytes written so far stay. The file is always closed.
[[nodiscard]] ExportStatus WriteWaveFile(const std::string& path, SynthState& s,
                                         const SynthSwitches& sw, NoiseSource& noise,
                                         const RenderProgress& progress);

}  // namespace orv
