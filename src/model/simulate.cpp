#include "model/runoff_model.h"
#include "model/surface_storage.h"

namespace velm {

HourlyResult RunoffModel::HourlyStep(int i, SurfaceStorage& storage,
                                     double& imperviousDepth) {
  HourlyResult result;
  double rain = Rain[i];
  double demand = PotentialE[i];
  if (Settings.SurfaceStorageFlag == 1) {
    result.StorageEvaporation = storage.Exchange(rain, demand);
  }
  result.ImperviousRunoff = ImperviousStep(
      rain, demand, result.ImperviousEvaporation, imperviousDepth);
  result.SurfaceTankEvaporation = SurfaceTankEvaporation(demand);
  result.SoilEvaporation = SoilEvaporation(Infiltration[i], demand);
  double runoff = InfiltrationStep(rain, result.SoilEvaporation, i);
  // The cascade drains what it holds: the soil passes it nothing, and each
  // tank's bottom outflow is the next one's inflow.
  double inflow = 0.0;
  for (int j = 1; j <= Parameters.TankCount; ++j) {
    runoff += TankStep(j, inflow);
  }
  result.PerviousRunoff = runoff;
  return result;
}

void RunoffModel::Simulate(int useCurrentParameters) {
  if (useCurrentParameters == 0) {
    Parameters = Inputs().FileParameters();
    Parameters.Echo();
  }
  double imperviousDepth = Parameters.ImperviousTankWD;
  SurfaceStorage storage;
  // The soil starts each pass a little drier than field capacity; the
  // stores carry the warm-up's state into the main pass.
  const double startCapacity = 1.2 * Parameters.F18_Infiltration;

  Infiltration[0] = startCapacity;
  const int warmUpSteps = WarmUpSteps();
  for (int i = 0; i < warmUpSteps; ++i) {
    HourlyStep(i, storage, imperviousDepth);
  }

  Infiltration[0] = startCapacity;
  const double imp = Parameters.Impervious;
  for (int i = 0; i < HourCount; ++i) {
    const HourlyResult r = HourlyStep(i, storage, imperviousDepth);
    CalcQ[i] = (1 - imp) * r.PerviousRunoff + r.ImperviousRunoff;
    ActualE[i] = (r.SoilEvaporation + r.SurfaceTankEvaporation) * (1 - imp) +
                 r.StorageEvaporation + r.ImperviousEvaporation;
  }
}

}  // namespace velm
