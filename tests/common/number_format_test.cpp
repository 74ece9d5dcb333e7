#include "common/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velm {
namespace {

struct FormatCase {
  double value;
  const char* text;
};
void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.text; }

class NumberFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormat, WritesSixSignificantDigitsWithAThreeDigitExponent) {
  EXPECT_EQ(FormatNumber(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, NumberFormat,
    ::testing::Values(
        FormatCase{0.1, "0.1"}, FormatCase{2.5, "2.5"}, FormatCase{0, "0"},
        FormatCase{123456, "123456"}, FormatCase{1234567, "1.23457e+006"},
        FormatCase{0.00001234, "1.234e-005"}, FormatCase{0.00005, "5e-005"},
        FormatCase{0.0001, "0.0001"}, FormatCase{999999.5, "1e+006"},
        FormatCase{-2.5e-300, "-2.5e-300"}, FormatCase{1e100, "1e+100"},
        FormatCase{5.587012935772848, "5.58701"}, FormatCase{-0.0, "-0"},
        FormatCase{100, "100"}));

TEST(NumberFormatNonFinite, NanIsNanWhateverItsSignAndInfinitiesKeepTheirs) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(FormatNumber(nan), "nan");
  EXPECT_EQ(FormatNumber(-nan), "nan");
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity()), "-inf");
}

TEST(FormatFixedText, PadsLikePrintfAndWritesNonFiniteValuesInTheSameWords) {
  EXPECT_EQ(FormatFixed(0.123456789, 8, 6), "0.123457");
  EXPECT_EQ(FormatFixed(1.5, 6, 4), "1.5000");
  EXPECT_EQ(FormatFixed(12345.5, 8, 6), "12345.500000");
  EXPECT_EQ(FormatFixed(std::nan(""), 8, 6), "     nan");
  EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::infinity(), 6, 4),
            "  -inf");
}

}  // namespace
}  // namespace velm
