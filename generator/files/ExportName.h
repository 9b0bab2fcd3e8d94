#pragma once
// The file name the save dialog proposes for a WAVE export: a description of
// the signal built from the controls' texts exactly as typed.
#include <string>
#include <string_view>

namespace orv {

struct ExportNameInput {
    int WaveForm = -1;           // item index of WaveForm, -1 when none is selected
    bool ConstantPage = true;    // the active page is "Constant Frequency"
    std::string_view fEdit;
    std::string_view fInit;
    std::string_view fFinal;
    std::string_view Duration;
    std::string_view Amplitude;
    std::string_view PhaseEdit;
    bool Mono = true;
    bool LeftTick = true;
    bool RightTick = true;
};

// A "/" (and a NUL) cannot be part of a file name; each becomes "-".
std::string ProposedWaveFileName(const ExportNameInput& in);

}  // namespace orv
