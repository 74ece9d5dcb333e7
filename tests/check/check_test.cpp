#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

#include "check/infiltration_range.h"
#include "check/report.h"
#include "common/code_page.h"
#include "common/texts.h"
#include "model/parameter_set.h"

namespace velm::check {
namespace {

TEST(Cp932ToUtf8, GivesEveryTextOfTheProgramAsItsReadableForm) {
  for (const text::Cp932Text* t : text::kAllTexts) {
    EXPECT_EQ(Cp932ToUtf8(t->Bytes), t->Utf8);
  }
}

TEST(Cp932ToUtf8, ReplacesBytesThatBeginNoCharacter) {
  const struct {
    std::string_view Bytes;
    std::string_view Utf8;
  } cases[] = {
      {"rain.csv", "rain.csv"},
      {"\xb1\x82\xa0", "\xef\xbd\xb1\xe3\x81\x82"},  // half-width ｱ, あ
      {"\xff", "\xef\xbf\xbd"},
      {"a\x80z", "a\xef\xbf\xbdz"},
      {"a\x83", "a\xef\xbf\xbd"},  // a lead byte at the end
  };
  for (const auto& c : cases) EXPECT_EQ(Cp932ToUtf8(c.Bytes), c.Utf8);
}

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters) {
  const struct {
    std::string_view Text;
    std::string_view Json;
  } cases[] = {
      {"", R"("")"},
      {"say \"hi\"", R"("say \"hi\"")"},
      {"C:\\data", R"("C:\\data")"},
      {"tab\tline\n", R"("tab\tline\n")"},
      {"\x01\x1f", R"("\u0001\u001f")"},
      {"5-11行目 </script>", "\"5-11行目 </script>\""},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonString(c.Text), c.Json);
}

bool Works(ParameterSet p, double finalInfiltration) {
  p.Final_Infiltration = finalInfiltration;
  return DeriveInfiltration(p) == DerivationProblem::kNone;
}

ParameterSet Soil(double maxSoilMoisture, double coeffReduction,
                  double fieldCapacity) {
  ParameterSet p;
  p.MAX_SoilMoisture = maxSoilMoisture;
  p.Coeff_Reduction = coeffReduction;
  p.F18_SoilMoisture = maxSoilMoisture * fieldCapacity;
  return p;
}

TEST(WorkingFinalInfiltration, TheSampleSoilWorksOnEitherSideOfItsGap) {
  const std::vector<ValueRange> ranges =
      WorkingFinalInfiltration(Soil(150, 0.1, 0.5));
  std::vector<ValueRange> wide;
  for (const ValueRange& r : ranges) {
    if (r.Wide()) wide.push_back(r);
  }
  ASSERT_EQ(wide.size(), 2u);
  EXPECT_EQ(wide[0].Low, 1e-4);
  EXPECT_EQ(wide[0].High, 0.09471);
  EXPECT_EQ(wide[1].Low, 1.523);
  EXPECT_EQ(wide[1].High, 4.336);
  EXPECT_EQ(DescribeRanges(ranges, 5),
            "from 0.0001 to 0.09471 and 1.523 to 4.336 mm/h, and in narrow, "
            "scattered ranges between 0.2408 and 0.475 mm/h (the widest "
            "0.2408 to 0.2806); the nearest value that works is 4.336");
}

// Whatever the soil, the ranges ascend without overlapping and every end
// printed is a value that works.
TEST(WorkingFinalInfiltration, EveryEndWorksOnRandomSoils) {
  std::mt19937 random(20261207);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int draw = 0; draw < 40; ++draw) {
    const ParameterSet soil = Soil(20 + 400 * unit(random), 0.01 + unit(random),
                                   0.1 + 0.8 * unit(random));
    const std::vector<ValueRange> ranges = WorkingFinalInfiltration(soil);
    for (std::size_t i = 0; i < ranges.size(); ++i) {
      EXPECT_TRUE(Works(soil, ranges[i].Low)) << ranges[i].Low;
      EXPECT_TRUE(Works(soil, ranges[i].High)) << ranges[i].High;
      EXPECT_LE(ranges[i].Low, ranges[i].High);
      if (i > 0) {
        EXPECT_LT(ranges[i - 1].High, ranges[i].Low);
      }
    }
  }
}

}  // namespace
}  // namespace velm::check
