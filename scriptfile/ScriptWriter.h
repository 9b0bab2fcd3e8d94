#pragma once
// Turns the editor's script lines into the text of a script file.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orv::script {

// One line of the editor, as its controls hold it: the Command list index,
// the edits' texts exactly as typed, the check boxes and the list indexes.
struct MemoryRecord {
  int32_t command = 5;  // 0 Tone ... 5 End; the editor's clipboard uses 6 for "empty"
  std::string frequency;  // fInit: a tone's frequency, a sweep's initial one
  std::string finalFrequency;
  std::string duration;  // also the time of a delay
  std::string amplitude;
  bool logarithmic = false;
  int32_t waveform = 0;
  bool mono = false;
  bool left = false;
  bool right = false;
  std::string channelPhase;
  bool modulationOn = false;
  std::string leftModPeriod;
  std::string rightModPeriod;
  std::string leftModDepth;
  std::string rightModDepth;
  int32_t leftModFunction = 0;
  int32_t rightModFunction = 0;
  std::string leftModPhase;
  std::string rightModPhase;

  bool operator==(const MemoryRecord&) const = default;
};

// The text line for one record, without its line end. Blanks, CR and LF are
// left out of the values, since they would move every later field or break
// the line. None for a command outside 0 to 5, which is no script line.
std::optional<std::string> ScriptLineText(const MemoryRecord& line);

// The whole file: the header, one line per record (records that are no
// script line are left out), and a closing "end" unless the last line
// written is a Repeat or an End, so an empty script gets one too. Every line
// ends with CR LF.
std::string ScriptFileText(std::span<const MemoryRecord> lines);

}  // namespace orv::script
