#include "report/scores.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velm::report {
namespace {

struct Moments {
  double mean = 0.0;
  double deviation = 0.0;  // population standard deviation
};

Moments MomentsOf(const std::vector<double>& values) {
  Moments m;
  for (double v : values) m.mean += v;
  m.mean /= static_cast<double>(values.size());
  for (double v : values) m.deviation += (v - m.mean) * (v - m.mean);
  m.deviation = std::sqrt(m.deviation / static_cast<double>(values.size()));
  return m;
}

// A division by zero or a NaN in the data leaves no meaningful score.
std::optional<double> Defined(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<double> Ratio(double numerator, double denominator) {
  if (denominator == 0.0) return std::nullopt;
  return Defined(numerator / denominator);
}

std::optional<double> DistanceFromIdeal(std::optional<double> a,
                                        std::optional<double> b,
                                        std::optional<double> c) {
  if (!a || !b || !c) return std::nullopt;
  return Defined(1.0 -
                 std::sqrt((*a - 1.0) * (*a - 1.0) + (*b - 1.0) * (*b - 1.0) +
                           (*c - 1.0) * (*c - 1.0)));
}

}  // namespace

Scores ComputeScores(std::span<const double> observed,
                     std::span<const double> calculated) {
  std::vector<double> obs;
  std::vector<double> sim;
  for (std::size_t i = 0; i < observed.size() && i < calculated.size(); ++i) {
    if (observed[i] > 0) {
      obs.push_back(observed[i]);
      sim.push_back(calculated[i]);
    }
  }
  Scores s;
  s.fitDays = static_cast<int>(obs.size());
  if (obs.empty()) return s;

  const Moments o = MomentsOf(obs);
  const Moments c = MomentsOf(sim);
  double squaredError = 0.0;
  double covariance = 0.0;
  double sumObserved = 0.0;
  double sumCalculated = 0.0;
  for (std::size_t i = 0; i < obs.size(); ++i) {
    squaredError += (sim[i] - obs[i]) * (sim[i] - obs[i]);
    covariance += (sim[i] - c.mean) * (obs[i] - o.mean);
    sumObserved += obs[i];
    sumCalculated += sim[i];
  }
  const double n = static_cast<double>(obs.size());
  const double observedSpread = o.deviation * o.deviation * n;

  s.nse = Ratio(squaredError, observedSpread);
  if (s.nse) s.nse = 1.0 - *s.nse;
  s.r = Ratio(covariance / n, o.deviation * c.deviation);
  s.alpha = Ratio(c.deviation, o.deviation);
  s.beta = Ratio(c.mean, o.mean);
  const std::optional<double> variationCalculated = Ratio(c.deviation, c.mean);
  const std::optional<double> variationObserved = Ratio(o.deviation, o.mean);
  if (variationCalculated && variationObserved) {
    s.gamma = Ratio(*variationCalculated, *variationObserved);
  }
  s.kge = DistanceFromIdeal(s.r, s.alpha, s.beta);
  s.kgePrime = DistanceFromIdeal(s.r, s.beta, s.gamma);
  s.percentBias = Ratio(100.0 * (sumCalculated - sumObserved), sumObserved);
  s.rmse = Defined(std::sqrt(squaredError / n));
  const double peakObserved = *std::max_element(obs.begin(), obs.end());
  const double peakCalculated = *std::max_element(sim.begin(), sim.end());
  s.peakError = Ratio(100.0 * (peakCalculated - peakObserved), peakObserved);
  return s;
}

}  // namespace velm::report
