#pragma once

// The two passes of a simulation, hour by hour, and the state of one
// parameter set between hours: what Simulate's outputs and the water
// balance are recorded from.

#include <array>
#include <cstddef>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "model/exact_product.h"
#include "model/parameter_set.h"
#include "model/simulate.h"
#include "model/step_kernel.h"

namespace velm::passes {

// One simulation's state between hours.
struct Lane {
  Lane(const ParameterSet& p, std::vector<double>& depths)
      : Kernel(p),
        Tanks((depths = p.TankWaterDepth)),
        StartCapacity(1.2 * p.F18_Infiltration),
        Pervious(1 - p.Impervious),
        PerviousQuickAbove(QuickProductAbove(Pervious)) {
    Stores.ImperviousDepth = p.ImperviousTankWD;
  }

  template <typename Flows = IgnoreStepFlows>
  HourlyResult Step(double rain, double demand, bool withStorage,
                    Flows&& flows = Flows{}) {
    const HourlyResult r =
        Kernel.Step(rain, demand, withStorage, Capacity, Next, Stores, Tanks,
                    std::forward<Flows>(flows));
    Capacity = Next;
    return r;
  }

  // A step's runoff and actual evaporation over the whole catchment, as
  // the main pass writes them.
  double Runoff(const HourlyResult& r) const {
    return ProductOfFactor(Pervious, r.PerviousRunoff, PerviousQuickAbove) +
           r.ImperviousRunoff;
  }
  double Evaporation(const HourlyResult& r) const {
    return (r.SoilEvaporation + r.SurfaceTankEvaporation) * Pervious +
           r.StorageEvaporation + r.ImperviousEvaporation;
  }

  const StepKernel Kernel;
  StepStores Stores;
  const std::span<double> Tanks;
  const double StartCapacity;
  double Capacity = 0.0;
  double Next = 0.0;
  const double Pervious;
  // The runoff of a drained cascade can be subnormal.
  const double PerviousQuickAbove;
};

// A record of one simulation that follows the stores as well as the hours:
// it is shown the lane when the main pass starts and when it ends, is given
// the flows inside the pervious area of every main-pass hour (as
// IgnoreStepFlows names them), and then the hour's lane and result as they
// are.
template <typename Record>
concept FollowsStores = requires(Record& record, const Lane& lane,
                                 const HourlyResult& r) {
  record.MainPassStarts(lane);
  record.TankOutflow(0, 0.0);
  record.Infiltrated(0.0);
  record(0, lane, r);
  record.MainPassEnds(lane);
};

// Both passes of `Lanes` simulations over one forcing, hour by hour and set
// by set: each set's arithmetic is its own and in its own order, so its bits
// are those of a simulation alone, while the processor works on the sets'
// independent chains at once. Every main-pass hour i of set l goes to
// record(l, i, calcQ, actualE, capacity after the hour), unless the record
// follows the stores of its one set. The soil starts each pass a little
// drier than field capacity; the stores carry the warm-up's state into the
// main pass.
template <std::size_t Lanes, typename Record>
void RunPasses(std::span<const ParameterSet* const, Lanes> parameters,
               const Forcing& forcing,
               std::span<std::vector<double>* const, Lanes> depths,
               Record&& record) {
  auto lanes = [&]<std::size_t... L>(std::index_sequence<L...>) {
    return std::array<Lane, Lanes>{Lane(*parameters[L], *depths[L])...};
  }(std::make_index_sequence<Lanes>{});
  const bool withStorage = forcing.SurfaceStorage;
  const double* rain = forcing.Rain.data();
  const double* demand = forcing.PotentialE.data();
  const int hours = static_cast<int>(forcing.Rain.size());
  constexpr bool kFollowsStores = FollowsStores<std::remove_cvref_t<Record>>;
  static_assert(Lanes == 1 || !kFollowsStores);

  for (Lane& lane : lanes) lane.Capacity = lane.StartCapacity;
  const int warmUp =
      forcing.WarmUpHours < 0 ? WarmUpSteps(hours) : forcing.WarmUpHours;
  for (int i = 0; i < warmUp; ++i) {
    for (Lane& lane : lanes) lane.Step(rain[i], demand[i], withStorage);
  }

  for (Lane& lane : lanes) lane.Capacity = lane.StartCapacity;
  if constexpr (kFollowsStores) record.MainPassStarts(lanes[0]);
  for (int i = 0; i < hours; ++i) {
    for (std::size_t l = 0; l < Lanes; ++l) {
      Lane& lane = lanes[l];
      if constexpr (kFollowsStores) {
        const HourlyResult r =
            lane.Step(rain[i], demand[i], withStorage, record);
        record(i, std::as_const(lane), r);
      } else {
        const HourlyResult r = lane.Step(rain[i], demand[i], withStorage);
        record(l, i, lane.Runoff(r), lane.Evaporation(r), lane.Capacity);
      }
    }
  }
  if constexpr (kFollowsStores) record.MainPassEnds(lanes[0]);
}

}  // namespace velm::passes
