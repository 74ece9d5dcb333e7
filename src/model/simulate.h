#pragma once

// The hourly simulation over a whole record: a warm-up pass over the first
// sixth of the hours, then the main pass over all of them. It reads nothing
// but its arguments and writes nothing but its outputs.

#include <span>
#include <stdexcept>
#include <vector>

#include "model/parameter_set.h"

namespace velm {

// The model steps in hours and reports by day.
inline constexpr int kHoursPerDay = 24;

// Daily totals of an hourly series: the 24 hours of each whole day added
// last hour first, which fixes the rounding; one total per whole day, as
// far as `days` has room. A trailing part of a day has no total.
void SumDaily(std::span<const double> steps, std::span<double> days);

// What drives the model, one value per hour, and whether each hour's rain
// and evaporation first pass through the two-store surface storage.
struct Forcing {
  std::span<const double> Rain;
  std::span<const double> PotentialE;
  bool SurfaceStorage = false;
  // The warm-up pass's hours; negative: the first sixth of the record. A
  // caller that needs only the first days of a longer record's run gives
  // those days and the longer record's pass, which they must cover.
  int WarmUpHours = -1;
};

// The main pass hour by hour; Infiltration holds the capacity at the start
// (entry 0) and after every hour.
struct HourlyOutputs {
  std::vector<double> CalcQ;
  std::vector<double> ActualE;
  std::vector<double> Infiltration;
  std::vector<double> TankWaterDepth;  // at the end of the run
};

// The main pass as daily totals of whole days, summed as SumDaily sums: what
// a fit needs, without hourly arrays.
struct DailyOutputs {
  std::vector<double> CalcQ;
  std::vector<double> ActualE;
  std::vector<double> TankWaterDepth;  // at the end of the run
};

// A forcing whose rain and potential evaporation differ in length has no
// hour-by-hour meaning; Simulate refuses it with this, before it reads or
// writes anything.
class ForcingMismatch : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// The tanks start from the parameters' TankWaterDepth, the impervious store
// from ImperviousTankWD and the soil at 1.2 × F18_Infiltration in each pass.
// The outputs are resized to the record; once they have the size, nothing is
// allocated.
void Simulate(const ParameterSet& parameters, const Forcing& forcing,
              HourlyOutputs& outputs);
void Simulate(const ParameterSet& parameters, const Forcing& forcing,
              DailyOutputs& outputs);

// Up to kMaxLanes simulations of the daily outputs over one forcing, run side
// by side in one thread, parameters[l] into *outputs[l] (as many of each):
// each gives the bits Simulate gives it alone, while the processor overlaps
// the sets' chains of dependent operations, which leave it waiting when one
// simulation runs alone.
inline constexpr std::size_t kMaxLanes = 4;
void Simulate(std::span<const ParameterSet* const> parameters,
              const Forcing& forcing, std::span<DailyOutputs* const> outputs);

// The steps of the warm-up pass: the first sixth of the record.
constexpr int WarmUpSteps(int hourCount) { return hourCount / 6; }

}  // namespace velm
