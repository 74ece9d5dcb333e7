// The hourly routines as a table of worked outputs. Whole runs, warm-up pass
// included, are pinned byte for byte by tests/cases.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "model/step_kernel.h"

namespace velm {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A routine run on the worked example (fc = 1, k = 0.5, f18 = 3, fmax = 10,
// Smax = 50, S18 = 25, Emax = 0.8, ce = 10) after the changes its row needs;
// its outputs are the result, then the values it changed. NaN asks for NaN.
using Run = std::function<std::vector<double>(ParameterSet&)>;
struct Row {
  const char* name;
  Run run;
  std::vector<double> expected;
};

Row Value(const char* name, std::function<double(const StepKernel&)> value,
          double expected) {
  return {name,
          [=](auto& p) { return std::vector{value(StepKernel(p))}; },
          {expected}};
}
Row After(const char* name, double x, double f, double expected) {
  return Value(
      name, [=](auto& k) { return k.CapacityAfter(x, f); }, expected);
}
Row Capacity(const char* name, double w, double f, double expected) {
  return Value(
      name, [=](auto& k) { return k.NextCapacity(w, f); }, expected);
}
// For a demand of 0.3.
Row Soil(const char* name, double f, double f18, double s18, double ce,
         double expected) {
  return {name,
          [=](ParameterSet& p) {
            p.F18_Infiltration = f18, p.F18_SoilMoisture = s18;
            p.Coeff_EvapoModel = ce;
            return std::vector{StepKernel(p).SoilEvaporation(f, 0.3)};
          },
          {expected}};
}
// Evaporation, demand and depth after.
Row SurfaceTank(const char* name, double depth, double demand,
                std::vector<double> expected) {
  return {name,
          [=](auto&) {
            double h0 = depth, d = demand;
            const double e = StepKernel::SurfaceTankEvaporation(d, h0);
            return std::vector{e, d, h0};
          },
          expected};
}
// With Impervious 0.2: runoff, evaporation and depth after.
Row Impervious(const char* name, double coeffTop, double depth, double rain,
               double demand, std::vector<double> expected) {
  return {name,
          [=](ParameterSet& p) {
            p.Impervious = 0.2, p.CoeffSurfaceTopTank = coeffTop;
            double h = depth, e = -1;
            const double q = StepKernel(p).ImperviousStep(rain, demand, e, h);
            return std::vector{q, e, h};
          },
          expected};
}
// With HsT 1 and CsT 0.5: outflow, next capacity, surface tank after, the
// water infiltrated.
Row Infiltrate(const char* name, double f, double rain, double es, double depth,
               double coeffBottom, std::vector<double> expected) {
  return {name,
          [=](ParameterSet& p) {
            p.HighSurfaceTopTank = 1, p.CoeffSurfaceTopTank = 0.5;
            p.CoeffSurfaceBotomTank = coeffBottom;
            double next = -1, h0 = depth, infiltrated = -1;
            const double q = StepKernel(p).InfiltrationStep(rain, es, f, next,
                                                            infiltrated, h0);
            return std::vector{q, next, h0, infiltrated};
          },
          expected};
}
// Tank j of n: side outflow, inflow passed on, depth after.
Row Tank(const char* name, int n, int j, double depth, double inflow, double a,
         double b, std::vector<double> expected) {
  return {name,
          [=](ParameterSet& p) {
            p.TankCount = n, p.CoeffTank[j] = a, p.BotomTank[j] = b;
            double in = inflow, h = depth;
            const double q = StepKernel(p).TankStep(j, in, h);
            return std::vector{q, in, h};
          },
          expected};
}
// Storage depths after, and the water given back.
Row Store(const char* name, bool fill, double first, double second,
          double water, std::vector<double> expected) {
  return {name,
          [=](auto&) {
            SurfaceStorage s;
            s.FirstDepth = first, s.SecondDepth = second;
            double w = water;
            fill ? s.Fill(w) : s.Draw(w);
            return std::vector{s.FirstDepth, s.SecondDepth, w};
          },
          expected};
}

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class Routine : public ::testing::TestWithParam<Row> {};

TEST_P(Routine, GivesWorkedOutputs) {
  ParameterSet p;
  p.Final_Infiltration = 1, p.Coeff_Reduction = 0.5, p.F18_Infiltration = 3;
  p.MAX_Infiltration = 10, p.MAX_SoilMoisture = 50, p.F18_SoilMoisture = 25;
  p.MAX_EvapoRatio = 0.8, p.Coeff_EvapoModel = 10;
  p.CoeffTank.assign(4, 0.0), p.BotomTank.assign(4, 0.0);
  const std::vector<double> actual = GetParam().run(p);
  const std::vector<double>& expected = GetParam().expected;
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t k = 0; k < actual.size(); ++k) {
    if (std::isnan(expected[k])) {
      EXPECT_TRUE(std::isnan(actual[k])) << "output " << k;
    } else {
      EXPECT_NEAR(actual[k], expected[k], 5e-9) << "output " << k;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExample, Routine,
    ::testing::Values(
        Value(
            "HortonDecayE1", [](auto& k) { return k.HortonDecay(); },
            0.60653066),
        Value(
            "StepVolumeAt5", [](auto& k) { return k.StepVolume(5); },
            4.14775472),
        After("CapacityAfter2At5", 2, 5, 4.14307012),
        After("CapacityAfterNothingIsUnchanged", 0, 5, 5),
        After("CapacityAfterNaNCountsAsNothing", kNaN, 5, 5),
        Capacity("DryRegimeWettingBelowStepVolume", 2, 5, 4.14307012),
        Capacity("DryRegimeFullStepDownTheCurve", 6, 5, 3.42612264),
        Capacity("DryRegimeDrying", -0.2, 5, 5.09760965),
        Capacity("WetRegimeSupplyAboveStepVolume", 2, 2, 1.80236485),
        Capacity("WetRegimeSupplyBelowFinalRateDries", 0.5, 2, 2.15016346),
        // At exactly f18, fc is not taken off before the drying test but is
        // taken off the wetting water.
        Capacity("AtFieldCapacityDryingKeepsFc", -1, 3, 3.42882264),
        Capacity("AtFieldCapacityWettingByFcIsNoChange", 1, 3, 3),
        Capacity("AtFieldCapacitySupplyAboveStepVolume", 3, 3, 2.47315540),
        Capacity("DryingStopsAtMaximum", -5, 9.5, 10),
        Capacity("NaNWaterTakesDryingRowLimitedToMaximum", kNaN, 12, 10),
        // fc 0.2 and f18 0.25: V(0.3) = 0.27869387, so 0.5 is a full step.
        Row{"SmallFcFullStepBelowOneUnit",
            [](ParameterSet& p) {
              p.Final_Infiltration = 0.2, p.F18_Infiltration = 0.25;
              return std::vector{StepKernel(p).NextCapacity(0.5, 0.3)};
            },
            {0.26065307}},
        Soil("SoilAboveFieldCapacity", 6, 3, 25, 10, 0.01065471),
        Soil("SoilWetterThanFieldCapacity", 2, 3, 25, 10, 0.24),
        // θ = 0.22016310 at f = 6: r = 0.98025 with S18 = 0.2246.
        Soil("SoilRatioAtLeast098GivesFullRatio", 6, 3, 0.2246, 0.01, 0.24),
        Soil("SoilRatioJustBelow098FollowsCurve", 6, 3, 0.2247, 0.01,
             0.05711612),
        Soil("SoilBeyondMaximumHasZeroTheta", 20, 3, 25, 10, 0),
        Soil("SoilNaNThetaCountsAsZero", 6, 0.5, 25, 10, 0),  // f18 < fc
        Soil("SoilNaNCapacityCountsAsWet", kNaN, 3, 25, 10, 0.24),
        SurfaceTank("EmptySurfaceTankLeavesDemand", 0, 0.3, {0, 0.3, 0}),
        SurfaceTank("SurfaceTankCoversDemand", 1.0, 0.3, {0.3, 0, 0.7}),
        SurfaceTank("SurfaceTankEmptiedLeavesTheRest", 0.2, 0.3, {0.2, 0.1, 0}),
        SurfaceTank("NaNSurfaceTankLeavesDemand", kNaN, 0.3, {0, 0.3, kNaN}),
        Impervious("ImperviousWaterAboveDemand", 0.5, 0, 2, 0.5,
                   {0.15, 0.1, 0.75}),
        Impervious("ImperviousDemandTakesAllWater", 0.5, 0.2, 0.1, 0.5,
                   {0, 0.06, 0}),
        Impervious("ImperviousWithoutWaterMeetsNoDemand", 0.5, 0, 0, 0.5,
                   {0, 0, 0}),
        Impervious("ImperviousOutflowLimitedToStore", 1.5, 1, 0, 0,
                   {0.2, 0, 0}),
        // Excess 6 − V(5) = 1.85224528 rises above the upper outlet.
        Infiltrate("ExcessFeedsBothOutlets", 5, 6.5, 0.5, 0, 0.1,
                   {0.61134717, 3.42612264, 1.24089811, 4.14775472}),
        Infiltrate("SupplyBelowStepVolumeLeavesNoExcess", 5, 2, 0, 0.5, 0.1,
                   {0.05, 4.14307012, 0.45, 2}),
        Infiltrate("NoNetWaterCapsCapacityAtMaximum", 12, 0.1, 0.1, 0, 0.1,
                   {0, 10, 0, 0}),
        Infiltrate("DryingUpToMaximumUsesNextCapacity", 5, 0, 0.2, 0, 0.1,
                   {0, 5.09760965, 0, -0.2}),
        Infiltrate("FloorOutletLimitedToSurfaceTank", 5, 0, 0, 0.8, 1.5,
                   {0.8, 5, 0, 0}),
        Infiltrate("NaNExcessCountsAsNone", kNaN, 5, 0, 0, 0.1,
                   {0, kNaN, 0, 5}),
        Tank("UpperTankPassesBottomOutflowOn", 2, 1, 10, 1, 0.1, 0.5,
             {1.1, 0.5, 9.4}),
        Tank("EmptyUpperTankStaysEmptyAndPassesNothing", 3, 2, 0, 0, 0.1, 0.5,
             {0, 0, 0}),
        // 0.2 held against 0.1 + 0.4 wanted: shared 1 : 4.
        Tank("ShortTankSharesWhatItHeld", 3, 1, 0.2, 0, 0.5, 0.4,
             {0.04, 0.16, 0}),
        Tank("LastTankHasOnlySideOutlet", 3, 3, 10, 0.3, 0.1, 5,
             {1.03, 0.3, 9.27}),
        // 0.56 overflows: 15 % of it to the second store, 85 % passes.
        Store("FillEmptyOverflowsPastFirstCapacity", true, 0, 0, 2.0,
              {1.44, 0.084, 0.476}),
        Store("FillFullSecondStorePassesItsExcessToo", true, 1.44, 0.5, 1.0,
              {1.44, 0.53, 0.97}),
        Store("DrawRestFromSecondStore", false, 0.3, 0.5, 0.6, {0, 0.2, 0}),
        Store("DrawBothEmptyLeavesShortfall", false, 0.3, 0.2, 0.6,
              {0, 0, 0.1})),
    [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

}  // namespace
}  // namespace velm
