#include "generator/files/PresetFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "generator/files/FileBytes.h"
#include "tests/files/PresetInvariants.h"
#include "tests/files/StartRecord.h"

namespace orv {
namespace {

using test::SentinelSlots;
using test::StartRecord;

MemorySlots StartSlots() { return {StartRecord(1), StartRecord(2), StartRecord(3), StartRecord(4)}; }

std::vector<std::string> SplitCrLf(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(start, bytes.size()) << "bytes after the last line end";
    return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
}

// The file of the start slots, one line per element; line 1 is element 0.
std::vector<std::string> StartFileLines() { return SplitCrLf(WritePresetBytes(StartSlots())); }
size_t LineIndex(int slot, int blockLine) { return 1 + (slot - 1) * kPresetBlockLines + (blockLine - 1); }

TEST(PresetWriter, StartSlotsGive101LinesWhoseBlocksDifferOnlyInMarkerAndName) {
    const std::string bytes = WritePresetBytes(StartSlots());
    const std::vector<std::string> lines = SplitCrLf(bytes);
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines[0], "ORV Preset File V3.2");
    const std::vector<std::string> block1(lines.begin() + 1, lines.begin() + 26);
    EXPECT_EQ(block1, (std::vector<std::string>{"Preset1", "Memory 1", "100", "1000", "1000", "3", "0",
                                                "0", "-1", "-1", "-1", "-1", "0", "0", "0", "Constant",
                                                "0", "1", "1", "100", "100", "1", "1", "0", "0"}));
    for (int n = 2; n <= 4; ++n) {
        std::vector<std::string> block(lines.begin() + LineIndex(n, 1), lines.begin() + LineIndex(n, 1) + 25);
        EXPECT_EQ(block[0], "Preset" + std::to_string(n));
        EXPECT_EQ(block[1], "Memory " + std::to_string(n));
        block[0] = block1[0];
        block[1] = block1[1];
        EXPECT_EQ(block, block1) << "slot " << n;
    }
}

TEST(PresetWriter, LineBreaksAndEndOfFileInsideTextsBecomeBlanks) {
    MemorySlots slots = StartSlots();
    slots[0].Name = "Bass\r\nDrum";
    slots[0].fEdit = "10\n00";
    slots[1].Amplitude = std::string("-6\x1a") + "junk";
    const std::string bytes = WritePresetBytes(slots);
    ASSERT_EQ(SplitCrLf(bytes).size(), 101u);

    MemorySlots read = SentinelSlots();
    ASSERT_TRUE(ReadPresetBytes(bytes, read).Ok());
    MemorySlots expected = slots;
    expected[0].Name = "Bass  Drum";
    expected[0].fEdit = "10 00";
    expected[1].Amplitude = "-6 junk";
    EXPECT_EQ(read, expected);
}

TEST(PresetFile, FourDifferentSlotsRoundTrip) {
    MemorySlots slots;
    const char* names[] = {"Bass", "", "Höhen \xe9\xff", "a,b.c"};
    for (int i = 0; i < 4; ++i) {
        MemoryRecord& m = slots[i];
        m.Name = names[i];
        m.fEdit = i % 2 ? "1000,5" : "1000.5";
        m.fInit = "20," + std::to_string(i);
        m.fFinal = "20000." + std::to_string(i);
        m.Duration = " 3,25 ";
        m.Amplitude = "-" + std::to_string(10 * i);
        m.WaveForm = i;
        // Each slot sets a different pattern of the eight check boxes.
        const int bits = 0b10110100 ^ (0b01011011 * i);
        m.Loop = bits & 1;
        m.mono = bits & 2;
        m.Lefttick = bits & 4;
        m.RightTick = bits & 8;
        m.Logarithmic = bits & 16;
        m.Bidirectional = bits & 32;
        m.ModulationOn = bits & 64;
        m.PhaseEdit = i ? "90,5" : "";
        m.ActivePage = i % 2 ? SignalPage::Sweep : SignalPage::Constant;
        m.ModPeriodLeft = "0.5";
        m.ModPeriodRight = "1,5";
        m.ModDepthLeft = std::string("5\0" "0", 3);
        m.ModDepthRight = "100";
        m.ModFunctionLeft = 3 - i;
        m.ModFunctionRight = i == 3 ? -1 : 9;  // out-of-range indexes are kept as read
        m.ModPhaseLeft = "45";
        m.ModPhaseRight = "180.25";
    }
    // Every check box is seen both ways across the four slots.
    for (bool MemoryRecord::*box : {&MemoryRecord::Loop, &MemoryRecord::mono, &MemoryRecord::Lefttick,
                                    &MemoryRecord::RightTick, &MemoryRecord::Logarithmic,
                                    &MemoryRecord::Bidirectional, &MemoryRecord::ModulationOn}) {
        int checked = 0;
        for (const MemoryRecord& m : slots) checked += m.*box;
        ASSERT_TRUE(checked > 0 && checked < 4);
    }

    const std::string bytes = WritePresetBytes(slots);
    EXPECT_EQ(SplitCrLf(bytes)[LineIndex(2, 2)], "") << "an empty name is an empty line";
    MemorySlots read = SentinelSlots();
    const PresetLoadResult result = ReadPresetBytes(bytes, read);
    EXPECT_TRUE(result.Ok());
    EXPECT_EQ(result.Message(), "");
    EXPECT_EQ(read, slots);
}

// An integer line's text, placed on the WaveForm line of slot 3.
struct IntegerCase {
    const char* line;
    std::optional<int32_t> value;  // empty: "Invalid numeric input"
};

// Names the case by its line, with control and high bytes escaped.
std::string Escaped(std::string_view line) {
    std::string out;
    for (unsigned char c : line) {
        if (c >= ' ' && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return '"' + out + '"';
}
void PrintTo(const IntegerCase& c, std::ostream* os) { *os << Escaped(c.line); }

class PresetIntegerLine : public testing::TestWithParam<IntegerCase> {};

TEST_P(PresetIntegerLine, ReadsAsTheLineRuleSays) {
    std::vector<std::string> lines = StartFileLines();
    lines[LineIndex(3, 8)] = GetParam().line;
    MemorySlots slots = SentinelSlots();
    const PresetLoadResult result = ReadPresetBytes(JoinCrLf(lines), slots);
    if (GetParam().value) {
        ASSERT_TRUE(result.Ok());
        EXPECT_EQ(slots[2].WaveForm, *GetParam().value);
        EXPECT_EQ(slots[2].Loop, true) << "the next line was read in its place";
        EXPECT_EQ(slots[3], StartRecord(4));
    } else {
        EXPECT_EQ(result.Status, PresetLoadStatus::InvalidNumber);
        EXPECT_EQ(result.Message(), "Invalid numeric input");
        EXPECT_EQ(result.Slot, 3);
        EXPECT_EQ(result.BlockLine, 8);
        EXPECT_EQ(slots[2].WaveForm, 77) << "the bad field keeps its old value";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PresetIntegerLine,
    testing::Values(
        IntegerCase{"2", 2}, IntegerCase{"-1", -1}, IntegerCase{"+3", 3}, IntegerCase{"  \t 7", 7},
        IntegerCase{"5 and the rest of the line", 5}, IntegerCase{"6\tx", 6}, IntegerCase{"$A", 10},
        IntegerCase{"$ff", 255}, IntegerCase{"-$1", -1}, IntegerCase{"$FFFFFFFF", -1},
        IntegerCase{"$7FFFFFFF", INT32_MAX}, IntegerCase{"2147483647", INT32_MAX},
        IntegerCase{"-2147483648", INT32_MIN}, IntegerCase{"0000000000000000000000000000000000000042", 42},
        IntegerCase{"2147483648", std::nullopt}, IntegerCase{"-2147483649", std::nullopt},
        IntegerCase{"$100000000", std::nullopt}, IntegerCase{"99999999999999999999999", std::nullopt},
        IntegerCase{"True", std::nullopt}, IntegerCase{"1.0", std::nullopt}, IntegerCase{"1,0", std::nullopt},
        IntegerCase{"5x", std::nullopt}, IntegerCase{"0x10", std::nullopt}, IntegerCase{"$", std::nullopt},
        IntegerCase{"-", std::nullopt}, IntegerCase{"$G", std::nullopt}, IntegerCase{"--1", std::nullopt},
        IntegerCase{"1\xe9", std::nullopt}, IntegerCase{"\x01" "1", std::nullopt}));

TEST(PresetReader, AnyNonZeroBooleanIsChecked) {
    std::vector<std::string> lines = StartFileLines();
    lines[LineIndex(1, 9)] = "1";     // Loop
    lines[LineIndex(1, 10)] = "0";    // mono
    lines[LineIndex(1, 14)] = "2";    // Logarithmic
    lines[LineIndex(1, 15)] = "$10";  // Bidirectional
    lines[LineIndex(1, 17)] = "-7";   // ModulationOn
    MemorySlots slots = SentinelSlots();
    ASSERT_TRUE(ReadPresetBytes(JoinCrLf(lines), slots).Ok());
    EXPECT_TRUE(slots[0].Loop);
    EXPECT_FALSE(slots[0].mono);
    EXPECT_TRUE(slots[0].Logarithmic);
    EXPECT_TRUE(slots[0].Bidirectional);
    EXPECT_TRUE(slots[0].ModulationOn);
}

TEST(PresetReader, TrueStopsTheLoadAndKeepsWhatWasReadBefore) {
    MemorySlots file = StartSlots();
    for (MemoryRecord& m : file) m.Amplitude = "-12";
    std::vector<std::string> lines = SplitCrLf(WritePresetBytes(file));
    lines[LineIndex(2, 11)] = "True";  // Lefttick of slot 2

    MemorySlots slots = SentinelSlots();
    const PresetLoadResult result = ReadPresetBytes(JoinCrLf(lines), slots);
    EXPECT_EQ(result.Status, PresetLoadStatus::InvalidNumber);
    EXPECT_EQ(result.Message(), "Invalid numeric input");
    EXPECT_EQ(result.Slot, 2);
    EXPECT_EQ(result.BlockLine, 11);

    EXPECT_EQ(slots[0], file[0]);
    MemoryRecord partial = SentinelSlots()[1];
    partial.Name = "Memory 2";
    partial.fInit = "100";
    partial.fFinal = "1000";
    partial.fEdit = "1000";
    partial.Duration = "3";
    partial.Amplitude = "-12";
    partial.WaveForm = 0;
    partial.Loop = true;
    partial.mono = true;
    EXPECT_EQ(slots[1], partial);
    EXPECT_EQ(slots[2], SentinelSlots()[2]);
    EXPECT_EQ(slots[3], SentinelSlots()[3]);
}

TEST(PresetReader, BlockMarkersAreIgnored) {
    std::vector<std::string> lines = StartFileLines();
    lines[LineIndex(1, 1)] = "PresetX";
    lines[LineIndex(2, 1)] = "";
    lines[LineIndex(3, 1)] = "Preset1";
    lines[LineIndex(4, 1)] = "-1 \xff anything";
    MemorySlots slots = SentinelSlots();
    ASSERT_TRUE(ReadPresetBytes(JoinCrLf(lines), slots).Ok());
    EXPECT_EQ(slots, StartSlots());
}

struct PageCase {
    const char* line;
    SignalPage page;
};

void PrintTo(const PageCase& c, std::ostream* os) { *os << Escaped(c.line); }

class PresetPageLine : public testing::TestWithParam<PageCase> {};

TEST_P(PresetPageLine, OnlyExactlyConstantSelectsConstant) {
    std::vector<std::string> lines = StartFileLines();
    lines[LineIndex(4, 16)] = GetParam().line;
    MemorySlots slots = SentinelSlots();
    ASSERT_TRUE(ReadPresetBytes(JoinCrLf(lines), slots).Ok());
    EXPECT_EQ(slots[3].ActivePage, GetParam().page);
    EXPECT_EQ(slots[3].ModulationOn, false) << "the page line is one line";
}

INSTANTIATE_TEST_SUITE_P(Cases, PresetPageLine,
                         testing::Values(PageCase{"Constant", SignalPage::Constant},
                                         PageCase{"constant", SignalPage::Sweep},
                                         PageCase{"CONSTANT", SignalPage::Sweep},
                                         PageCase{"Constant ", SignalPage::Sweep},
                                         PageCase{" Constant", SignalPage::Sweep},
                                         PageCase{"Sweep", SignalPage::Sweep},
                                         PageCase{"", SignalPage::Sweep},
                                         PageCase{"0", SignalPage::Sweep}));

TEST(PresetReader, HeaderOnlyLoadsFourEmptySlots) {
    MemoryRecord empty;
    empty.ActivePage = SignalPage::Sweep;
    const MemorySlots emptySlots = {empty, empty, empty, empty};
    for (const std::string& bytes : {std::string("ORV Preset File V3.2\r\n"), std::string("ORV Preset File V3.2"),
                                    std::string("ORV Preset File V3.2\r\n\x1a") + JoinCrLf(StartFileLines())}) {
        MemorySlots slots = SentinelSlots();
        EXPECT_TRUE(ReadPresetBytes(bytes, slots).Ok());
        EXPECT_EQ(slots, emptySlots);
    }
}

TEST(PresetReader, WrongHeaderChangesNothing) {
    const std::string good = WritePresetBytes(StartSlots());
    std::string lfOnly;
    for (char c : good)
        if (c != '\r') lfOnly += c;
    for (const std::string& bytes : {lfOnly, std::string(), std::string("ORV Preset File V3.1\r\n"),
                                     std::string("orv preset file v3.2\r\n"), std::string("ORV Preset File V3.2 \r\n"),
                                     "\xef\xbb\xbf" + good, std::string("\x1a") + good}) {
        MemorySlots slots = SentinelSlots();
        const PresetLoadResult result = ReadPresetBytes(bytes, slots);
        EXPECT_EQ(result.Status, PresetLoadStatus::WrongFormat);
        EXPECT_EQ(result.Message(), "Wrong file format");
        EXPECT_EQ(slots, SentinelSlots());
    }
    // The header is everything up to the first CR, so a CR alone ends it.
    MemorySlots slots = SentinelSlots();
    EXPECT_TRUE(ReadPresetBytes("ORV Preset File V3.2\rrest of line 1\r\n", slots).Ok());
}

TEST(PresetReader, CharacterTwentySixEndsTheFile) {
    std::vector<std::string> lines = StartFileLines();
    lines[LineIndex(3, 2)] = std::string("Mem\x1aory 3");
    MemorySlots slots = SentinelSlots();
    ASSERT_TRUE(ReadPresetBytes(JoinCrLf(lines), slots).Ok());
    EXPECT_EQ(slots[0], StartRecord(1));
    EXPECT_EQ(slots[1], StartRecord(2));
    EXPECT_EQ(slots[2].Name, "Mem");
    EXPECT_EQ(slots[2].fInit, "");
    EXPECT_EQ(slots[2].WaveForm, 0);
    EXPECT_EQ(slots[2].Loop, false);
    EXPECT_EQ(slots[2].ActivePage, SignalPage::Sweep);
    EXPECT_EQ(slots[3].Name, "");
}

TEST(PresetReader, AFileEndingEarlyReadsTheRestAsEmpty) {
    MemoryRecord empty;
    empty.ActivePage = SignalPage::Sweep;
    const std::vector<std::string> lines = StartFileLines();
    // Cut after each whole block, and in the middle of a line of slot 2.
    for (int slots = 0; slots <= 4; ++slots) {
        const std::vector<std::string> kept(lines.begin(), lines.begin() + 1 + slots * kPresetBlockLines);
        MemorySlots read = SentinelSlots();
        ASSERT_TRUE(ReadPresetBytes(JoinCrLf(kept), read).Ok());
        for (int n = 1; n <= 4; ++n) EXPECT_EQ(read[n - 1], n <= slots ? StartRecord(n) : empty) << slots;
    }
    std::string cut = JoinCrLf(lines);
    cut.resize(cut.find("Memory 2") + 3);
    MemorySlots read = SentinelSlots();
    ASSERT_TRUE(ReadPresetBytes(cut, read).Ok());
    EXPECT_EQ(read[1].Name, "Mem");
    EXPECT_EQ(read[1].ModPhaseRight, "");
}

TEST(PresetReader, AnIntegerSkipsEmptyLinesBeforeIt) {
    // The number may stand on a later line; it and its line are consumed.
    std::vector<std::string> lines = StartFileLines();
    lines[LineIndex(1, 8)] = "";
    lines.insert(lines.begin() + LineIndex(1, 9), " \t 2 rest");
    MemorySlots slots = SentinelSlots();
    ASSERT_TRUE(ReadPresetBytes(JoinCrLf(lines), slots).Ok());
    EXPECT_EQ(slots[0].WaveForm, 2);
    EXPECT_EQ(slots[0].Loop, true);
    EXPECT_EQ(slots[3], StartRecord(4));
}

TEST(PresetReader, ValidItemIndexHasNoItemOutsideTheList) {
    for (const auto& [raw, valid] : std::vector<std::pair<int32_t, std::optional<int>>>{
             {0, 0}, {3, 3}, {-1, std::nullopt}, {4, std::nullopt}, {INT32_MIN, std::nullopt}, {INT32_MAX, std::nullopt}})
        EXPECT_EQ(ValidItemIndex(raw), valid) << raw;
}

TEST(ExamplesFile, LoadsWithoutErrorAndIsInTheWrittenLayout) {
    std::string bytes;
    const FileResult read = ReadFileBytes(ORV_EXAMPLES_FILE, bytes);
    ASSERT_TRUE(read.Ok) << read.ErrorText;
    MemorySlots slots = SentinelSlots();
    ASSERT_TRUE(ReadPresetBytes(bytes, slots).Ok());
    EXPECT_EQ(WritePresetBytes(slots), bytes);
    for (const MemoryRecord& m : slots) {
        EXPECT_FALSE(m.Name.empty());
        EXPECT_TRUE(ValidItemIndex(m.WaveForm) && ValidItemIndex(m.ModFunctionLeft) &&
                    ValidItemIndex(m.ModFunctionRight));
    }
    EXPECT_EQ(slots[0].ActivePage, SignalPage::Constant);
    EXPECT_EQ(slots[0].fEdit, "1000");
    EXPECT_EQ(slots[1].ActivePage, SignalPage::Sweep);
    EXPECT_TRUE(slots[1].Logarithmic && !slots[1].mono);
    EXPECT_EQ(slots[1].fInit + "-" + slots[1].fFinal, "20-20000");
    EXPECT_TRUE(slots[2].Loop && slots[2].Bidirectional);
    EXPECT_EQ(slots[2].fInit + "-" + slots[2].fFinal, "100-1000");
    EXPECT_TRUE(slots[3].ModulationOn);
}

}  // namespace
}  // namespace orv
