#include "scriptfile/ScriptFile.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace orv::script {
namespace {

std::vector<std::string> UsedFields(const LineFields& fields, std::size_t count) {
  return std::vector<std::string>(fields.slots.begin(), fields.slots.begin() + count);
}

TEST(ScriptFile, HeaderIsTheVersionComment) {
  EXPECT_EQ(kHeader, "rem ORV Script File for Version 3.2");
  EXPECT_TRUE(IsComment(SplitLine(kHeader).Field(1)));
}

struct SplitCase {
  const char* name;
  std::string line;
  std::vector<std::string> fields;  // the first fields; every later slot is empty
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << testing::PrintToString(c.line); }

class SplitLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLineTest, FieldsAtEverySingleBlank) {
  const SplitCase& c = GetParam();
  const LineFields fields = SplitLine(c.line);
  EXPECT_EQ(UsedFields(fields, c.fields.size()), c.fields);
  for (std::size_t n = c.fields.size() + 1; n <= kFieldSlots + 2; ++n) {
    EXPECT_EQ(fields.Field(n), "") << "field " << n;
  }
  EXPECT_EQ(fields.Field(0), "");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitLineTest,
    testing::Values(
        SplitCase{"Empty", "", {""}},
        SplitCase{"NoBlanks", "tone1000", {"tone1000"}},
        SplitCase{"TrailingBlankGivesEmptyField", "pause ", {"pause", ""}},
        SplitCase{"LeadingBlankGivesEmptyCommand", " tone 1000", {"", "tone", "1000"}},
        SplitCase{"TwoBlanksGiveEmptyField", "tone 1000  3", {"tone", "1000", "", "3"}},
        SplitCase{"OnlyBlanks", "   ", {"", "", "", ""}},
        SplitCase{"TabsAndCrAreOrdinary", "tone\t1 2\r", {"tone\t1", "2\r"}},
        SplitCase{"OnlyFieldOneLowerCased", "SwEeP LOG Lin", {"sweep", "LOG", "Lin"}},
        SplitCase{"OnlyAToZLowerCased", "T\xC3\x96NE\x01Z[@ X", {"t\xC3\x96ne\x01z[@", "X"}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

TEST(SplitLine, KeepsTwentyFiveFieldsAndDropsTheRest) {
  std::string line;
  std::vector<std::string> expected;
  for (int i = 1; i <= 40; ++i) {
    if (i > 1) line += ' ';
    line += "f" + std::to_string(i);
    if (i <= 25) expected.push_back("f" + std::to_string(i));
  }
  const LineFields fields = SplitLine(line);
  EXPECT_EQ(UsedFields(fields, kFieldSlots), expected);
  EXPECT_EQ(fields.Field(26), "");

  // Thirty blanks after a keyword: every slot empty but the first.
  const LineFields blanks = SplitLine("end" + std::string(30, ' ') + "x");
  EXPECT_EQ(blanks.Field(1), "end");
  for (std::size_t n = 2; n <= kFieldSlots; ++n) EXPECT_EQ(blanks.Field(n), "");
}

TEST(ScriptFile, KeywordsInAnyCaseNameTheirCommands) {
  const std::pair<const char*, Command> cases[] = {
      {"tone", Command::Tone},   {"SWEEP", Command::Sweep},   {"Delay", Command::Delay},
      {"pAuse", Command::Pause}, {"REPEAT", Command::Repeat}, {"End", Command::End}};
  for (const auto& [keyword, command] : cases) {
    EXPECT_EQ(CommandOf(SplitLine(std::string(keyword) + " x").Field(1)), command) << keyword;
    EXPECT_EQ(static_cast<int>(command), static_cast<int>(CommandOf(KeywordOf(command)).value()));
  }
  for (const char* other : {"", "rem", "tones", "remark", "end\r", "\xC4nd"}) {
    EXPECT_FALSE(CommandOf(other).has_value()) << other;
  }
  EXPECT_TRUE(IsComment(SplitLine("REM anything at all").Field(1)));
  EXPECT_FALSE(IsComment(SplitLine(" rem").Field(1)));
  EXPECT_FALSE(IsComment("remark"));
}

TEST(LineReader, StripsLineEndsAndYieldsEmptyLinesPastTheEnd) {
  LineReader reader("rem a\r\ntone 1\nend\r\n\r\ndelay 2\r");
  for (const char* expected : {"rem a", "tone 1", "end", "", "delay 2", "", ""}) {
    EXPECT_EQ(reader.NextLine(), expected);
  }
  reader.Rewind();
  EXPECT_EQ(reader.NextLine(), "rem a");

  LineReader empty("");
  EXPECT_EQ(empty.NextLine(), "");
  EXPECT_EQ(empty.NextLine(), "");

  // A CR inside a line is part of it.
  LineReader inner("a\rb\r\n");
  EXPECT_EQ(inner.NextLine(), "a\rb");
}

// Comments are skipped wherever they stand; an empty command is not one.
TEST(LineReader, CommentLinesAnywhereAreSkipped) {
  LineReader reader(
      "rem ORV Script File for Version 9.9\r\nrem\r\ntone 1000 3 -6 0 M 0 0 \r\n"
      "REM between lines\r\ndelay 2\r\nRem end\r\nend\r\nrem after the end\r\n");
  std::vector<std::string> commands;
  int comments = 0;
  for (int i = 0; i < 8; ++i) {
    const LineFields fields = SplitLine(reader.NextLine());
    if (IsComment(fields.Field(1))) {
      ++comments;
    } else {
      ASSERT_TRUE(CommandOf(fields.Field(1)).has_value()) << "line " << i + 1;
      commands.push_back(fields.Field(1));
    }
  }
  EXPECT_EQ(comments, 5);
  EXPECT_EQ(commands, (std::vector<std::string>{"tone", "delay", "end"}));
  EXPECT_FALSE(CommandOf(SplitLine(reader.NextLine()).Field(1)).has_value());
}

}  // namespace
}  // namespace orv::script
