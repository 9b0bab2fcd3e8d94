#pragma once
// The recomputation of SynthState from the window's texts and switches, and
// the field rules of the signal controls. Qt-free: the window passes texts in
// and applies the outcome (stopping the output, writing texts back).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "generator/synth/SynthState.h"

namespace orv {

struct RecomputeInput {
    std::string_view fEdit;      // constant frequency, Hz
    std::string_view fInit;      // sweep start frequency, Hz
    std::string_view fFinal;     // sweep final frequency, Hz
    std::string_view Duration;   // seconds
    bool SweepPage = false;
    bool Logarithmic = false;
    char DecimalSeparator = '.';
};

struct RecomputeResult {
    bool StopOutput = false;                 // the caller must StopNow
    std::optional<int32_t> SliderPosition;   // Round(1000 log10(F/2)), unclamped; set when all frequencies are valid
};

// The full recomputation.
RecomputeResult fEditChange(SynthState& s, const RecomputeInput& in);

// The partial recomputation from the stored normalised frequencies.
void LogarithmicClick(SynthState& s, bool logarithmic);

// Field rules. Each change rule leaves the field as it was when the text does
// not parse. Exit rules return the normalised text the edit must show.
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
