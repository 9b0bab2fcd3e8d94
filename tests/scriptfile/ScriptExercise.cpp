#include "ScriptExercise.h"

#include "TestSinks.h"
#include "scriptfile/ScriptFile.h"
#include "scriptfile/ScriptReader.h"
#include "scriptfile/ScriptWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace orv::script {
namespace {

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool IsConversionError(const std::string& error, std::string_view what) {
  return error.size() >= 2 && error.front() == '\'' && EndsWith(error, what);
}

// The fields joined again must give the line back, up to the 25th blank and
// with field 1 lower-cased.
std::string CheckSplit(std::string_view line, const LineFields& fields) {
  for (const std::string& field : fields.slots) {
    if (field.find(' ') != std::string::npos) return "a field holds a blank";
  }
  if (!fields.Field(0).empty() || !fields.Field(kFieldSlots + 1).empty()) {
    return "a field outside the slots is not empty";
  }
  std::string expected;
  std::size_t blanks = 0;
  for (char c : line) {
    if (c == ' ' && ++blanks == kFieldSlots) break;
    if (blanks == 0 && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    expected += c;
  }
  std::string joined = fields.slots[0];
  for (std::size_t i = 1; i <= std::min(blanks, kFieldSlots - 1); ++i) joined += ' ' + fields.slots[i];
  return joined == expected ? "" : "the fields do not give the line back";
}

std::string CheckLine(std::string_view line) {
  const LineFields fields = SplitLine(line);
  if (std::string fault = CheckSplit(line, fields); !fault.empty()) return fault;
  const std::optional<Command> command = CommandOf(fields.Field(1));
  if (command == Command::Tone || command == Command::Sweep) {
    RecordingSink recording;
    MemoryRecord record;
    RecordSink into(record);
    const bool sweep = command == Command::Sweep;
    const ReadResult first = sweep ? ReadSweepLine(fields, recording) : ReadToneLine(fields, recording);
    const ReadResult second = sweep ? ReadSweepLine(fields, into) : ReadToneLine(fields, into);
    if (first.error != second.error) return "two reads of one line differ";
    if (!first.ok() && !IsConversionError(first.error, "' is not a valid integer value")) {
      return "unexpected read error: " + first.error;
    }
  } else if (command == Command::Delay) {
    for (char separator : {'.', ','}) {
      const DelayTime delay = DelaySeconds(fields, separator);
      if (!delay.ok() && !IsConversionError(delay.error, "' is not a valid floating point value")) {
        return "unexpected delay error: " + delay.error;
      }
    }
  }
  return "";
}

// A record whose texts are the line's fields (blanks, if any, past the
// slots) and whose numbers come from the first bytes.
MemoryRecord RecordFrom(std::string_view data, const LineFields& fields) {
  std::array<uint8_t, 8> bytes{};
  std::copy_n(data.begin(), std::min(data.size(), bytes.size()), bytes.begin());
  MemoryRecord r;
  r.command = bytes[0] % 8;
  r.frequency = fields.Field(2);
  r.finalFrequency = fields.Field(3);
  r.duration = fields.Field(4) + std::string(data.substr(0, std::min<std::size_t>(data.size(), 3)));
  r.amplitude = fields.Field(5);
  r.logarithmic = bytes[1] & 1;
  r.mono = bytes[1] & 2;
  r.left = bytes[1] & 4;
  r.right = bytes[1] & 8;
  r.modulationOn = bytes[1] & 16;
  r.waveform = static_cast<int8_t>(bytes[2]);
  r.leftModFunction = static_cast<int8_t>(bytes[3]) * 1000003;
  r.rightModFunction = static_cast<int8_t>(bytes[4]);
  r.channelPhase = fields.Field(6);
  r.leftModPeriod = fields.Field(7);
  r.rightModPeriod = fields.Field(8);
  r.leftModDepth = fields.Field(9);
  r.rightModDepth = fields.Field(10);
  r.leftModPhase = fields.Field(11);
  r.rightModPhase = fields.Field(12);
  return r;
}

std::string CheckRoundTrip(const MemoryRecord& r) {
  const std::optional<std::string> text = ScriptLineText(r);
  if (r.command < 0 || r.command > 5) return text ? "a line for a command outside 0 to 5" : "";
  if (!text) return "no line for a script command";
  if (text->find_first_of("\r\n") != std::string::npos) return "a line break inside a line";
  const LineFields fields = SplitLine(*text);
  const Command command = static_cast<Command>(r.command);
  if (CommandOf(fields.Field(1)) != command) return "the keyword does not read back";

  if (command == Command::Tone || command == Command::Sweep) {
    MemoryRecord back = r;
    back.command = static_cast<int32_t>(Command::End);
    RecordSink sink(back);
    const ReadResult read = command == Command::Sweep ? ReadSweepLine(fields, sink) : ReadToneLine(fields, sink);
    if (!read.ok()) return "a written line does not read: " + read.error;
    // No channel at all cannot be written; it reads as both channels.
    MemoryRecord expected = r;
    if (!r.mono && !r.left && !r.right) expected.left = expected.right = true;
    if (ScriptLineText(back) != ScriptLineText(expected)) return "a written line reads back differently";
  } else if (command == Command::Delay) {
    if (*text != std::string(kDelayKeyword) + " " + fields.Field(2)) return "a delay line has more fields";
  }

  const MemoryRecord lines[] = {r};
  LineReader file(ScriptFileText(lines));
  if (file.NextLine() != kHeader) return "the file does not start with the header";
  if (file.NextLine() != *text) return "the file does not hold the line";
  const bool closed = command == Command::Repeat || command == Command::End;
  if (!closed && file.NextLine() != kEndKeyword) return "the file is not closed with end";
  if (!file.NextLine().empty()) return "the file holds more lines";
  return "";
}

}  // namespace

std::string ExerciseScriptInput(std::string_view data) {
  const std::size_t lineCount = std::count(data.begin(), data.end(), '\n') + 1;
  LineReader reader{std::string(data)};
  std::string_view firstLine;
  for (std::size_t i = 0; i < lineCount; ++i) {
    const std::string_view line = reader.NextLine();
    if (i == 0) firstLine = line;
    if (std::string fault = CheckLine(line); !fault.empty()) return fault;
  }
  if (!reader.NextLine().empty()) return "a line past the end is not empty";
  return CheckRoundTrip(RecordFrom(data, SplitLine(firstLine)));
}

}  // namespace orv::script
