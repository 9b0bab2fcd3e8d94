#include "scriptfile/ScriptFile.h"

namespace orv::script {

std::string_view KeywordOf(Command command) {
  switch (command) {
    case Command::Tone: return kToneKeyword;
    case Command::Sweep: return kSweepKeyword;
    case Command::Delay: return kDelayKeyword;
    case Command::Pause: return kPauseKeyword;
    case Command::Repeat: return kRepeatKeyword;
    case Command::End: return kEndKeyword;
  }
  return {};
}

std::optional<Command> CommandOf(std::string_view keyword) {
  for (Command command : {Command::Tone, Command::Sweep, Command::Delay,
                          Command::Pause, Command::Repeat, Command::End}) {
    if (keyword == KeywordOf(command)) return command;
  }
  return std::nullopt;
}

bool IsComment(std::string_view keyword) { return keyword == kCommentKeyword; }

const std::string& LineFields::Field(std::size_t n) const {
  static const std::string kEmpty;
  return n >= 1 && n <= slots.size() ? slots[n - 1] : kEmpty;
}

LineFields SplitLine(std::string_view line) {
  LineFields fields;
  std::size_t current = 0;
  for (char c : line) {
    if (c == ' ') {
      if (++current == fields.slots.size()) break;
    } else {
      fields.slots[current] += c;
    }
  }
  for (char& c : fields.slots[0]) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return fields;
}

std::string_view LineReader::NextLine() {
  if (pos_ >= text_.size()) return {};
  std::string_view rest = std::string_view(text_).substr(pos_);
  std::size_t end = rest.find('\n');
  std::string_view line = rest.substr(0, end);
  pos_ = end == std::string_view::npos ? text_.size() : pos_ + end + 1;
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  return line;
}

}  // namespace orv::script
