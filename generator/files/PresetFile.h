#pragma once
// The preset file ".orv": a header line and four blocks of 25 lines, one per
// memory slot, each line ended by CR LF. Texts pass through as bytes, with no
// encoding or decimal-separator conversion.
#include <string>
#include <string_view>

#include "generator/files/MemoryRecord.h"

namespace orv {

inline constexpr std::string_view kPresetHeader = "ORV Preset File V3.2";
inline constexpr int kPresetBlockLines = 25;
inline constexpr int kPresetFileLines = 1 + kMemoryCount * kPresetBlockLines;

// The message texts the window shows for a failed load.
inline constexpr std::string_view kWrongFileFormat = "Wrong file format";
inline constexpr std::string_view kInvalidNumericInput = "Invalid numeric input";

// The whole file. A CR, LF or character 26 inside a text would end its line
// (or the file) early when read back and shift every later field, so each is
// written as a blank.
[[nodiscard]] std::string WritePresetBytes(const MemorySlots& slots);

enum class PresetLoadStatus {
    Loaded,         // all four slots read; the captions follow the names
    WrongFormat,    // header mismatch; nothing was written
    InvalidNumber,  // stopped at an integer line; see Slot and BlockLine
};

struct PresetLoadResult {
    PresetLoadStatus Status = PresetLoadStatus::Loaded;
    // Where an invalid integer line stopped the load: slot 1 to 4 and the
    // line within its block, 8 to 23. Every field read before it keeps its
    // new value; that field and all after it keep their old ones.
    int Slot = 0;
    int BlockLine = 0;

    bool Ok() const { return Status == PresetLoadStatus::Loaded; }
    // "Wrong file format", "Invalid numeric input", or empty when loaded.
    std::string_view Message() const;
};

// Reads a preset file's bytes into the slots, writing each field as soon as
// it has been read, so a load that stops keeps what came before. Character
// 26 ends the file; a file that ends early reads the missing texts as empty
// and the missing integers as 0.
//   Text line: the bytes up to the next CR; the read then moves past the
//   next LF.
//   Integer line: blanks, tabs, CRs and LFs are skipped; the number is the
//   run of bytes up to the next blank or control character: an optional
//   sign, then decimal digits or "$" and hexadecimal digits, in 32 bits; the
//   rest of its line is skipped. Booleans are true for any non-zero value.
//   Block marker: read and ignored. Page line: exactly "Constant" selects
//   the Constant page, anything else Sweep.
[[nodiscard]] PresetLoadResult ReadPresetBytes(std::string_view bytes,
                                               MemorySlots& slots);

}  // namespace orv
