#include "check/starting_state.h"

#include <cmath>
#include <string>

#include "check/wording.h"
#include "common/number_format.h"
#include "model/water_balance.h"

namespace velm::check {
namespace {

// "13.6 mm (41.2 %)" of `whole`; a trace as "2.6e-12 mm".
std::string ShareOf(double part, double whole) {
  const double percent = 100 * part / whole;
  if (percent < 0.1) return FormatPrintf("%.2g mm", part);
  return FormatPrintf("%.1f mm (%.1f %%)", part, percent);
}

}  // namespace

void NoteStartingState(const Catchment& c, std::vector<Finding>& findings) {
  if (!c.Settings || !c.WeatherRecord || !c.Parameters ||
      c.WeatherRecord->DayCount() <= kLongRecordDays) {
    return;
  }
  const Weather& w = *c.WeatherRecord;
  const ParameterSet& p = *c.Parameters;
  WaterBalance balance;
  Simulate(p, {w.Rain, w.PotentialE, c.Settings->SurfaceStorageFlag == 1},
           balance);
  const double start = balance.AtRunStart.Cascade();
  if (!(start > 0) || !std::isfinite(start)) return;
  const int hours = w.HourCount();
  const int warmUp = WarmUpSteps(hours);
  findings.push_back(FindingAt(
      c.File(FileEntry::kParameter), "starting-state", Severity::kNote, 0,
      "the warm-up pass runs over the first sixth of the record, " +
          std::to_string(warmUp) + " of its " + std::to_string(hours) +
          " hours (" + FormatPrintf("%.1f", warmUp / double{kHoursPerDay}) +
          " days), before the main pass simulates the record from its first "
          "hour; with the parameter file's values the " +
          Count(static_cast<std::size_t>(p.TankCount), "tank") +
          " of the cascade start with " + FormatPrintf("%.1f", start) +
          " mm of water over the catchment, of which " +
          ShareOf(balance.MainPass.AtStart.Cascade(), start) +
          " is left when the main pass starts and " +
          ShareOf(balance.MainPass.AtEnd.Cascade(), start) +
          " when it ends: the cascade receives nothing from the soil, so "
          "the simulated base flow is this starting water draining away, "
          "and it fades over a long record",
      "read the simulated runoff of the record's later years, and a "
      "calibration's fit to them, knowing that it holds no base flow; to give "
      "every year the same start, run the record in parts of a year or two "
      "(velm-many runs many catchment directories)"));
}

}  // namespace velm::check
