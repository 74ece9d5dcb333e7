// The readers: what each value line becomes, and the search for
// MAX_Infiltration. Records, file names, refusals and missing files are
// pinned by tests/cases.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <tuple>
#include <random>
#include <string>
#include <vector>

#include "input/input_error.h"
#include "common/number_format.h"
#include "input/parameter_file.h"
#include "input/potential_evaporation.h"
#include "input/run_inputs.h"
#include "model/horton_curve.h"
#include "support/case_dir.h"
#include "support/random_sets.h"

namespace velm {
namespace {

TEST(RunSettings, ReadsEachValueFromItsLineAndTankGroupsByTheirCount) {
  const testing::CaseDir dir;
  const std::pair<int, const char*> lines[] = {
      {3, "427.165365"}, {5, "-1 calibrate"}, {7, "2"},      {9, "output"},
      {11, "1"},         {13, "4"},           {15, "29461"}, {17, " 0.5e-1"},
      {19, "14"},        {22, "1"},           {24, "2"},     {26, "3"},
      {28, "4"},         {30, "5"},           {32, "6"},     {34, "7"},
      {36, "8"},         {38, "9"},           {40, "10"},    {42, "11"},
      {44, "2"},         {45, "9"},           {46, "12"},    {47, "13"},
      {48, "9"},         {49, "14"},          {50, "0"}};
  for (const auto& [number, text] : lines) {
    dir.SetLine("control.dat", number, text);
  }
  const RunSettings s = RunInputs(dir.Path()).Settings();
  EXPECT_EQ(s.CatchmentArea, 427.165365);
  EXPECT_EQ(s.RunMode, -1);
  EXPECT_EQ(s.ObservedFlag, 2);
  EXPECT_EQ(s.OutputFlag, 0);
  EXPECT_EQ(s.SurfaceStorageFlag, 1);
  EXPECT_EQ(s.ObjectiveType, 4);
  EXPECT_EQ(s.FcountLimit, 29461);
  EXPECT_EQ(s.BalanceErrorLimit, 0.05);
  EXPECT_EQ(s.VariableCount, 14);
  // Each single value's index is the number written on its line.
  for (const ParameterRow* row : kScalableRows) {
    if (row->Tanks == nullptr) {
      EXPECT_EQ(s.OptIndex.Single[PositionOf(*row)], (row->IndexLine - 20) / 2)
          << row->Name;
    }
  }
  RunSettings copy = s;
  EXPECT_EQ(copy.OptIndex[&ParameterSet::CoeffTank], (std::vector<int>{12, 14}));
  EXPECT_EQ(copy.OptIndex[&ParameterSet::BotomTank], (std::vector<int>{13, 0}));
  const ParameterRef tank3{&RowOf(&ParameterSet::CoeffTank), 3};
  EXPECT_EQ(s.OptIndex.Of(tank3), 0);  // no group: not calibrated

  dir.SetLine("control.dat", 44, "2147483647");  // only the groups it has
  copy = RunInputs(dir.Path()).Settings();
  EXPECT_EQ(copy.OptIndex[&ParameterSet::CoeffTank].size(), 3u);
}

TEST(ParameterFile, GivesTheLineOfEachParameter) {
  const std::tuple<const char*, int, std::size_t, std::size_t> lines[] = {
      {"Impervious", 0, 3, 22},         {"F18_SoilMoisture", 0, 11, 0},
      {"Coeff_EvapoModel", 0, 15, 34},  {"CoeffSurfaceTopTank", 0, 17, 36},
      {"HighSurfaceBotomTank", 0, 23, 42}, {"CoeffTank", 1, 27, 46},
      {"BotomTank", 2, 31, 50},         {"F18_Infiltration", 0, 0, 30}};
  for (const auto& [name, tank, line, indexLine] : lines) {
    const ParameterRef p{FindParameter(name), tank};
    EXPECT_EQ(ParameterLineOf(p), line) << name;
    EXPECT_EQ(IndexLineOf(p), indexLine) << name;
  }
}

// The rain file named in one encoding while the file's name is in the
// other: the refusal says where the file is.
std::optional<NameOnDisk> FoundElsewhere(const std::string& nameOnDisk,
                                         const std::string& nameInFileInfo) {
  const testing::CaseDir dir;
  std::filesystem::rename(dir.Path() / "rain.csv", dir.Path() / nameOnDisk);
  dir.SetLine("FILEINFO.dat", 4, "InputFilename_RainData," + nameInFileInfo);
  RunInputs inputs(dir.Path());
  try {
    ReadInputFile(inputs, FileEntry::kRain);
  } catch (const InputError& error) {
    return error.InOtherEncoding;
  }
  ADD_FAILURE() << "opened " << nameInFileInfo;
  return std::nullopt;
}

TEST(RunInputs, LooksForANameThatOpensNothingInItsOtherEncoding) {
  const std::string utf8 = "雨量.csv";
  const std::string cp932 = testing::ToCp932(utf8);
  EXPECT_EQ(FoundElsewhere(utf8, cp932), NameOnDisk::kUtf8);
  EXPECT_EQ(FoundElsewhere(cp932, utf8), NameOnDisk::kCp932);
  EXPECT_EQ(FoundElsewhere(utf8, "rain.csv"), std::nullopt);
}

TEST(ParameterSet, DerivesSoilInfiltrationAndInitialTankDepths) {
  const testing::CaseDir dir;
  const ParameterSet p = RunInputs(dir.Path()).FileParameters();
  EXPECT_EQ(p.F18_SoilMoisture, 100.0);  // 0.5 × 200
  EXPECT_NEAR(p.F18_Infiltration, 5.58701294, 5e-9);
  EXPECT_NEAR(p.MAX_Infiltration, 12.35250902, 5e-9);
  EXPECT_EQ(p.BotomTank, (std::vector<double>{0, 0.5, 0.2, 0}));
  // 0.1 / 0.1 / 0.8 and 0.05 / 0.05 / 0.8, divided left to right.
  EXPECT_EQ(p.TankWaterDepth,
            (std::vector<double>{0, 0, 0.1 / 0.1 / 0.8, 0.05 / 0.05 / 0.8}));
}

// Every value of a set, by its rows, with the bits it holds.
std::vector<std::string> Bits(const ParameterSet& p) {
  std::vector<std::string> values;
  for (const ParameterRow& row : kParameters) {
    if (row.Value != nullptr) values.push_back(FormatPrintf("%a", p.*(row.Value)));
    if (row.Count != nullptr) values.push_back(std::to_string(p.*(row.Count)));
    if (row.Tanks != nullptr) {
      for (const double v : p.*(row.Tanks)) {
        values.push_back(FormatPrintf("%a", v));
      }
    }
  }
  return values;
}

TEST(ParameterFile, WrittenSetsReadBackBitForBitAndOthersAreRefused) {
  const testing::CaseDir dir;
  std::vector<ParameterSet> sets{RunInputs(dir.Path()).FileParameters()};
  std::mt19937_64 random(24);
  while (sets.size() < 200) {
    if (auto set = testing::RandomValidSet(random)) sets.push_back(*set);
  }
  // A soil of 1 mm, where the fraction written is the depth itself.
  const testing::CaseDir unitSoil;
  for (const auto& [member, value] : {std::pair{&ParameterSet::MAX_SoilMoisture, "1"},
                                      std::pair{&ParameterSet::Final_Infiltration, "0.01"}}) {
    unitSoil.SetLine("param.dat", static_cast<int>(RowOf(member).FileLine), value);
  }
  sets.push_back(RunInputs(unitSoil.Path()).FileParameters());
  for (const ParameterSet& p : sets) {
    const std::string text = ParameterFileText(p);
    EXPECT_EQ(Bits(ParseParameterFile(TextLines::FromText(text, LastLine::kKept))),
              Bits(p));
  }
  const ParameterSet p = sets.front();
  EXPECT_EQ(ParameterFileText(p).substr(0, 33),
            "velm parameter file\r\nImpervious\r\n");
  ParameterSet scaled = p;
  scaled.MAX_Infiltration *= 0.5;  // as a calibration scales it
  scaled.CoeffTank[3] *= 0.5;
  const auto refusal = [](const ParameterSet& set) -> std::string {
    try {
      ParameterFileText(set);
    } catch (const std::invalid_argument& error) {
      return error.what();
    }
    return "";
  };
  EXPECT_NE(refusal(scaled).find("MAX_Infiltration 6.17"), std::string::npos)
      << refusal(scaled);
  EXPECT_NE(refusal(scaled).find("; the initial tank depths"), std::string::npos);
  scaled = p;
  scaled.Impervious = 1;
  EXPECT_NE(refusal(scaled).find("velm would refuse this set: Impervious 1"),
            std::string::npos);
}

// One step at a time, refining tenfold at each overshoot; nothing when it
// does not end within `maxPasses`. The search skips runs of steps and must
// land bit for bit where this walk lands.
std::optional<double> PlainWalk(double fc, double k, double smax, double f18,
                                long maxPasses) {
  const auto g = [&](double x) {
    return k * smax - (x - fc * std::log((f18 - fc) / x));
  };
  double x = f18, s = 1.0, gx = 1.0;
  for (long pass = 0; pass < maxPasses; ++pass) {
    if (gx <= 0) x = x - s * f18, s = s * 0.1;
    x = x + s * f18;
    gx = g(x);
    if (std::isnan(gx)) return std::nullopt;
    if (std::fabs(gx) <= 0.01) return x + fc;
  }
  return std::nullopt;
}

TEST(MaxInfiltrationSearch, LandsWhereThePlainWalkLandsOnRandomValidSets) {
  std::mt19937_64 random(20261206);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  int compared = 0;
  for (int set = 0; set < 3000; ++set) {
    const double fc = std::exp(std::log(0.02) + unit(random) * 5.5);
    const double k = 0.02 + 2 * unit(random);
    const double smax = 5 + 300 * unit(random);
    const double f18 =
        ComputeF18Infiltration(fc, k, smax, smax * (0.1 + 0.85 * unit(random)));
    const auto expected = PlainWalk(fc, k, smax, f18, 100'000);
    if (!expected) continue;
    ++compared;
    ASSERT_EQ(SearchMaxInfiltration(fc, k, smax, f18), expected) << set;
  }
  EXPECT_GT(compared, 1000);
  // F18 whose bits below the binade's precision are exactly one half.
  const double fc = 0.047499064450307778, k = 0.69535750305834831;
  const double smax = 6.0279107462262944, fraction = 0.94707443902134381;
  const double f18 = ComputeF18Infiltration(fc, k, smax, smax * fraction);
  EXPECT_EQ(SearchMaxInfiltration(fc, k, smax, f18), 3.9139231147611393);
  // A tiny F18 would take billions of steps; the search still ends.
  const double tiny = ComputeF18Infiltration(1e-9, 1, 200, 100);
  EXPECT_NEAR(SearchMaxInfiltration(1e-9, 1, 200, tiny).value(), 200, 0.02);
  EXPECT_FALSE(SearchMaxInfiltration(5, 0.1, 1, 5.5));  // g(F18) < -0.01
  EXPECT_FALSE(SearchMaxInfiltration(5, 0.1, 200, 5));  // ln of 0
  EXPECT_FALSE(SearchMaxInfiltration(-1, 0.1, 200, -1.1));
  EXPECT_FALSE(SearchMaxInfiltration(5, 0.1, 200, std::nan("")));
}

}  // namespace
}  // namespace velm

namespace velm {
namespace {

std::vector<std::string> Bits(const std::vector<double>& values) {
  std::vector<std::string> bits;
  for (const double v : values) bits.push_back(FormatPrintf("%a", v));
  return bits;
}

// A catchment directory written from what velm read reads back to the same
// values, bit for bit; and values of every magnitude survive the series'
// text, the control file's too.
TEST(InputWriters, WrittenDirectoriesReadBackBitForBit) {
  const testing::CaseDir dir("twenty-days");
  RunInputs original(dir.Path());
  const testing::CaseDir copy("hand");  // a place to write into
  const std::filesystem::path written = copy.Path() / "written";
  WriteInputFiles(written, "velm catchment", original.WeatherRecord(),
                  original.Settings(), original.FileParameters(),
                  &original.Observed().Given);
  RunInputs back(written);
  EXPECT_EQ(back.Settings().Text("h"), original.Settings().Text("h"));
  EXPECT_EQ(Bits(back.FileParameters()), Bits(original.FileParameters()));
  for (auto series : {&Weather::Rain, &Weather::PotentialE,
                      &Weather::DailyPotentialE}) {
    EXPECT_EQ(Bits(back.WeatherRecord().*series),
              Bits(original.WeatherRecord().*series));
  }
  EXPECT_EQ(back.WeatherRecord().Dates.Day, original.WeatherRecord().Dates.Day);
  EXPECT_EQ(Bits(back.Observed().Hourly), Bits(original.Observed().Hourly));
  EXPECT_EQ(back.Files().Name(FileEntry::kResult), "result.csv");

  std::mt19937_64 random(27);
  std::uniform_real_distribution<double> exponent(-300, 300);
  std::vector<double> rain(24 * 3), daily(3);
  for (double& r : rain) r = std::pow(10.0, exponent(random));
  for (double& e : daily) e = std::pow(10.0, exponent(random) / 10);
  const Weather w = WeatherOf(rain, daily, CalendarFrom(2000, 2, 28, 3));
  EXPECT_EQ(Bits(ParseRain(TextLines::FromText(RainFileText(w), LastLine::kDropped))),
            Bits(rain));
  const Weather read = ParseEvaporation(
      TextLines::FromText(EvaporationFileText(w), LastLine::kDropped), rain);
  EXPECT_EQ(Bits(read.PotentialE), Bits(w.PotentialE));
  EXPECT_EQ(read.Dates.Day, (std::vector<int>{28, 29, 1}));

  RunSettings s = original.Settings();
  s.CatchmentArea = std::pow(10.0, exponent(random));
  s.BalanceErrorLimit = 1.0 / 3;
  s.VariableCount = 14;
  s.OptIndex[&ParameterSet::CoeffTank] = {1, 0, 14, 2};
  s.OptIndex[&ParameterSet::BotomTank] = {0, 3, 0, 4};
  const RunSettings parsed =
      RunSettings::Parse(TextLines::FromText(s.Text("h"), LastLine::kKept));
  EXPECT_EQ(parsed.Text("h"), s.Text("h"));
  EXPECT_EQ(parsed.CatchmentArea, s.CatchmentArea);
  EXPECT_EQ(parsed.OptIndex[&ParameterSet::BotomTank], (std::vector<int>{0, 3, 0, 4}));
}

std::string Refusal(const std::function<void()>& call) {
  try {
    call();
  } catch (const std::invalid_argument& error) {
    return error.what();
  }
  return "";
}

// What the files cannot hold is refused with the day or hour it happens on;
// a gap in the observed runoff is written as a day without runoff.
TEST(InputWriters, RefuseWhatTheFilesCannotHold) {
  const Calendar days = CalendarFrom(2001, 12, 31, 2);
  std::vector<double> rain(48, 0.5), hourlyE(48, 0.0);
  rain[29] = NAN;
  EXPECT_EQ(Refusal([&] { RefuseNonFinite(rain, {1, 2}, days); }),
            "rain must be a finite number, not nan at 2002-01-01 hour 6");
  rain[29] = 0.5;
  EXPECT_EQ(Refusal([&] { RefuseNonFinite(rain, {1, -INFINITY}, days); }),
            "potential evaporation must be a finite number, not -inf at "
            "2002-01-01");
  hourlyE[12] = 0.1;  // hour 13 of the first day alone
  const Weather w = WeatherOfSeries(rain, hourlyE, days);
  EXPECT_NE(Refusal([&] { EvaporationFileText(w); })
                .find("the potential evaporation of 2001-12-31 is not so spread"),
            std::string::npos);
  std::vector<double> observed(30, 1.0);
  observed[25] = NAN;
  const std::string text = ObservedRunoffFileText(observed, days);
  EXPECT_NE(text.find("2001,12,31,24,1\r\n2002,1,1,1,0\r\n"), std::string::npos);
  EXPECT_NE(text.find("2002,1,1,6,0\r\n"), std::string::npos);
  ParameterSet p = ParseParameterFile(
      TextLines::FromText(ParameterFileText(RunInputs(testing::CaseDir().Path())
                                                .FileParameters()),
                          LastLine::kKept));
  EXPECT_NE(Refusal([&] {
              WithValues(p, {{&RowOf(&ParameterSet::Final_Infiltration), -1.0}},
                         GivenDerived::kRefused);
            }).find("Final_Infiltration -1,"),
            std::string::npos);
}

// FAO-56's Example 8 (20°S on 3 September, day 246) to its printed
// figures, its Example 9's daylight hours N = 24/π ωs, the polar edges, and
// Oudin's formula worked by hand: Ra/2.45 · (T+5)/100 mm/day.
TEST(PotentialEvaporation, FollowsFao56AndOudinsFormula) {
  const SolarGeometry g = SolarGeometryOf(-20, 246);
  EXPECT_NEAR(g.InverseRelativeDistance, 0.985, 0.0005);
  EXPECT_NEAR(g.Declination, 0.120, 0.0005);
  EXPECT_NEAR(g.SunsetHourAngle, 1.527, 0.0005);
  EXPECT_NEAR(g.Radiation, 32.2, 0.05);
  EXPECT_NEAR(24 / std::numbers::pi * g.SunsetHourAngle, 11.7, 0.05);
  EXPECT_EQ(SolarGeometryOf(80, 172).SunsetHourAngle, std::numbers::pi);
  EXPECT_NEAR(SolarGeometryOf(80, 355).Radiation, 0.0, 1e-12);
  const struct {
    double Ra, T, Pe;
  } worked[] = {{32.2, 15, 2.628571428571429}, {32.2, -4, 0.1314285714285714},
                {10, 20.5, 1.040816326530612}, {32.2, -5, 0}, {40, -30, 0}};
  for (const auto& w : worked) {
    EXPECT_NEAR(OudinPotentialEvaporation(w.Ra, w.T), w.Pe, 1e-14) << w.T;
  }
  const std::vector<double> pe =
      OudinSeries({15, -6}, CalendarFrom(2001, 9, 3, 2), -20);
  EXPECT_EQ(pe[0], OudinPotentialEvaporation(g.Radiation, 15));
  EXPECT_EQ(pe[1], 0.0);
  EXPECT_EQ(Refusal([] { OudinSeries({NAN}, CalendarFrom(2004, 2, 29, 1), 5); }),
            "the mean temperature must be a finite number, not nan on 2004-02-29");
}

}  // namespace
}  // namespace velm
