#pragma once
// Reads the values of a split script line into a window's controls. Both
// programs apply the same field positions to their own widgets through a
// ControlSink.
#include "scriptfile/ScriptFile.h"

#include <cstdint>
#include <string>

namespace orv::script {

// The controls a line sets, named as in the generator window. The editor has
// one frequency edit for a tone and a sweep: it takes fEdit as its fInit.
enum class Edit {
  fEdit,
  fInit,
  fFinal,
  Duration,
  Amplitude,
  PhaseEdit,
  ModPeriodLeftEdit,
  ModDepthLeftEdit,
  ModPhaseLeftEdit,
  ModPeriodRightEdit,
  ModDepthRightEdit,
  ModPhaseRightEdit,
};
enum class Check { mono, Lefttick, RightTick, Logarithmic, ModulationOn };
enum class List { WaveForm, ModFunctionLeft, ModFunctionRight };

// One call per control write, made in the order the line sets them. Writing
// a text or a check state has the effects of typing or clicking (change and
// click handlers run); selecting a list index runs nothing, and an index
// outside the list leaves it with no entry selected.
class ControlSink {
 public:
  virtual ~ControlSink() = default;

  // Tone or Sweep: the generator shows the page, the editor sets Command.
  virtual void SelectCommand(Command command) = 0;
  virtual void SetText(Edit edit, const std::string& text) = 0;
  virtual void SetChecked(Check box, bool checked) = 0;
  virtual void SelectIndex(List list, int32_t index) = 0;
};

struct [[nodiscard]] ReadResult {
  bool ok() const { return error.empty(); }
  // "'x' is not a valid integer value" when an index field does not convert;
  // the controls set before it keep their new values, none after is set.
  std::string error;
};

// Fields 2 to 16 of a "tone" line and 2 to 18 of a "sweep" line; field 1 is
// not looked at. The channel field "M" checks mono and nothing else; "L" and
// "R" pick that channel and leave the phase; a field not one character long
// picks both and sets the phase; any other single character picks both and
// leaves the phase. Modulation is read when its flag is exactly "1". A mono line with modulation whose right group is absent
// (all four fields empty, as the writer leaves it) leaves the right-channel
// controls as they are.
ReadResult ReadToneLine(const LineFields& fields, ControlSink& sink);
ReadResult ReadSweepLine(const LineFields& fields, ControlSink& sink);

struct [[nodiscard]] DelayTime {
  bool ok() const { return error.empty(); }
  double seconds = 0;
  // "'x' is not a valid floating point value" when field 2 does not convert.
  std::string error;
};

// Field 2 of a "delay" line as a number, with the locale's separator.
DelayTime DelaySeconds(const LineFields& fields, char decimalSeparator);

}  // namespace orv::script
