// The readers: what each value line and record becomes. Refusals and
// missing files are pinned by tests/cases/bad-input.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "input/hydro_series.h"
#include "input/parameter_set.h"
#include "input/run_settings.h"
#include "support/case_dir.h"

namespace velm {
namespace {

TEST(FileInfo, TakesEntriesByPositionAndNamesVerbatim) {
  const testing::CaseDir dir;
  const std::string longest(FileInfo::kMaxNameLength, 'r');
  dir.Write("FILEINFO.dat", "InputFilename_Heading,ignored.dat\r\n"
                            "Anything,control.dat\r\n"
                            "InputFilename_Paramater, param.dat\r\n"
                            "InputFilename_RainData,rain,2004.csv\n"
                            "x,4\r\nx,5\r\nresult," + longest +
                                "\r\nextra,8.dat\r\n");
  FileInfo info;
  info.Read();
  EXPECT_EQ(info.Name(FileEntry::kControl), "control.dat");
  EXPECT_EQ(info.Name(FileEntry::kParameter), " param.dat");
  EXPECT_EQ(info.Name(FileEntry::kRain), "rain,2004.csv");
  EXPECT_EQ(info.Name(FileEntry::kObservedRunoff), "5");
  EXPECT_EQ(info.Name(FileEntry::kResult), longest);
  dir.Write("FILEINFO.dat", "heading\na,1\nb,2\nc,3\nd,4\ne,5\nresult,r.csv");
  info = FileInfo();
  info.Read();  // an unterminated last line leaves its entry empty
  EXPECT_EQ(info.Name(FileEntry::kObservedRunoff), "5");
  EXPECT_EQ(info.Name(FileEntry::kResult), "");
}

TEST(RunSettings, ReadsEachValueFromItsLineAndTankGroupsByTheirCount) {
  const testing::CaseDir dir;
  const std::pair<int, const char*> lines[] = {
      {3, "427.165365"}, {5, "-1 calibrate"}, {7, "2"},    {9, "output"},
      {11, "1"},         {13, "4"},           {15, "29461"}, {17, " 0.5e-1"},
      {19, "14"},        {22, "1"},           {24, "2"},     {26, "3"},
      {28, "4"},         {30, "5"},           {32, "6"},     {34, "7"},
      {36, "8"},         {38, "9"},           {40, "10"},    {42, "11"},
      {44, "2"},         {45, "9"},           {46, "12"},    {47, "13"},
      {48, "9"},         {49, "14"},          {50, "0"}};
  for (const auto& [number, text] : lines) {
    dir.SetLine("control.dat", number, text);
  }
  RunSettings s;
  s.Read();
  EXPECT_EQ(s.CatchmentArea, 427.165365);
  EXPECT_EQ(s.RunMode, -1);
  EXPECT_EQ(s.ObservedFlag, 2);
  EXPECT_EQ(s.OutputFlag, 0);
  EXPECT_EQ(s.SurfaceStorageFlag, 1);
  EXPECT_EQ(s.ObjectiveType, 4);
  EXPECT_EQ(s.FcountLimit, 29461);
  EXPECT_EQ(s.BalanceErrorLimit, 0.05);
  EXPECT_EQ(s.VariableCount, 14);
  const int indices[] = {
      s.OptIndex_Impervious,          s.OptIndex_MAX_Infiltration,
      s.OptIndex_Final_Infiltration,  s.OptIndex_Coeff_Reduction,
      s.OptIndex_F18_Infiltration,    s.OptIndex_MAX_EvapoRatio,
      s.OptIndex_Coeff_EvapoModel,    s.OptIndex_CoeffSurfaceTopTank,
      s.OptIndex_HighSurfaceTopTank,  s.OptIndex_CoeffSurfaceBotomTank,
      s.OptIndex_HighSurfaceBotomTank};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(indices[i], i + 1);
  EXPECT_EQ(*s.OptIndex_CoeffTank, (std::vector<int>{12, 14}));
  EXPECT_EQ(*s.OptIndex_BotomTank, (std::vector<int>{13, 0}));
  EXPECT_EQ(s.CoeffTankIndex(3), 0);  // no group: not calibrated
  const RunSettings copy = s;  // shares the lists with its source
  (*s.OptIndex_CoeffTank)[0] = 3;
  EXPECT_EQ(copy.CoeffTankIndex(1), 3);

  dir.SetLine("control.dat", 44, "2147483647");  // only the groups it has
  s.Read();
  EXPECT_EQ(s.OptIndex_CoeffTank->size(), 3u);
}

TEST(HydroSeries, ValuesAfterTheirCommasEvaporationInDaytimeHours) {
  const testing::CaseDir dir;
  std::string rain = "2004,7,1,13,2.5\r\nx,,y,z, 1.25 repaired\r\n1,2,3,4,\r\n";
  for (int t = 3; t < 50; ++t) rain += "2004,7,1,1,0.5,extra\n";
  dir.Write("rain.csv", rain + "1,2,3,4,9");  // no line feed: not a record
  dir.Write("ep.csv", "2004,7,1,3.0\r\n2004, 07, 02, 4.5\r\n");
  dir.Write("runoff.csv", "2004,7,1,1,0.5\r\n");
  HydroSeries series;
  const int hours = series.CountRainLines();
  ASSERT_EQ(hours, 50);
  std::vector<double> r(50, -1), ep(50, -1), observed(50, -1);
  series.ReadRainAndEvaporation(r, ep);
  EXPECT_EQ(std::vector<double>(r.begin(), r.begin() + 4),
            (std::vector<double>{2.5, 1.25, 0, 0.5}));
  const std::pair<int, double> hourly[] = {
      {7, 0}, {8, 0.1 * 3.0}, {17, 0.1 * 3.0}, {18, 0}, {32, 0.1 * 4.5},
      {48, 0}, {49, 0}};  // hours 48 and 49 are a partial day
  for (const auto& [t, value] : hourly) EXPECT_EQ(ep[t], value) << t;
  EXPECT_EQ(series.Month, (std::vector<int>{7, 7}));
  EXPECT_EQ(series.Day, (std::vector<int>{1, 2}));

  series.ReadObservedRunoff(observed);  // area exactly 1: as it stands
  EXPECT_EQ(observed[0], 0.5);
  EXPECT_EQ(observed[1], 0.0);
  dir.SetLine("control.dat", 3, "36.0");
  HydroSeries().ReadObservedRunoff(observed);
  EXPECT_EQ(observed[0], 0.5 * 3600 / 36.0 * 0.001);
}

TEST(ParameterSet, DerivesSoilInfiltrationAndInitialTankDepths) {
  const testing::CaseDir dir;
  ParameterSet p;
  p.Read(0);
  EXPECT_EQ(p.F18_SoilMoisture, 100.0);  // 0.5 × 200
  EXPECT_NEAR(p.F18_Infiltration, 5.58701294, 5e-9);
  EXPECT_NEAR(p.MAX_Infiltration, 12.35250902, 5e-9);
  EXPECT_EQ(p.BotomTank, (std::vector<double>{0, 0.5, 0.2, 0}));
  // 0.1 / 0.1 / 0.8 and 0.05 / 0.05 / 0.8, divided left to right.
  EXPECT_EQ(p.TankWaterDepth, (std::vector<double>{0, 0, 0.1 / 0.1 / 0.8,
                                                   0.05 / 0.05 / 0.8}));
  dir.SetLine("param.dat", 25, "1");
  p.Read(0);
  EXPECT_EQ(p.TankWaterDepth, (std::vector<double>{0, 0.05 / 0.2 / 0.8}));
  dir.SetLine("param.dat", 25, "0");
  dir.SetLine("param.dat", 3, "1");  // no tank to divide by 1 - Impervious
  p.Read(0);
  EXPECT_EQ(p.TankWaterDepth, (std::vector<double>{0}));
}

// The search walked one step at a time, as the fast walk must reproduce.
std::optional<double> StepByStepSearch(double fc, double k, double smax,
                                       double f18) {
  const auto g = [&](double x) {
    return k * smax - (x - fc * std::log((f18 - fc) / x));
  };
  double x = f18, s = 1.0, gx = 1.0;
  for (long pass = 0; pass < 100'000'000; ++pass) {
    if (gx <= 0) x = x - s * f18, s = s * 0.1;
    x = x + s * f18;
    gx = g(x);
    if (std::fabs(gx) <= 0.01) return x + fc;
  }
  return std::nullopt;
}

TEST(MaxInfiltrationSearch, FindsBitForBitWhatTheStepByStepWalkFinds) {
  const double sets[][4] = {{5, 0.1, 200, 0.5},     {0.01, 1, 200, 0.5},
                            {0.001, 1, 200, 0.5},   {0.0005, 1, 100, 0.5},
                            {3e-5, 0.05, 500, 0.5}, {0.02, 2, 80, 0.3},
                            {2, 0.05, 150, 0.5}};
  for (const auto& [fc, k, smax, fraction] : sets) {
    const double f18 = ComputeF18Infiltration(fc, k, smax, smax * fraction);
    const auto expected = StepByStepSearch(fc, k, smax, f18);
    ASSERT_TRUE(expected);
    EXPECT_EQ(SearchMaxInfiltration(fc, k, smax, f18), expected) << fc;
  }
  // A tiny F18 would take billions of steps; the search still ends.
  const double f18 = ComputeF18Infiltration(1e-9, 1, 200, 100);
  EXPECT_NEAR(SearchMaxInfiltration(1e-9, 1, 200, f18).value(), 200, 0.02);
  EXPECT_FALSE(SearchMaxInfiltration(5, 0.1, 1, 5.5));  // g(F18) < -0.01
  EXPECT_FALSE(SearchMaxInfiltration(5, 0.1, 200, 5));  // ln of 0
  EXPECT_FALSE(SearchMaxInfiltration(-1, 0.1, 200, -1.1));
  EXPECT_FALSE(SearchMaxInfiltration(5, 0.1, 200, std::nan("")));
}

}  // namespace
}  // namespace velm
