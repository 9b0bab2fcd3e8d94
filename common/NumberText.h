#pragma once
// Number text rules shared by both programs: every number the user sees or
// types is held as text and converted when used. The rules follow the
// conversions the program was first built with (Delphi's StrToFloat,
// FloatToStr, StrToInt and Round), so texts read and written by older files
// and by users keep their meaning.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// Text to number with the given decimal separator. Accepts blanks (spaces,
// tabs) before and after, an optional sign, digits with at most one separator
// (".5" and "5." included), and an exponent ("e" or "E", optional sign,
// digits). Anything else, an empty text, "inf" and "nan" fail. Values beyond
// the double range fail; values too small for it read as zero. The result is
// the double nearest to the text, whatever the C locale.
std::optional<double> TextToFloat(std::string_view text, char decimalSeparator);

// Number to text in the general format: rounded to 15 significant digits
// (halves away from zero), no trailing zeros, the given separator; scientific
// form ("1E20", "1.5E-7") only when fixed notation would need more than 15
// integer digits or the value is below 0.0001 in magnitude. Zero is "0",
// NaN is "NAN", infinities are "INF" and "-INF".
std::string FloatToText(double value, char decimalSeparator);

// Text to 32-bit integer: blanks around it, an optional sign, then decimal
// digits or "$" (also "0x", "0X") followed by hexadecimal digits. Decimal
// text out of range fails; hexadecimal text is a 32-bit pattern, so
// "$FFFFFFFF" is -1 and a ninth significant digit fails.
std::optional<int32_t> TextToInt(std::string_view text);

// Integer to its decimal text.
std::string IntToText(int64_t value);

// Rounds to the nearest integer, ties to even. Fails for NaN, infinities and
// results outside the 32-bit signed range.
std::optional<int32_t> RoundToInt(double value);

// The exit rule of the numeric fields: parse (Default when that fails), clamp
// to [Min, Max], round to Decimals places and return the normalised text.
// Max may be +infinity. A value whose scaled form leaves the 32-bit range is
// clamped to the largest (or smallest) 32-bit value rather than failing.
std::string ClampNumberText(std::string_view text, float min, float max,
                            float decimals, float defaultValue,
                            char decimalSeparator);

}  // namespace orv
