#pragma once
// What must hold for any bytes given to the preset reader; shared by the
// corpus replay and the fuzz target.
#include <string>
#include <string_view>

#include "generator/files/PresetFile.h"

namespace orv::test {

// Slots the reader is handed before a load, so untouched fields show.
inline MemorySlots SentinelSlots() {
    MemorySlots slots;
    for (MemoryRecord& m : slots) {
        m.Name = m.fEdit = m.fInit = m.fFinal = m.Duration = m.Amplitude = "old";
        m.PhaseEdit = m.ModPeriodLeft = m.ModPeriodRight = "old";
        m.ModDepthLeft = m.ModDepthRight = m.ModPhaseLeft = m.ModPhaseRight = "old";
        m.WaveForm = m.ModFunctionLeft = m.ModFunctionRight = 77;
        m.Loop = m.mono = m.Lefttick = m.RightTick = true;
        m.Logarithmic = m.Bidirectional = m.ModulationOn = true;
        m.ActivePage = SignalPage::Sweep;
    }
    return slots;
}

inline bool IsIntegerLine(int blockLine) {
    switch (blockLine) {
    case 8: case 9: case 10: case 11: case 12: case 14: case 15: case 17: case 22: case 23:
        return true;
    default:
        return false;
    }
}

// Empty when everything holds, else what did not.
inline std::string CheckPresetInvariants(std::string_view bytes) {
    MemorySlots slots = SentinelSlots();
    const PresetLoadResult result = ReadPresetBytes(bytes, slots);
    switch (result.Status) {
    case PresetLoadStatus::WrongFormat:
        if (slots != SentinelSlots()) return "a wrong header changed the slots";
        return {};
    case PresetLoadStatus::InvalidNumber:
        if (result.Slot < 1 || result.Slot > kMemoryCount || !IsIntegerLine(result.BlockLine))
            return "the stop is not at an integer line";
        if (result.Message() != kInvalidNumericInput) return "wrong message";
        break;
    case PresetLoadStatus::Loaded:
        if (!result.Message().empty()) return "a message for a good load";
        break;
    }

    // Whatever was loaded saves as a well-formed file that loads back the
    // same, and saving that gives the same bytes again.
    const std::string written = WritePresetBytes(slots);
    size_t lines = 0;
    for (size_t i = 0; i < written.size(); ++i) {
        if (written[i] == '\n') {
            if (i == 0 || written[i - 1] != '\r') return "an LF without CR in the written file";
            ++lines;
        } else if (written[i] == '\r' && (i + 1 == written.size() || written[i + 1] != '\n')) {
            return "a CR without LF in the written file";
        } else if (written[i] == 26) {
            return "character 26 in the written file";
        }
    }
    if (lines != kPresetFileLines || written.back() != '\n') return "not 101 lines";
    MemorySlots again = SentinelSlots();
    if (!ReadPresetBytes(written, again).Ok()) return "the written file does not load";
    if (WritePresetBytes(again) != written) return "the written file does not load back the same";
    return {};
}

}  // namespace orv::test
