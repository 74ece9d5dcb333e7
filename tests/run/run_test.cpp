// The run service: velm's calibration and the Python module's are one call
// whose outcome does not depend on the reports it is given, and a simulation
// of series is the simulation of the files that hold them.

#include "run/calibration.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/number_format.h"
#include "driver/run_modes.h"
#include "model/simulate.h"
#include "optimizer/gene_map.h"
#include "results/efficiency.h"
#include "results/calibration_reports.h"
#include "support/case_dir.h"

namespace velm {
namespace {

std::string Bits(std::span<const double> values) {
  std::string text;
  for (const double v : values) text += FormatPrintf(" %a", v);
  return text;
}

// Every number an outcome holds, bit for bit.
std::string Summary(const CalibrationOutcome& o) {
  std::string text = FormatPrintf(
      "f %a g %d fcount %d steps %d evaluations %ld simulations %ld genes",
      o.Record.Best.f, o.Record.Generation, o.Record.Fcount,
      o.Record.FinalSteps, o.Counts.Evaluations, o.Counts.Simulations);
  text += Bits(o.Genes());
  for (const CalibrationRecord::Epoch& e : o.Record.Epochs) {
    text += FormatPrintf("\nepoch %d %d", e.Generation, e.Fcount) +
            Bits(e.RankedF);
  }
  text += "\nrun" + Bits(o.Best.DailyCalcQ) + Bits(o.Best.DailyActualE) +
          Bits(o.Best.Hourly.Infiltration) +
          FormatPrintf(" fit %d %a %a", o.Best.Fit.FitDays, o.Best.Fit.RMSE,
                       o.Best.Fit.BalanceRatio);
  for (const std::string& problem : o.Problems) text += "\n" + problem;
  return text;
}

TEST(Calibrate, VelmsAndThePythonModulesAreOneCallWithOneOutcome) {
  for (const char* outputFlag : {"1"}) {
    const testing::CaseDir dir("twenty-days");
    dir.SetLine("control.dat", 9, outputFlag);
    // As velm runs it: its console and its result file.
    const auto inputs = std::make_shared<RunInputs>(dir.Path());
    const CatchmentData data = CatchmentData::Read(inputs);
    std::ostringstream velmConsole, errors;
    CalibrationOutcome byVelm;
    EXPECT_EQ(RunCalibration(data, *inputs, SeedClock(3), velmConsole, errors,
                             &byVelm),
              0);
    // As the module runs it: its console alone, on two threads.
    std::ostringstream moduleConsole;
    ConsoleProgress console(moduleConsole, data.Settings.ObjectiveType);
    const CalibrationOutcome byModule =
        Calibrate(data, {SeedClock(3), 2}, console);
    EXPECT_EQ(Summary(byModule), Summary(byVelm));
    EXPECT_EQ(moduleConsole.str(), velmConsole.str());
    EXPECT_FALSE(velmConsole.str().empty());
  }
}

// What a study asks beyond velm: a seed is VELM_SEED's clock; evaluations
// that end at the last fit day change no bit of the outcome; the DDS and a
// measure of the caller's give the f the measure gives the best set.
TEST(Calibrate, SeedsSearchesMeasuresAndRecordsEndingAtTheLastFitDay) {
  const testing::CaseDir dir("twenty-days");
  const CatchmentData read =
      CatchmentData::Read(std::make_shared<RunInputs>(dir.Path()));
  const Weather& w = *read.WeatherRecord;
  // Observed for the first 12 days only, as a prepared period is.
  std::vector<double> observed = read.Observed()->Hourly;
  std::fill(observed.begin() + 12 * kHoursPerDay, observed.end(), 0.0);
  const CatchmentData data = CatchmentData::FromSeries(
      w.Rain, w.PotentialE, w.Dates, observed, read.Parameters, read.Settings);
  ProgressSink quiet;
  CalibrationOptions seeded;
  seeded.Seed = 5;
  seeded.EndAtLastFitDay = true;
  const CalibrationOutcome byClock = Calibrate(data, {SeedClock(5)}, quiet);
  const CalibrationOutcome bySeed = Calibrate(data, seeded, quiet);
  EXPECT_EQ(Summary(bySeed), Summary(byClock));

  CalibrationOptions dds = seeded;
  dds.Search = SearchKind::kDds;
  dds.Measure = [](std::span<const double> o, std::span<const double> c) {
    return EfficiencyLoss(Efficiency::kKge, o, c);
  };
  const CalibrationOutcome one = Calibrate(data, dds, quiet);
  dds.ThreadCount = 2;
  dds.EndAtLastFitDay = false;
  EXPECT_EQ(Summary(Calibrate(data, dds, quiet)), Summary(one));
  EXPECT_TRUE(one.Record.Epochs.empty());
  EXPECT_GE(one.Record.Fcount, data.Settings.FcountLimit);
  EXPECT_EQ(one.Record.Best.f,
            EfficiencyLoss(Efficiency::kKge, data.Observed()->Daily,
                           one.Best.DailyCalcQ) +
                ConstraintPenalty(one.Best.Parameters));
  EXPECT_NE(Summary(one), Summary(bySeed));
}

TEST(SimulateCatchment, SeriesGiveWhatTheFilesGive) {
  const testing::CaseDir dir("twenty-days");
  const CatchmentData read =
      CatchmentData::Read(std::make_shared<RunInputs>(dir.Path()));
  const Weather& w = *read.WeatherRecord;
  // The observed runoff as the file gives it: a depth per hour with an area
  // of 1.
  const CatchmentData made = CatchmentData::FromSeries(
      w.Rain, w.PotentialE, w.Dates, read.Observed()->Hourly, read.Parameters,
      read.Settings);
  const SimulationRun a = SimulateCatchment(read, read.Parameters, true);
  const SimulationRun b = SimulateCatchment(made, made.Parameters, true);
  EXPECT_EQ(Bits(a.DailyCalcQ) + Bits(a.Hourly.CalcQ),
            Bits(b.DailyCalcQ) + Bits(b.Hourly.CalcQ));
  EXPECT_EQ(FormatPrintf("%a %a", a.Fit.RMSE, a.F),
            FormatPrintf("%a %a", b.Fit.RMSE, b.F));
  // Days alone are the days of the hours.
  const SimulationRun days =
      SimulateCatchment(read, read.Parameters, true, Detail::kDaily);
  EXPECT_EQ(Bits(days.DailyCalcQ) + Bits(days.DailyActualE),
            Bits(a.DailyCalcQ) + Bits(a.DailyActualE));
  EXPECT_TRUE(days.Hourly.CalcQ.empty());
  // Without a comparison there is no fit, whatever the catchment has.
  EXPECT_EQ(SimulateCatchment(read, read.Parameters, false).Fit.FitDays, 0);
}

// A weather record whose dates cover fewer days than its hours (a series
// put together by hand) gets totals for its dates' days, never past them.
TEST(SimulateCatchment, SumsNoMoreDaysThanTheDatesHold) {
  const std::vector<double> hours(50, 1.0);
  std::vector<double> days(3, -1.0);
  SumDaily(hours, std::span<double>(days).first(1));
  EXPECT_EQ(days, (std::vector<double>{24.0, -1.0, -1.0}));
  SumDaily(hours, days);
  EXPECT_EQ(days, (std::vector<double>{24.0, 24.0, -1.0}));
}

}  // namespace
}  // namespace velm
