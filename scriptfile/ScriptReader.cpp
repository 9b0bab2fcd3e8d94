#include "scriptfile/ScriptReader.h"

#include "common/NumberText.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace orv::script {
namespace {

std::string Quoted(std::string_view text, std::string_view what) {
  std::string message = "'";
  message += text;
  message += "' is not a valid ";
  message += what;
  return message;
}

// Index fields are signed decimal integers: no blanks, no hexadecimal.
std::optional<int32_t> DecimalIndex(std::string_view text) {
  const bool plus = !text.empty() && text.front() == '+';
  if (plus) text.remove_prefix(1);
  if (text.empty() || (plus && (text.front() < '0' || text.front() > '9'))) return std::nullopt;
  int32_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

// Walks the fields of one line in order and stops at the first index field
// that does not convert.
class FieldReader {
 public:
  FieldReader(const LineFields& fields, ControlSink& sink) : fields_(fields), sink_(sink) {}

  const std::string& Peek(std::size_t ahead = 0) const { return fields_.Field(next_ + ahead); }
  const std::string& Take() { return fields_.Field(next_++); }

  void Text(Edit edit) { sink_.SetText(edit, Take()); }

  bool Index(List list) {
    const std::string& text = Take();
    std::optional<int32_t> index = DecimalIndex(text);
    if (!index) {
      error_ = Quoted(text, "integer value");
      return false;
    }
    sink_.SelectIndex(list, *index);
    return true;
  }

  // The channel field and the phase field after it.
  void Channels() {
    const std::string& channel = Take();
    const std::string& phase = Take();
    if (channel == "M") {
      sink_.SetChecked(Check::mono, true);
      return;
    }
    sink_.SetChecked(Check::mono, false);
    if (channel.size() != 1) {
      sink_.SetChecked(Check::Lefttick, true);
      sink_.SetChecked(Check::RightTick, true);
      sink_.SetText(Edit::PhaseEdit, phase);
      return;
    }
    // Any other single letter selects both channels, without the phase.
    sink_.SetChecked(Check::Lefttick, channel != "R");
    sink_.SetChecked(Check::RightTick, channel != "L");
  }

  bool ModulationGroup(Edit period, Edit depth, List function, Edit phase) {
    Text(period);
    Text(depth);
    if (!Index(function)) return false;
    Text(phase);
    return true;
  }

  ReadResult Result() const { return ReadResult{error_}; }

 private:
  const LineFields& fields_;
  ControlSink& sink_;
  std::size_t next_ = 2;
  std::string error_;
};

ReadResult ReadSignalLine(const LineFields& fields, ControlSink& sink, Command command) {
  const bool sweep = command == Command::Sweep;
  FieldReader reader(fields, sink);
  sink.SelectCommand(command);
  if (sweep) {
    reader.Text(Edit::fInit);
    reader.Text(Edit::fFinal);
  } else {
    reader.Text(Edit::fEdit);
  }
  reader.Text(Edit::Duration);
  reader.Text(Edit::Amplitude);
  if (!reader.Index(List::WaveForm)) return reader.Result();
  const bool mono = reader.Peek() == "M";
  reader.Channels();
  if (sweep) sink.SetChecked(Check::Logarithmic, reader.Take() == "LOG");
  const bool modulated = reader.Take() == "1";
  sink.SetChecked(Check::ModulationOn, modulated);
  if (!modulated) return reader.Result();
  if (!reader.ModulationGroup(Edit::ModPeriodLeftEdit, Edit::ModDepthLeftEdit,
                              List::ModFunctionLeft, Edit::ModPhaseLeftEdit)) {
    return reader.Result();
  }
  // The writer leaves the right group out of a mono line.
  bool rightAbsent = true;
  for (std::size_t i = 0; i < 4; ++i) rightAbsent = rightAbsent && reader.Peek(i).empty();
  if (mono && rightAbsent) return reader.Result();
  reader.ModulationGroup(Edit::ModPeriodRightEdit, Edit::ModDepthRightEdit,
                         List::ModFunctionRight, Edit::ModPhaseRightEdit);
  return reader.Result();
}

}  // namespace

ReadResult ReadToneLine(const LineFields& fields, ControlSink& sink) {
  return ReadSignalLine(fields, sink, Command::Tone);
}

ReadResult ReadSweepLine(const LineFields& fields, ControlSink& sink) {
  return ReadSignalLine(fields, sink, Command::Sweep);
}

DelayTime DelaySeconds(const LineFields& fields, char decimalSeparator) {
  const std::string& text = fields.Field(2);
  std::optional<double> seconds = TextToFloat(text, decimalSeparator);
  if (!seconds) return DelayTime{0, Quoted(text, "floating point value")};
  return DelayTime{*seconds, {}};
}

}  // namespace orv::script
