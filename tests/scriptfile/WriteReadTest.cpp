#include "TestSinks.h"
#include "scriptfile/ScriptFile.h"
#include "scriptfile/ScriptReader.h"
#include "scriptfile/ScriptWriter.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace orv::script {
namespace {

using Writes = std::vector<std::string>;

MemoryRecord Tone(std::string frequency, std::string duration, std::string amplitude, int32_t waveform) {
  MemoryRecord r;
  r.command = 0;
  r.frequency = std::move(frequency);
  r.duration = std::move(duration);
  r.amplitude = std::move(amplitude);
  r.waveform = waveform;
  r.channelPhase = "0";
  return r;
}

MemoryRecord MonoTone1000() {
  MemoryRecord r = Tone("1000", "3", "-6", 0);
  r.mono = r.left = r.right = true;
  return r;
}

MemoryRecord StereoLogSweep() {
  MemoryRecord r;
  r.command = 1;
  r.frequency = "20";
  r.finalFrequency = "20000";
  r.duration = "10";
  r.amplitude = "0";
  r.left = r.right = r.logarithmic = true;
  r.channelPhase = "90";
  return r;
}

MemoryRecord LeftModulatedTone() {
  MemoryRecord r = Tone("440", "5", "-10", 1);
  r.left = true;
  r.modulationOn = true;
  r.leftModPeriod = "2";
  r.leftModDepth = "50";
  r.leftModFunction = 0;
  r.leftModPhase = "0";
  r.rightModPeriod = "4";
  r.rightModDepth = "100";
  r.rightModFunction = 3;
  r.rightModPhase = "90";
  return r;
}

MemoryRecord MonoModulatedTone() {
  MemoryRecord r = MonoTone1000();
  r.modulationOn = true;
  r.leftModPeriod = "2";
  r.leftModDepth = "50";
  r.leftModFunction = 1;
  r.leftModPhase = "45";
  r.rightModPeriod = "4";
  r.rightModDepth = "100";
  r.rightModFunction = 3;
  r.rightModPhase = "90";
  return r;
}

MemoryRecord Command_(int32_t command, std::string duration = "") {
  MemoryRecord r;
  r.command = command;
  r.duration = std::move(duration);
  return r;
}

const Writes kMonoTone1000Writes = {"Tone", "fEdit=1000", "Duration=3", "Amplitude=-6",
                                    "WaveForm#0", "mono=1", "ModulationOn=0"};

Writes Read(const std::string& line, std::string* error = nullptr) {
  const LineFields fields = SplitLine(line);
  RecordingSink sink;
  const std::optional<Command> command = CommandOf(fields.Field(1));
  EXPECT_TRUE(command == Command::Tone || command == Command::Sweep) << line;
  const ReadResult result =
      command == Command::Sweep ? ReadSweepLine(fields, sink) : ReadToneLine(fields, sink);
  if (error) {
    *error = result.error;
  } else {
    EXPECT_TRUE(result.ok()) << result.error;
  }
  return sink.writes;
}

struct WorkedLine {
  const char* name;
  MemoryRecord record;
  std::string text;
  Writes writes;  // what reading it sets, for tones and sweeps
};

void PrintTo(const WorkedLine& c, std::ostream* os) { *os << c.text; }

class WorkedLineTest : public testing::TestWithParam<WorkedLine> {};

TEST_P(WorkedLineTest, WritesTheLineAndReadsItBack) {
  const WorkedLine& c = GetParam();
  ASSERT_EQ(ScriptLineText(c.record), c.text);
  const LineFields fields = SplitLine(c.text);
  const Command command = static_cast<Command>(c.record.command);
  ASSERT_EQ(CommandOf(fields.Field(1)), command);
  if (command == Command::Tone || command == Command::Sweep) {
    EXPECT_EQ(Read(c.text), c.writes);
  } else if (command == Command::Delay) {
    const DelayTime delay = DelaySeconds(fields, '.');
    ASSERT_TRUE(delay.ok()) << delay.error;
    EXPECT_EQ(delay.seconds, 2.0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WorkedLineTest,
    testing::Values(
        WorkedLine{"MonoSineTone", MonoTone1000(), "tone 1000 3 -6 0 M 0 0 ", kMonoTone1000Writes},
        WorkedLine{"StereoLogSweep", StereoLogSweep(), "sweep 20 20000 10 0 0 LR 90 LOG 0 ",
                   {"Sweep", "fInit=20", "fFinal=20000", "Duration=10", "Amplitude=0", "WaveForm#0",
                    "mono=0", "Lefttick=1", "RightTick=1", "PhaseEdit=90", "Logarithmic=1",
                    "ModulationOn=0"}},
        WorkedLine{"LeftModulatedTone", LeftModulatedTone(),
                   "tone 440 5 -10 1 L 0 1 2 50 0 0 4 100 3 90 ",
                   {"Tone", "fEdit=440", "Duration=5", "Amplitude=-10", "WaveForm#1", "mono=0",
                    "Lefttick=1", "RightTick=0", "ModulationOn=1", "ModPeriodLeftEdit=2",
                    "ModDepthLeftEdit=50", "ModFunctionLeft#0", "ModPhaseLeftEdit=0",
                    "ModPeriodRightEdit=4", "ModDepthRightEdit=100", "ModFunctionRight#3",
                    "ModPhaseRightEdit=90"}},
        // Mono writes the left group only, and the reader accepts it.
        WorkedLine{"MonoModulatedTone", MonoModulatedTone(), "tone 1000 3 -6 0 M 0 1 2 50 1 45 ",
                   {"Tone", "fEdit=1000", "Duration=3", "Amplitude=-6", "WaveForm#0", "mono=1",
                    "ModulationOn=1", "ModPeriodLeftEdit=2", "ModDepthLeftEdit=50",
                    "ModFunctionLeft#1", "ModPhaseLeftEdit=45"}},
        WorkedLine{"Delay", Command_(2, "2"), "delay 2", {}},
        WorkedLine{"Pause", Command_(3, "2"), "pause ", {}},
        WorkedLine{"Repeat", Command_(4), "repeat ", {}},
        WorkedLine{"End", Command_(5), "end", {}}),
    [](const testing::TestParamInfo<WorkedLine>& info) { return info.param.name; });

TEST(ScriptWriter, ChannelFieldFollowsTheChecks) {
  MemoryRecord r = Tone("1", "2", "3", 2);
  const std::pair<std::pair<bool, bool>, const char*> cases[] = {
      {{true, false}, "tone 1 2 3 2 L 0 0 "},
      {{false, true}, "tone 1 2 3 2 R 0 0 "},
      {{true, true}, "tone 1 2 3 2 LR 0 0 "},
      {{false, false}, "tone 1 2 3 2  0 0 "}};
  for (const auto& [checks, text] : cases) {
    r.left = checks.first;
    r.right = checks.second;
    EXPECT_EQ(ScriptLineText(r), text);
  }
  r.command = 1;
  r.finalFrequency = "9";
  EXPECT_EQ(ScriptLineText(r), "sweep 1 9 2 3 2  0 LIN 0 ");
  r.waveform = -1;
  EXPECT_EQ(ScriptLineText(r), "sweep 1 9 2 3 -1  0 LIN 0 ");
}

// A blank typed into a value would move every later field one place on.
TEST(ScriptWriter, ValuesLoseBlanksAndLineBreaks) {
  MemoryRecord r = MonoTone1000();
  r.frequency = " 1 000 ";
  r.duration = "3\r\n";
  EXPECT_EQ(ScriptLineText(r), "tone 1000 3 -6 0 M 0 0 ");
  EXPECT_EQ(ScriptLineText(Command_(2, " 2\n")), "delay 2");
}

TEST(ScriptWriter, CommandsOutsideTheListWriteNoLine) {
  for (int32_t command : {-1, 6, 7, 1000}) EXPECT_FALSE(ScriptLineText(Command_(command)).has_value());
}

struct FileCase {
  const char* name;
  std::vector<MemoryRecord> lines;
  std::string text;
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.lines.size() << " lines"; }

class ScriptFileTextTest : public testing::TestWithParam<FileCase> {};

TEST_P(ScriptFileTextTest, HeaderLinesAndClosingEnd) {
  EXPECT_EQ(ScriptFileText(GetParam().lines), GetParam().text);
}

const std::string kHead = "rem ORV Script File for Version 3.2\r\n";
const std::string kToneDelaySweep = kHead + "tone 1000 3 -6 0 M 0 0 \r\ndelay 2\r\n" +
                                    "sweep 20 20000 10 0 0 LR 90 LOG 0 \r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, ScriptFileTextTest,
    testing::Values(
        // Five lines: the header, the three commands and the closing end.
        FileCase{"ToneDelaySweep", {MonoTone1000(), Command_(2, "2"), StereoLogSweep()},
                 kToneDelaySweep + "end\r\n"},
        // Four lines: a final Repeat needs no end.
        FileCase{"EndingWithRepeat", {MonoTone1000(), Command_(2, "2"), Command_(4)},
                 kHead + "tone 1000 3 -6 0 M 0 0 \r\ndelay 2\r\nrepeat \r\n"},
        FileCase{"EndingWithEnd", {Command_(3), Command_(5)}, kHead + "pause \r\nend\r\n"},
        FileCase{"EndingWithPause", {Command_(5), Command_(3)}, kHead + "end\r\npause \r\nend\r\n"},
        FileCase{"NoLines", {}, kHead + "end\r\n"},
        FileCase{"NonCommandsLeftOut", {Command_(4), Command_(6)}, kHead + "repeat \r\n"}),
    [](const testing::TestParamInfo<FileCase>& info) { return info.param.name; });

TEST(ScriptFileText, EditorFileHoldsFiveLines) {
  const MemoryRecord lines[] = {MonoTone1000(), Command_(2, "2"), StereoLogSweep()};
  LineReader reader(ScriptFileText(lines));
  std::vector<std::string> read;
  for (std::string_view line = reader.NextLine(); !line.empty(); line = reader.NextLine()) {
    read.emplace_back(line);
  }
  EXPECT_EQ(read, (std::vector<std::string>{std::string(kHeader), "tone 1000 3 -6 0 M 0 0 ", "delay 2",
                                            "sweep 20 20000 10 0 0 LR 90 LOG 0 ", "end"}));
}

struct ReadCase {
  const char* name;
  std::string line;
  Writes writes;
  std::string error;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.line; }

class ReadLineTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadLineTest, SetsControlsInOrderAndStopsAtABadIndex) {
  std::string error;
  EXPECT_EQ(Read(GetParam().line, &error), GetParam().writes);
  EXPECT_EQ(error, GetParam().error);
}

const Writes kToneHead = {"Tone", "fEdit=1000", "Duration=3", "Amplitude=-6", "WaveForm#0"};

Writes ToneHeadThen(Writes rest) {
  Writes writes = kToneHead;
  writes.insert(writes.end(), rest.begin(), rest.end());
  return writes;
}

const Writes kLeftGroup = {"ModulationOn=1", "ModPeriodLeftEdit=2", "ModDepthLeftEdit=50",
                           "ModFunctionLeft#0", "ModPhaseLeftEdit=0"};

Writes Concat(Writes a, const Writes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadLineTest,
    testing::Values(
        ReadCase{"CapitalTNoTrailingBlank", "Tone 1000 3 -6 0 M 0 0", kMonoTone1000Writes, ""},
        ReadCase{"LowerCaseLogIsLinear", "SWEEP 20 20000 10 0 0 LR 90 log 0 ",
                 {"Sweep", "fInit=20", "fFinal=20000", "Duration=10", "Amplitude=0", "WaveForm#0",
                  "mono=0", "Lefttick=1", "RightTick=1", "PhaseEdit=90", "Logarithmic=0",
                  "ModulationOn=0"},
                 ""},
        ReadCase{"ModulationFlagTwoIsOff", "tone 1000 3 -6 0 M 0 2 2 50 0 0 ", kMonoTone1000Writes, ""},
        ReadCase{"ModulationFlagOnIsOff", "tone 1000 3 -6 0 M 0 on 2 50 x 0 ", kMonoTone1000Writes, ""},
        ReadCase{"RightOnlyIgnoresPhase", "tone 1000 3 -6 0 R 45 0 ",
                 ToneHeadThen({"mono=0", "Lefttick=0", "RightTick=1", "ModulationOn=0"}), ""},
        ReadCase{"LeftOnlyIgnoresPhase", "tone 1000 3 -6 0 L 45 0 ",
                 ToneHeadThen({"mono=0", "Lefttick=1", "RightTick=0", "ModulationOn=0"}), ""},
        ReadCase{"BothTakePhase", "tone 1000 3 -6 0 LR 45 0 ",
                 ToneHeadThen({"mono=0", "Lefttick=1", "RightTick=1", "PhaseEdit=45", "ModulationOn=0"}), ""},
        ReadCase{"EmptyChannelIsBoth", "tone 1000 3 -6 0  45 0 ",
                 ToneHeadThen({"mono=0", "Lefttick=1", "RightTick=1", "PhaseEdit=45", "ModulationOn=0"}), ""},
        ReadCase{"LongChannelIsBoth", "tone 1000 3 -6 0 RL 45 0 ",
                 ToneHeadThen({"mono=0", "Lefttick=1", "RightTick=1", "PhaseEdit=45", "ModulationOn=0"}), ""},
        ReadCase{"OtherLetterIsBothWithoutPhase", "tone 1000 3 -6 0 m 45 0 ",
                 ToneHeadThen({"mono=0", "Lefttick=1", "RightTick=1", "ModulationOn=0"}), ""},
        ReadCase{"TwoBlanksShiftTheFields", "tone 1000  3 -6 0 M 0 0 ",
                 {"Tone", "fEdit=1000", "Duration=", "Amplitude=3", "WaveForm#-6", "mono=0",
                  "Lefttick=1", "RightTick=1", "ModulationOn=0"},
                 ""},
        ReadCase{"IndexOutsideListPassesThrough", "tone 1000 3 -6 +7 M 0 0 ",
                 {"Tone", "fEdit=1000", "Duration=3", "Amplitude=-6", "WaveForm#7", "mono=1",
                  "ModulationOn=0"},
                 ""},
        ReadCase{"MissingFieldsAreEmptyUntilTheIndex", "tone 1000",
                 {"Tone", "fEdit=1000", "Duration=", "Amplitude="}, "'' is not a valid integer value"},
        ReadCase{"WaveformWord", "tone 1000 3 -6 sine M 0 0 ",
                 {"Tone", "fEdit=1000", "Duration=3", "Amplitude=-6"}, "'sine' is not a valid integer value"},
        ReadCase{"WaveformHex", "tone 1000 3 -6 $1 M 0 0 ",
                 {"Tone", "fEdit=1000", "Duration=3", "Amplitude=-6"}, "'$1' is not a valid integer value"},
        ReadCase{"WaveformFraction", "tone 1000 3 -6 1.0 M 0 0 ",
                 {"Tone", "fEdit=1000", "Duration=3", "Amplitude=-6"}, "'1.0' is not a valid integer value"},
        ReadCase{"WaveformSigns", "tone 1000 3 -6 +-1 M 0 0 ",
                 {"Tone", "fEdit=1000", "Duration=3", "Amplitude=-6"}, "'+-1' is not a valid integer value"},
        ReadCase{"WaveformTooLarge", "tone 1000 3 -6 2147483648 M 0 0 ",
                 {"Tone", "fEdit=1000", "Duration=3", "Amplitude=-6"},
                 "'2147483648' is not a valid integer value"},
        ReadCase{"LeftFunctionEmpty", "tone 1000 3 -6 0 M 0 1 2 50  0 ",
                 ToneHeadThen({"mono=1", "ModulationOn=1", "ModPeriodLeftEdit=2", "ModDepthLeftEdit=50"}),
                 "'' is not a valid integer value"},
        ReadCase{"MonoLeftGroupOnly", "tone 1000 3 -6 0 M 0 1 2 50 0 0",
                 Concat(ToneHeadThen({"mono=1"}), kLeftGroup), ""},
        ReadCase{"MonoWithRightGroupReadsIt", "tone 1000 3 -6 0 M 0 1 2 50 0 0 4 100 3 90 ",
                 Concat(ToneHeadThen({"mono=1"}),
                        Concat(kLeftGroup, {"ModPeriodRightEdit=4", "ModDepthRightEdit=100",
                                            "ModFunctionRight#3", "ModPhaseRightEdit=90"})),
                 ""},
        ReadCase{"StereoNeedsTheRightGroup", "tone 1000 3 -6 0 LR 0 1 2 50 0 0 ",
                 Concat(ToneHeadThen({"mono=0", "Lefttick=1", "RightTick=1", "PhaseEdit=0"}),
                        Concat(kLeftGroup, {"ModPeriodRightEdit=", "ModDepthRightEdit="})),
                 "'' is not a valid integer value"},
        ReadCase{"MonoSweepLeftGroupOnly", "sweep 20 200 1 0 0 M 0 LIN 1 2 50 0 0 ",
                 Concat({"Sweep", "fInit=20", "fFinal=200", "Duration=1", "Amplitude=0", "WaveForm#0",
                         "mono=1", "Logarithmic=0"},
                        kLeftGroup),
                 ""}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(ScriptReader, DelayFollowsTheDecimalSeparator) {
  const struct {
    const char* line;
    char separator;
    double seconds;
    const char* error;
  } cases[] = {
      {"delay 2", '.', 2.0, ""},
      {"delay 0.25", '.', 0.25, ""},
      {"DELAY -1 extra fields", '.', -1.0, ""},
      {"delay 0,25", ',', 0.25, ""},
      {"delay 0.25", ',', 0, "'0.25' is not a valid floating point value"},
      {"delay", '.', 0, "'' is not a valid floating point value"},
      {"delay  2", '.', 0, "'' is not a valid floating point value"},
      {"delay 1e999", '.', 0, "'1e999' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    const DelayTime delay = DelaySeconds(SplitLine(c.line), c.separator);
    EXPECT_EQ(delay.error, c.error) << c.line;
    if (delay.ok()) {
      EXPECT_EQ(delay.seconds, c.seconds) << c.line;
    }
  }
}

}  // namespace
}  // namespace orv::script
