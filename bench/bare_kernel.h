#pragma once

// The practical floor of a simulation: the hourly step's arithmetic written
// out in one minimal loop over plain arrays, with no kernel object, no
// surface storage, and the per-run constants in locals. The benchmarks hold
// Simulate to it, and a test holds it to Simulate's bits.

#include <cmath>
#include <span>
#include <vector>

#include "model/parameter_set.h"

namespace velm::bench {

// One pass over hours [0, hours): the same formulas in the same order as the
// model's step, without the surface storage.
inline void BarePass(const ParameterSet& p, const double* rainfall,
                     const double* potentialE, int hours, double* depths,
                     double& impDepth, double* calcQ, double* actualE,
                     double* capacity) {
  const double fc = p.Final_Infiltration, k = p.Coeff_Reduction;
  const double f18 = p.F18_Infiltration, fmax = p.MAX_Infiltration;
  const double imp = p.Impervious, cst = p.CoeffSurfaceTopTank;
  const double hst = p.HighSurfaceTopTank, csb = p.CoeffSurfaceBotomTank;
  const double emax = p.MAX_EvapoRatio, ce = p.Coeff_EvapoModel;
  const double smax = p.MAX_SoilMoisture, s18 = p.F18_SoilMoisture;
  const double e1 = std::exp(-k), c1 = 1 - e1, pervious = 1 - imp;
  const double logTerm = fc * std::log((f18 - fc) / (fmax - fc)) / k;
  const int n = p.TankCount;
  const auto after = [&](double x, double f) {
    if (x == 0 || std::isnan(x)) return f;
    return fc + (f - fc) * std::exp(-k * x / (fc - c1 * (fc - f) / k));
  };
  capacity[0] = 1.2 * f18;
  for (int i = 0; i < hours; ++i) {
    double demand = potentialE[i];
    const double rain = rainfall[i];
    // Impervious store.
    const double water = impDepth + rain;
    double unmet = 0.0;
    if (water > demand) {
      impDepth = water - demand;
    } else {
      impDepth = 0.0;
      unmet = water > 0 ? demand - water : demand;
    }
    const double impE = (demand - unmet) * imp;
    double qi = cst * impDepth;
    impDepth -= qi;
    if (!(impDepth >= 0)) qi += impDepth, impDepth = 0.0;
    // Surface tank evaporation.
    double& h0 = depths[0];
    double tankE = 0.0;
    if (h0 > 0) {
      h0 -= demand;
      if (h0 > 0) {
        tankE = demand, demand = 0.0;
      } else {
        tankE = h0 + demand, demand = -h0, h0 = 0.0;
      }
    }
    // Soil evaporation.
    const double f = capacity[i];
    double soilE = emax * demand;
    if (f >= f18) {
      double theta = ((fmax - f) / k - logTerm) / smax;
      if (!(theta >= 0)) theta = 0.0;
      const double r = theta / s18;
      if (!(r >= 0.98)) {
        const double y = -(1 - 1 / (1 - r)) * ce;
        soilE = emax * demand * (1 - 2 / (std::exp(y) + 1));
      }
    }
    // Infiltration.
    double w = rain - soilE, excess = 0.0, next;
    const auto nextCapacity = [&](double w) {
      const bool wet = !(f >= f18);
      if (wet) w -= fc;
      if (!(w >= 0)) {
        const double c = after(w, f);
        return c > fmax ? fmax : c;
      }
      if (wet) w += fc;
      const double g = (f - fc) * c1 / k;
      if (!(fc + g > w)) return f > f18 ? e1 * f + c1 * fc : after(g, f);
      if (!(f > f18)) w -= fc;
      return after(w, f);
    };
    if (w > 0) {
      next = nextCapacity(w);
      excess = w - (fc + (f - fc) * c1 / k);
      if (!(excess >= 0)) excess = 0.0;
    } else {
      next = f > fmax ? fmax : nextCapacity(w);
    }
    capacity[i + 1] = next;
    h0 += excess;
    double q = h0 > hst ? (h0 - hst) * cst + csb * h0 : csb * h0;
    if (!(q >= 0)) q = 0.0;
    h0 -= q;
    if (!(h0 >= 0)) q += h0, h0 = 0.0;
    // Tanks.
    double inflow = 0.0;
    for (int j = 1; j <= n; ++j) {
      double& h = depths[j];
      h += inflow;
      double side = p.CoeffTank[j] * h;
      if (j == n) {
        h -= side;
      } else {
        const double b = p.BotomTank[j], loss = side + b;
        h -= loss;
        if (h >= 0) {
          inflow = b;
        } else {
          const double held = h + loss;
          side = side * held / loss, inflow = b * held / loss, h = 0.0;
        }
      }
      q += side;
    }
    calcQ[i] = pervious * q + qi * imp;
    actualE[i] = (soilE + tankE) * pervious + impE;
  }
}

// Both passes over the whole record, as Simulate runs them.
inline void BareSimulate(const ParameterSet& p, std::span<const double> rain,
                         std::span<const double> potentialE,
                         std::vector<double>& depths, double* calcQ,
                         double* actualE, double* capacity) {
  const int hours = static_cast<int>(rain.size());
  depths = p.TankWaterDepth;
  double impDepth = p.ImperviousTankWD;
  BarePass(p, rain.data(), potentialE.data(), hours / 6, depths.data(),
           impDepth, calcQ, actualE, capacity);
  BarePass(p, rain.data(), potentialE.data(), hours, depths.data(), impDepth,
           calcQ, actualE, capacity);
}

}  // namespace velm::bench
