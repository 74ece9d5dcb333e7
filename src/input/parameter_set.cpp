#include "input/parameter_set.h"

#include <cmath>
#include <string_view>

#include "common/input_error.h"
#include "common/number_parse.h"
#include "common/text_lines.h"
#include "common/text_writer.h"
#include "input/file_info.h"

namespace velm {
namespace {

constexpr std::size_t kImperviousLine = 3;
constexpr std::size_t kTankCountLine = 25;
// The lines whose values decide F18_Infiltration and MAX_Infiltration.
constexpr std::string_view kInfiltrationLines = "5-11";
// Tank i's group is a label line, then its CoeffTank and BotomTank.
constexpr std::size_t FirstTankLine(int tank) {
  return 26 + 3 * static_cast<std::size_t>(tank - 1);
}

constexpr double kSearchTolerance = 0.01;

// g(x) = k·MAX_SoilMoisture − (x − fc·ln((F18 − fc)/x)); it falls as x grows.
struct RootFunction {
  double kTimesMaxSoilMoisture;
  double fc;
  double f18;
  double operator()(double x) const {
    return kTimesMaxSoilMoisture - (x - fc * std::log((f18 - fc) / x));
  }
};

int BinadeOf(double x) {
  int exponent = 0;
  std::frexp(x, &exponent);
  return exponent;
}

// The search's first level: x walks up from F18 in whole steps of F18 while g
// stays above the tolerance, and stops at the first x where it does not. One
// step at a time that can take billions of steps for a small F18, so runs of
// steps are skipped: within one binade a step from an even multiple of the
// binade's ulp always adds the same amount, so the positions are known exactly
// and the first one where g has fallen to the tolerance is found by bisection.
// The first step inside a binade may start from an odd multiple (the sum that
// crossed into it) and, when F18's bits below the ulp are exactly one half,
// round to even differently; its result is an even multiple. So the step size
// is taken only from a second consecutive step within the binade. The x found
// is bit for bit the one the step-by-step walk reaches.
bool WalkFirstLevel(const RootFunction& g, double f18, double& x, double& gx) {
  int stepsInBinade = 0;  // consecutive steps that started and ended in it
  for (;;) {
    const double before = x;
    x = before + f18;
    if (x == before) return false;
    gx = g(x);
    if (std::isnan(gx)) return false;
    if (gx <= kSearchTolerance) return true;
    if (BinadeOf(before) != BinadeOf(x)) {
      stepsInBinade = 0;
      continue;
    }
    if (++stepsInBinade < 2) continue;
    const double step = x - before;
    const int exponent = BinadeOf(x);
    const double top = std::ldexp(1.0, exponent);
    const double ulp = std::ldexp(1.0, exponent - 53);
    // Positions x + j·step whose own sums stay two ulps below the top, with
    // a margin of two steps for the rounding of this bound itself.
    const double room = std::floor((top - 2 * ulp - f18 - x) / step) - 1;
    if (room < 1) continue;
    double low = 0;  // g(x + low·step) is above the tolerance
    double high = room;
    if (g(x + high * step) > kSearchTolerance) {
      x = x + high * step;
      continue;
    }
    while (high - low > 1) {  // g(x + high·step) is at or below it
      const double middle = std::floor((low + high) / 2);
      if (g(x + middle * step) > kSearchTolerance) {
        low = middle;
      } else {
        high = middle;
      }
    }
    x = x + high * step;
    gx = g(x);
    return true;
  }
}

TextLines ReadParameterFile() {
  FileInfo files;
  files.Read();
  auto lines =
      TextLines::Read(files.Name(FileEntry::kParameter), LastLine::kKept);
  if (!lines) ThrowCannotOpen(kParameterKey);
  return std::move(*lines);
}

}  // namespace

double ComputeF18Infiltration(double finalInfiltration, double coeffReduction,
                              double maxSoilMoisture, double f18SoilMoisture) {
  const double fc = finalInfiltration;
  const double k = coeffReduction;
  const double d = maxSoilMoisture - f18SoilMoisture;
  const double f0 = 1.1 * fc;
  double t = 1.0;
  for (int round = 0; round < 10; ++round) {
    const double e = std::exp(-t * k);
    t = t * d / (t * fc - ((1 - e * fc) - f0) / k);
  }
  return fc + (f0 - fc) * std::exp(t * k);
}

std::optional<double> SearchMaxInfiltration(double finalInfiltration,
                                            double coeffReduction,
                                            double maxSoilMoisture,
                                            double f18Infiltration) {
  const double fc = finalInfiltration;
  const double f18 = f18Infiltration;
  const RootFunction g{coeffReduction * maxSoilMoisture, fc, f18};
  // The walk goes up from F18 and g only falls on the way: it cannot find a
  // root that lies below F18 or start from a non-positive F18.
  if (!(f18 > 0) || std::isinf(f18)) return std::nullopt;
  const double gAtF18 = g(f18);
  if (std::isnan(gAtF18) || gAtF18 < -kSearchTolerance) return std::nullopt;

  double x = f18;
  double gx = 0.0;
  if (!WalkFirstLevel(g, f18, x, gx)) return std::nullopt;
  double s = 1.0;
  while (!(std::fabs(gx) <= kSearchTolerance)) {
    if (gx <= 0) {  // passed the root: undo the step and refine it tenfold
      x = x - s * f18;
      s = s * 0.1;
    }
    const double next = x + s * f18;
    if (next == x) return std::nullopt;
    x = next;
    gx = g(x);
    if (std::isnan(gx)) return std::nullopt;
  }
  return x + fc;
}

void ParameterSet::Read(int echo) {
  const TextLines lines = ReadParameterFile();
  const auto real = [&](std::size_t n) {
    return ParseReal(lines.LineOrEmpty(n));
  };
  Impervious = real(kImperviousLine);
  MAX_SoilMoisture = real(5);
  Final_Infiltration = real(7);
  Coeff_Reduction = real(9);
  F18_SoilMoisture = real(11);
  MAX_EvapoRatio = real(13);
  Coeff_EvapoModel = real(15);
  F18_SoilMoisture = MAX_SoilMoisture * F18_SoilMoisture;
  F18_Infiltration = ComputeF18Infiltration(Final_Infiltration, Coeff_Reduction,
                                            MAX_SoilMoisture, F18_SoilMoisture);
  const auto maxInfiltration = SearchMaxInfiltration(
      Final_Infiltration, Coeff_Reduction, MAX_SoilMoisture, F18_Infiltration);
  if (!maxInfiltration) {
    ThrowBadLines(kParameterKey, kInfiltrationLines, text::kNoMaxInfiltration);
  }
  MAX_Infiltration = *maxInfiltration;

  CoeffSurfaceTopTank = real(17);
  HighSurfaceTopTank = real(19);
  CoeffSurfaceBotomTank = real(21);
  HighSurfaceBotomTank = real(23);
  TankCount = ParseInt(lines.LineOrEmpty(kTankCountLine));
  if (TankCount < 0 || TankCount > kMaxTankCount) {
    ThrowBadLine(kParameterKey, kTankCountLine, text::kTankCountOutOfRange);
  }
  const auto tankSlots = static_cast<std::size_t>(TankCount) + 1;
  CoeffTank.assign(tankSlots, 0.0);
  BotomTank.assign(tankSlots, 0.0);
  TankWaterDepth.assign(tankSlots, 0.0);

  for (int i = 1; i <= TankCount; ++i) {
    CoeffTank[i] = real(FirstTankLine(i) + 1);
    BotomTank[i] = real(FirstTankLine(i) + 2);
  }
  if (echo == 1) Echo();

  // The last two tanks start full enough that their first side outflows add
  // 0.1 and 0.05 per step to the runoff. With a single tank only the last of
  // these applies; entry 0, the surface tank, always starts empty.
  const int n = TankCount;
  if (n >= 1 && Impervious == 1.0) {
    ThrowBadLine(kParameterKey, kImperviousLine, text::kImperviousIsOne);
  }
  if (n >= 2) TankWaterDepth[n - 1] = 0.1 / CoeffTank[n - 1] / (1 - Impervious);
  if (n >= 1) TankWaterDepth[n] = 0.05 / CoeffTank[n] / (1 - Impervious);
  ImperviousTankWD = 0.0;
}

void ParameterSet::Echo() const {
  TextWriter console = Console();
  console << " MAX_SoilMoisture  =" << MAX_SoilMoisture
          << " MAX_EvapoRatio    =" << MAX_EvapoRatio << kEndLine;
  console << " Coeff_Reduction   =" << Coeff_Reduction
          << " F18_SoilMoisture  =" << F18_SoilMoisture << kEndLine;
  console << " Final_Infiltration=" << Final_Infiltration
          << " Coeff_EvapoModel  =" << Coeff_EvapoModel << kEndLine;
  console << " F18_Infiltration  =" << F18_Infiltration
          << " MAX_Infiltration  =" << MAX_Infiltration << kEndLine;
  console << kEndLine;
  for (int i = 1; i <= TankCount; ++i) {
    console << i << " CoeffTank=" << CoeffTank[i]
            << " BotomTank=" << BotomTank[i] << kEndLine;
  }
}

}  // namespace velm
