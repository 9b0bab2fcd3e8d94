#include "common/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace orv {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

int HexDigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Values below this magnitude are written in scientific form. The original
// conversion switches at 1E-4 (its documentation says 1E-5, which it does
// not do).
constexpr int kLowestFixedExponent = -4;
constexpr int kSignificantDigits = 15;

}  // namespace

std::optional<double> TextToFloat(std::string_view text, char decimalSeparator) {
  text = TrimBlanks(text);
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  // The normalised copy for from_chars: sign, digits with '.', exponent.
  std::string normal;
  normal.reserve(text.size() + 1);
  if (negative) normal += '-';

  size_t mantissaDigits = 0;
  bool seenSeparator = false;
  // Where the first non-zero digit stands, to tell underflow from overflow
  // when from_chars reports the value out of range.
  bool seenNonZero = false;
  int64_t integerDigits = 0;
  int64_t leadingFractionZeros = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      ++mantissaDigits;
      if (c != '0') seenNonZero = true;
      if (!seenSeparator) {
        if (seenNonZero) ++integerDigits;
      } else if (!seenNonZero) {
        ++leadingFractionZeros;
      }
      normal += c;
    } else if (c == decimalSeparator && !seenSeparator) {
      seenSeparator = true;
      normal += '.';
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return std::nullopt;

  int64_t exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    normal += 'e';
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      negativeExponent = text[i] == '-';
      normal += text[i];
      ++i;
    }
    size_t exponentDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      ++exponentDigits;
      normal += text[i];
      // Saturates far beyond any double exponent; only the sign of the
      // order matters once the value is out of range.
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
    }
    if (exponentDigits == 0) return std::nullopt;
    if (negativeExponent) exponent = -exponent;
  }
  if (i != text.size()) return std::nullopt;

  double value = 0.0;
  const char* first = normal.data();
  const char* last = first + normal.size();
  const auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec == std::errc::result_out_of_range) {
    const int64_t order = (integerDigits > 0 ? integerDigits - 1 : -leadingFractionZeros - 1) +
            exponent;
    if (order >= 0) return std::nullopt;
    return negative ? -0.0 : 0.0;
  }
  if (ec != std::errc() || ptr != last || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::string FloatToText(double value, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0.0) return "0";

  // 18 significant digits first, then 15 with halves rounded up: the
  // original conversion works the same way, so a double such as
  // 1059.463134765625 ends in ...563, not ...562.
  char buffer[48];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer,
                                    std::fabs(value),
                                    std::chars_format::scientific, 17);
  const std::string_view sci(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t ePos = sci.find('e');
  std::string digits;
  digits += sci[0];
  digits.append(sci.substr(2, ePos - 2));
  int exponent = 0;
  std::from_chars(sci.data() + ePos + (sci[ePos + 1] == '+' ? 2 : 1),
                  sci.data() + sci.size(), exponent);

  const bool roundUp = digits[kSignificantDigits] >= '5';
  digits.resize(kSignificantDigits);
  if (roundUp) {
    size_t k = digits.size();
    while (k > 0 && digits[k - 1] == '9') digits[--k] = '0';
    if (k > 0) {
      ++digits[k - 1];
    } else {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text;
  if (value < 0) text += '-';
  if (exponent >= kSignificantDigits || exponent < kLowestFixedExponent) {
    text += digits[0];
    if (digits.size() > 1) {
      text += decimalSeparator;
      text.append(digits, 1);
    }
    text += 'E';
    text += std::to_string(exponent);
  } else if (exponent >= 0) {
    const size_t integerDigits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
      text += digits;
      text.append(integerDigits - digits.size(), '0');
    } else {
      text.append(digits, 0, integerDigits);
      text += decimalSeparator;
      text.append(digits, integerDigits);
    }
  } else {
    text += '0';
    text += decimalSeparator;
    text.append(static_cast<size_t>(-exponent - 1), '0');
    text += digits;
  }
  return text;
}

std::optional<int32_t> TextToInt(std::string_view text) {
  text = TrimBlanks(text);
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    i += 1;
  } else if (i + 1 < text.size() && text[i] == '0' &&
             (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;

  if (hex) {
    uint32_t pattern = 0;
    for (; i < text.size(); ++i) {
      const int digit = HexDigitValue(text[i]);
      if (digit < 0 || (pattern & 0xF0000000u) != 0) return std::nullopt;
      pattern = (pattern << 4) | static_cast<uint32_t>(digit);
    }
    if (negative) pattern = 0u - pattern;
    return static_cast<int32_t>(pattern);
  }

  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > int64_t{1} << 31) return std::nullopt;
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::string IntToText(int64_t value) { return std::to_string(value); }

std::optional<int32_t> RoundToInt(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  double rounded = std::floor(value);
  const double fraction = value - rounded;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) {
    rounded += 1.0;
  }
  if (rounded < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<int32_t>::max())) {
    return std::nullopt;
  }
  return static_cast<int32_t>(rounded);
}

std::string ClampNumberText(std::string_view text, float min, float max,
                            float decimals, float defaultValue,
                            char decimalSeparator) {
  double v = TextToFloat(text, decimalSeparator).value_or(defaultValue);
  if (v > max) v = max;
  if (!(v >= min)) v = min;
  const double scale = std::pow(10.0, static_cast<double>(decimals));
  const double scaled = v * scale;
  int32_t n = 0;
  if (const auto r = RoundToInt(scaled)) {
    n = *r;
  } else if (scaled > 0) {
    n = std::numeric_limits<int32_t>::max();
  } else if (scaled < 0) {
    n = std::numeric_limits<int32_t>::min();
  }
  return FloatToText(n / scale, decimalSeparator);
}

}  // namespace orv
