#include "model/simulate.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "model/exact_product.h"
#include "model/step_kernel.h"

namespace velm {
namespace {

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

  HourlyResult Step(double rain, double demand, bool withStorage) {
    const HourlyResult r =
        Kernel.Step(rain, demand, withStorage, Capacity, Next, Stores, Tanks);
    Capacity = Next;
    return r;
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

// Both passes of `Lanes` simulations over one forcing, hour by hour and set
// by set: each set's arithmetic is its own and in its own order, so its bits
// are those of a simulation alone, while the processor works on the sets'
// independent chains at once. Every main-pass hour i of set l goes to
// record(l, i, calcQ, actualE, capacity after the hour). The soil starts
// each pass a little drier than field capacity; the stores carry the
// warm-up's state into the main pass.
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

  const int warmUp =
      forcing.WarmUpHours < 0 ? WarmUpSteps(hours) : forcing.WarmUpHours;
  for (Lane& lane : lanes) lane.Capacity = lane.StartCapacity;
  for (int i = 0; i < warmUp; ++i) {
    for (Lane& lane : lanes) lane.Step(rain[i], demand[i], withStorage);
  }

  for (Lane& lane : lanes) lane.Capacity = lane.StartCapacity;
  for (int i = 0; i < hours; ++i) {
    for (std::size_t l = 0; l < Lanes; ++l) {
      Lane& lane = lanes[l];
      const HourlyResult r = lane.Step(rain[i], demand[i], withStorage);
      record(l, i,
             ProductOfFactor(lane.Pervious, r.PerviousRunoff,
                             lane.PerviousQuickAbove) +
                 r.ImperviousRunoff,
             (r.SoilEvaporation + r.SurfaceTankEvaporation) * lane.Pervious +
                 r.StorageEvaporation + r.ImperviousEvaporation,
             lane.Capacity);
    }
  }
}

// The daily outputs of `Lanes` simulations.
template <std::size_t Lanes>
void SimulateDays(std::span<const ParameterSet* const, Lanes> parameters,
                  const Forcing& forcing,
                  std::span<DailyOutputs* const, Lanes> outputs) {
  const std::size_t days = forcing.Rain.size() / kHoursPerDay;
  std::array<std::vector<double>*, Lanes> depths;
  for (std::size_t l = 0; l < Lanes; ++l) {
    outputs[l]->CalcQ.resize(days);
    outputs[l]->ActualE.resize(days);
    depths[l] = &outputs[l]->TankWaterDepth;
  }
  // The day's hours wait here to be added last hour first, as SumDaily adds.
  std::array<std::array<double, kHoursPerDay>, Lanes> dayQ;
  std::array<std::array<double, kHoursPerDay>, Lanes> dayE;
  RunPasses<Lanes>(
      parameters, forcing, std::span<std::vector<double>* const, Lanes>(depths),
      [&](std::size_t l, int i, double q, double e, double) {
        const int hour = i % kHoursPerDay;
        dayQ[l][hour] = q;
        dayE[l][hour] = e;
        if (hour + 1 < kHoursPerDay) return;
        double totalQ = 0.0, totalE = 0.0;
        for (int h = kHoursPerDay; h-- > 0;) {
          totalQ += dayQ[l][h];
          totalE += dayE[l][h];
        }
        outputs[l]->CalcQ[i / kHoursPerDay] = totalQ;
        outputs[l]->ActualE[i / kHoursPerDay] = totalE;
      });
}

template <std::size_t... Lanes>
void SimulateDaysIn(std::span<const ParameterSet* const> parameters,
                    const Forcing& forcing,
                    std::span<DailyOutputs* const> outputs,
                    std::index_sequence<Lanes...>) {
  // Exactly one of the lane counts 1 .. kMaxLanes matches.
  ((parameters.size() == Lanes + 1
        ? SimulateDays<Lanes + 1>(parameters.first<Lanes + 1>(), forcing,
                                  outputs.first<Lanes + 1>())
        : void()),
   ...);
}

void RequireMatchingSeries(const Forcing& forcing) {
  if (forcing.Rain.size() != forcing.PotentialE.size()) {
    throw ForcingMismatch(
        "rain and potential evaporation must hold a value for every hour, "
        "but there are " +
        std::to_string(forcing.Rain.size()) + " of rain and " +
        std::to_string(forcing.PotentialE.size()) + " of evaporation");
  }
}

}  // namespace

void SumDaily(std::span<const double> steps, std::span<double> days) {
  constexpr std::size_t kDayLength = kHoursPerDay;
  // Whole days only, and never more than the caller has room for.
  const std::size_t dayCount = std::min(steps.size() / kDayLength, days.size());
  for (std::size_t k = 0; k < dayCount; ++k) {
    double total = 0.0;
    for (std::size_t h = kDayLength; h-- > 0;) {
      total += steps[kDayLength * k + h];
    }
    days[k] = total;
  }
}

void Simulate(const ParameterSet& parameters, const Forcing& forcing,
              HourlyOutputs& outputs) {
  RequireMatchingSeries(forcing);
  const std::size_t hours = forcing.Rain.size();
  outputs.CalcQ.resize(hours);
  outputs.ActualE.resize(hours);
  outputs.Infiltration.resize(hours + 1);
  double* calcQ = outputs.CalcQ.data();
  double* actualE = outputs.ActualE.data();
  double* infiltration = outputs.Infiltration.data();
  infiltration[0] = 1.2 * parameters.F18_Infiltration;
  const ParameterSet* const set[] = {&parameters};
  std::vector<double>* const depths[] = {&outputs.TankWaterDepth};
  RunPasses<1>(set, forcing, depths,
               [=](std::size_t, int i, double q, double e, double capacity) {
                 calcQ[i] = q;
                 actualE[i] = e;
                 infiltration[i + 1] = capacity;
               });
}

void Simulate(const ParameterSet& parameters, const Forcing& forcing,
              DailyOutputs& outputs) {
  RequireMatchingSeries(forcing);
  const ParameterSet* const set[] = {&parameters};
  DailyOutputs* const output[] = {&outputs};
  SimulateDays<1>(set, forcing, output);
}

void Simulate(std::span<const ParameterSet* const> parameters,
              const Forcing& forcing, std::span<DailyOutputs* const> outputs) {
  RequireMatchingSeries(forcing);
  SimulateDaysIn(parameters, forcing, outputs,
                 std::make_index_sequence<kMaxLanes>{});
}

}  // namespace velm
