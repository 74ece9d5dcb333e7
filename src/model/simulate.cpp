#include "model/runoff_model.h"
#include "model/step_kernel.h"

namespace velm {

void RunoffModel::Simulate(int useCurrentParameters) {
  if (useCurrentParameters == 0) {
    Parameters = Inputs().FileParameters();
    Parameters.Echo();
  }
  const StepKernel kernel(Parameters);
  StepStores stores;
  stores.ImperviousDepth = Parameters.ImperviousTankWD;
  const bool withStorage = Settings.SurfaceStorageFlag == 1;
  const std::span<double> depths(Parameters.TankWaterDepth);
  const double* rain = Rain.data();
  const double* demand = PotentialE.data();
  double* capacity = Infiltration.data();
  // The soil starts each pass a little drier than field capacity; the
  // stores carry the warm-up's state into the main pass.
  const double startCapacity = 1.2 * Parameters.F18_Infiltration;

  capacity[0] = startCapacity;
  const int warmUpSteps = WarmUpSteps();
  for (int i = 0; i < warmUpSteps; ++i) {
    kernel.Step(rain[i], demand[i], withStorage, capacity[i], capacity[i + 1],
                stores, depths);
  }

  capacity[0] = startCapacity;
  const double pervious = 1 - Parameters.Impervious;
  double* calcQ = CalcQ.data();
  double* actualE = ActualE.data();
  for (int i = 0; i < HourCount; ++i) {
    const HourlyResult r =
        kernel.Step(rain[i], demand[i], withStorage, capacity[i],
                    capacity[i + 1], stores, depths);
    calcQ[i] = pervious * r.PerviousRunoff + r.ImperviousRunoff;
    actualE[i] = (r.SoilEvaporation + r.SurfaceTankEvaporation) * pervious +
                 r.StorageEvaporation + r.ImperviousEvaporation;
  }
}

}  // namespace velm
