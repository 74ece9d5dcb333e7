#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#include "check/field_checks.h"
#include "check/file_checks.h"
#include "check/infiltration_range.h"
#include "check/refusals.h"
#include "check/report.h"
#include "check/series_checks.h"
#include "check/unit_checks.h"
#include "check/wording.h"
#include "common/code_page.h"
#include "common/texts.h"
#include "input/run_inputs.h"
#include "model/parameter_set.h"
#include "model/parameter_table.h"
#include "support/case_dir.h"

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

// 雨量 in UTF-8 and in code page 932; an emoji that code page 932 lacks.
constexpr std::string_view kRainUtf8 = "\xe9\x9b\xa8\xe9\x87\x8f";
constexpr std::string_view kRainCp932 = "\x89\x4a\x97\xca";
constexpr std::string_view kEmoji = "\xf0\x9f\x98\x80";

TEST(CodePage, ExactConversionsRefuseWhatTheOtherEncodingLacks) {
  using Text = std::optional<std::string>;
  const struct {
    std::string_view Bytes;
    bool Utf8;
    Text FromCp932;
    Text ToCp932;
  } cases[] = {
      {"rain.csv", true, "rain.csv", "rain.csv"},
      {kRainUtf8, true, std::nullopt, std::string(kRainCp932)},
      {kRainCp932, false, std::string(kRainUtf8), std::nullopt},
      {kEmoji, true, std::nullopt, std::nullopt},
      {"\xed\xa0\x80", false, std::nullopt, std::nullopt},  // a surrogate
      // An overlong '/' in UTF-8, half-width ﾀｯ in code page 932.
      {"\xc0\xaf", false, "\xef\xbe\x80\xef\xbd\xaf", std::nullopt},
      {"a\x83", false, std::nullopt, std::nullopt},  // a lead byte at the end
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsUtf8(c.Bytes), c.Utf8) << c.Bytes;
    EXPECT_EQ(Cp932ToUtf8Exactly(c.Bytes), c.FromCp932) << c.Bytes;
    EXPECT_EQ(Utf8ToCp932Exactly(c.Bytes), c.ToCp932) << c.Bytes;
  }
}

TEST(ShownText, UsesUtf8ThenCodePage932ThenTheBytes) {
  const struct {
    std::string Bytes;
    std::string Shown;
  } cases[] = {
      {"rain.csv", "rain.csv"},
      {std::string(kRainUtf8) + ".csv", std::string(kRainUtf8) + ".csv"},
      {std::string(kRainCp932) + ".csv", std::string(kRainUtf8) + ".csv"},
      {"rain\xff\xfe.csv", "rain\\xFF\\xFE.csv"},
      {"2004\t7\r", "2004\\x097\\x0D"},
      {std::string(kRainCp932) + "\t", std::string(kRainUtf8) + "\\x09"},
  };
  for (const auto& c : cases) EXPECT_EQ(ShownText(c.Bytes), c.Shown);
  // Cut after 60 characters, an escaped byte counting as one.
  std::string cut(1, '\'');
  for (int i = 0; i < 60; ++i) cut += "\\xFF";
  EXPECT_EQ(Quoted(std::string(70, '\xff')), cut + "...'");
}

std::vector<Severity> LevelsOf(const std::vector<Finding>& findings) {
  std::vector<Severity> levels;
  for (const Finding& f : findings) levels.push_back(f.Level);
  return levels;
}

// The severities of the evaporation file of `text`.
std::vector<Severity> EvaporationLevels(std::string text) {
  NamedFile file;
  file.Entry = FileEntry::kEvaporation;
  file.Lines = TextLines::FromText(std::move(text), LastLine::kDropped);
  std::vector<Finding> findings;
  CheckEvaporationUnits(file, findings);
  return LevelsOf(findings);
}

// The severities of the fields after the values of the records.
std::vector<Severity> FieldLevels(const std::vector<std::string_view>& values) {
  std::vector<Finding> findings;
  CheckExtraFields(NamedFile(), values, findings);
  return LevelsOf(findings);
}

using enum Severity;

// An evaporation file of `days` records, day d (from 0) holding value(d).
std::string Evaporation(int days, const std::function<double(int)>& value) {
  std::string text;
  for (int d = 0; d < days; ++d) {
    text += "2001,1,1," + std::to_string(value(d)) + "\n";
  }
  return text;
}

TEST(EvaporationUnits, TellsDesertsFromTenthsAndMetres) {
  const double pi = std::acos(-1.0);
  // A temperate year of 1,100 mm, 1 to 5 mm a day.
  const auto temperate = [pi](int d) {
    return 3 - 2 * std::cos(2 * pi * (d - 15) / 365);
  };
  const auto desert = [pi](int d) {  // 2,850 mm, near 20 on hot days
    return 7.7 - 6.5 * std::cos(2 * pi * (d - 15) / 365) +
           (d % 20 == 0 && d > 180 && d < 240 ? 5.5 : 0);
  };
  const struct {
    int Days;
    std::function<double(int)> Value;
    std::vector<Severity> Expected;
  } cases[] = {
      {365, temperate, {}},
      {365, desert, {}},
      {365, [](int) { return 9.6; }, {kWarning}},   // 3,506 mm a year
      {365, [](int) { return 21.5; }, {kWarning}},  // 7,853 mm a year
      {365, [](int) { return 22.0; }, {kError}},    // 8,036 mm a year
      {365, [&](int d) { return d == 200 ? 30 : temperate(d); }, {kWarning}},
      {365, [&](int d) { return 10 * temperate(d); }, {kError}},
      // 31 days above 25 mm are a twelfth of the year, 30 are not.
      {365, [](int d) { return d < 31 ? 26.0 : 2.0; }, {kError}},
      {365, [](int d) { return d < 30 ? 26.0 : 2.0; }, {kWarning}},
      {365, [](int) { return 0.13; }, {kError}},    // 47 mm a year
      {365, [](int) { return 0.14; }, {}},          // 51 mm a year
      {365, [](int) { return -0.003; }, {kError}},  // metres, negative
      {3, [](int) { return 30.0; }, {kError}},      // three days, by day
      {100, [](int) { return 0.01; }, {}},          // no year to judge
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EvaporationLevels(Evaporation(c.Days, c.Value)), c.Expected)
        << c.Value(0);
  }
}

TEST(ExtraFields, ADecimalCommaIsAnErrorAndAFlagColumnANote) {
  const struct {
    std::vector<std::string_view> Values;
    std::vector<Severity> Expected;
  } cases[] = {
      {{"0", "0,13"}, {kError}},  // the number of fields varies
      {{"0.5,A", "0.25,E"}, {kNote}},
      {{"1,1", "2,2"}, {kNote}},     // a digit flag
      {{"0.5,1", "0.25"}, {kNote}},  // no whole number before the comma
      {{"0,13\r2004,1,1,2,0"}, {}},  // a CR alone, a finding of its own
      {{"0.5"}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FieldLevels(c.Values), c.Expected) << c.Values[0];
  }
  // Decimal parts of more values than a flag has codes.
  std::vector<std::string> parts;
  for (int i = 0; i < 11; ++i) parts.push_back("0," + std::to_string(i));
  EXPECT_EQ(FieldLevels({parts.begin(), parts.end()}),
            std::vector<Severity>{kError});
  // What the commas cost: the totals as velm reads them and as meant.
  std::vector<Finding> findings;
  CheckExtraFields(NamedFile(), std::vector<std::string_view>{"0.5", "0,25", "1,5"},
                   findings);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_NE(findings[0].Message.find("the values add up to 1.5 as velm reads them, "
                                     "and to 2.25 with the commas as decimal points"),
            std::string::npos)
      << findings[0].Message;
}

// A soil without Horton's curve: the fix names the one value to change
// while one is plainly out of range.
TEST(Refusals, TheSoilFixNamesTheValueOutOfRange) {
  const struct {
    double ParameterSet::*Member;
    std::string_view Fix;
  } rows[] = {
      {&ParameterSet::Coeff_Reduction,
       "give Coeff_Reduction (line 9), the decay of Horton's curve, a value above 0"},
      {&ParameterSet::MAX_SoilMoisture, "give MAX_SoilMoisture (line 5) a value above 0"},
  };
  for (const auto& row : rows) {
    const testing::CaseDir dir;
    dir.SetLine("param.dat", static_cast<int>(RowOf(row.Member).FileLine), "0");
    try {
      RunInputs(dir.Path()).FileParameters();
      ADD_FAILURE() << "velm took " << row.Fix;
    } catch (const InputError& error) {
      EXPECT_EQ(ExplainInputError(dir.Path(), error).Fix, row.Fix);
    }
  }
}

// Evaporation for a day that the rain does not complete: the fix counts the
// hours the rain lacks.
TEST(Refusals, TheFixCountsTheHoursTheRainLacks) {
  const testing::CaseDir dir;
  std::ofstream(dir.Path() / "rain.csv", std::ios::app | std::ios::binary)
      << "2004,7,4,1,0\r\n2004,7,4,2,0\r\n2004,7,4,3,0\r\n2004,7,4,4,0\r\n"
         "2004,7,4,5,0\r\n";
  std::ofstream(dir.Path() / "ep.csv", std::ios::app | std::ios::binary)
      << "2004,7,4,2.5\r\n";
  try {
    RunInputs(dir.Path()).SharedWeather();
    ADD_FAILURE() << "velm took evaporation for a day without its rain";
  } catch (const InputError& error) {
    const std::string fix = ExplainInputError(dir.Path(), error).Fix;
    EXPECT_NE(fix.find("(it is 19 hours short of a whole day)"), std::string::npos)
        << fix;
  }
}

// Records joined by a CR alone: the finding names the first such line and
// counts them all.
TEST(LineEnds, ALoneCarriageReturnIsNamedWhereItFirstStands) {
  const testing::CaseDir dir;
  dir.SetLine("rain.csv", 3, "2004,7,1,3,0\r2004,7,1,4,0");
  dir.SetLine("rain.csv", 6, "2004,7,1,6,0\r2004,7,1,7,0");
  Catchment catchment(dir.Path());
  std::vector<Finding> findings;
  ReadCatchment(catchment, findings);
  findings.clear();
  CheckLineEnds(catchment, findings);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].Line, 3u);
  EXPECT_TRUE(findings[0].Message.starts_with(
      "line 3 holds a carriage return that ends no line (CR alone; 2 in all)"))
      << findings[0].Message;
}

// A daily record has no hour: its value, even one that is no number, is
// never read as one.
TEST(SeriesChecks, ADailyRecordsValueIsNoHour) {
  const testing::CaseDir dir;
  dir.SetLine("ep.csv", 2, "2004,7,2,n/a");
  Catchment catchment(dir.Path());
  std::vector<Finding> findings;
  ReadCatchment(catchment, findings);
  CheckSeries(catchment, findings);
  for (const Finding& f : findings) {
    EXPECT_EQ(f.Message.find("hour"), std::string::npos) << f.Message;
  }
  // An hour of 0 is a numbering from 0, and the finding asks about it.
  dir.SetLine("runoff.csv", 1, "2004,7,1,0,0.01");
  Catchment withHourZero(dir.Path());
  findings.clear();
  ReadCatchment(withHourZero, findings);
  CheckSeries(withHourZero, findings);
  EXPECT_TRUE(std::any_of(findings.begin(), findings.end(), [](const Finding& f) {
    return f.Message.find("are the hours numbered 0 to 23?") != std::string::npos;
  }));
}

TEST(UnitSuspects, NameTheUnitThatBringsTheRatioBack) {
  EXPECT_EQ(
      UnitSuspects(172, 427),
      std::vector<std::string>{"runoff in L/s would give a ratio of 0.172"});
  EXPECT_EQ(UnitSuspects(0.00153, 920),
            (std::vector<std::string>{
                "an area in hectares would give a ratio of 0.153",
                "runoff already in mm per hour (an area of exactly 1) would "
                "give a ratio of 0.391"}));
  EXPECT_EQ(
      UnitSuspects(3.9e-7, 920e6),
      std::vector<std::string>{"an area in m2 would give a ratio of 0.39"});
  EXPECT_TRUE(UnitSuspects(2.25, 1).empty());
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
