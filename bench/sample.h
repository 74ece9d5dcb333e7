#pragma once

// The calibration sample's inputs for the benchmarks, its year repeated to
// make long records: the cost per step of a long record against a short
// one's.

#include <algorithm>
#include <ctime>
#include <functional>
#include <random>
#include <sstream>
#include <vector>

#include "input/run_inputs.h"
#include "model/simulate.h"
#include "optimizer/objective.h"
#include "run/calibration.h"

namespace velm::bench {

struct Sample {
  RunSettings Settings;
  ParameterSet Parameters;
  std::vector<double> Rain, PotentialE, DailyRain, DailyObserved;
  // The same as the run service reads it.
  CatchmentData Data;

  Forcing Weather() const {
    return {Rain, PotentialE, Settings.SurfaceStorageFlag == 1};
  }
  double StepsPerSimulation() const {
    const int hours = static_cast<int>(Rain.size());
    return WarmUpSteps(hours) + hours;
  }
};

template <typename T>
std::vector<T> Repeated(const std::vector<T>& values, int times) {
  std::vector<T> out;
  for (int t = 0; t < times; ++t) {
    out.insert(out.end(), values.begin(), values.end());
  }
  return out;
}

// The calibration run of `directory`, its record repeated `years` times.
inline Sample LoadSample(const char* directory, int years) {
  RunInputs inputs(directory);
  const Weather& weather = inputs.WeatherRecord();
  Sample sample{inputs.Settings(),
                inputs.FileParameters(),
                Repeated(weather.Rain, years),
                Repeated(weather.PotentialE, years),
                Repeated(weather.DailyRain, years),
                Repeated(inputs.Observed().Daily, years),
                {}};
  Weather repeated;
  repeated.Rain = sample.Rain;
  repeated.PotentialE = sample.PotentialE;
  repeated.DailyRain = sample.DailyRain;
  repeated.DailyPotentialE = Repeated(weather.DailyPotentialE, years);
  // The repeated years keep their dates: a run counts its days by them.
  repeated.Dates = {Repeated(weather.Dates.Year, years),
                    Repeated(weather.Dates.Month, years),
                    Repeated(weather.Dates.Day, years)};
  const auto observed =
      std::make_shared<const ObservedRunoff>(ObservedRunoff{{}, sample.DailyObserved});
  sample.Data = {std::make_shared<const Weather>(std::move(repeated)),
                 sample.Settings, sample.Parameters, [observed] { return observed; }};
  return sample;
}

// `count` parameter sets drawn from `seed`: the file's soil values, and the
// outlets drawn at random within the ordering rules, the tanks as fast as the
// surface tank's floor outlet at most, so that many cascades drain into the
// subnormal range within a few years: MAX_EvapoRatio in (0, 1],
// Coeff_EvapoModel in (0, 10], CoeffSurfaceTopTank in (0, 0.5],
// CoeffSurfaceBotomTank in (0, min(top, 0.05)], the tanks' CoeffTank in
// (0, floor outlet] and the upper tanks' BotomTank in (0, 0.01], both
// falling down the cascade, the last tank without a bottom outlet.
inline std::vector<ParameterSet> RandomValidSets(const ParameterSet& file,
                                                 int count, unsigned seed) {
  std::mt19937_64 random(seed);
  const auto up = [&](double high) {
    return high * (1.0 - std::uniform_real_distribution<double>()(random));
  };
  const auto falling = [&](std::vector<double>& values, double high) {
    for (std::size_t j = 1; j < values.size(); ++j) values[j] = up(high);
    std::sort(values.begin() + 1, values.end(), std::greater<>());
  };
  std::vector<ParameterSet> sets;
  for (int n = 0; n < count; ++n) {
    ParameterSet p = file;
    p.MAX_EvapoRatio = up(1.0);
    p.Coeff_EvapoModel = up(10.0);
    p.CoeffSurfaceTopTank = up(0.5);
    p.CoeffSurfaceBotomTank = up(std::min(p.CoeffSurfaceTopTank, 0.05));
    falling(p.CoeffTank, p.CoeffSurfaceBotomTank);
    falling(p.BotomTank, 0.01);
    p.BotomTank.back() = 0.0;
    SetInitialTankDepths(p);
    sets.push_back(p);
  }
  return sets;
}

inline Sample LoadSample(int years) {
  return LoadSample(VELM_CALIBRATION_SAMPLE_DIR, years);
}

// One objective evaluation of a parameter set on a sample's record.
struct Evaluation {
  const Sample* From;
  ParameterSet Parameters;  // the upper bounds that the genes scale
  GeneMap Map;
  Genes X{};

  double Run(DailyOutputs& scratch) const {
    const EvaluationContext context{
        Parameters,          Map,
        From->Weather(),     From->DailyRain,
        From->DailyObserved, {From->Settings.OutputFlag, From->Settings.ObjectiveType,
                              From->Settings.BalanceErrorLimit}};
    return EvaluateObjective(context, X, scratch, nullptr);
  }
};

// The calibration sample's genes: the sample's gene map, every gene 0.5.
inline Evaluation HalfGenes(const Sample& sample) {
  Evaluation e{&sample, sample.Parameters, GeneMap(sample.Settings.VariableCount, sample.Settings.OptIndex)};
  for (int k = 1; k <= e.Map.VariableCount(); ++k) e.X[k] = 0.5;
  return e;
}

// `p` as it is: the sample's gene map with every gene 1.
inline Evaluation Unscaled(const Sample& sample, const ParameterSet& p) {
  Evaluation e{&sample, p, GeneMap(sample.Settings.VariableCount, sample.Settings.OptIndex)};
  for (int k = 1; k <= e.Map.VariableCount(); ++k) e.X[k] = 1.0;
  return e;
}

// A whole calibration search of the sample with `budget` evaluations, in
// process, its output discarded; `tick` seconds pass at every reading of the
// clock, from 2026-01-01 00:00:00 UTC.
inline ModelObjective::Counts Calibrate(const Sample& sample, std::time_t tick,
                                        int budget) {
  CatchmentData data = sample.Data;
  data.Settings.FcountLimit = budget;
  ProgressSink quiet;
  std::time_t now = 1767225600;
  return velm::Calibrate(data, {[&] { return (now += tick) - tick; }}, quiet)
      .Counts;
}

}  // namespace velm::bench
