#pragma once
// Memory n as a new window fills it: the controls' start values.
#include <string>

#include "generator/files/MemoryRecord.h"

namespace orv::test {

inline MemoryRecord StartRecord(int n) {
    MemoryRecord m;
    m.Name = "Memory " + std::to_string(n);
    m.fEdit = "1000";
    m.fInit = "100";
    m.fFinal = "1000";
    m.Duration = "3";
    m.Amplitude = "0";
    m.WaveForm = 0;
    m.Loop = m.mono = m.Lefttick = m.RightTick = true;
    m.PhaseEdit = "0";
    m.Logarithmic = m.Bidirectional = false;
    m.ActivePage = SignalPage::Constant;
    m.ModulationOn = false;
    m.ModPeriodLeft = m.ModPeriodRight = "1";
    m.ModDepthLeft = m.ModDepthRight = "100";
    m.ModFunctionLeft = m.ModFunctionRight = 1;
    m.ModPhaseLeft = m.ModPhaseRight = "0";
    return m;
}

}  // namespace orv::test
