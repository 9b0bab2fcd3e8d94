#include "generator/window/FreqRange.h"

#include <cmath>
#include <limits>

#include "common/NumberText.h"

namespace orv {

namespace {

enum class Limit { Lowest, Highest };

// An empty field counts as unreadable, so leaving it empty restores the limit.
std::optional<float> ReadLimit(const std::string& text) {
    const auto v = TextToFloat(text, '.');
    if (!v) return std::nullopt;
    return static_cast<float>(*v);
}

LimitOutcome Apply(const LimitInput& in, Limit limit) {
    LimitOutcome out;
    const std::optional<float> v = ReadLimit(in.Text);
    if (!v) return out;
    const bool inRange = limit == Limit::Lowest ? *v > 0
                                                : static_cast<double>(in.SampleRate) * 0.5 > *v;
    if (!inRange) return out;
    const auto other = TextToFloat(in.OtherText, in.DecimalSeparator);
    if (!other) {
        out.BadNumber = in.OtherText;
        return out;
    }
    if (limit == Limit::Lowest ? !(*other > *v) : !(*other < *v)) return out;
    const auto f = TextToFloat(in.fEdit, in.DecimalSeparator);
    if (!f) {
        out.BadNumber = in.fEdit;
        return out;
    }
    out.Position = RoundToInt(1000.0 * std::log10(static_cast<double>(*v) * 0.5));
    if (!out.Position) return out;
    if (limit == Limit::Lowest ? *f < *v : *f > *v) out.fEdit = FloatToText(*v, in.DecimalSeparator);
    return out;
}

}  // namespace

int32_t SliderFrequency(int32_t position) {
    // Slider limits stay below half the highest sample rate, far inside the
    // 32-bit range; the cap only keeps a stray position defined.
    return RoundToInt(2.0 * std::pow(10.0, position * 0.001))
        .value_or(std::numeric_limits<int32_t>::max());
}

std::optional<int32_t> MaxSliderPosition(int32_t sampleRate) {
    const int32_t quarter = sampleRate / 4;
    if (quarter < 1) return std::nullopt;
    return RoundToInt(1000.0 * std::log10(static_cast<double>(quarter)));
}

LimitOutcome ApplyLowest(const LimitInput& in) { return Apply(in, Limit::Lowest); }

LimitOutcome ApplyHighest(const LimitInput& in) { return Apply(in, Limit::Highest); }

}  // namespace orv
