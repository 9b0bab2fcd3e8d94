#pragma once
// The frequency slider's scale and the rules for narrowing its range. The
// slider is logarithmic: position p stands for 2 × 10^(p / 1000) Hz, so 1000
// positions make one decade.
#include <cstdint>
#include <optional>
#include <string>

namespace orv {

// The whole-hertz frequency of a slider position (halves to even).
int32_t SliderFrequency(int32_t position);

// The position that stands for half the sample rate: Round(1000 log10(rate div 4)).
// Empty for a rate below 4, which has no such position.
[[nodiscard]] std::optional<int32_t> MaxSliderPosition(int32_t sampleRate);

// What leaving one of the two limit fields asks for.
struct LimitInput {
    std::string Text;       // the field being left, read with "." whatever the locale
    std::string OtherText;  // the other limit field, read with the locale's separator
    std::string fEdit;      // the constant frequency, read with the locale's separator
    int32_t SampleRate = 0;
    char DecimalSeparator = '.';
};

struct LimitOutcome {
    // Set: a text the locale's reader could not read; report it and apply nothing.
    std::optional<std::string> BadNumber;
    // Set: the slider's new limit. Empty (and no BadNumber): reset the field.
    std::optional<int32_t> Position;
    // Set: the new constant frequency text, for a frequency outside the new limit.
    std::optional<std::string> fEdit;
};

// The lowest frequency: applied when it is above 0 and below the highest field's number.
[[nodiscard]] LimitOutcome ApplyLowest(const LimitInput& in);
// The highest frequency: applied when it is below half the sample rate and above
// the lowest field's number.
[[nodiscard]] LimitOutcome ApplyHighest(const LimitInput& in);

}  // namespace orv
