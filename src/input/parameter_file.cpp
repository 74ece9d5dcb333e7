#include "input/parameter_file.h"

#include "common/input_error.h"
#include "common/number_parse.h"
#include "input/file_info.h"

namespace velm {
namespace {

constexpr std::size_t kTankCountLine = 25;
// Tank i's group is a label line, then its CoeffTank and BotomTank.
constexpr std::size_t FirstTankLine(int tank) {
  return 26 + 3 * static_cast<std::size_t>(tank - 1);
}

void ThrowIf(DerivationProblem problem) {
  if (problem == DerivationProblem::kNone) return;
  const ProblemLines where = LinesOf(problem);
  ThrowBadLines(kParameterKey, where.Lines, where.Problem);
}

}  // namespace

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
  p.Impervious = real(3);
  p.MAX_SoilMoisture = real(5);
  p.Final_Infiltration = real(7);
  p.Coeff_Reduction = real(9);
  p.F18_SoilMoisture = p.MAX_SoilMoisture * real(11);
  p.MAX_EvapoRatio = real(13);
  p.Coeff_EvapoModel = real(15);
  return p;
}

ParameterSet ParseParameterFile(const TextLines& lines) {
  const auto real = [&](std::size_t n) {
    return ParseReal(lines.LineOrEmpty(n));
  };
  ParameterSet p = ParseMainParameters(lines);
  ThrowIf(DeriveInfiltration(p));

  p.CoeffSurfaceTopTank = real(17);
  p.HighSurfaceTopTank = real(19);
  p.CoeffSurfaceBotomTank = real(21);
  p.HighSurfaceBotomTank = real(23);
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
