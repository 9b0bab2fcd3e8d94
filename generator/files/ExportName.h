#pragma once
// The file name the save dialog proposes for a WAVE export: a description of
// the signal built from the controls' texts exactly as typed.
#include <string>

namespace orv {

struct ExportNameInput {
    int WaveForm = -1;           // item index of WaveForm, -1 when none is selected
    bool ConstantPage = true;    // the active page is "Constant Frequency"
    std::string fEdit;
    std::string fInit;
    std::string fFinal;
    std::string Duration;
    std::string Amplitude;
    std::string PhaseEdit;
    bool Mono = true;
    bool LeftTick = true;
    bool RightTick = true;
};

// A "/" (and a NUL) cannot be part of a file name; each becomes "-".
std::string ProposedWaveFileName(const ExportNameInput& in);

}  // namespace orv
