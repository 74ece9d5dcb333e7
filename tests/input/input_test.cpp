// The readers: what each value line becomes, and the search for
// MAX_Infiltration. Records, file names, refusals and missing files are
// pinned by tests/cases.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <stdexcept>
#include <tuple>
#include <random>
#include <string>
#include <vector>

#include "input/input_error.h"
#include "common/number_format.h"
#include "input/parameter_file.h"
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
