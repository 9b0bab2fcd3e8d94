#include "generator/files/ExportName.h"

#include <algorithm>

namespace orv {

namespace {

std::string_view WaveWord(int w)
{
    switch (w) {
    case 0: return "Sine ";
    case 1: return "Square ";
    case 2: return "Triangular ";
    case 3: return "White noise ";
    default: return "";
    }
}

}  // namespace

std::string ProposedWaveFileName(const ExportNameInput& in)
{
    std::string name(WaveWord(in.WaveForm));
    if (in.ConstantPage) {
        name += in.fEdit;
    } else {
        name += "sweep ";
        name += in.fInit;
        name += "Hz to ";
        name += in.fFinal;
    }
    name += "Hz ";
    name += in.Duration;
    name += "s ";
    name += in.Amplitude;
    name += "dBFS ";
    if (in.Mono) {
        name += "mono";
    } else if (in.LeftTick && !in.RightTick) {
        name += "left channel only";
    } else if (in.RightTick && !in.LeftTick) {
        name += "right channel only";
    } else if (in.PhaseEdit != "0") {
        name += "stereo ";
        name += in.PhaseEdit;
        name += " degrees out of phase";
    } else {
        name += "stereo in phase";
    }
    name += ".wav";
    std::replace_if(name.begin(), name.end(), [](char c) { return c == '/' || c == '\0'; }, '-');
    return name;
}

}  // namespace orv
