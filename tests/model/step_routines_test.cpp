#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "model/runoff_model.h"
#include "model_cases.h"

namespace velm {
namespace {

using testing::WorkedExampleModel;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A NaN expected value asks for a NaN.
void ExpectNear(double actual, double expected, double tolerance) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(actual)) << actual;
  } else {
    EXPECT_NEAR(actual, expected, tolerance);
  }
}

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

// The worked example of the routines; the NaN rows are the branches that a
// NaN operand must take.
struct WorkedValue {
  const char* name;
  std::function<double(RunoffModel&)> compute;
  double expected;
};

class WorkedExample : public ::testing::TestWithParam<WorkedValue> {};

TEST_P(WorkedExample, MatchesToEightDecimals) {
  auto model = WorkedExampleModel();
  EXPECT_NEAR(GetParam().compute(*model), GetParam().expected, 5e-9);
}

WorkedValue Capacity(const char* name, double w, double f, double expected) {
  return {name, [=](RunoffModel& m) { return m.NextCapacity(w, f); }, expected};
}

INSTANTIATE_TEST_SUITE_P(
    Routines, WorkedExample,
    ::testing::Values(
        WorkedValue{"HortonDecayE1",
                    [](RunoffModel& m) { return m.HortonDecay(); }, 0.60653066},
        WorkedValue{"StepVolumeAt5",
                    [](RunoffModel& m) { return m.StepVolume(5); }, 4.14775472},
        WorkedValue{"CapacityAfter2At5",
                    [](RunoffModel& m) { return m.CapacityAfter(2, 5); },
                    4.14307012},
        WorkedValue{"CapacityAfterNothingIsUnchanged",
                    [](RunoffModel& m) { return m.CapacityAfter(0, 5); }, 5},
        WorkedValue{"CapacityAfterNaNCountsAsNothing",
                    [](RunoffModel& m) { return m.CapacityAfter(kNaN, 5); }, 5},
        Capacity("DryRegimeWettingBelowStepVolume", 2, 5, 4.14307012),
        Capacity("DryRegimeFullStepDownTheCurve", 6, 5, 3.42612264),
        Capacity("DryRegimeDrying", -0.2, 5, 5.09760965),
        Capacity("WetRegimeSupplyAboveStepVolume", 2, 2, 1.80236485),
        Capacity("WetRegimeSupplyBelowFinalRateDries", 0.5, 2, 2.15016346),
        // At exactly f18 fc is not taken off before the drying test but is
        // taken off the wetting water.
        Capacity("AtFieldCapacityDryingKeepsFc", -1, 3, 3.42882264),
        Capacity("AtFieldCapacityWettingByFcIsNoChange", 1, 3, 3),
        Capacity("AtFieldCapacitySupplyAboveStepVolume", 3, 3, 2.47315540),
        Capacity("DryingStopsAtMaximum", -5, 9.5, 10),
        // A NaN supply takes the drying row, which limits to fmax.
        Capacity("NaNWaterTakesDryingRow", kNaN, 12, 10),
        WorkedValue{"SoilEvaporationAboveFieldCapacity",
                    [](RunoffModel& m) { return m.SoilEvaporation(6, 0.3); },
                    0.01065471},
        WorkedValue{"SoilEvaporationWetterThanFieldCapacity",
                    [](RunoffModel& m) { return m.SoilEvaporation(2, 0.3); },
                    0.24}),
    CaseName<WorkedValue>);

// SoilEvaporation on the worked example with f18, S18 and ce varied; with
// ce = 0.01 the ratio is still far from Emax near r = 0.98.
struct SoilCase {
  const char* name;
  double f;
  double f18;
  double s18;
  double ce;
  double expected;  // for a demand of 0.3
};

class SoilEvaporation : public ::testing::TestWithParam<SoilCase> {};

TEST_P(SoilEvaporation, FollowsMoistureRatio) {
  const SoilCase& c = GetParam();
  auto model = WorkedExampleModel();
  model->Parameters.F18_Infiltration = c.f18;
  model->Parameters.F18_SoilMoisture = c.s18;
  model->Parameters.Coeff_EvapoModel = c.ce;
  EXPECT_NEAR(model->SoilEvaporation(c.f, 0.3), c.expected, 5e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Branches, SoilEvaporation,
    ::testing::Values(
        // θ = 0.22016310 at f = 6: r = 0.98025 with S18 = 0.2246.
        SoilCase{"RatioAtLeast098GivesFullRatio", 6, 3, 0.2246, 0.01, 0.24},
        SoilCase{"RatioJustBelow098FollowsCurve", 6, 3, 0.2247, 0.01,
                 0.05711612},
        SoilCase{"RatioOneHalf", 6, 3, 0.44, 1, 0.11104810},
        SoilCase{"CapacityBeyondMaximumGivesZeroTheta", 20, 3, 25, 10, 0},
        // f18 below fc: the logarithm is NaN, and a NaN θ counts as 0.
        SoilCase{"NaNThetaCountsAsZero", 6, 0.5, 25, 10, 0},
        SoilCase{"NaNCapacityCountsAsWet", kNaN, 3, 25, 10, 0.24}),
    CaseName<SoilCase>);

struct SurfaceTankCase {
  const char* name;
  double depth;
  double demand;
  double evaporation;
  double demandAfter;
  double depthAfter;
};

class SurfaceTankEvaporation : public ::testing::TestWithParam<SurfaceTankCase> {};

TEST_P(SurfaceTankEvaporation, TakesDemandFromTankDepth) {
  const SurfaceTankCase& c = GetParam();
  auto model = WorkedExampleModel();
  model->Parameters.TankWaterDepth[0] = c.depth;
  double demand = c.demand;
  EXPECT_NEAR(model->SurfaceTankEvaporation(demand), c.evaporation, 1e-12);
  EXPECT_NEAR(demand, c.demandAfter, 1e-12);
  ExpectNear(model->Parameters.TankWaterDepth[0], c.depthAfter, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Branches, SurfaceTankEvaporation,
    ::testing::Values(
        SurfaceTankCase{"EmptySurfaceTankLeavesDemand", 0, 0.3, 0, 0.3, 0},
        SurfaceTankCase{"TankCoversDemand", 1.0, 0.3, 0.3, 0, 0.7},
        SurfaceTankCase{"TankEmptiedLeavesTheRest", 0.2, 0.3, 0.2, 0.1, 0},
        SurfaceTankCase{"NaNTankLeavesDemand", kNaN, 0.3, 0, 0.3, kNaN}),
    CaseName<SurfaceTankCase>);

struct ImperviousCase {
  const char* name;
  double coeffTop;
  double depth;
  double rain;
  double demand;
  double runoff;  // weighted by Impervious = 0.2, as is evaporation
  double evaporation;
  double depthAfter;
};

class ImperviousStep : public ::testing::TestWithParam<ImperviousCase> {};

TEST_P(ImperviousStep, EvaporatesThenDrainsTheStore) {
  const ImperviousCase& c = GetParam();
  auto model = WorkedExampleModel();
  model->Parameters.Impervious = 0.2;
  model->Parameters.CoeffSurfaceTopTank = c.coeffTop;
  double depth = c.depth;
  double evaporation = -1;
  EXPECT_NEAR(model->ImperviousStep(c.rain, c.demand, evaporation, depth),
              c.runoff, 1e-12);
  EXPECT_NEAR(evaporation, c.evaporation, 1e-12);
  EXPECT_NEAR(depth, c.depthAfter, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Branches, ImperviousStep,
    ::testing::Values(
        ImperviousCase{"WaterAboveDemand", 0.5, 0, 2.0, 0.5, 0.15, 0.1, 0.75},
        ImperviousCase{"DemandTakesAllWater", 0.5, 0.2, 0.1, 0.5, 0, 0.06, 0},
        ImperviousCase{"NoWaterLeavesDemandUnmet", 0.5, 0, 0, 0.5, 0, 0, 0},
        // An outlet coefficient above 1 cannot drain more than the store.
        ImperviousCase{"OutflowLimitedToStore", 1.5, 1.0, 0, 0, 0.2, 0, 0}),
    CaseName<ImperviousCase>);

// InfiltrationStep with HsT = 1, CsT = 0.5 and the floor outlet CsB varied.
struct InfiltrationCase {
  const char* name;
  double f;
  double rain;
  double soilEvaporation;
  double depth;
  double coeffBottom;
  double nextCapacity;
  double outflow;
  double depthAfter;
};

class InfiltrationStep : public ::testing::TestWithParam<InfiltrationCase> {};

TEST_P(InfiltrationStep, PutsExcessInSurfaceTankAndDrainsIt) {
  const InfiltrationCase& c = GetParam();
  auto model = WorkedExampleModel();
  ParameterSet& p = model->Parameters;
  p.HighSurfaceTopTank = 1.0;
  p.CoeffSurfaceTopTank = 0.5;
  p.CoeffSurfaceBotomTank = c.coeffBottom;
  p.TankWaterDepth[0] = c.depth;
  model->Infiltration[0] = c.f;
  EXPECT_NEAR(model->InfiltrationStep(c.rain, c.soilEvaporation, 0), c.outflow,
              5e-9);
  ExpectNear(model->Infiltration[1], c.nextCapacity, 5e-9);
  EXPECT_NEAR(p.TankWaterDepth[0], c.depthAfter, 5e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Branches, InfiltrationStep,
    ::testing::Values(
        // Excess 6 − V(5) = 1.85224528 rises above the upper outlet.
        InfiltrationCase{"ExcessFeedsBothOutlets", 5, 6.5, 0.5, 0, 0.1,
                         3.42612264, 0.61134717, 1.24089811},
        InfiltrationCase{"SupplyBelowStepVolumeLeavesNoExcess", 5, 2, 0, 0.5,
                         0.1, 4.14307012, 0.05, 0.45},
        // Without net water a capacity above the maximum falls back to it,
        // where NextCapacity(0, 12) would have kept 12.
        InfiltrationCase{"NoNetWaterCapsCapacityAtMaximum", 12, 0.1, 0.1, 0,
                         0.1, 10, 0, 0},
        InfiltrationCase{"DryingAtOrBelowMaximumUsesNextCapacity", 5, 0, 0.2,
                         0, 0.1, 5.09760965, 0, 0},
        InfiltrationCase{"FloorOutletLimitedToTankDepth", 5, 0, 0, 0.8, 1.5,
                         5, 0.8, 0},
        // The excess w − V(NaN) is NaN and counts as none.
        InfiltrationCase{"NaNExcessCountsAsNone", kNaN, 5, 0, 0, 0.1, kNaN, 0,
                         0}),
    CaseName<InfiltrationCase>);

// TankStep on tank j of n with a(j) = 0.1 unless stated.
struct TankCase {
  const char* name;
  int n;
  int j;
  double depth;
  double inflow;
  double a;
  double b;
  double outflow;
  double inflowAfter;
  double depthAfter;
};

class TankStep : public ::testing::TestWithParam<TankCase> {};

TEST_P(TankStep, DrainsSideAndBottomOutlets) {
  const TankCase& c = GetParam();
  auto model = WorkedExampleModel();
  ParameterSet& p = model->Parameters;
  p.TankCount = c.n;
  p.TankWaterDepth[c.j] = c.depth;
  p.CoeffTank[c.j] = c.a;
  p.BotomTank[c.j] = c.b;
  double inflow = c.inflow;
  EXPECT_NEAR(model->TankStep(c.j, inflow), c.outflow, 1e-12);
  EXPECT_NEAR(inflow, c.inflowAfter, 1e-12);
  EXPECT_NEAR(p.TankWaterDepth[c.j], c.depthAfter, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Branches, TankStep,
    ::testing::Values(
        TankCase{"UpperTankPassesBottomOutflowOn", 2, 1, 10, 1, 0.1, 0.5, 1.1,
                 0.5, 9.4},
        TankCase{"EmptyUpperTankStaysEmptyAndPassesNothing", 3, 2, 0, 0, 0.1,
                 0.5, 0, 0, 0},
        // 0.2 held against 0.1 + 0.4 wanted: shared 1 : 4.
        TankCase{"ShortTankSharesWhatItHeld", 3, 1, 0.2, 0, 0.5, 0.4, 0.04,
                 0.16, 0},
        TankCase{"LastTankHasOnlySideOutlet", 3, 3, 10, 0.3, 0.1, 5, 1.03, 0.3,
                 9.27},
        TankCase{"SingleTankHasOnlySideOutlet", 1, 1, 10, 0, 0.1, 5, 1, 0, 9}),
    CaseName<TankCase>);

}  // namespace
}  // namespace velm
