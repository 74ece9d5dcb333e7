#pragma once

// The calibration sample's inputs for the benchmarks, its year repeated to
// make long records: the cost per step of a long record against a short
// one's.

#include <vector>

#include "input/run_inputs.h"
#include "model/simulate.h"

namespace velm::bench {

struct Sample {
  RunSettings Settings;
  ParameterSet Parameters;
  std::vector<double> Rain, PotentialE, DailyRain, DailyObserved;

  Forcing Weather() const {
    return {Rain, PotentialE, Settings.SurfaceStorageFlag == 1};
  }
  double StepsPerSimulation() const {
    const int hours = static_cast<int>(Rain.size());
    return WarmUpSteps(hours) + hours;
  }
};

inline std::vector<double> Repeated(const std::vector<double>& values,
                                    int times) {
  std::vector<double> out;
  for (int t = 0; t < times; ++t) {
    out.insert(out.end(), values.begin(), values.end());
  }
  return out;
}

inline Sample LoadSample(int years) {
  RunInputs inputs(VELM_CALIBRATION_SAMPLE_DIR);
  const Weather& weather = inputs.WeatherRecord();
  return {inputs.Settings(),
          inputs.FileParameters(),
          Repeated(weather.Rain, years),
          Repeated(weather.PotentialE, years),
          Repeated(weather.DailyRain, years),
          Repeated(inputs.Observed().Daily, years)};
}

}  // namespace velm::bench
