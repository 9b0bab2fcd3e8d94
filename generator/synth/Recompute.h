#pragma once
// The recomputation of SynthState from the window's texts and switches, and
// the field rules of the signal controls. Qt-free: the window passes texts in
// and applies the outcome (stopping the output, writing texts back).
#include <cstdint>
#include <optional>
#include <string>
#include <string>

#include "generator/synth/SynthState.h"

namespace orv {

struct RecomputeInput {
    std::string fEdit;      // constant frequency, Hz
    std::string fInit;      // sweep start frequency, Hz
    std::string fFinal;     // sweep final frequency, Hz
    std::string Duration;   // seconds
    bool SweepPage = false;
    bool Logarithmic = false;
    char DecimalSeparator = '.';
};

struct RecomputeResult {
    bool StopOutput = false;                 // the caller must StopNow
    // Round(1000 log10(F/2)), unclamped. Set as soon as all three frequencies
    // are valid, also when a later step (the duration) then fails.
    std::optional<int32_t> SliderPosition;
};

// The full recomputation. Frequencies outside (0, SampleRate/2) stop the
// output and restart the pass with the previous values. A text that does not
// parse, or a computation that cannot give a usable result (a duration of
// less than one sample, or of one sample on the Sweep page, a sample count
// beyond 32 bits, a logarithmic step that is not a normal float), stops the
// output and leaves SynthState exactly as it was.
RecomputeResult fEditChange(SynthState& s, const RecomputeInput& in);

// The partial recomputation from the stored normalised frequencies. Where no
// sweep step can be derived (a pass shorter than two samples, a normalised
// frequency of 0 before any valid recomputation) the step stays constant:
// StepFactor 1, StepAdd 0.
void LogarithmicClick(SynthState& s, bool logarithmic);

// Field rules. Each change rule leaves the field as it was when the text does
// not parse or its value does not fit the field. Exit rules return the
// normalised text the edit must show.
void AmplitudeChange(SynthState& s, std::string_view text);
std::string AmplitudeExitText(std::string_view text, char sep);   // then bar position := -value
void PhaseEditChange(SynthState& s, std::string_view text, char sep);
std::string PhaseEditExit(SynthState& s, std::string_view text, char sep);
void ModDepthChange(float& depth, std::string_view text, char sep);
// Returns true when the period is now 0: a running output must then stop and
// the edit show "1".
bool ModPeriodChange(float& period, std::string_view text, char sep);
std::string ModPeriodExit(float& period, std::string_view text, char sep);
void ModPhaseChange(float& phase, std::string_view text, char sep);
// Returns true when both channels are now off (the output must stop).
bool SetChannels(SynthState& s, bool left, bool right);

}  // namespace orv
