// The result file and the console summary, byte for byte. The cases are built
// so that every number can be worked out by hand: with Impervious 1, no tanks
// and CoeffSurfaceTopTank 1 the calculated runoff of an hour is its rain, and
// without rain on the pervious soil before the last day its capacity stays at
// 1.2 × F18_Infiltration (5.58701 for this parameter set) = 6.70442.

#include "results/result_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "results/fit.h"
#include "support/case_dir.h"

namespace velm {
namespace {

using testing::ToCp932;

// Three days from 2004-07-01: observed 0.125 per hour on day 0 (total 3),
// none on day 1, 0.25 per hour on day 2 (total 6); rain 0.5 in hours 1 to 8
// of day 2 (total 4); no potential evaporation.
void WriteHandCase(const testing::CaseDir& dir, testing::ControlValues control,
                   testing::ParameterValues parameters) {
  dir.WriteFileInfo();
  dir.Write("control.dat", testing::ControlFileText(control));
  dir.Write("param.dat", testing::ParameterFileText(parameters));
  std::vector<double> rain(72, 0.0), observed(72, 0.0);
  for (int t = 0; t < 24; ++t) observed[t] = 0.125;
  for (int t = 48; t < 72; ++t) observed[t] = 0.25;
  for (int t = 48; t < 56; ++t) rain[t] = 0.5;
  dir.Write("rain.csv", testing::HourlyFileText(rain));
  dir.Write("ep.csv", testing::DailyFileText({0, 0, 0}));
  dir.Write("runoff.csv", testing::HourlyFileText(observed));
}

testing::ParameterValues ImperviousOnly() {
  testing::ParameterValues p;
  p.Impervious = "1";
  p.Coeff_EvapoModel = "0.00005";
  p.CoeffSurfaceTopTank = "1";
  p.HighSurfaceBotomTank = "1234567";
  p.Tanks = {};
  return p;
}

const std::string kEcho =
    " MAX_SoilMoisture  =200 MAX_EvapoRatio    =0.8\n"
    " Coeff_Reduction   =0.1 F18_SoilMoisture  =100\n"
    " Final_Infiltration=5 Coeff_EvapoModel  =5e-005\n"
    " F18_Infiltration  =5.58701 MAX_Infiltration  =12.3525\n"
    "\n";

std::string ParameterBlock(const std::string& impervious,
                           const std::string& tankLines) {
  return "*** Velm-Model Calculation *** Parameter\r\n"
         " MAX_SoilMoisture  =200,   F18_SoilMoisture   =100\r\n"
         " MAX_Infiltration  =12.3525,   F18_Infiltration   =5.58701\r\n"
         " Coeff_Reduction   =0.1,   Final_Infiltration  =5\r\n"
         " MAX_EvapoRatio    =0.8,  Coeff_EvapoModel    =5e-005\r\n"
         "\r\n"
         " Impervious            =" +
         impervious +
         "\r\n"
         " CoeffSurfaceTopTank   =1,  CoeffSurfaceBotomTank =0.3\r\n"
         " HighSurfaceTopTank    =10,  HighSurfaceBotomTank  "
         "=1.23457e+006\r\n" +
         tankLines + "\r\n\r\n";
}
const std::string kParameterBlock = ParameterBlock("1", "");

const std::string kColumnsWithObserved =
    "i,YEAR,MONTH,DAY,Rain,ObservedQ,CalcQ,PotentialE,ActualE,Infiltration\r\n";
const std::string kRowsWithObserved =
    "0,2004,7,1,0,3,0,0,0,6.70442,\r\n"
    "1,2004,7,2,0,0,0,0,0,6.70442,\r\n"
    "2,2004,7,3,4,6,4,0,0,6.70442,\r\n";
// Days 0 and 2 are fit days: errors -3 and -2 against 3 and 6.
const std::string kWaterBalance =
    ToCp932("*****水収支***** 降雨:4 観測流量:9 計算流量:4 蒸発散量:0");

class SimulationRun : public ::testing::Test {
 protected:
  testing::ProgramResult Run(
      const testing::ControlValues& control,
      const testing::ParameterValues& parameters = ImperviousOnly()) {
    WriteHandCase(dir_, control, parameters);
    return testing::RunVelm(dir_.Path());
  }
  testing::CaseDir dir_;
};

TEST_F(SimulationRun, ComparedWithObservedRunoff) {
  const auto result = Run({});
  EXPECT_EQ(result.Stdout, kEcho + ToCp932("day= 2　相対誤差=66.6667\n"));
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(result.Stderr, "");
  EXPECT_EQ(dir_.Read("result.csv"),
            kParameterBlock +
                ToCp932("Result of Velm-Model Runoff Calculation  "
                        "2日間　相対誤差=66.6667\r\n") +
                kColumnsWithObserved + kRowsWithObserved);
}

TEST_F(SimulationRun, WithoutObservedRunoffTheColumnAndComparisonAreLeftOut) {
  testing::ControlValues control;
  control.ObservedFlag = 0;
  control.ObjectiveType = 2;  // the simulation layout ignores it
  const auto result = Run(control);
  dir_.Remove("runoff.csv");  // not needed, so not read
  EXPECT_EQ(result.Stdout, kEcho + ToCp932("day= 0　相対誤差=0\n"));
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(
      dir_.Read("result.csv"),
      kParameterBlock +
          ToCp932("Result of Velm-Model Runoff Calculation  0日間\r\n") +
          "i,YEAR,MONTH,DAY,Rain,CalcQ,PotentialE,ActualE,Infiltration\r\n"
          "0,2004,7,1,0,0,0,0,6.70442,\r\n"
          "1,2004,7,2,0,0,0,0,6.70442,\r\n"
          "2,2004,7,3,4,4,0,0,6.70442,\r\n");
}

TEST_F(SimulationRun, TanksAreListedAfterTheSurfaceParameters) {
  // Two tanks that empty in the first warm-up hour: no runoff is left.
  testing::ParameterValues parameters = ImperviousOnly();
  parameters.Impervious = "0";
  parameters.Tanks = {{"1", "0"}, {"1", "0"}};
  testing::ControlValues control;
  WriteHandCase(dir_, control, parameters);
  dir_.Write("rain.csv", testing::HourlyFileText(std::vector<double>(72, 0.0)));
  const auto result = testing::RunVelm(dir_.Path());
  EXPECT_EQ(result.Stdout, kEcho +
                               "1 CoeffTank=1 BotomTank=0\n"
                               "2 CoeffTank=1 BotomTank=0\n" +
                               ToCp932("day= 2　相対誤差=100\n"));
  EXPECT_EQ(dir_.Read("result.csv"),
            ParameterBlock("0",
                           "1 CoeffTank=1, BotomTank=0\r\n"
                           "2 CoeffTank=1, BotomTank=0\r\n") +
                ToCp932("Result of Velm-Model Runoff Calculation  "
                        "2日間　相対誤差=100\r\n") +
                kColumnsWithObserved +
                "0,2004,7,1,0,3,0,0,0,6.70442,\r\n"
                "1,2004,7,2,0,0,0,0,0,6.70442,\r\n"
                "2,2004,7,3,0,6,0,0,0,6.70442,\r\n");
}

TEST_F(SimulationRun, OtherOutputFlagsPrintTheEchoAlone) {
  for (int flag : {0, 2}) {
    testing::ControlValues control;
    control.OutputFlag = flag;
    const auto result = Run(control);
    EXPECT_EQ(result.Stdout, kEcho) << flag;
    EXPECT_EQ(result.ExitCode, 0);
    EXPECT_FALSE(dir_.Exists("result.csv"));
  }
}

TEST_F(SimulationRun, ObservedRunoffIsReadEvenWhenNothingIsWritten) {
  testing::ControlValues control;
  control.OutputFlag = 0;
  WriteHandCase(dir_, control, ImperviousOnly());
  dir_.Remove("runoff.csv");
  const auto result = testing::RunVelm(dir_.Path());
  EXPECT_EQ(
      result.Stdout,
      kEcho +
          ToCp932("InputFilename_RunoffData ファイルをオープンできません\n\n"));
  EXPECT_EQ(result.ExitCode, 1);
}

TEST_F(SimulationRun, ARunWithoutWholeDaysEndsWithTheColumnLine) {
  WriteHandCase(dir_, {}, ImperviousOnly());
  for (const char* name : {"rain.csv", "ep.csv", "runoff.csv"})
    dir_.Write(name, "");
  const auto result = testing::RunVelm(dir_.Path());
  EXPECT_EQ(result.Stdout, kEcho + ToCp932("day= 0　相対誤差=nan\n"));
  EXPECT_EQ(dir_.Read("result.csv"),
            kParameterBlock +
                ToCp932("Result of Velm-Model Runoff Calculation  "
                        "0日間　相対誤差=nan\r\n") +
                kColumnsWithObserved);
}

TEST_F(SimulationRun,
       AResultFileThatCannotBeCreatedFailsTheRunAfterTheSummary) {
  WriteHandCase(dir_, {}, ImperviousOnly());
  std::string fileInfo = dir_.Read("FILEINFO.dat");
  fileInfo.replace(fileInfo.find("result.csv"), 10, "no-such-dir/result.csv");
  dir_.Write("FILEINFO.dat", fileInfo);
  const auto result = testing::RunVelm(dir_.Path());
  EXPECT_EQ(result.Stdout, kEcho + ToCp932("day= 2　相対誤差=66.6667\n"));
  EXPECT_EQ(result.Stderr, ToCp932("結果ファイルに書き込めません: ") +
                               "no-such-dir/result.csv\n");
  EXPECT_EQ(result.ExitCode, 1);
}

// The calibration layout, which a simulation never writes: through the fit
// report and the final result writer directly.
class CalibrationLayout : public ::testing::TestWithParam<int> {
 protected:
  CalibrationLayout() {
    testing::ControlValues control;
    control.ObjectiveType = GetParam();
    WriteHandCase(dir_, control, ImperviousOnly());
  }
  std::string SummaryLine() const {
    switch (GetParam()) {
      case 1:
        return ToCp932("　RMSE;平均２乗誤差平方根=2.54951");
      case 2:
        return ToCp932("　RR;相対誤差の平均２乗平方根=0.745356");
      case 3:
        return ToCp932("　RE;相対誤差=66.6667");
      default:
        return "";  // the balance line continues this one
    }
  }
  std::string Console() const {
    const std::string measure = SummaryLine();
    return "day= 2" + measure + (measure.empty() ? "" : "\n") + kWaterBalance +
           "\n";
  }
  std::string Layout() const {
    const std::string measure = SummaryLine();
    return kParameterBlock +
           ToCp932("Result of Velm-Model Runoff Calculation  2日間") + measure +
           (measure.empty() ? "" : "\r\n") + kWaterBalance + "\r\n" +
           kColumnsWithObserved + kRowsWithObserved;
  }

  testing::CaseDir dir_;
  testing::WorkingDirectory cwd_{dir_.Path()};
};

TEST_P(CalibrationLayout, FitReportPrintsAndRewritesTheResultFile) {
  RunoffModel model;
  model.Simulate(1);
  dir_.Write("result.csv", "an earlier run's file, longer than this one\r\n" +
                               std::string(5000, 'x'));
  testing::CapturedStdout console;
  const double f = ComputeFit(model, 1);
  EXPECT_EQ(console.Text(), Console());
  EXPECT_EQ(dir_.Read("result.csv"), Layout());
  const double expected[] = {0, std::sqrt(6.5), std::sqrt((1 + 1.0 / 9) / 2),
                             100 * (1 + 1.0 / 3) / 2, 0};
  EXPECT_DOUBLE_EQ(f, expected[GetParam()]);
}

TEST_P(CalibrationLayout, FinalResultIsAppendedToTheRunsFileAndClosesIt) {
  RunoffModel model;
  model.Simulate(1);
  std::ofstream stream("result.csv", std::ios::binary);
  stream << "written by the run\r\n";
  testing::CapturedStdout console;
  EXPECT_TRUE(WriteCalibrationResult(model, stream));
  EXPECT_FALSE(stream.is_open());
  EXPECT_EQ(console.Text(), Console());
  EXPECT_EQ(dir_.Read("result.csv"), "written by the run\r\n" + Layout());
}

INSTANTIATE_TEST_SUITE_P(ObjectiveTypes, CalibrationLayout,
                         ::testing::Values(1, 2, 3, 4));

}  // namespace
}  // namespace velm
