#include <cmath>

#include "model/runoff_model.h"

// The calibration runs the model on parameter sets that break its ordering
// rules, so NaNs reach these routines and must take one fixed branch: a test
// of "less than" is spelled !(a >= b) and "at most" !(a > b), both true for a
// NaN, while "greater than" (a > b) and "at least" (a >= b) are false for it.
// Every formula keeps its written order of operations, as results are
// compared to the last bit.

namespace velm {

double RunoffModel::HortonDecay() const {
  return std::exp(-Parameters.Coeff_Reduction);
}

double RunoffModel::StepVolume(double f) const {
  const double fc = Parameters.Final_Infiltration;
  const double k = Parameters.Coeff_Reduction;
  return fc + (f - fc) * (1 - HortonDecay()) / k;
}

double RunoffModel::ImperviousStep(double rain, double demand,
                                   double& evaporation, double& depth) const {
  const double imp = Parameters.Impervious;
  const double water = depth + rain;
  double unmet = 0.0;
  if (water > demand) {
    depth = water - demand;
  } else {
    depth = 0.0;
    unmet = water > 0 ? demand - water : demand;
  }
  evaporation = (demand - unmet) * imp;

  double q = Parameters.CoeffSurfaceTopTank * depth;
  depth -= q;
  if (!(depth >= 0)) {
    q += depth;
    depth = 0.0;
  }
  return q * imp;
}

double RunoffModel::SurfaceTankEvaporation(double& demand) {
  double& h0 = Parameters.TankWaterDepth[0];
  if (!(h0 > 0)) return 0.0;
  h0 -= demand;
  if (h0 > 0) {
    const double taken = demand;
    demand = 0.0;
    return taken;
  }
  const double held = h0 + demand;
  demand = -h0;
  h0 = 0.0;
  return held;
}

double RunoffModel::SoilEvaporation(double f, double demand) const {
  const ParameterSet& p = Parameters;
  const double fc = p.Final_Infiltration;
  const double k = p.Coeff_Reduction;
  // Wetter than field capacity: the soil evaporates at the full ratio.
  if (!(f >= p.F18_Infiltration)) return p.MAX_EvapoRatio * demand;

  // The moisture deficit read off Horton's curve between f and fmax; the
  // logarithm's ratio is fixed by the curve, not by f.
  const double curveRatio =
      (p.F18_Infiltration - fc) / (p.MAX_Infiltration - fc);
  double theta =
      ((p.MAX_Infiltration - f) / k - fc * std::log(curveRatio) / k) /
      p.MAX_SoilMoisture;
  if (!(theta >= 0)) theta = 0.0;
  const double r = theta / p.F18_SoilMoisture;
  if (r >= 0.98) return p.MAX_EvapoRatio * demand;

  // Kept unsimplified: ce·r/(1 − r) rounds differently.
  const double y = -(1 - 1 / (1 - r)) * p.Coeff_EvapoModel;
  return p.MAX_EvapoRatio * demand * (1 - 2 / (std::exp(y) + 1));
}

double RunoffModel::InfiltrationStep(double rain, double soilEvaporation,
                                     int i) {
  const ParameterSet& p = Parameters;
  const double f = Infiltration[i];
  const double w = rain - soilEvaporation;
  double excess = 0.0;
  if (w > 0) {
    Infiltration[i + 1] = NextCapacity(w, f);
    excess = w - StepVolume(f);
    if (!(excess >= 0)) excess = 0.0;
  } else if (f > p.MAX_Infiltration) {
    Infiltration[i + 1] = p.MAX_Infiltration;
  } else {
    Infiltration[i + 1] = NextCapacity(w, f);
  }

  double& h0 = Parameters.TankWaterDepth[0];
  h0 += excess;
  double q = h0 > p.HighSurfaceTopTank
                 ? (h0 - p.HighSurfaceTopTank) * p.CoeffSurfaceTopTank +
                       p.CoeffSurfaceBotomTank * h0
                 : p.CoeffSurfaceBotomTank * h0;
  if (!(q >= 0)) q = 0.0;
  h0 -= q;
  if (!(h0 >= 0)) {
    q += h0;
    h0 = 0.0;
  }
  return q;
}

// Wetter than field capacity the soil drains at fc, so fc comes off the
// water first; it is added back and taken off again rather than kept aside,
// as the results depend on that rounding.
double RunoffModel::NextCapacity(double w, double f) const {
  const ParameterSet& p = Parameters;
  const double fc = p.Final_Infiltration;
  const double f18 = p.F18_Infiltration;
  const bool wet = !(f >= f18);
  if (wet) w -= fc;
  if (!(w >= 0)) {  // drying
    const double capacity = CapacityAfter(w, f);
    return capacity > p.MAX_Infiltration ? p.MAX_Infiltration : capacity;
  }
  if (wet) w += fc;

  const double e1 = HortonDecay();
  const double g = (f - fc) * (1 - e1) / p.Coeff_Reduction;
  const double volume = fc + g;
  if (!(volume > w)) {  // the supply covers a whole step of the curve
    if (f > f18) return e1 * f + (1 - e1) * fc;
    return CapacityAfter(g, f);
  }
  if (!(f > f18)) w -= fc;
  return CapacityAfter(w, f);
}

double RunoffModel::CapacityAfter(double x, double f) const {
  if (x == 0 || std::isnan(x)) return f;
  const double fc = Parameters.Final_Infiltration;
  const double k = Parameters.Coeff_Reduction;
  // V(f) in the form fc − (1 − E1)·(fc − f)/k, which rounds differently from
  // StepVolume.
  const double volume = fc - (1 - HortonDecay()) * (fc - f) / k;
  return fc + (f - fc) * std::exp(-k * x / volume);
}

double RunoffModel::TankStep(int j, double& inflow) {
  double& h = Parameters.TankWaterDepth[j];
  h += inflow;
  double q = Parameters.CoeffTank[j] * h;
  if (j == Parameters.TankCount) {  // the last tank has no bottom outlet
    h -= q;
    return q;
  }

  const double bottom = Parameters.BotomTank[j];
  const double loss = q + bottom;
  h -= loss;
  if (h >= 0) {
    inflow = bottom;
    return q;
  }
  // The tank cannot supply both outlets: it shares what it held between them.
  const double held = h + loss;
  q = q * held / loss;
  inflow = bottom * held / loss;
  h = 0.0;
  return q;
}

}  // namespace velm
