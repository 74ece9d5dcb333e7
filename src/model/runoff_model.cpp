#include "model/runoff_model.h"

namespace velm {

RunoffModel::RunoffModel() {
  HourCount = Series.CountRainLines();
  const auto hours = static_cast<std::size_t>(HourCount);
  Rain.assign(hours, 0.0);
  PotentialE.assign(hours, 0.0);
  ObservedQ.assign(hours, 0.0);
  ActualE.assign(hours, 0.0);
  CalcQ.assign(hours, 0.0);
  Infiltration.assign(hours + 1, 0.0);
  Series.ReadRainAndEvaporation(Rain, PotentialE);
  Parameters.Read(0);
  Settings.Read();
  FileParameters = Parameters;
}

}  // namespace velm
