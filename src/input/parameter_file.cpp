#include "input/parameter_file.h"

#include <array>

#include "common/input_error.h"
#include "common/number_parse.h"
#include "input/file_info.h"
#include "input/run_settings.h"

namespace velm {
namespace {

constexpr std::size_t kTankCountLine = 25;
// Tank i's group is a label line, then its CoeffTank and BotomTank.
constexpr std::size_t FirstTankLine(int tank) {
  return 26 + 3 * static_cast<std::size_t>(tank - 1);
}

// The values before the tanks, each on its line; F18_SoilMoisture is read
// as a fraction of MAX_SoilMoisture.
struct ValueLine {
  std::string_view Name;
  double ParameterSet::*Member;
  std::size_t Line;
};
constexpr std::array<ValueLine, 7> kMainLines{{
    {"Impervious", &ParameterSet::Impervious, 3},
    {"MAX_SoilMoisture", &ParameterSet::MAX_SoilMoisture, 5},
    {"Final_Infiltration", &ParameterSet::Final_Infiltration, 7},
    {"Coeff_Reduction", &ParameterSet::Coeff_Reduction, 9},
    {"F18_SoilMoisture", &ParameterSet::F18_SoilMoisture, 11},
    {"MAX_EvapoRatio", &ParameterSet::MAX_EvapoRatio, 13},
    {"Coeff_EvapoModel", &ParameterSet::Coeff_EvapoModel, 15},
}};
constexpr std::array<ValueLine, 4> kSurfaceLines{{
    {"CoeffSurfaceTopTank", &ParameterSet::CoeffSurfaceTopTank, 17},
    {"HighSurfaceTopTank", &ParameterSet::HighSurfaceTopTank, 19},
    {"CoeffSurfaceBotomTank", &ParameterSet::CoeffSurfaceBotomTank, 21},
    {"HighSurfaceBotomTank", &ParameterSet::HighSurfaceBotomTank, 23},
}};

void ThrowIf(DerivationProblem problem) {
  if (problem == DerivationProblem::kNone) return;
  const ProblemLines where = LinesOf(problem);
  ThrowBadLines(kParameterKey, where.Lines, where.Problem);
}

}  // namespace

std::size_t ParameterLineOf(std::string_view name) {
  for (const ValueLine& v : kMainLines) {
    if (v.Name == name) return v.Line;
  }
  for (const ValueLine& v : kSurfaceLines) {
    if (v.Name == name) return v.Line;
  }
  const TankEntry entry = TankEntryOf(name);
  return entry.Tank > 0 ? FirstTankLine(entry.Tank) + entry.Offset : 0;
}

ProblemLines LinesOf(DerivationProblem problem) {
  // The soil values of lines 5 to 11 decide F18_Infiltration and
  // MAX_Infiltration; Impervious is on line 3.
  if (problem == DerivationProblem::kImperviousIsOne) {
    return {"3", text::kImperviousIsOne};
  }
  return {"5-11", text::kNoMaxInfiltration};
}

ParameterSet ParseMainParameters(const TextLines& lines) {
  const auto real = [&](std::size_t n) {
    return ParseReal(lines.LineOrEmpty(n));
  };
  ParameterSet p;
  for (const ValueLine& v : kMainLines) p.*v.Member = real(v.Line);
  p.F18_SoilMoisture = p.MAX_SoilMoisture * p.F18_SoilMoisture;
  return p;
}

ParameterSet ParseParameterFile(const TextLines& lines) {
  const auto real = [&](std::size_t n) {
    return ParseReal(lines.LineOrEmpty(n));
  };
  ParameterSet p = ParseMainParameters(lines);
  ThrowIf(DeriveInfiltration(p));

  for (const ValueLine& v : kSurfaceLines) p.*v.Member = real(v.Line);
  p.TankCount = ParseInt(lines.LineOrEmpty(kTankCountLine));
  if (p.TankCount < 0 || p.TankCount > ParameterSet::kMaxTankCount) {
    ThrowBadLine(kParameterKey, kTankCountLine, text::kTankCountOutOfRange);
  }
  const auto tankSlots = static_cast<std::size_t>(p.TankCount) + 1;
  p.CoeffTank.assign(tankSlots, 0.0);
  p.BotomTank.assign(tankSlots, 0.0);
  for (int i = 1; i <= p.TankCount; ++i) {
    p.CoeffTank[i] = real(FirstTankLine(i) + 1);
    p.BotomTank[i] = real(FirstTankLine(i) + 2);
  }
  ThrowIf(SetInitialTankDepths(p));
  return p;
}

}  // namespace velm
