#include "input/run_settings.h"

#include <string>

#include "common/input_error.h"
#include "common/number_parse.h"
#include "input/file_info.h"

namespace velm {
namespace {

// Line numbers of the control file.
constexpr std::size_t kCatchmentAreaLine = 3;
constexpr std::size_t kRunModeLine = 5;
constexpr std::size_t kObservedFlagLine = 7;
constexpr std::size_t kOutputFlagLine = 9;
constexpr std::size_t kSurfaceStorageFlagLine = 11;
constexpr std::size_t kObjectiveTypeLine = 13;
constexpr std::size_t kFcountLimitLine = 15;
constexpr std::size_t kBalanceErrorLimitLine = 17;
constexpr std::size_t kVariableCountLine = 19;
constexpr std::size_t kTankIndexCountLine = 44;
// Tank i's group is a label line, then its CoeffTank and BotomTank indices.
constexpr std::size_t FirstTankLine(int tank) {
  return 45 + 3 * static_cast<std::size_t>(tank - 1);
}

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
  s.OptIndex_Impervious = index(22);
  s.OptIndex_MAX_Infiltration = index(24);
  s.OptIndex_Final_Infiltration = index(26);
  s.OptIndex_Coeff_Reduction = index(28);
  s.OptIndex_F18_Infiltration = index(30);
  s.OptIndex_MAX_EvapoRatio = index(32);
  s.OptIndex_Coeff_EvapoModel = index(34);
  s.OptIndex_CoeffSurfaceTopTank = index(36);
  s.OptIndex_HighSurfaceTopTank = index(38);
  s.OptIndex_CoeffSurfaceBotomTank = index(40);
  s.OptIndex_HighSurfaceBotomTank = index(42);

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

int RunSettings::CoeffTankIndex(int tank) const {
  return IndexAt(OptIndex_CoeffTank, tank);
}

int RunSettings::BotomTankIndex(int tank) const {
  return IndexAt(OptIndex_BotomTank, tank);
}

}  // namespace velm
