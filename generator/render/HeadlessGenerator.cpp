#include "generator/render/HeadlessGenerator.h"

#include <algorithm>

#include "common/NumberText.h"

namespace orv {

using script::Check;
using script::Edit;
using script::List;

bool IsListedRate(int64_t rate)
{
    return std::find(kSampleRates.begin(), kSampleRates.end(), rate) != kSampleRates.end();
}

namespace {

size_t Slot(Edit edit) { return static_cast<size_t>(edit); }

}  // namespace

HeadlessGenerator::HeadlessGenerator(int32_t sampleRate, char decimalSeparator)
    : sep_(decimalSeparator)
{
    // The window's start texts.
    texts_[Slot(Edit::fEdit)] = "1000";
    texts_[Slot(Edit::fInit)] = "100";
    texts_[Slot(Edit::fFinal)] = "1000";
    texts_[Slot(Edit::Duration)] = "3";
    texts_[Slot(Edit::Amplitude)] = "0";
    texts_[Slot(Edit::PhaseEdit)] = "0";
    texts_[Slot(Edit::ModPeriodLeftEdit)] = "1";
    texts_[Slot(Edit::ModPeriodRightEdit)] = "1";
    texts_[Slot(Edit::ModDepthLeftEdit)] = "100";
    texts_[Slot(Edit::ModDepthRightEdit)] = "100";
    texts_[Slot(Edit::ModPhaseLeftEdit)] = "0";
    texts_[Slot(Edit::ModPhaseRightEdit)] = "0";
    // Window creation, then the settings window assigning the rate.
    Recompute();
    ModulationOnClick();
    State.SampleRate = sampleRate;
    Recompute();
}

void HeadlessGenerator::RecallMemory(const MemoryRecord& m)
{
    sweepPage_ = m.ActivePage == SignalPage::Sweep;
    SetText(Edit::fEdit, m.fEdit);
    SetText(Edit::Duration, m.Duration);
    SetText(Edit::Amplitude, m.Amplitude);
    SelectIndex(List::WaveForm, m.WaveForm);
    SetBox(loop_, m.Loop, &HeadlessGenerator::NoHandler);
    SetChecked(Check::mono, m.mono);
    SetChecked(Check::Lefttick, m.Lefttick);
    SetChecked(Check::RightTick, m.RightTick);
    SetText(Edit::PhaseEdit, m.PhaseEdit);
    SetChecked(Check::Logarithmic, m.Logarithmic);
    SetBox(bidirectional_, m.Bidirectional, &HeadlessGenerator::NoHandler);
    SetChecked(Check::ModulationOn, m.ModulationOn);
    SetText(Edit::ModPeriodLeftEdit, m.ModPeriodLeft);
    SetText(Edit::ModPeriodRightEdit, m.ModPeriodRight);
    SetText(Edit::ModDepthLeftEdit, m.ModDepthLeft);
    SetText(Edit::ModDepthRightEdit, m.ModDepthRight);
    SelectIndex(List::ModFunctionLeft, m.ModFunctionLeft);
    SelectIndex(List::ModFunctionRight, m.ModFunctionRight);
    SetText(Edit::ModPhaseLeftEdit, m.ModPhaseLeft);
    SetText(Edit::ModPhaseRightEdit, m.ModPhaseRight);
    SetText(Edit::fInit, m.fInit);
    SetText(Edit::fFinal, m.fFinal);
    Recompute();
}

script::ReadResult HeadlessGenerator::ReadScriptLine(script::Command command,
                                                     const script::LineFields& fields)
{
    SetBox(loop_, false, &HeadlessGenerator::NoHandler);
    return command == script::Command::Sweep ? script::ReadSweepLine(fields, *this)
                                             : script::ReadToneLine(fields, *this);
}

void HeadlessGenerator::PrepareStart()
{
    State.FillBusy = false;
    State.SampleIndex = 0;
    State.Phase = 0.0;
    State.ModGain = 1.0f;
    AmplitudeExit();
}

void HeadlessGenerator::SelectCommand(script::Command command)
{
    sweepPage_ = command == script::Command::Sweep;
}

void HeadlessGenerator::SetText(Edit edit, const std::string& text)
{
    std::string& current = texts_[Slot(edit)];
    if (current == text)
        return;
    current = text;
    Changed(edit);
}

void HeadlessGenerator::SetChecked(Check box, bool checked)
{
    switch (box) {
    case Check::mono: SetBox(mono_, checked, &HeadlessGenerator::monoClick); break;
    case Check::Lefttick: SetBox(lefttick_, checked, &HeadlessGenerator::LefttickClick); break;
    case Check::RightTick: SetBox(rightTick_, checked, &HeadlessGenerator::LefttickClick); break;
    case Check::Logarithmic: SetBox(logarithmic_, checked, &HeadlessGenerator::LogarithmicClick); break;
    case Check::ModulationOn: SetBox(modulationOn_, checked, &HeadlessGenerator::ModulationOnClick); break;
    }
}

void HeadlessGenerator::SelectIndex(List list, int32_t index)
{
    switch (list) {
    case List::WaveForm: waveForm_ = index; break;
    case List::ModFunctionLeft: modFunctionLeft_ = index; break;
    case List::ModFunctionRight: modFunctionRight_ = index; break;
    }
}

const std::string& HeadlessGenerator::Text(Edit edit) const { return texts_[Slot(edit)]; }

RecomputeInput HeadlessGenerator::Input() const
{
    return {Text(Edit::fEdit), Text(Edit::fInit), Text(Edit::fFinal), Text(Edit::Duration),
            sweepPage_, logarithmic_, sep_};
}

SynthSwitches HeadlessGenerator::Switches() const
{
    // An index outside a list leaves it with nothing selected.
    const auto item = [](int32_t raw) { return ValidItemIndex(raw).value_or(-1); };
    SynthSwitches sw;
    sw.SweepPage = sweepPage_;
    sw.WaveForm = item(waveForm_);
    sw.Mono = mono_;
    sw.Loop = loop_;
    sw.Bidirectional = bidirectional_;
    sw.ModulationOn = modulationOn_;
    sw.ModFunctionLeft = item(modFunctionLeft_);
    sw.ModFunctionRight = item(modFunctionRight_);
    return sw;
}

std::optional<std::string> HeadlessGenerator::FrequencyProblem() const
{
    const double half = State.SampleRate * 0.5;
    const std::pair<Edit, const char*> fields[] = {{Edit::fEdit, "constant frequency"},
                                                   {Edit::fInit, "sweep start frequency"},
                                                   {Edit::fFinal, "sweep final frequency"}};
    for (const auto& [edit, name] : fields) {
        const std::string& text = Text(edit);
        const auto f = TextToFloat(text, sep_);
        if (!f)
            return std::string("the ") + name + " '" + text + "' is not a number";
        if (!(*f > 0.0 && *f < half))
            return std::string("the ") + name + " " + text + " Hz is outside the range above 0 and below "
                + FloatToText(half, sep_) + " Hz of the rate " + IntToText(State.SampleRate) + " Hz";
    }
    return std::nullopt;
}

void HeadlessGenerator::Changed(Edit edit)
{
    const std::string& text = Text(edit);
    switch (edit) {
    case Edit::fEdit:
    case Edit::fInit:
    case Edit::fFinal:
    case Edit::Duration: Recompute(); break;
    case Edit::Amplitude: AmplitudeChange(State, text); break;
    case Edit::PhaseEdit: PhaseEditChange(State, text, sep_); break;
    case Edit::ModDepthLeftEdit: ModDepthChange(State.LeftModDepth, text, sep_); break;
    case Edit::ModDepthRightEdit: ModDepthChange(State.RightModDepth, text, sep_); break;
    case Edit::ModPhaseLeftEdit: ModPhaseChange(State.LeftModPhase, text, sep_); break;
    case Edit::ModPhaseRightEdit: ModPhaseChange(State.RightModPhase, text, sep_); break;
    // A zero period stops only a running output, and none runs here; the
    // synthesis then leaves the carrier unmodulated.
    case Edit::ModPeriodLeftEdit: (void)ModPeriodChange(State.LeftModPeriod, text, sep_); break;
    case Edit::ModPeriodRightEdit: (void)ModPeriodChange(State.RightModPeriod, text, sep_); break;
    }
}

void HeadlessGenerator::SetBox(bool& box, bool checked, void (HeadlessGenerator::*click)())
{
    if (box == checked)
        return;
    box = checked;
    (this->*click)();
}

// The outcome only stops a running output; the export check recomputes again
// and refuses what this refused.
void HeadlessGenerator::Recompute() { (void)fEditChange(State, Input()); }

void HeadlessGenerator::monoClick()
{
    if (!mono_)
        return;
    SetChecked(Check::Lefttick, true);
    SetChecked(Check::RightTick, true);
    LefttickClick();
    SetText(Edit::PhaseEdit, "0");
}

// Both channels off would stop a running output; the renderer refuses that
// layout itself.
void HeadlessGenerator::LefttickClick() { (void)SetChannels(State, lefttick_, rightTick_); }

void HeadlessGenerator::LogarithmicClick() { orv::LogarithmicClick(State, logarithmic_); }

void HeadlessGenerator::ModulationOnClick()
{
    if (!modulationOn_)
        State.ModGain = 1.0f;
    AmplitudeExit();
}

void HeadlessGenerator::AmplitudeExit()
{
    SetText(Edit::Amplitude, AmplitudeExitText(Text(Edit::Amplitude), sep_));
}

}  // namespace orv
