#include "model_cases.h"

#include <vector>

namespace velm::testing {

std::unique_ptr<RunoffModel> BuildModel(const CaseDir& dir, int hours,
                                        const ParameterValues& parameters,
                                        const ControlValues& control) {
  dir.WriteFileInfo();
  dir.Write("control.dat", ControlFileText(control));
  dir.Write("param.dat", ParameterFileText(parameters));
  const std::vector<double> dry(static_cast<std::size_t>(hours), 0.0);
  dir.Write("rain.csv", HourlyFileText(dry));
  dir.Write("runoff.csv", HourlyFileText(dry));
  dir.Write("ep.csv", DailyFileText(std::vector<double>(dry.size() / 24, 0.0)));
  const WorkingDirectory inCase(dir.Path());
  return std::make_unique<RunoffModel>();
}

std::unique_ptr<RunoffModel> WorkedExampleModel() {
  const CaseDir dir;
  auto model = BuildModel(dir, 2);
  ParameterSet& p = model->Parameters;
  p.Final_Infiltration = 1;
  p.Coeff_Reduction = 0.5;
  p.F18_Infiltration = 3;
  p.MAX_Infiltration = 10;
  p.MAX_SoilMoisture = 50;
  p.F18_SoilMoisture = 25;
  p.MAX_EvapoRatio = 0.8;
  p.Coeff_EvapoModel = 10;
  return model;
}

}  // namespace velm::testing
