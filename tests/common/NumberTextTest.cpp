#include "common/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <optional>
#include <string>

namespace orv {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr float kInfF = std::numeric_limits<float>::infinity();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

// Every table is written with '.' as the decimal separator and '~' for the
// other one; Sub puts in the separator under test.
class NumberTextTest : public ::testing::TestWithParam<char> {
 protected:
  char Sep() const { return GetParam(); }
  char Other() const { return GetParam() == '.' ? ',' : '.'; }
  std::string Sub(std::string text) const {
    for (char& c : text) {
      if (c == '.') {
        c = Sep();
      } else if (c == '~') {
        c = Other();
      }
    }
    return text;
  }
};

INSTANTIATE_TEST_SUITE_P(Separators, NumberTextTest,
                         ::testing::Values('.', ','),
                         [](const auto& info) {
                           return std::string(info.param == '.' ? "Point"
                                                                : "Comma");
                         });

TEST_P(NumberTextTest, TextToFloatReadsTheNearestDouble) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {"0.1", 0.1},
      {"  1.5  ", 1.5},
      {"\t-2.25\t", -2.25},
      {"+3", 3.0},
      {".5", 0.5},
      {"5.", 5.0},
      {"-.5", -0.5},
      {"+5.", 5.0},
      {"1e3", 1000.0},
      {"1E+3", 1000.0},
      {"2.5e-3", 0.0025},
      {"1.e2", 100.0},
      {".5E1", 5.0},
      {"000123.4500", 123.45},
      {"440.1", 440.1},
      {"1000.123456", 1000.123456},
      {"9007199254740993", 9007199254740992.0},
      {"123456789012345678901234567890", 1.2345678901234568e29},
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
      {"1e-400", 0.0},
      {"0.000000000000000000000001e-300", 0.0},
      {"100000000000000000000e-20", 1.0},
      {"0.00000000000000000001e20", 1.0},
  };
  for (const Case& c : cases) {
    const std::string text = Sub(c.text);
    SCOPED_TRACE(text);
    const std::optional<double> v = TextToFloat(text, Sep());
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(*v, c.expected);
  }
}

TEST_P(NumberTextTest, TextToFloatKeepsTheSignOfZero) {
  for (const char* text : {"-0", "-0.0", "-1e-400"}) {
    SCOPED_TRACE(text);
    const std::optional<double> v = TextToFloat(Sub(text), Sep());
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(*v, 0.0);
    EXPECT_TRUE(std::signbit(*v));
  }
}

TEST_P(NumberTextTest, TextToFloatRejectsEverythingElse) {
  const char* cases[] = {
      "",      " ",      "\t",       ".",        "-",       "+",
      "-.",    "e5",     ".e5",      "1e",       "1e+",     "1e-",
      "1e+-5", "--1",    "+-1",      "1 2",      "1. 5",    "- 1",
      "1e 5",  "1~5",    "1~000.5",  "1.2.3",    "..5",     "inf",
      "-inf",  "INF",    "nan",      "NaN",      "infinity", "0x10",
      "$10",   "1e400",  "-1e400",   "1.8e308",  "1d5",     "1e5.5",
      "1f",    "50%",    "abc",      "1\n",      "\n1",     "1e99999999999999999999",
  };
  for (const char* c : cases) {
    const std::string text = Sub(c);
    SCOPED_TRACE(text);
    EXPECT_FALSE(TextToFloat(text, Sep()).has_value());
  }
}

TEST_P(NumberTextTest, TextToFloatHandlesLongTexts) {
  const std::string zeros(400, '0');
  EXPECT_FALSE(TextToFloat("1" + zeros, Sep()).has_value());
  EXPECT_EQ(TextToFloat("1" + zeros + "e-400", Sep()), 1.0);
  EXPECT_EQ(TextToFloat(Sub("0." + zeros + "1"), Sep()), 0.0);
  EXPECT_EQ(TextToFloat(Sub("0." + zeros + "1e401"), Sep()), 1.0);
  EXPECT_EQ(TextToFloat(Sub("0.1" + zeros), Sep()), 0.1);
  EXPECT_EQ(TextToFloat(std::string(100000, ' ') + "7", Sep()), 7.0);
}

TEST(NumberTextSeparator, OnlyTheGivenSeparatorIsAccepted) {
  EXPECT_FALSE(TextToFloat("1,5", '.').has_value());
  EXPECT_EQ(TextToFloat("1.5", '.'), 1.5);
  EXPECT_FALSE(TextToFloat("1.5", ',').has_value());
  EXPECT_EQ(TextToFloat("1,5", ','), 1.5);
  EXPECT_FALSE(TextToFloat("1,000.5", '.').has_value());
  EXPECT_FALSE(TextToFloat("1.000,5", ',').has_value());
}

TEST_P(NumberTextTest, FloatToTextWritesTheGeneralFormat) {
  struct Case {
    double value;
    const char* expected;
  };
  const Case cases[] = {
      // Semitone steps and float frequencies, rounded to 15 digits with
      // halves going up.
      {static_cast<double>(466.16375732421875f), "466.163757324219"},
      {static_cast<double>(440.1f), "440.100006103516"},
      {1059.463134765625, "1059.46313476563"},
      {-1059.463134765625, "-1059.46313476563"},
      {5512.0, "5512"},
      {0.1, "0.1"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {-1.5, "-1.5"},
      {100.0, "100"},
      {1000.1235, "1000.1235"},
      {214748.3647, "214748.3647"},
      {static_cast<double>(0.1f), "0.100000001490116"},
      {0.0, "0"},
      {-0.0, "0"},
      // Fixed notation up to 15 integer digits, after rounding.
      {1e14, "100000000000000"},
      {999999999999999.0, "999999999999999"},
      {123456789012345.6, "123456789012346"},
      {999999999999999.9, "1E15"},
      {1e15, "1E15"},
      {-2.5e15, "-2.5E15"},
      {1e20, "1E20"},
      {1234567890123456.0, "1.23456789012346E15"},
      {std::numeric_limits<double>::max(), "1.79769313486232E308"},
      // Fixed notation down to 0.0001.
      {0.0001, "0.0001"},
      {0.00012345, "0.00012345"},
      {0.000099999999999999999, "0.0001"},
      {-0.00025, "-0.00025"},
      {0.00009, "9E-5"},
      {0.0000442615029219009, "4.42615029219009E-5"},
      {1e-5, "1E-5"},
      {1.5e-7, "1.5E-7"},
      {-1.5e-7, "-1.5E-7"},
      {1e-300, "1E-300"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
      {kInf, "INF"},
      {-kInf, "-INF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(FloatToText(c.value, Sep()), Sub(c.expected));
  }
}

// Texts with up to 15 significant digits come back as the same double.
TEST_P(NumberTextTest, FloatToTextReadsBackAsTheSameValue) {
  for (int i = -20000; i <= 20000; i += 7) {
    // Powers of ten up to 1e22 are exact, so this is the double nearest
    // i x 10^k.
    for (const int k : {-8, -4, -2, 0, 3, 12}) {
      const double power = std::pow(10.0, std::abs(k));
      const double x = k < 0 ? i / power : i * power;
      const std::string text = FloatToText(x, Sep());
      SCOPED_TRACE(text);
      const std::optional<double> back = TextToFloat(text, Sep());
      ASSERT_TRUE(back.has_value());
      EXPECT_EQ(*back, x);
    }
  }
}

TEST(NumberTextInt, TextToIntReadsDecimalAndHexadecimal) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"0", 0},
      {"-0", 0},
      {"5", 5},
      {"-5", -5},
      {"+5", 5},
      {"007", 7},
      {"  42  ", 42},
      {"\t-30\t", -30},
      {"2147483647", kIntMax},
      {"-2147483648", kIntMin},
      {"00000000000002147483647", kIntMax},
      {"$FF", 255},
      {"$ff", 255},
      {"-$10", -16},
      {"+$10", 16},
      {"0x1A", 26},
      {"0X1a", 26},
      {" $7FFFFFFF ", kIntMax},
      {"$000000000000FF", 255},
      // Hexadecimal text is a 32-bit pattern.
      {"$FFFFFFFF", -1},
      {"$80000000", kIntMin},
      {"-$FFFFFFFF", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<int32_t> v = TextToInt(c.text);
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(*v, c.expected);
  }
}

TEST(NumberTextInt, TextToIntRejectsEverythingElse) {
  const char* cases[] = {
      "",           " ",           "-",     "+",    "$",     "0x",
      "-$",         "- 5",         "1 2",   "--1",  "+-1",   "1.5",
      "1,5",        "1e3",         "12a",   "$G",   "$1G",   "0x-1",
      "$-1",        "x10",         "0b101", "abc",  "2147483648",
      "-2147483649", "99999999999999999999", "$100000000", "0x1FFFFFFFF",
      "1\n",
  };
  for (const char* c : cases) {
    SCOPED_TRACE(c);
    EXPECT_FALSE(TextToInt(c).has_value());
  }
}

TEST(NumberTextInt, IntToTextIsPlainDecimal) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(-30), "-30");
  EXPECT_EQ(IntToText(2147483647), "2147483647");
  EXPECT_EQ(IntToText(std::numeric_limits<int64_t>::min()),
            "-9223372036854775808");
}

TEST(NumberTextRound, RoundToIntTiesToEven) {
  struct Case {
    double value;
    std::optional<int32_t> expected;
  };
  const Case cases[] = {
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {-0.5, 0},
      {-2.5, -2},
      {-3.5, -4},
      {0.49999999999999994, 0},
      {2.4999, 2},
      {2.5000001, 3},
      {-2.5000001, -3},
      {1e-300, 0},
      {2147483647.0, kIntMax},
      {2147483647.4, kIntMax},
      {-2147483648.0, kIntMin},
      {-2147483648.5, kIntMin},
      {2147483647.5, std::nullopt},
      {2147483648.0, std::nullopt},
      {-2147483648.6, std::nullopt},
      {1e300, std::nullopt},
      {-1e300, std::nullopt},
      {kInf, std::nullopt},
      {-kInf, std::nullopt},
      {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(RoundToInt(c.value), c.expected);
  }
}

// The two-decimal exit rules of the modulation period and the channel phase
// go through RoundToInt and FloatToText on 32-bit values.
TEST_P(NumberTextTest, TwoDecimalRulesRoundTiesToEven) {
  const auto period = [&](const char* text) -> std::string {
    const std::optional<double> v = TextToFloat(Sub(text), Sep());
    if (!v) return "1";
    const float p = static_cast<float>(*v);
    const std::optional<int32_t> n = RoundToInt(static_cast<double>(p) * 100);
    if (!n) return "1";
    return FloatToText(*n * 0.01, Sep());
  };
  EXPECT_EQ(period("0.125"), Sub("0.12"));
  EXPECT_EQ(period("0.135"), Sub("0.14"));
  EXPECT_EQ(period("2"), "2");
  EXPECT_EQ(period("x"), "1");
  EXPECT_EQ(period("1e30"), "1");

  const auto phase = [&](const char* text) -> std::string {
    const std::optional<double> v = TextToFloat(Sub(text), Sep());
    if (!v) return "0";
    const float radians = static_cast<float>(*v * std::numbers::pi / 180);
    const std::optional<int32_t> n =
        RoundToInt(static_cast<double>(radians) * 18000 / std::numbers::pi);
    if (!n) return "0";
    return FloatToText(*n * 0.01, Sep());
  };
  EXPECT_EQ(phase("33.333"), Sub("33.33"));
  EXPECT_EQ(phase("-400"), "-400");
  EXPECT_EQ(phase("90"), "90");
}

struct ClampRule {
  const char* name;
  float min;
  float max;
  float decimals;
  float defaultValue;
};

constexpr float kHalfRate = 44100 * 0.5f;
constexpr ClampRule kFreqEdit{"fEdit", 0.1f, kHalfRate, 4, 1000};
constexpr ClampRule kFinal{"fFinal", 0.1f, kHalfRate, 3, 1000};
constexpr ClampRule kAmplitude{"Amplitude", -100, 0, 0, 0};
constexpr ClampRule kDuration{"Duration", 0.1f, kInfF, 4, 1};
constexpr ClampRule kModDepth{"ModDepth", 0, 100, 4, 100};
constexpr ClampRule kModPhase{"ModPhase", 0, kInfF, 4, 0};
constexpr ClampRule kRules[] = {kFreqEdit, kFinal,    kAmplitude,
                                kDuration, kModDepth, kModPhase};

TEST_P(NumberTextTest, ClampNumberTextAppliesTheExitRules) {
  struct Case {
    ClampRule rule;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {kFreqEdit, "abc", "1000"},
      {kFreqEdit, "", "1000"},
      {kFreqEdit, "1~5", "1000"},
      {kFreqEdit, "0", "0.1"},
      {kFreqEdit, "-5", "0.1"},
      {kFreqEdit, "0.1", "0.1"},
      {kFreqEdit, "30000", "22050"},
      {kFreqEdit, "22050.00004", "22050"},
      {kFreqEdit, "1000.123456", "1000.1235"},
      {kFreqEdit, "1000.12346", "1000.1235"},
      {kFreqEdit, " 1e3 ", "1000"},
      {kFreqEdit, "440.100006103516", "440.1"},
      {kFinal, "1000.12346", "1000.123"},
      {kFinal, "abc", "1000"},
      {kAmplitude, "-2.5", "-2"},
      {kAmplitude, "-3.5", "-4"},
      {kAmplitude, "5", "0"},
      {kAmplitude, "-150", "-100"},
      {kAmplitude, "-0.4", "0"},
      {kAmplitude, "-0", "0"},
      {kAmplitude, "x", "0"},
      {kDuration, "", "1"},
      {kDuration, "0.01", "0.1"},
      {kDuration, "3", "3"},
      {kDuration, "214748.3647", "214748.3647"},
      // Beyond the 32-bit range once scaled: held at the largest value.
      {kDuration, "214748.3648", "214748.3647"},
      {kDuration, "1e300", "214748.3647"},
      {kDuration, "inf", "1"},
      {kModDepth, "150", "100"},
      {kModDepth, "-1", "0"},
      {kModDepth, "", "100"},
      {kModDepth, "33.33333", "33.3333"},
      {kModPhase, "-10", "0"},
      {kModPhase, "720", "720"},
      {kModPhase, "1e10", "214748.3647"},
  };
  for (const Case& c : cases) {
    const std::string text = Sub(c.text);
    SCOPED_TRACE(std::string(c.rule.name) + " '" + text + "'");
    EXPECT_EQ(ClampNumberText(text, c.rule.min, c.rule.max, c.rule.decimals,
                              c.rule.defaultValue, Sep()),
              Sub(c.expected));
  }
}

// Whatever the text, the result reads back under the same separator, lies
// within the rule's range and is left unchanged by a second pass.
TEST_P(NumberTextTest, ClampNumberTextResultIsStableAndInRange) {
  const char* texts[] = {
      "",       "abc",     "0",       "-0",        "1e-400",   "-1e300",
      "1e300",  "0.00001", "12.3456789", "99999.99999", "-99.5", "1~5",
      "  7  ",  "5.",      ".5",      "1e",        "100.00005", "22049.99995",
  };
  for (const ClampRule& rule : kRules) {
    for (const char* t : texts) {
      const std::string text = Sub(t);
      SCOPED_TRACE(std::string(rule.name) + " '" + text + "'");
      const std::string out = ClampNumberText(
          text, rule.min, rule.max, rule.decimals, rule.defaultValue, Sep());
      const std::optional<double> v = TextToFloat(out, Sep());
      ASSERT_TRUE(v.has_value()) << out;
      EXPECT_LE(*v, static_cast<double>(rule.max));
      // The minimum holds to the rounding of the decimals (0.1f reads 0.1).
      EXPECT_GE(*v, rule.min - 0.5 * std::pow(10.0, -rule.decimals));
      EXPECT_EQ(ClampNumberText(out, rule.min, rule.max, rule.decimals,
                                rule.defaultValue, Sep()),
                out);
    }
  }
}

}  // namespace
}  // namespace orv
