#include "results/efficiency.h"

#include <cmath>
#include <vector>

#include "results/fit.h"
#include "results/scores.h"

namespace velm {

std::optional<double> LogNse(std::span<const double> observed,
                             std::span<const double> calculated) {
  std::vector<double> obs;
  std::vector<double> sim;
  double sum = 0.0;
  for (std::size_t i = 0; i < observed.size() && i < calculated.size(); ++i) {
    if (!IsFitDay(observed[i])) continue;
    obs.push_back(observed[i]);
    sim.push_back(calculated[i]);
    sum += observed[i];
  }
  if (obs.empty()) return std::nullopt;
  const double epsilon = sum / static_cast<double>(obs.size()) / 100.0;
  double mean = 0.0;
  for (double& q : obs) mean += (q = std::log(q + epsilon));
  mean /= static_cast<double>(obs.size());
  double squaredError = 0.0;
  double spread = 0.0;
  for (std::size_t i = 0; i < obs.size(); ++i) {
    const double error = std::log(sim[i] + epsilon) - obs[i];
    squaredError += error * error;
    spread += (obs[i] - mean) * (obs[i] - mean);
  }
  const double nse = 1.0 - squaredError / spread;
  if (spread == 0.0 || !std::isfinite(nse)) return std::nullopt;
  return nse;
}

double EfficiencyLoss(Efficiency measure, std::span<const double> observed,
                      std::span<const double> calculated) {
  std::optional<double> efficiency;
  if (measure == Efficiency::kLogNse) {
    efficiency = LogNse(observed, calculated);
  } else {
    const Scores scores = ComputeScores(observed, calculated);
    efficiency = measure == Efficiency::kNse ? scores.NSE : scores.KGE;
  }
  return efficiency ? 1.0 - *efficiency : std::nan("");
}

}  // namespace velm
