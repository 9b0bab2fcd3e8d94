#pragma once
// Number text rules shared by both programs: every number the user sees or
// types is held as text and converted when used.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// Text to number with the given decimal separator. Accepts blanks before and
// after, an optional sign, digits with at most one separator, and an exponent
// ("e" or "E", optional sign, digits). Anything else, an empty text, "inf" and
// "nan" fail. Values beyond the double range fail as well.
std::optional<double> TextToFloat(std::string_view text, char decimalSeparator);

// Number to text in the general format: at most 15 significant digits, no
// trailing zeros, the given separator; scientific form ("1E20", "1.5E-7") only
// when fixed notation would need more than 15 integer digits or the value is
// below 0.00001 in magnitude.
std::string FloatToText(double value, char decimalSeparator);

// Text to 32-bit integer: blanks around it, an optional sign, then decimal
// digits or "$" followed by hexadecimal digits. Out of range fails.
std::optional<int32_t> TextToInt(std::string_view text);

// Integer to its decimal text.
std::string IntToText(int64_t value);

// Rounds to the nearest integer, ties to even. Fails for NaN and for values
// outside the 32-bit signed range.
std::optional<int32_t> RoundToInt(double value);

// The exit rule of the numeric fields: parse (Default when that fails), clamp
// to [Min, Max], round to Decimals places and return the normalised text.
// A value whose scaled form leaves the 32-bit range is clamped to the largest
// representable value rather than failing.
std::string ClampNumberText(std::string_view text, float min, float max,
                            float decimals, float defaultValue,
                            char decimalSeparator);

}  // namespace orv
