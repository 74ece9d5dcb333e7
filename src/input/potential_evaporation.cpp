#include "input/potential_evaporation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

#include "common/number_format.h"

namespace velm {
namespace {

constexpr double kSolarConstant = 0.0820;  // MJ m-2 min-1
constexpr double kMinutesPerDay = 24 * 60;
// λ in MJ/kg times ρ of water in kg/m3, with 1000 mm to the metre: Ra/(λρ)
// in m/day becomes mm/day.
constexpr double kLatentHeat = 2.45;
constexpr double kWaterDensity = 1000;
constexpr double kMillimetresPerMetre = 1000;

int DayOfYear(int year, int month, int day) {
  using namespace std::chrono;
  const year_month_day date{std::chrono::year(year),
                            std::chrono::month(static_cast<unsigned>(month)),
                            std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok()) {
    throw std::invalid_argument(DateText({year, month, day}) +
                                " is not a date");
  }
  const sys_days newYear{std::chrono::year(year) / January / 1};
  return static_cast<int>((sys_days(date) - newYear).count()) + 1;
}

}  // namespace

SolarGeometry SolarGeometryOf(double latitudeDegrees, int dayOfYear) {
  const double phi = std::numbers::pi / 180 * latitudeDegrees;
  const double yearAngle = 2 * std::numbers::pi / 365 * dayOfYear;
  SolarGeometry g;
  g.InverseRelativeDistance = 1 + 0.033 * std::cos(yearAngle);
  g.Declination = 0.409 * std::sin(yearAngle - 1.39);
  // Past the polar circles the product leaves [-1, 1]: no sunset, or no
  // sunrise.
  const double x =
      std::clamp(-std::tan(phi) * std::tan(g.Declination), -1.0, 1.0);
  g.SunsetHourAngle = std::acos(x);
  const double w = g.SunsetHourAngle;
  g.Radiation = kMinutesPerDay / std::numbers::pi * kSolarConstant *
                g.InverseRelativeDistance *
                (w * std::sin(phi) * std::sin(g.Declination) +
                 std::cos(phi) * std::cos(g.Declination) * std::sin(w));
  return g;
}

double OudinPotentialEvaporation(double radiation, double meanTemperature) {
  if (!(meanTemperature + 5 > 0)) return 0.0;
  return radiation / (kLatentHeat * kWaterDensity) * kMillimetresPerMetre *
         (meanTemperature + 5) / 100;
}

std::vector<double> OudinSeries(const std::vector<double>& meanTemperature,
                                const Calendar& dates,
                                double latitudeDegrees) {
  if (meanTemperature.size() != dates.Year.size()) {
    throw std::invalid_argument(
        "the mean temperature must hold a value per day (" +
        std::to_string(dates.Year.size()) + "), not " +
        std::to_string(meanTemperature.size()));
  }
  if (!(latitudeDegrees >= -90 && latitudeDegrees <= 90)) {
    throw std::invalid_argument("the latitude must be from -90 to 90 degrees, not " +
                                FormatShortest(latitudeDegrees));
  }
  std::vector<double> pe(meanTemperature.size());
  for (std::size_t d = 0; d < pe.size(); ++d) {
    const int y = dates.Year[d], m = dates.Month[d], day = dates.Day[d];
    if (!std::isfinite(meanTemperature[d])) {
      throw std::invalid_argument(
          "the mean temperature must be a finite number, not " +
          FormatShortest(meanTemperature[d]) + " on " +
          DateText(DateOfDay(dates, d)));
    }
    const double ra = SolarGeometryOf(latitudeDegrees, DayOfYear(y, m, day)).Radiation;
    pe[d] = OudinPotentialEvaporation(ra, meanTemperature[d]);
  }
  return pe;
}

}  // namespace velm
