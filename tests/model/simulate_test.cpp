#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "model/runoff_model.h"
#include "model/surface_storage.h"
#include "model_cases.h"

namespace velm {
namespace {

using testing::BuildModel;
using testing::CapturedStdout;
using testing::CaseDir;
using testing::ParameterValues;
using testing::WorkingDirectory;

struct Outputs {
  std::vector<double> CalcQ;
  std::vector<double> ActualE;
  std::vector<double> Infiltration;
  std::vector<double> TankWaterDepth;
  bool operator==(const Outputs&) const = default;
};

Outputs OutputsOf(const RunoffModel& model) {
  return {model.CalcQ, model.ActualE, model.Infiltration,
          model.Parameters.TankWaterDepth};
}

// Simulate(1) from the parameter file's values and initial depths.
Outputs RunFromFileParameters(RunoffModel& model) {
  model.Parameters = model.FileParameters;
  model.Simulate(1);
  return OutputsOf(model);
}

// A single tank is also the last one: it receives nothing and loses a·h in
// each step, so its depth after a run counts the steps that ran. An empty
// record runs none and writes only the starting capacity.
struct StepCount {
  int hours;
  int steps;
};

class StepsRun : public ::testing::TestWithParam<StepCount> {};

TEST_P(StepsRun, WarmUpRunsTheFirstSixthOfTheRecordBeforeTheMainPass) {
  ParameterValues oneTank;
  oneTank.Tanks = {{"0.05", "0"}};
  const CaseDir dir;
  auto model = BuildModel(dir, GetParam().hours, oneTank);
  const double a = model->Parameters.CoeffTank[1];
  double depth = model->Parameters.TankWaterDepth[1];
  for (int step = 0; step < GetParam().steps; ++step) depth -= a * depth;

  model->Simulate(1);
  EXPECT_EQ(model->Parameters.TankWaterDepth[1], depth);
  EXPECT_EQ(model->Infiltration[0], 1.2 * model->Parameters.F18_Infiltration);
}

INSTANTIATE_TEST_SUITE_P(Records, StepsRun,
                         ::testing::Values(StepCount{0, 0}, StepCount{1, 1},
                                           StepCount{5, 5}, StepCount{6, 7},
                                           StepCount{11, 12}, StepCount{12, 14},
                                           StepCount{8760, 10220}));

// A year of 8760 hours warms up on hours 0 to 1459: rain in hour 1459 is
// still in the impervious store when the main pass starts, rain in hour 1460
// is not yet.
TEST(Simulate, WarmUpOfAYearEndsWithHour1459) {
  const CaseDir dir;
  auto model = BuildModel(dir, 8760);
  std::vector<double> rain(8760);
  model->Rain = rain;  // the run's series are read-only: the test's own
  const auto firstRunoffWithRainAt = [&](int hour) {
    std::fill(rain.begin(), rain.end(), 0.0);
    if (hour >= 0) rain[hour] = 20;
    return RunFromFileParameters(*model).CalcQ[0];
  };
  const double dry = firstRunoffWithRainAt(-1);
  EXPECT_EQ(firstRunoffWithRainAt(1460), dry);
  EXPECT_GT(firstRunoffWithRainAt(1459), dry + 0.1);
}

// A dry hour with a demand of 0.3: the storage gives its 0.05, the
// impervious store its 0.04 (weighted by Imp = 0.2) without lowering the
// demand, the surface tank its 0.1, and the soil, wetter than field
// capacity, 0.8 of the 0.15 left.
TEST(HourlyStep, DemandPassesStorageThenSurfaceTankThenSoil) {
  const CaseDir dir;
  auto model = BuildModel(dir, 1);
  model->Settings.SurfaceStorageFlag = 1;
  const std::vector<double> demand{0.3};
  model->PotentialE = demand;
  model->Infiltration[0] = 1.0;
  model->Parameters.TankWaterDepth[0] = 0.1;
  SurfaceStorage storage;
  storage.FirstDepth = 0.05;
  double impervious = 0.04;

  const HourlyResult r = model->HourlyStep(0, storage, impervious);
  EXPECT_NEAR(r.StorageEvaporation, 0.05, 1e-12);
  EXPECT_NEAR(r.ImperviousEvaporation, 0.008, 1e-12);
  EXPECT_EQ(r.ImperviousRunoff, 0.0);
  EXPECT_NEAR(r.SurfaceTankEvaporation, 0.1, 1e-12);
  EXPECT_NEAR(r.SoilEvaporation, 0.12, 1e-12);
}

// A month of showers and evaporation (the default case).
struct ShowerMonthCase : CaseDir {
  ShowerMonthCase() { WriteCase({}, {}, 30); }
};

class ShowerMonth : public ::testing::Test {
 protected:
  const ShowerMonthCase dir_;
  const WorkingDirectory inCase_{dir_.Path()};
  RunoffModel model_;
};

TEST_F(ShowerMonth, SurfaceStorageFlagOtherThanOneSkipsTheStorage) {
  model_.Settings.SurfaceStorageFlag = 0;
  const Outputs off = RunFromFileParameters(model_);
  model_.Settings.SurfaceStorageFlag = 2;
  EXPECT_EQ(RunFromFileParameters(model_), off);
  model_.Settings.SurfaceStorageFlag = 1;
  EXPECT_NE(RunFromFileParameters(model_).ActualE, off.ActualE);
}

TEST_F(ShowerMonth, SecondCallStartsFromTheTankDepthsTheFirstLeft) {
  const Outputs first = RunFromFileParameters(model_);
  model_.Simulate(1);
  const Outputs second = OutputsOf(model_);
  EXPECT_NE(second.CalcQ, first.CalcQ);
  EXPECT_EQ(model_.Parameters.ImperviousTankWD, 0.0);

  model_.Parameters = model_.FileParameters;
  model_.Parameters.TankWaterDepth = first.TankWaterDepth;
  model_.Simulate(1);
  EXPECT_EQ(OutputsOf(model_), second);
}

TEST_F(ShowerMonth, RereadingTheParameterFileGivesTheSameRunEveryTime) {
  const CapturedStdout console;
  model_.Simulate(0);
  const Outputs first = OutputsOf(model_);
  model_.Parameters.Coeff_Reduction *= 2;  // as an evaluation would
  model_.Simulate(1);
  model_.Simulate(0);
  EXPECT_EQ(OutputsOf(model_), first);

  const std::string text = console.Text();
  const std::string echo = " MAX_SoilMoisture  =";
  const auto once = text.find(echo);
  ASSERT_NE(once, std::string::npos);
  EXPECT_NE(text.find(echo, once + 1), std::string::npos);
}

// Parameter files of any tank count: tanks 1 to n - 2 start empty and pass
// nothing on, so a dry first hour without warm-up gives the first side
// outflows of the last two tanks, 0.1 and 0.05 over the catchment, and what
// tank n - 1's bottom outlet adds to tank n.
class TankCount : public ::testing::TestWithParam<int> {};

TEST_P(TankCount, LastTwoTanksGiveTheirStartingOutflows) {
  const int n = GetParam();
  ParameterValues parameters;
  parameters.Tanks.assign(static_cast<std::size_t>(n), {"0.05", "0.01"});
  const CaseDir dir;
  auto model = BuildModel(dir, 5, parameters);
  model->Simulate(1);

  EXPECT_NEAR(model->CalcQ[0], 0.15 + 0.8 * 0.05 * 0.01, 1e-12);
  const std::vector<double>& depths = model->Parameters.TankWaterDepth;
  ASSERT_EQ(depths.size(), static_cast<std::size_t>(n) + 1);
  EXPECT_TRUE(std::all_of(depths.begin(), depths.end() - 2,
                          [](double h) { return h == 0.0; }));
  EXPECT_GT(depths[n - 1], 0.0);
  EXPECT_GT(depths[n], 0.0);
}

INSTANTIATE_TEST_SUITE_P(Counts, TankCount,
                         ::testing::Values(2, 3, 5, 6, 7, 1000));

// The sample catchment stepped hour by hour as Simulate steps it, so that
// the stores can be looked at between the steps.
class SampleCatchment : public ::testing::TestWithParam<int> {
 protected:
  SampleCatchment() { model_.Settings.SurfaceStorageFlag = GetParam(); }

  struct Stores {
    double storage = 0.0;  // both stores of the surface storage
    double impervious = 0.0;
    double pervious = 0.0;  // the surface tank and the cascade
  };
  Stores StoresNow() const {
    const std::vector<double>& h = model_.Parameters.TankWaterDepth;
    return {storage_.FirstDepth + storage_.SecondDepth, impervious_,
            std::accumulate(h.begin(), h.end(), 0.0)};
  }
  bool NoneNegative() const {
    const std::vector<double>& h = model_.Parameters.TankWaterDepth;
    return storage_.FirstDepth >= 0 && storage_.SecondDepth >= 0 &&
           impervious_ >= 0 &&
           std::all_of(h.begin(), h.end(), [](double d) { return d >= 0; });
  }
  HourlyResult Step(int i) {
    const HourlyResult result = model_.HourlyStep(i, storage_, impervious_);
    if (!NoneNegative()) ++negativeSteps_;
    return result;
  }
  // The warm-up pass, leaving the model ready for main step 0.
  void WarmUp() {
    model_.Infiltration[0] = 1.2 * model_.Parameters.F18_Infiltration;
    for (int i = 0; i < model_.WarmUpSteps(); ++i) Step(i);
    model_.Infiltration[0] = 1.2 * model_.Parameters.F18_Infiltration;
  }

  const WorkingDirectory inSample_{VELM_SAMPLE_DIR};
  RunoffModel model_;
  SurfaceStorage storage_;
  double impervious_ = 0.0;
  int negativeSteps_ = 0;
};

TEST_P(SampleCatchment, NoStoreEverGoesNegative) {
  WarmUp();
  for (int i = 0; i < model_.HourCount; ++i) Step(i);
  EXPECT_EQ(negativeSteps_, 0);
}

// The soil holds no depth: the water it takes in, the net water w less the
// infiltration excess R, leaves the model, and in a dry hour (w below 0) it
// gives water that no store held. Every other drop is accounted for in each
// main step: rain = CalcQ + ActualE + the change of the stores + (1 − Imp)
// (w − R), with CalcQ and ActualE as Simulate writes them.
TEST_P(SampleCatchment, EveryHourBalancesRainAgainstOutputsStoresAndSoil) {
  const Outputs simulated = RunFromFileParameters(model_);
  model_.Parameters = model_.FileParameters;
  WarmUp();
  const double imp = model_.Parameters.Impervious;
  double worst = 0.0;
  for (int i = 0; i < model_.HourCount; ++i) {
    SurfaceStorage exchanged = storage_;
    double rain = model_.Rain[i];
    double demand = model_.PotentialE[i];
    if (GetParam() == 1) exchanged.Exchange(rain, demand);
    const double f = model_.Infiltration[i];
    const Stores before = StoresNow();

    const HourlyResult step = Step(i);
    const Stores after = StoresNow();
    const double w = rain - step.SoilEvaporation;
    const double excess = w > 0 ? std::max(w - model_.StepVolume(f), 0.0) : 0.0;
    const double kept = after.storage - before.storage +
                        imp * (after.impervious - before.impervious) +
                        (1 - imp) * (after.pervious - before.pervious);
    const double outputs = simulated.CalcQ[i] + simulated.ActualE[i];
    const double error =
        model_.Rain[i] - outputs - kept - (1 - imp) * (w - excess);
    worst = std::max(worst, std::fabs(error));
  }
  EXPECT_LT(worst, 1e-9);
  // The stepping by hand reached the state Simulate left.
  EXPECT_EQ(model_.Infiltration, simulated.Infiltration);
  EXPECT_EQ(model_.Parameters.TankWaterDepth, simulated.TankWaterDepth);
}

INSTANTIATE_TEST_SUITE_P(StorageOffAndOn, SampleCatchment,
                         ::testing::Values(0, 1));

}  // namespace
}  // namespace velm
