#pragma once
// The script file (".ovs"): one command per text line, fields separated by
// single blanks. Shared by the generator, which runs scripts, and the
// editor, which writes and reopens them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace orv::script {

// Line 1 of every file the editor writes. Readers treat it as a comment.
inline constexpr std::string_view kHeader = "rem ORV Script File for Version 3.2";
inline constexpr std::string_view kLineEnd = "\r\n";

inline constexpr std::string_view kToneKeyword = "tone";
inline constexpr std::string_view kSweepKeyword = "sweep";
inline constexpr std::string_view kDelayKeyword = "delay";
inline constexpr std::string_view kPauseKeyword = "pause";
inline constexpr std::string_view kRepeatKeyword = "repeat";
inline constexpr std::string_view kEndKeyword = "end";
inline constexpr std::string_view kCommentKeyword = "rem";

// The values are the indexes of the editor's Command list.
enum class Command : int32_t { Tone = 0, Sweep = 1, Delay = 2, Pause = 3, Repeat = 4, End = 5 };

std::string_view KeywordOf(Command command);

// The command a (lower-cased) first field names; none for "rem", an empty
// field or any other text.
std::optional<Command> CommandOf(std::string_view keyword);
bool IsComment(std::string_view keyword);

// Readers hold this many fields per line; the writer's longest line has 19.
inline constexpr std::size_t kFieldSlots = 25;

struct LineFields {
  // Field n, counted from 1 as in the file. Fields the line does not have,
  // and numbers past the slots, read as empty texts.
  const std::string& Field(std::size_t n) const;

  std::array<std::string, kFieldSlots> slots;
};

// Splits at every single blank: two blanks give an empty field between
// them, a leading or trailing blank an empty first or last field. Only
// A to Z of field 1 are lower-cased. Fields after the 25th are dropped.
LineFields SplitLine(std::string_view line);

// Hands out the lines of a file's text without their ends: a LF, and a CR
// just before it or at the very end. Past the last line every call yields
// an empty text, which readers meet as an empty command.
class LineReader {
 public:
  explicit LineReader(std::string text) : text_(std::move(text)) {}

  std::string_view NextLine();
  // Back to the first line, for "repeat".
  void Rewind() { pos_ = 0; }

 private:
  std::string text_;
  std::size_t pos_ = 0;
};

}  // namespace orv::script
