#include "model/simulate.h"

#include <array>

#include "model/exact_product.h"
#include "model/step_kernel.h"

namespace velm {
namespace {

// Both passes; every main-pass hour i goes to record(i, calcQ, actualE,
// capacity after the hour). The soil starts each pass a little drier than
// field capacity; the stores carry the warm-up's state into the main pass.
template <typename Record>
void RunPasses(const ParameterSet& p, const Forcing& forcing,
               std::vector<double>& depths, Record&& record) {
  const StepKernel kernel(p);
  depths = p.TankWaterDepth;
  StepStores stores;
  stores.ImperviousDepth = p.ImperviousTankWD;
  const bool withStorage = forcing.SurfaceStorage;
  const std::span<double> tanks(depths);
  const double* rain = forcing.Rain.data();
  const double* demand = forcing.PotentialE.data();
  const int hours = static_cast<int>(forcing.Rain.size());
  const double startCapacity = 1.2 * p.F18_Infiltration;

  double capacity = startCapacity;
  double next = 0.0;
  for (int i = 0; i < WarmUpSteps(hours); ++i) {
    kernel.Step(rain[i], demand[i], withStorage, capacity, next, stores,
                tanks);
    capacity = next;
  }

  capacity = startCapacity;
  const double pervious = 1 - p.Impervious;
  // The runoff of a drained cascade can be subnormal.
  const double perviousQuickAbove = QuickProductAbove(pervious);
  for (int i = 0; i < hours; ++i) {
    const HourlyResult r = kernel.Step(rain[i], demand[i], withStorage,
                                       capacity, next, stores, tanks);
    capacity = next;
    record(i,
           ProductOfFactor(pervious, r.PerviousRunoff, perviousQuickAbove) +
               r.ImperviousRunoff,
           (r.SoilEvaporation + r.SurfaceTankEvaporation) * pervious +
               r.StorageEvaporation + r.ImperviousEvaporation,
           capacity);
  }
}

}  // namespace

void SumDaily(std::span<const double> steps, std::span<double> days) {
  constexpr std::size_t kDayLength = kHoursPerDay;
  const std::size_t dayCount = steps.size() / kDayLength;
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
  const std::size_t hours = forcing.Rain.size();
  outputs.CalcQ.resize(hours);
  outputs.ActualE.resize(hours);
  outputs.Infiltration.resize(hours + 1);
  double* calcQ = outputs.CalcQ.data();
  double* actualE = outputs.ActualE.data();
  double* infiltration = outputs.Infiltration.data();
  infiltration[0] = 1.2 * parameters.F18_Infiltration;
  RunPasses(parameters, forcing, outputs.TankWaterDepth,
            [=](int i, double q, double e, double capacity) {
              calcQ[i] = q;
              actualE[i] = e;
              infiltration[i + 1] = capacity;
            });
}

void Simulate(const ParameterSet& parameters, const Forcing& forcing,
              DailyOutputs& outputs) {
  const std::size_t days = forcing.Rain.size() / kHoursPerDay;
  outputs.CalcQ.resize(days);
  outputs.ActualE.resize(days);
  double* calcQ = outputs.CalcQ.data();
  double* actualE = outputs.ActualE.data();
  // The day's hours wait here to be added last hour first, as SumDaily adds.
  std::array<double, kHoursPerDay> dayQ;
  std::array<double, kHoursPerDay> dayE;
  RunPasses(parameters, forcing, outputs.TankWaterDepth,
            [&](int i, double q, double e, double) {
              const int hour = i % kHoursPerDay;
              dayQ[hour] = q;
              dayE[hour] = e;
              if (hour + 1 < kHoursPerDay) return;
              double totalQ = 0.0, totalE = 0.0;
              for (int h = kHoursPerDay; h-- > 0;) {
                totalQ += dayQ[h];
                totalE += dayE[h];
              }
              calcQ[i / kHoursPerDay] = totalQ;
              actualE[i / kHoursPerDay] = totalE;
            });
}

}  // namespace velm
