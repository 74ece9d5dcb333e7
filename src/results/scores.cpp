#include "results/scores.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/number_format.h"

namespace velm {
namespace {

struct Moments {
  double Mean = 0.0;
  double Deviation = 0.0;  // population standard deviation
};

Moments MomentsOf(const std::vector<double>& values) {
  Moments m;
  for (double v : values) m.Mean += v;
  m.Mean /= static_cast<double>(values.size());
  for (double v : values) m.Deviation += (v - m.Mean) * (v - m.Mean);
  m.Deviation = std::sqrt(m.Deviation / static_cast<double>(values.size()));
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

// A NaN has no order, so no peak can be told in a series that holds one.
double Peak(const std::vector<double>& values) {
  if (std::any_of(values.begin(), values.end(),
                  [](double v) { return std::isnan(v); })) {
    return std::nan("");
  }
  return *std::max_element(values.begin(), values.end());
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
  s.FitDays = static_cast<int>(obs.size());
  if (obs.empty()) return s;

  const Moments o = MomentsOf(obs);
  const Moments c = MomentsOf(sim);
  double squaredError = 0.0;
  double covariance = 0.0;
  double sumObserved = 0.0;
  double sumCalculated = 0.0;
  for (std::size_t i = 0; i < obs.size(); ++i) {
    squaredError += (sim[i] - obs[i]) * (sim[i] - obs[i]);
    covariance += (sim[i] - c.Mean) * (obs[i] - o.Mean);
    sumObserved += obs[i];
    sumCalculated += sim[i];
  }
  const double n = static_cast<double>(obs.size());
  const double observedSpread = o.Deviation * o.Deviation * n;

  s.NSE = Ratio(squaredError, observedSpread);
  if (s.NSE) s.NSE = 1.0 - *s.NSE;
  s.R = Ratio(covariance / n, o.Deviation * c.Deviation);
  s.Alpha = Ratio(c.Deviation, o.Deviation);
  s.Beta = Ratio(c.Mean, o.Mean);
  const std::optional<double> variationCalculated = Ratio(c.Deviation, c.Mean);
  const std::optional<double> variationObserved = Ratio(o.Deviation, o.Mean);
  if (variationCalculated && variationObserved) {
    s.Gamma = Ratio(*variationCalculated, *variationObserved);
  }
  s.KGE = DistanceFromIdeal(s.R, s.Alpha, s.Beta);
  s.KGEPrime = DistanceFromIdeal(s.R, s.Beta, s.Gamma);
  s.PercentBias = Ratio(100.0 * (sumCalculated - sumObserved), sumObserved);
  s.RMSE = Defined(std::sqrt(squaredError / n));
  const double peakObserved = Peak(obs);
  const double peakCalculated = Peak(sim);
  s.PeakError = Ratio(100.0 * (peakCalculated - peakObserved), peakObserved);
  return s;
}

std::string FormatScore(std::optional<double> score) {
  return score ? FormatNumber(*score) : "undefined";
}

}  // namespace velm
