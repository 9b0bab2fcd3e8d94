#include "scriptfile/ScriptWriter.h"

#include "scriptfile/ScriptFile.h"

#include <string_view>

namespace orv::script {
namespace {

// Appends a value and the blank that closes its field.
void AddField(std::string& out, std::string_view value) {
  for (char c : value) {
    if (c != ' ' && c != '\r' && c != '\n') out += c;
  }
  out += ' ';
}

void AddField(std::string& out, int32_t index) { AddField(out, std::to_string(index)); }

void AddSignalFields(std::string& out, const MemoryRecord& line, bool sweep) {
  AddField(out, line.frequency);
  if (sweep) AddField(out, line.finalFrequency);
  AddField(out, line.duration);
  AddField(out, line.amplitude);
  AddField(out, line.waveform);
  if (line.mono) {
    out += "M ";
  } else {
    AddField(out, std::string(line.left ? "L" : "") + (line.right ? "R" : ""));
  }
  AddField(out, line.channelPhase);
  if (sweep) AddField(out, line.logarithmic ? "LOG" : "LIN");
  if (!line.modulationOn) {
    out += "0 ";
    return;
  }
  out += "1 ";
  AddField(out, line.leftModPeriod);
  AddField(out, line.leftModDepth);
  AddField(out, line.leftModFunction);
  AddField(out, line.leftModPhase);
  // Mono plays one modulation column, the left one.
  if (line.mono) return;
  AddField(out, line.rightModPeriod);
  AddField(out, line.rightModDepth);
  AddField(out, line.rightModFunction);
  AddField(out, line.rightModPhase);
}

}  // namespace

std::optional<std::string> ScriptLineText(const MemoryRecord& line) {
  if (line.command < 0 || line.command > static_cast<int32_t>(Command::End)) return std::nullopt;
  const auto command = static_cast<Command>(line.command);
  std::string out(KeywordOf(command));
  switch (command) {
    case Command::Tone:
    case Command::Sweep:
      out += ' ';
      AddSignalFields(out, line, command == Command::Sweep);
      break;
    case Command::Delay:
      out += ' ';
      AddField(out, line.duration);
      out.pop_back();  // no blank after the time
      break;
    case Command::Pause:
    case Command::Repeat:
      out += ' ';
      break;
    case Command::End:
      break;
  }
  return out;
}

std::string ScriptFileText(std::span<const MemoryRecord> lines) {
  std::string out(kHeader);
  out += kLineEnd;
  bool closed = false;
  for (const MemoryRecord& line : lines) {
    std::optional<std::string> text = ScriptLineText(line);
    if (!text) continue;
    out += *text;
    out += kLineEnd;
    closed = line.command == static_cast<int32_t>(Command::Repeat) ||
             line.command == static_cast<int32_t>(Command::End);
  }
  if (!closed) {
    out += kEndKeyword;
    out += kLineEnd;
  }
  return out;
}

}  // namespace orv::script
