#include "input/run_settings.h"

#include <array>
#include <string>
#include <string_view>

#include "common/input_error.h"
#include "common/number_parse.h"
#include "input/file_info.h"

namespace velm {
namespace {

// Tank i's group is a label line, then its CoeffTank and BotomTank indices.
constexpr std::size_t FirstTankLine(int tank) {
  return 45 + 3 * static_cast<std::size_t>(tank - 1);
}

// The optimization index lines of the scalar parameters, in the order of the
// file (which decides the line a refusal names first).
struct ScalarIndex {
  std::string_view Name;
  std::size_t Line;
  int RunSettings::*Member;
};
constexpr std::array<ScalarIndex, 11> kScalarIndices{{
    {"Impervious", 22, &RunSettings::OptIndex_Impervious},
    {"MAX_Infiltration", 24, &RunSettings::OptIndex_MAX_Infiltration},
    {"Final_Infiltration", 26, &RunSettings::OptIndex_Final_Infiltration},
    {"Coeff_Reduction", 28, &RunSettings::OptIndex_Coeff_Reduction},
    {"F18_Infiltration", 30, &RunSettings::OptIndex_F18_Infiltration},
    {"MAX_EvapoRatio", 32, &RunSettings::OptIndex_MAX_EvapoRatio},
    {"Coeff_EvapoModel", 34, &RunSettings::OptIndex_Coeff_EvapoModel},
    {"CoeffSurfaceTopTank", 36, &RunSettings::OptIndex_CoeffSurfaceTopTank},
    {"HighSurfaceTopTank", 38, &RunSettings::OptIndex_HighSurfaceTopTank},
    {"CoeffSurfaceBotomTank", 40, &RunSettings::OptIndex_CoeffSurfaceBotomTank},
    {"HighSurfaceBotomTank", 42, &RunSettings::OptIndex_HighSurfaceBotomTank},
}};

int IndexAt(const std::vector<int>& list, int tank) {
  if (tank < 1 || static_cast<std::size_t>(tank) > list.size()) return 0;
  return list[static_cast<std::size_t>(tank) - 1];
}

// An index is a gene number: 0, or 1 to VariableCount.
int ReadIndex(const TextLines& lines, std::size_t lineNumber,
              int variableCount) {
  const int index = ParseInt(lines.LineOrEmpty(lineNumber));
  if (index != 0 && (index < 1 || index > variableCount)) {
    ThrowBadLine(kControlKey, lineNumber, text::kIndexOutOfRange);
  }
  return index;
}

}  // namespace

TankEntry TankEntryOf(std::string_view name) {
  const auto number = [&](std::string_view prefix) {
    if (!name.starts_with(prefix) || !name.ends_with("]")) return 0;
    const std::string_view digits =
        name.substr(prefix.size(), name.size() - prefix.size() - 1);
    return digits.empty() ? 0 : ParseInt(digits);
  };
  if (const int tank = number("CoeffTank["); tank > 0) return {tank, 1};
  if (const int tank = number("BotomTank["); tank > 0) return {tank, 2};
  return {};
}

RunSettings RunSettings::Parse(const TextLines& lines) {
  RunSettings s;
  const auto integer = [&](std::size_t n) {
    return ParseInt(lines.LineOrEmpty(n));
  };
  const auto real = [&](std::size_t n) {
    return ParseReal(lines.LineOrEmpty(n));
  };

  s.CatchmentArea = real(kCatchmentAreaLine);
  s.RunMode = integer(kRunModeLine);
  s.ObservedFlag = integer(kObservedFlagLine);
  s.OutputFlag = integer(kOutputFlagLine);
  s.SurfaceStorageFlag = integer(kSurfaceStorageFlagLine);
  s.ObjectiveType = integer(kObjectiveTypeLine);
  s.FcountLimit = integer(kFcountLimitLine);
  s.BalanceErrorLimit = real(kBalanceErrorLimitLine);
  s.VariableCount = integer(kVariableCountLine);
  if (s.VariableCount > kMaxVariableCount) {
    ThrowBadLine(kControlKey, kVariableCountLine, text::kTooManyVariables);
  }

  const auto index = [&](std::size_t n) {
    return ReadIndex(lines, n, s.VariableCount);
  };
  for (const ScalarIndex& scalar : kScalarIndices) {
    s.*scalar.Member = index(scalar.Line);
  }

  // Tank groups past the end of the file would read as 0, which is what
  // CoeffTankIndex gives for a tank the list does not hold; so the lists stop
  // where the file does and an absurd count cannot exhaust memory.
  const int tankIndexCount = integer(kTankIndexCountLine);
  for (int tank = 1; tank <= tankIndexCount; ++tank) {
    const std::size_t groupLine = FirstTankLine(tank);
    if (groupLine > lines.Count()) break;
    s.OptIndex_CoeffTank.push_back(index(groupLine + 1));
    s.OptIndex_BotomTank.push_back(index(groupLine + 2));
  }
  return s;
}

std::size_t RunSettings::IndexLineOf(std::string_view name) {
  for (const ScalarIndex& scalar : kScalarIndices) {
    if (scalar.Name == name) return scalar.Line;
  }
  const TankEntry entry = TankEntryOf(name);
  return entry.Tank > 0 ? FirstTankLine(entry.Tank) + entry.Offset : 0;
}

int RunSettings::CoeffTankIndex(int tank) const {
  return IndexAt(OptIndex_CoeffTank, tank);
}

int RunSettings::BotomTankIndex(int tank) const {
  return IndexAt(OptIndex_BotomTank, tank);
}

}  // namespace velm
