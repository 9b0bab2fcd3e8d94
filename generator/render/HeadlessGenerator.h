#pragma once
// The generator window's signal controls without a window: the texts, check
// states, list indexes and page the window would hold, with the same events
// running on every write, so the synthesis state after a memory recall or a
// script line equals the window's. The one place that maps a memory record
// or a script line onto SynthState.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "generator/files/MemoryRecord.h"
#include "generator/synth/Recompute.h"
#include "generator/synth/SynthState.h"
#include "scriptfile/ScriptReader.h"

namespace orv {

[[nodiscard]] bool IsListedRate(int64_t rate);

class HeadlessGenerator : public script::ControlSink {
public:
    // The window as created, with the settings window's rate assigned and
    // the state recomputed.
    HeadlessGenerator(int32_t sampleRate, char decimalSeparator);

    // Puts a memory into the controls in the window's order, then recomputes.
    void RecallMemory(const MemoryRecord& m);

    // What the runner does with a tone or sweep line before pressing ON:
    // Loop off, the page, then the fields through the script reader.
    [[nodiscard]] script::ReadResult ReadScriptLine(script::Command command,
                                                    const script::LineFields& fields);

    // The start's own resets (ModGain 1, the amplitude exit rule); the
    // recomputation is left to the export check that follows.
    void PrepareStart();

    // ControlSink: each write runs the control's handler as typing or
    // clicking would.
    void SelectCommand(script::Command command) override;
    void SetText(script::Edit edit, const std::string& text) override;
    void SetChecked(script::Check box, bool checked) override;
    void SelectIndex(script::List list, int32_t index) override;

    [[nodiscard]] const std::string& Text(script::Edit edit) const;
    [[nodiscard]] bool Mono() const { return mono_; }
    [[nodiscard]] bool AnyChannel() const { return lefttick_ || rightTick_; }
    [[nodiscard]] RecomputeInput Input() const;
    [[nodiscard]] SynthSwitches Switches() const;
    [[nodiscard]] char DecimalSeparator() const { return sep_; }

    // Why fEditChange refuses the frequencies, in fEditChange's order, or
    // nothing when all three are valid.
    [[nodiscard]] std::optional<std::string> FrequencyProblem() const;

    SynthState State;

private:
    void Changed(script::Edit edit);
    void SetBox(bool& box, bool checked, void (HeadlessGenerator::*click)());
    void Recompute();
    void monoClick();
    void LefttickClick();
    void LogarithmicClick();
    void ModulationOnClick();
    void NoHandler() {}
    void AmplitudeExit();

    char sep_;
    std::array<std::string, 12> texts_;
    bool sweepPage_ = false;
    bool loop_ = true;
    bool mono_ = true;
    bool lefttick_ = true;
    bool rightTick_ = true;
    bool logarithmic_ = false;
    bool bidirectional_ = false;
    bool modulationOn_ = false;
    int32_t waveForm_ = 0;
    int32_t modFunctionLeft_ = 1;
    int32_t modFunctionRight_ = 1;
};

}  // namespace orv
