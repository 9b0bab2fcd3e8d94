#include <gtest/gtest.h>

#include "generator/window/FreqRange.h"

namespace orv {
namespace {

TEST(FreqRange, PositionsAndFrequencies) {
    const struct {
        int32_t position;
        int32_t hertz;
    } scale[] = {{100, 3}, {176, 3}, {1000, 20}, {2000, 200}, {3000, 2000}, {4000, 20000},
                 {4042, 22031}, {-1000, 0}};
    for (const auto& c : scale) EXPECT_EQ(SliderFrequency(c.position), c.hertz) << c.position;

    const struct {
        int32_t rate;
        std::optional<int32_t> maximum;
    } rates[] = {{11025, 3440}, {22050, 3741}, {44100, 4042}, {96000, 4380}, {3, std::nullopt},
                 {0, std::nullopt}};
    for (const auto& c : rates) EXPECT_EQ(MaxSliderPosition(c.rate), c.maximum) << c.rate;
}

TEST(FreqRange, LimitRules) {
    const struct Case {
        bool lowest;
        const char* text;
        const char* other;
        const char* f;
        char separator;
        std::optional<int32_t> position;
        std::optional<std::string> fEdit;
        std::optional<std::string> badNumber;
    } cases[] = {
        {true, "1000", "22050", "440", '.', 2699, "1000", {}},
        {true, "440.1", "22050", "300", '.', 2343, "440.100006103516", {}},
        {true, "440.1", "22050", "500", '.', 2343, {}, {}},
        {true, "5.5", "22050", "440", ',', 439, {}, {}},
        {true, "5,5", "22050", "440", ',', {}, {}, {}},
        {true, "", "22050", "440", '.', {}, {}, {}},
        {true, "0", "22050", "440", '.', {}, {}, {}},
        {true, "-5", "abc", "440", '.', {}, {}, {}},
        {true, "22050", "22050", "440", '.', {}, {}, {}},
        {true, "10", "abc", "440", '.', {}, {}, "abc"},
        {true, "1000", "22050", "x", '.', {}, {}, "x"},
        {true, "2 ", "22050,5", "440", ',', 0, {}, {}},
        {false, "5000", "2", "8000", '.', 3398, "5000", {}},
        {false, "30000", "2", "440", '.', {}, {}, {}},
        {false, "22050", "2", "440", '.', {}, {}, {}},
        {false, "22049.5", "2", "440", '.', 4042, {}, {}},
        {false, "5000", "6000", "440", '.', {}, {}, {}},
        {false, "5000", "2.5", "440", ',', {}, {}, "2.5"},
        {false, "", "2", "440", '.', {}, {}, {}},
    };
    for (const Case& c : cases) {
        const LimitInput in{c.text, c.other, c.f, 44100, c.separator};
        const LimitOutcome out = c.lowest ? ApplyLowest(in) : ApplyHighest(in);
        SCOPED_TRACE(std::string(c.lowest ? "lowest " : "highest ") + c.text);
        EXPECT_EQ(out.Position, c.position);
        EXPECT_EQ(out.fEdit, c.fEdit);
        EXPECT_EQ(out.BadNumber, c.badNumber);
    }
}

}  // namespace
}  // namespace orv
