#pragma once
// One memory slot of the generator: a complete set of signal settings held as
// the controls' texts, check states, list indexes and the shown page, with
// the slot's display name. Numbers stay the texts the user typed; nothing is
// parsed when a slot is stored, recalled, saved or loaded.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace orv {

enum class SignalPage { Constant, Sweep };

struct MemoryRecord {
    std::string Name;
    std::string fEdit;
    std::string fInit;
    std::string fFinal;
    std::string Duration;
    std::string Amplitude;
    int32_t WaveForm = 0;
    bool Loop = false;
    bool mono = false;
    bool Lefttick = false;
    bool RightTick = false;
    std::string PhaseEdit;
    bool Logarithmic = false;
    bool Bidirectional = false;
    SignalPage ActivePage = SignalPage::Constant;
    bool ModulationOn = false;
    std::string ModPeriodLeft;
    std::string ModPeriodRight;
    std::string ModDepthLeft;
    std::string ModDepthRight;
    int32_t ModFunctionLeft = 0;
    int32_t ModFunctionRight = 0;
    std::string ModPhaseLeft;
    std::string ModPhaseRight;

    bool operator==(const MemoryRecord&) const = default;
};

// Memories 1 to 4; slot n is element n - 1.
inline constexpr int kMemoryCount = 4;
using MemorySlots = std::array<MemoryRecord, kMemoryCount>;

// WaveForm and both ModFunction lists have four items. An index read from a
// file is kept as it stands, so saving again writes it back unchanged; a
// recall uses this form, which has no item for an index outside 0 to 3.
inline constexpr int32_t kListItemCount = 4;
[[nodiscard]] inline std::optional<int> ValidItemIndex(int32_t raw) {
    if (raw < 0 || raw >= kListItemCount) return std::nullopt;
    return static_cast<int>(raw);
}

}  // namespace orv
