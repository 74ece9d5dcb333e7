#include "common/number_parse.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace velm {
namespace {

TEST(ParseInt, ReadsALeadingDecimalAndIgnoresTheRest) {
  EXPECT_EQ(ParseInt("1"), 1);
  EXPECT_EQ(ParseInt("  1   runs"), 1);
  EXPECT_EQ(ParseInt("\t-12,5"), -12);
  EXPECT_EQ(ParseInt("+7"), 7);
  EXPECT_EQ(ParseInt("07"), 7);
  EXPECT_EQ(ParseInt("2.9"), 2);
}

TEST(ParseInt, TextWithoutALeadingNumberIsZero) {
  EXPECT_EQ(ParseInt(""), 0);
  EXPECT_EQ(ParseInt("calibration"), 0);
  EXPECT_EQ(ParseInt("-"), 0);
  EXPECT_EQ(ParseInt("0x1A"), 0);
  EXPECT_EQ(ParseInt("x 5"), 0);
}

TEST(ParseInt, NumbersBeyondThirtyTwoBitsSaturate) {
  EXPECT_EQ(ParseInt("2147483647"), INT_MAX);
  EXPECT_EQ(ParseInt("2147483648"), INT_MAX);
  EXPECT_EQ(ParseInt("99999999999999999999999999"), INT_MAX);
  EXPECT_EQ(ParseInt("-2147483648"), INT_MIN);
  EXPECT_EQ(ParseInt("-99999999999999999999"), INT_MIN);
}

TEST(ParseReal, ReadsDecimalFormsAndIgnoresTheRest) {
  EXPECT_EQ(ParseReal("2.5"), 2.5);
  EXPECT_EQ(ParseReal("  2.5 mm per hour"), 2.5);
  EXPECT_EQ(ParseReal("-0.25"), -0.25);
  EXPECT_EQ(ParseReal("+3"), 3.0);
  EXPECT_EQ(ParseReal("5."), 5.0);
  EXPECT_EQ(ParseReal(".5"), 0.5);
  EXPECT_EQ(ParseReal("1e3"), 1000.0);
  EXPECT_EQ(ParseReal("1.5E-2x"), 0.015);
  EXPECT_EQ(ParseReal("2e"), 2.0);
  EXPECT_EQ(ParseReal("2e+"), 2.0);
  EXPECT_EQ(ParseReal("0.1"), 0.1);
  EXPECT_EQ(ParseReal("36.0\r"), 36.0);
}

TEST(ParseReal, OnlyDecimalFormsAreNumbers) {
  EXPECT_EQ(ParseReal(""), 0.0);
  EXPECT_EQ(ParseReal("."), 0.0);
  EXPECT_EQ(ParseReal("inf"), 0.0);
  EXPECT_EQ(ParseReal("-infinity"), 0.0);
  EXPECT_EQ(ParseReal("nan"), 0.0);
  EXPECT_EQ(ParseReal("0x1p3"), 0.0);
  EXPECT_EQ(ParseReal("e5"), 0.0);
}

TEST(ParseReal, OutOfRangeDecimalsGoToInfinityOrZeroLikeStrtod) {
  EXPECT_EQ(ParseReal("1e999"), HUGE_VAL);
  EXPECT_EQ(ParseReal("-1e999"), -HUGE_VAL);
  EXPECT_EQ(ParseReal("1e-999"), 0.0);
}

}  // namespace
}  // namespace velm
