#include "generator/files/PresetFile.h"

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <variant>

#include "common/NumberText.h"

namespace orv {
namespace {

constexpr char kEndOfFile = 26;
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kConstantPage = "Constant";
constexpr std::string_view kSweepPage = "Sweep";

class Writer {
public:
    void Text(std::string_view text) {
        for (char c : text)
            out_ += (c == '\r' || c == '\n' || c == kEndOfFile) ? ' ' : c;
        out_ += kLineEnd;
    }
    void Integer(int32_t value) { Text(IntToText(value)); }
    void Boolean(bool value) { Text(value ? "-1" : "0"); }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

// Reads lines the way the file was always read: a text runs to the next CR
// and the read then moves past the next LF; an integer skips line breaks
// and blanks before it.
class Reader {
public:
    explicit Reader(std::string_view bytes)
        : data_(bytes.substr(0, bytes.find(kEndOfFile))) {}

    std::string Text() {
        const size_t cr = data_.find('\r', pos_);
        const size_t end = cr == std::string_view::npos ? data_.size() : cr;
        std::string text(data_.substr(pos_, end - pos_));
        pos_ = end;
        SkipPastLineFeed();
        return text;
    }

    // Empty when the line does not hold a valid integer; 0 at the end of
    // the file.
    std::optional<int32_t> Integer() {
        while (pos_ < data_.size() && IsSkipped(data_[pos_])) ++pos_;
        if (pos_ == data_.size()) return 0;
        const size_t start = pos_;
        while (pos_ < data_.size() && !EndsNumber(data_[pos_])) ++pos_;
        const std::optional<int32_t> value = ParseInteger(data_.substr(start, pos_ - start));
        SkipPastLineFeed();
        return value;
    }

private:
    static bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool EndsNumber(char c) {
        const auto u = static_cast<unsigned char>(c);
        return u <= ' ' || u == 0x7f;
    }
    static int DigitValue(char c, bool hex) {
        if (c >= '0' && c <= '9') return c - '0';
        if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    // Sign, then decimal digits or "$" and hexadecimal digits. Decimal text
    // must fit 32 bits; hexadecimal text is a 32-bit pattern ("$FFFFFFFF"
    // is -1).
    static std::optional<int32_t> ParseInteger(std::string_view token) {
        size_t i = 0;
        const bool negative = i < token.size() && token[i] == '-';
        if (i < token.size() && (token[i] == '-' || token[i] == '+')) ++i;
        const bool hex = i < token.size() && token[i] == '$';
        if (hex) ++i;
        if (i == token.size()) return std::nullopt;
        const uint64_t limit = hex ? UINT32_MAX : (negative ? 0x80000000u : INT32_MAX);
        uint64_t value = 0;
        for (; i < token.size(); ++i) {
            const int digit = DigitValue(token[i], hex);
            if (digit < 0) return std::nullopt;
            value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
            if (value > limit) return std::nullopt;
        }
        uint32_t bits = static_cast<uint32_t>(value);
        if (negative) bits = 0u - bits;
        return static_cast<int32_t>(bits);
    }

    void SkipPastLineFeed() {
        const size_t lf = data_.find('\n', pos_);
        pos_ = lf == std::string_view::npos ? data_.size() : lf + 1;
    }

    std::string_view data_;
    size_t pos_ = 0;
};

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

// Lines 2 to 25 of a block, in file order (line 1 is the marker). The three
// frequencies come start, final, constant, unlike the record's order.
using Field = std::variant<std::string MemoryRecord::*, int32_t MemoryRecord::*,
                           bool MemoryRecord::*, SignalPage MemoryRecord::*>;
const std::array<Field, kPresetBlockLines - 1> kBlockFields = {
    &MemoryRecord::Name,          &MemoryRecord::fInit,           &MemoryRecord::fFinal,
    &MemoryRecord::fEdit,         &MemoryRecord::Duration,        &MemoryRecord::Amplitude,
    &MemoryRecord::WaveForm,      &MemoryRecord::Loop,            &MemoryRecord::mono,
    &MemoryRecord::Lefttick,      &MemoryRecord::RightTick,       &MemoryRecord::PhaseEdit,
    &MemoryRecord::Logarithmic,   &MemoryRecord::Bidirectional,   &MemoryRecord::ActivePage,
    &MemoryRecord::ModulationOn,  &MemoryRecord::ModPeriodLeft,   &MemoryRecord::ModPeriodRight,
    &MemoryRecord::ModDepthLeft,  &MemoryRecord::ModDepthRight,   &MemoryRecord::ModFunctionLeft,
    &MemoryRecord::ModFunctionRight, &MemoryRecord::ModPhaseLeft, &MemoryRecord::ModPhaseRight,
};

}  // namespace

std::string_view PresetLoadResult::Message() const {
    switch (Status) {
    case PresetLoadStatus::WrongFormat: return kWrongFileFormat;
    case PresetLoadStatus::InvalidNumber: return kInvalidNumericInput;
    case PresetLoadStatus::Loaded: break;
    }
    return {};
}

std::string WritePresetBytes(const MemorySlots& slots) {
    Writer w;
    w.Text(kPresetHeader);
    for (int n = 1; n <= kMemoryCount; ++n) {
        const MemoryRecord& m = slots[n - 1];
        w.Text("Preset" + IntToText(n));
        for (const Field& field : kBlockFields) {
            std::visit(Overloaded{
                           [&](std::string MemoryRecord::*f) { w.Text(m.*f); },
                           [&](int32_t MemoryRecord::*f) { w.Integer(m.*f); },
                           [&](bool MemoryRecord::*f) { w.Boolean(m.*f); },
                           [&](SignalPage MemoryRecord::*f) {
                               w.Text(m.*f == SignalPage::Constant ? kConstantPage : kSweepPage);
                           },
                       },
                       field);
        }
    }
    return w.Take();
}

PresetLoadResult ReadPresetBytes(std::string_view bytes, MemorySlots& slots) {
    Reader r(bytes);
    if (r.Text() != kPresetHeader) return {PresetLoadStatus::WrongFormat};

    for (int n = 1; n <= kMemoryCount; ++n) {
        MemoryRecord& m = slots[n - 1];
        (void)r.Text();  // the block marker, whatever it holds
        int line = 1;
        for (const Field& field : kBlockFields) {
            ++line;
            // An integer field is written only once its line has proved valid.
            const bool valid = std::visit(
                Overloaded{
                    [&](std::string MemoryRecord::*f) {
                        m.*f = r.Text();
                        return true;
                    },
                    [&](int32_t MemoryRecord::*f) {
                        const std::optional<int32_t> value = r.Integer();
                        if (value) m.*f = *value;
                        return value.has_value();
                    },
                    [&](bool MemoryRecord::*f) {
                        const std::optional<int32_t> value = r.Integer();
                        if (value) m.*f = *value != 0;
                        return value.has_value();
                    },
                    [&](SignalPage MemoryRecord::*f) {
                        m.*f = r.Text() == kConstantPage ? SignalPage::Constant : SignalPage::Sweep;
                        return true;
                    },
                },
                field);
            if (!valid) return {PresetLoadStatus::InvalidNumber, n, line};
        }
    }
    return {};
}

}  // namespace orv
