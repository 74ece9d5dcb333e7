#include "model/runoff_model.h"
#include "model/step_kernel.h"

namespace velm {

double RunoffModel::HortonDecay() const {
  return StepKernel(Parameters).HortonDecay();
}

double RunoffModel::StepVolume(double f) const {
  return StepKernel(Parameters).StepVolume(f);
}

double RunoffModel::ImperviousStep(double rain, double demand,
                                   double& evaporation, double& depth) const {
  return StepKernel(Parameters)
      .ImperviousStep(rain, demand, evaporation, depth);
}

double RunoffModel::SurfaceTankEvaporation(double& demand) {
  return StepKernel::SurfaceTankEvaporation(demand,
                                            Parameters.TankWaterDepth[0]);
}

double RunoffModel::SoilEvaporation(double f, double demand) const {
  return StepKernel(Parameters).SoilEvaporation(f, demand);
}

double RunoffModel::InfiltrationStep(double rain, double soilEvaporation,
                                     int i) {
  return StepKernel(Parameters)
      .InfiltrationStep(rain, soilEvaporation, Infiltration[i],
                        Infiltration[i + 1], Parameters.TankWaterDepth[0]);
}

double RunoffModel::NextCapacity(double w, double f) const {
  return StepKernel(Parameters).NextCapacity(w, f);
}

double RunoffModel::CapacityAfter(double x, double f) const {
  return StepKernel(Parameters).CapacityAfter(x, f);
}

double RunoffModel::TankStep(int j, double& inflow) {
  return StepKernel(Parameters)
      .TankStep(j, inflow, Parameters.TankWaterDepth[j]);
}

}  // namespace velm
