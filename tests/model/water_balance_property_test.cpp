// Properties of the hourly step on random valid parameter sets and random
// weather. Water is accounted for: no store goes negative, nothing turns NaN,
// and every hourly step balances: rain = actual evaporation + runoff + the
// change of every store + the water the soil takes in (the net water w less
// the infiltration excess; negative when a dry hour draws on the soil). And
// the benchmarks' bare kernel gives Simulate's bits, as do simulations run
// side by side.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cmath>
#include <optional>
#include <random>
#include <vector>

#include "bare_kernel.h"
#include "model/simulate.h"
#include "model/step_kernel.h"
#include "optimizer/gene_map.h"
#include "support/random_sets.h"

namespace velm {
namespace {

using testing::RandomValidSet;
using Uniform = std::uniform_real_distribution<double>;

TEST(WaterBalance,
     RandomSetsAndWeatherNeverGoNegativeOrNaNAndEveryStepBalances) {
  std::mt19937_64 random(10);
  int sets = 0;
  for (int attempt = 0; sets < 300; ++attempt) {
    ASSERT_LT(attempt, 3000);
    auto drawn = RandomValidSet(random);
    if (!drawn) continue;
    ++sets;
    ParameterSet& p = *drawn;
    const StepKernel kernel(p);
    const bool withStorage = random() % 2 == 1;
    const double imp = p.Impervious;
    StepStores stores;
    double f = 1.2 * p.F18_Infiltration;
    for (int hour = 0; hour < 24 * 30; ++hour) {
      const double rain = random() % 4 == 0 ? Uniform(0, 25)(random) : 0.0;
      const double demand =
          hour % 24 >= 8 && hour % 24 < 18 ? Uniform(0, 0.8)(random) : 0.0;
      // Rain as it reaches the catchment, and the stores before the step.
      double reaching = rain, left = demand;
      SurfaceStorage storage = stores.Storage;
      if (withStorage) storage.Exchange(reaching, left);
      const auto held = [&](const StepStores& s) {
        double pervious = 0.0;
        for (const double depth : p.TankWaterDepth) pervious += depth;
        return s.Storage.FirstDepth + s.Storage.SecondDepth +
               imp * s.ImperviousDepth + (1 - imp) * pervious;
      };
      const double before = held(stores);

      double next = 0.0;
      const HourlyResult r = kernel.Step(rain, demand, withStorage, f, next,
                                         stores, p.TankWaterDepth);
      // The main pass's weighting of a step, as Simulate writes it.
      const double calcQ = (1 - imp) * r.PerviousRunoff + r.ImperviousRunoff;
      const double actualE =
          (r.SoilEvaporation + r.SurfaceTankEvaporation) * (1 - imp) +
          r.StorageEvaporation + r.ImperviousEvaporation;
      const double w = reaching - r.SoilEvaporation;
      const double excess =
          w > 0 ? std::max(w - kernel.StepVolume(f), 0.0) : 0.0;
      const double soil = (1 - imp) * (w - excess);
      const double after = held(stores);

      const double error = rain - actualE - calcQ - (after - before) - soil;
      ASSERT_LE(std::fabs(error), 1e-9 * (rain + actualE + calcQ + before +
                                          after + std::fabs(soil) + 1))
          << "set " << sets << " hour " << hour;
      const double lowest =
          *std::min_element(p.TankWaterDepth.begin(), p.TankWaterDepth.end());
      ASSERT_TRUE(std::isfinite(next) && std::isfinite(after) &&
                  std::isfinite(actualE) && calcQ >= 0 && actualE >= 0 &&
                  stores.ImperviousDepth >= 0 && lowest >= 0 &&
                  stores.Storage.FirstDepth >= 0 &&
                  stores.Storage.SecondDepth >= 0)
          << "set " << sets << " hour " << hour;
      f = next;
    }
  }
}

std::vector<double> RandomWeather(std::mt19937_64& random, int hours,
                                  bool rain) {
  std::vector<double> series(static_cast<std::size_t>(hours));
  for (int hour = 0; hour < hours; ++hour) {
    series[hour] = rain ? (random() % 4 == 0 ? Uniform(0, 25)(random) : 0.0)
                        : (hour % 24 >= 8 && hour % 24 < 18
                               ? Uniform(0, 0.8)(random)
                               : 0.0);
  }
  return series;
}

TEST(BareKernel, GivesSimulatesBitsOnRandomSetsAndWeather) {
  std::mt19937_64 random(11);
  for (int sets = 0; sets < 100;) {
    const auto drawn = RandomValidSet(random);
    if (!drawn) continue;
    ++sets;
    const int hours = 24 * 20 + 5;
    const std::vector<double> rain = RandomWeather(random, hours, true);
    const std::vector<double> demand = RandomWeather(random, hours, false);
    HourlyOutputs model;
    Simulate(*drawn, {rain, demand, false}, model);
    std::vector<double> calcQ(hours), actualE(hours), capacity(hours + 1);
    std::vector<double> depths;
    bench::BareSimulate(*drawn, rain, demand, depths, calcQ.data(),
                        actualE.data(), capacity.data());
    const auto bits = [](const std::vector<double>& v) {
      std::vector<std::uint64_t> out;
      for (const double x : v) out.push_back(std::bit_cast<std::uint64_t>(x));
      return out;
    };
    ASSERT_EQ(bits(calcQ), bits(model.CalcQ)) << "set " << sets;
    ASSERT_EQ(bits(actualE), bits(model.ActualE)) << "set " << sets;
    ASSERT_EQ(bits(capacity), bits(model.Infiltration)) << "set " << sets;
    ASSERT_EQ(bits(depths), bits(model.TankWaterDepth)) << "set " << sets;
  }
}

TEST(SideBySide, EachSetGetsTheBitsOfItsOwnSimulation) {
  std::mt19937_64 random(12);
  std::vector<ParameterSet> sets;
  while (sets.size() < 4 * kMaxLanes) {
    if (auto drawn = RandomValidSet(random)) sets.push_back(*drawn);
  }
  const int hours = 24 * 40 + 7;
  const std::vector<double> rain = RandomWeather(random, hours, true);
  const std::vector<double> demand = RandomWeather(random, hours, false);
  for (const bool storage : {false, true}) {
    const Forcing forcing{rain, demand, storage};
    for (std::size_t lanes = 1; lanes <= kMaxLanes; ++lanes) {
      for (std::size_t first = 0; first + lanes <= sets.size();
           first += lanes) {
        std::vector<const ParameterSet*> group;
        std::vector<DailyOutputs> together(lanes);
        std::vector<DailyOutputs*> outputs;
        for (std::size_t l = 0; l < lanes; ++l) {
          group.push_back(&sets[first + l]);
          outputs.push_back(&together[l]);
        }
        Simulate(group, forcing, outputs);
        for (std::size_t l = 0; l < lanes; ++l) {
          DailyOutputs alone;
          Simulate(sets[first + l], forcing, alone);
          const auto bits = [](const std::vector<double>& v) {
            std::vector<std::uint64_t> out;
            for (const double x : v) {
              out.push_back(std::bit_cast<std::uint64_t>(x));
            }
            return out;
          };
          ASSERT_EQ(bits(together[l].CalcQ), bits(alone.CalcQ));
          ASSERT_EQ(bits(together[l].ActualE), bits(alone.ActualE));
          ASSERT_EQ(bits(together[l].TankWaterDepth),
                    bits(alone.TankWaterDepth));
        }
      }
    }
  }
}

TEST(Simulate, RefusesRainAndEvaporationOfDifferentLengths) {
  std::mt19937_64 random(13);
  std::optional<ParameterSet> p;
  while (!p) p = RandomValidSet(random);
  const std::vector<double> rain(48, 1.0), demand(47, 0.1);
  const Forcing forcing{rain, demand, false};
  HourlyOutputs hourly;
  DailyOutputs daily;
  const ParameterSet* const sets[] = {&*p};
  DailyOutputs* const outputs[] = {&daily};
  EXPECT_THROW(Simulate(*p, forcing, hourly), ForcingMismatch);
  EXPECT_THROW(Simulate(*p, forcing, daily), ForcingMismatch);
  EXPECT_THROW(Simulate(sets, forcing, outputs), ForcingMismatch);
  EXPECT_TRUE(hourly.CalcQ.empty() && daily.CalcQ.empty());
}

}  // namespace
}  // namespace velm
