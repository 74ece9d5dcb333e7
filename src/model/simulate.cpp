#include "model/simulate.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "model/passes.h"

namespace velm {
namespace {

using passes::RunPasses;

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
  if (forcing.WarmUpHours > static_cast<long long>(forcing.Rain.size())) {
    throw ForcingMismatch("a warm-up pass of " +
                          std::to_string(forcing.WarmUpHours) +
                          " hours needs as many hours of weather, but there are " +
                          std::to_string(forcing.Rain.size()));
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
