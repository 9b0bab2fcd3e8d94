#include "TestSinks.h"

namespace orv::script {
namespace {

const char* NameOf(Edit edit) {
  switch (edit) {
    case Edit::fEdit: return "fEdit";
    case Edit::fInit: return "fInit";
    case Edit::fFinal: return "fFinal";
    case Edit::Duration: return "Duration";
    case Edit::Amplitude: return "Amplitude";
    case Edit::PhaseEdit: return "PhaseEdit";
    case Edit::ModPeriodLeftEdit: return "ModPeriodLeftEdit";
    case Edit::ModDepthLeftEdit: return "ModDepthLeftEdit";
    case Edit::ModPhaseLeftEdit: return "ModPhaseLeftEdit";
    case Edit::ModPeriodRightEdit: return "ModPeriodRightEdit";
    case Edit::ModDepthRightEdit: return "ModDepthRightEdit";
    case Edit::ModPhaseRightEdit: return "ModPhaseRightEdit";
  }
  return "?";
}

const char* NameOf(Check box) {
  switch (box) {
    case Check::mono: return "mono";
    case Check::Lefttick: return "Lefttick";
    case Check::RightTick: return "RightTick";
    case Check::Logarithmic: return "Logarithmic";
    case Check::ModulationOn: return "ModulationOn";
  }
  return "?";
}

const char* NameOf(List list) {
  switch (list) {
    case List::WaveForm: return "WaveForm";
    case List::ModFunctionLeft: return "ModFunctionLeft";
    case List::ModFunctionRight: return "ModFunctionRight";
  }
  return "?";
}

}  // namespace

void RecordingSink::SelectCommand(Command command) {
  writes.push_back(command == Command::Tone ? "Tone" : command == Command::Sweep ? "Sweep" : "?");
}
void RecordingSink::SetText(Edit edit, const std::string& text) {
  writes.push_back(std::string(NameOf(edit)) + "=" + text);
}
void RecordingSink::SetChecked(Check box, bool checked) {
  writes.push_back(std::string(NameOf(box)) + "=" + (checked ? "1" : "0"));
}
void RecordingSink::SelectIndex(List list, int32_t index) {
  writes.push_back(std::string(NameOf(list)) + "#" + std::to_string(index));
}

void RecordSink::SelectCommand(Command command) { record_.command = static_cast<int32_t>(command); }

void RecordSink::SetText(Edit edit, const std::string& text) {
  switch (edit) {
    case Edit::fEdit:
    case Edit::fInit: record_.frequency = text; break;
    case Edit::fFinal: record_.finalFrequency = text; break;
    case Edit::Duration: record_.duration = text; break;
    case Edit::Amplitude: record_.amplitude = text; break;
    case Edit::PhaseEdit: record_.channelPhase = text; break;
    case Edit::ModPeriodLeftEdit: record_.leftModPeriod = text; break;
    case Edit::ModDepthLeftEdit: record_.leftModDepth = text; break;
    case Edit::ModPhaseLeftEdit: record_.leftModPhase = text; break;
    case Edit::ModPeriodRightEdit: record_.rightModPeriod = text; break;
    case Edit::ModDepthRightEdit: record_.rightModDepth = text; break;
    case Edit::ModPhaseRightEdit: record_.rightModPhase = text; break;
  }
}

void RecordSink::SetChecked(Check box, bool checked) {
  switch (box) {
    case Check::mono: record_.mono = checked; break;
    case Check::Lefttick: record_.left = checked; break;
    case Check::RightTick: record_.right = checked; break;
    case Check::Logarithmic: record_.logarithmic = checked; break;
    case Check::ModulationOn: record_.modulationOn = checked; break;
  }
}

void RecordSink::SelectIndex(List list, int32_t index) {
  switch (list) {
    case List::WaveForm: record_.waveform = index; break;
    case List::ModFunctionLeft: record_.leftModFunction = index; break;
    case List::ModFunctionRight: record_.rightModFunction = index; break;
  }
}

}  // namespace orv::script
