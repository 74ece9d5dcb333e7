#pragma once

// Potential evaporation for a catchment that has temperature but none: the
// daily values an evaporation file holds, from the daily mean air temperature
// and the latitude by Oudin's formula, with the extraterrestrial radiation
// computed as FAO-56 computes it. It prepares an input and lives with the
// other inputs; the model never calls it.

#include <vector>

#include "input/series.h"

namespace velm {

// FAO-56's steps from latitude and day of year to extraterrestrial radiation.
struct SolarGeometry {
  double InverseRelativeDistance = 0.0;  // dr
  double Declination = 0.0;              // δ, rad
  double SunsetHourAngle = 0.0;          // ωs, rad
  double Radiation = 0.0;                // Ra, MJ m-2 day-1
};

// Latitude in degrees, south negative; day of year from 1. Beyond the polar
// circles the sun that does not set (or rise) gives ωs of π (or 0).
SolarGeometry SolarGeometryOf(double latitudeDegrees, int dayOfYear);

// Oudin's potential evaporation in mm/day from extraterrestrial radiation
// (MJ m-2 day-1) and daily mean air temperature (°C): Ra/(λρ)·(T+5)/100,
// 0 where T + 5 is not above 0.
double OudinPotentialEvaporation(double radiation, double meanTemperature);

// The daily potential evaporation of each day of `dates` from its mean
// temperature; std::invalid_argument for a temperature that is not a finite
// number, naming its date, or series of different lengths.
std::vector<double> OudinSeries(const std::vector<double>& meanTemperature,
                                const Calendar& dates,
                                double latitudeDegrees);

}  // namespace velm
