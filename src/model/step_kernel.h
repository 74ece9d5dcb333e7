#pragma once

// The arithmetic of one hourly step, on a parameter set's values and the
// state passed in. What depends on the parameters alone (E1 = exp(−k), 1 − E1
// and the logarithm term of the soil evaporation) is computed once, when the
// kernel is built, as whole sub-expressions of the formulas that use them, so
// every value is bit for bit the one the formula written out gives.
//
// The calibration runs the model on parameter sets that break its ordering
// rules, so NaNs reach these routines and must take one fixed branch: a test
// of "less than" is spelled !(a >= b) and "at most" !(a > b), both true for a
// NaN, while "greater than" (a > b) and "at least" (a >= b) are false for it.
// Every formula keeps its written order of operations, as results are
// compared to the last bit.

#include <cmath>
#include <span>

#include "model/exact_product.h"
#include "model/parameter_set.h"
#include "model/surface_storage.h"

namespace velm {

// What one hourly step gives, before the main pass weights it by area. The
// impervious values come already multiplied by Impervious; the surface tank,
// soil and pervious values are depths on the pervious area; the storage's
// evaporation applies to the whole catchment.
struct HourlyResult {
  double StorageEvaporation = 0.0;
  double ImperviousEvaporation = 0.0;
  double ImperviousRunoff = 0.0;
  double SurfaceTankEvaporation = 0.0;
  double SoilEvaporation = 0.0;
  double PerviousRunoff = 0.0;
};

// What a step moves inside the pervious area, for runs that record where the
// water goes; the evaluations ignore it, and the compiler leaves it out of
// their steps. Each tank's side outflow (the surface tank's as tank 0), and
// the water that infiltrated: the rain that did not run off the surface
// less the soil's evaporation. The soil keeps no depth and the cascade
// receives nothing, so that water leaves the model; it is negative in an
// hour when the soil evaporates more than the rain brings.
struct IgnoreStepFlows {
  void TankOutflow(int /*tank*/, double /*outflow*/) const {}
  void Infiltrated(double /*water*/) const {}
};

// The stores that one step changes besides the tanks.
struct StepStores {
  SurfaceStorage Storage;
  double ImperviousDepth = 0.0;
};

class StepKernel {
 public:
  // The tank coefficients are read from `p` while the kernel is used.
  explicit StepKernel(const ParameterSet& p)
      : fc_(p.Final_Infiltration),
        k_(p.Coeff_Reduction),
        f18_(p.F18_Infiltration),
        fmax_(p.MAX_Infiltration),
        smax_(p.MAX_SoilMoisture),
        s18_(p.F18_SoilMoisture),
        emax_(p.MAX_EvapoRatio),
        ce_(p.Coeff_EvapoModel),
        imp_(p.Impervious),
        coeffTop_(p.CoeffSurfaceTopTank),
        highTop_(p.HighSurfaceTopTank),
        coeffBottom_(p.CoeffSurfaceBotomTank),
        tankCount_(p.TankCount),
        coeffTank_(p.CoeffTank.data()),
        botomTank_(p.BotomTank.data()),
        e1_(std::exp(-k_)),
        oneMinusE1_(1 - e1_),
        // The logarithm's ratio is fixed by the curve, not by f.
        soilLogTerm_(fc_ * std::log((f18_ - fc_) / (fmax_ - fc_)) / k_),
        tankQuickAbove_(TankQuickAbove(p)) {}

  // E1: the share of the capacity above Final_Infiltration that is left
  // after one step of Horton's curve.
  double HortonDecay() const { return e1_; }

  // V(f): the water that infiltrates in one step starting at capacity f when
  // the supply is unlimited.
  double StepVolume(double f) const {
    return fc_ + (f - fc_) * oneMinusE1_ / k_;
  }

  double ImperviousStep(double rain, double demand, double& evaporation,
                        double& depth) const {
    const double water = depth + rain;
    double unmet = 0.0;
    if (water > demand) {
      depth = water - demand;
    } else {
      depth = 0.0;
      unmet = water > 0 ? demand - water : demand;
    }
    evaporation = (demand - unmet) * imp_;

    double q = coeffTop_ * depth;
    depth -= q;
    if (!(depth >= 0)) {
      q += depth;
      depth = 0.0;
    }
    return q * imp_;
  }

  // h0 is the surface tank's depth.
  static double SurfaceTankEvaporation(double& demand, double& h0) {
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

  double SoilEvaporation(double f, double demand) const {
    // Wetter than field capacity: the soil evaporates at the full ratio.
    if (!(f >= f18_)) return emax_ * demand;

    // The moisture deficit read off Horton's curve between f and fmax.
    double theta = ((fmax_ - f) / k_ - soilLogTerm_) / smax_;
    if (!(theta >= 0)) theta = 0.0;
    const double r = theta / s18_;
    if (r >= 0.98) return emax_ * demand;

    // Kept unsimplified: ce·r/(1 − r) rounds differently.
    const double y = -(1 - 1 / (1 - r)) * ce_;
    return emax_ * demand * (1 - 2 / (std::exp(y) + 1));
  }

  // The capacity after the step goes to `next` and the water that
  // infiltrated to `infiltrated`; returns the surface tank's outflow.
  double InfiltrationStep(double rain, double soilEvaporation, double f,
                          double& next, double& infiltrated, double& h0) const {
    const double w = rain - soilEvaporation;
    double excess = 0.0;
    if (w > 0) {
      next = NextCapacity(w, f);
      excess = w - StepVolume(f);
      if (!(excess >= 0)) excess = 0.0;
    } else if (f > fmax_) {
      next = fmax_;
    } else {
      next = NextCapacity(w, f);
    }
    infiltrated = w - excess;

    h0 += excess;
    double q = h0 > highTop_ ? (h0 - highTop_) * coeffTop_ + coeffBottom_ * h0
                             : coeffBottom_ * h0;
    if (!(q >= 0)) q = 0.0;
    h0 -= q;
    if (!(h0 >= 0)) {
      q += h0;
      h0 = 0.0;
    }
    return q;
  }

  // Wetter than field capacity the soil drains at fc, so fc comes off the
  // water first; it is added back and taken off again rather than kept
  // aside, as the results depend on that rounding.
  double NextCapacity(double w, double f) const {
    const bool wet = !(f >= f18_);
    if (wet) w -= fc_;
    if (!(w >= 0)) {  // drying
      const double capacity = CapacityAfter(w, f);
      return capacity > fmax_ ? fmax_ : capacity;
    }
    if (wet) w += fc_;

    const double g = (f - fc_) * oneMinusE1_ / k_;
    const double volume = fc_ + g;
    if (!(volume > w)) {  // the supply covers a whole step of the curve
      if (f > f18_) return e1_ * f + oneMinusE1_ * fc_;
      return CapacityAfter(g, f);
    }
    if (!(f > f18_)) w -= fc_;
    return CapacityAfter(w, f);
  }

  double CapacityAfter(double x, double f) const {
    if (x == 0 || std::isnan(x)) return f;
    // V(f) in the form fc − (1 − E1)·(fc − f)/k, which rounds differently
    // from StepVolume.
    const double volume = fc_ - oneMinusE1_ * (fc_ - f) / k_;
    return fc_ + (f - fc_) * std::exp(-k_ * x / volume);
  }

  // Tank j (from 1) with depth h; `inflow` comes in and leaves as the bottom
  // outflow passed on. Returns the side outflow.
  double TankStep(int j, double& inflow, double& h) const {
    h += inflow;
    // Drained tanks hold subnormal depths for years.
    double q = ProductOfFactor(coeffTank_[j], h, tankQuickAbove_);
    if (j == tankCount_) {  // the last tank has no bottom outlet
      h -= q;
      return q;
    }

    const double bottom = botomTank_[j];
    const double loss = q + bottom;
    h -= loss;
    if (h >= 0) {
      inflow = bottom;
      return q;
    }
    // The tank cannot supply both outlets: it shares what it held between
    // them.
    const double held = h + loss;
    q = q * held / loss;
    inflow = bottom * held / loss;
    h = 0.0;
    return q;
  }

  // Hourly step: the routines above in their fixed order, then the tank
  // cascade. `depths` holds the surface tank (entry 0) and the tanks; the
  // capacity after the step goes to `next`, the flows inside the pervious
  // area to `flows`.
  template <typename Flows = IgnoreStepFlows>
  HourlyResult Step(double rain, double demand, bool withStorage, double f,
                    double& next, StepStores& stores, std::span<double> depths,
                    Flows&& flows = Flows{}) const {
    HourlyResult result;
    if (withStorage) {
      result.StorageEvaporation = stores.Storage.Exchange(rain, demand);
    }
    result.ImperviousRunoff = ImperviousStep(
        rain, demand, result.ImperviousEvaporation, stores.ImperviousDepth);
    result.SurfaceTankEvaporation = SurfaceTankEvaporation(demand, depths[0]);
    result.SoilEvaporation = SoilEvaporation(f, demand);
    double infiltrated = 0.0;
    double runoff = InfiltrationStep(rain, result.SoilEvaporation, f, next,
                                     infiltrated, depths[0]);
    flows.Infiltrated(infiltrated);
    flows.TankOutflow(0, runoff);
    // The cascade drains what it holds: the soil passes it nothing, and each
    // tank's bottom outflow is the next one's inflow.
    double inflow = 0.0;
    for (int j = 1; j <= tankCount_; ++j) {
      const double q = TankStep(j, inflow, depths[j]);
      flows.TankOutflow(j, q);
      runoff += q;
    }
    result.PerviousRunoff = runoff;
    return result;
  }

 private:
  static double TankQuickAbove(const ParameterSet& p) {
    double quickAbove = kQuickProductAbove;
    for (int j = 1; j <= p.TankCount; ++j) {
      quickAbove = std::fmax(quickAbove, QuickProductAbove(p.CoeffTank[j]));
    }
    return quickAbove;
  }

  double fc_, k_, f18_, fmax_, smax_, s18_, emax_, ce_, imp_;
  double coeffTop_, highTop_, coeffBottom_;
  int tankCount_;
  const double* coeffTank_;
  const double* botomTank_;
  double e1_, oneMinusE1_, soilLogTerm_;
  double tankQuickAbove_;
};

}  // namespace velm
