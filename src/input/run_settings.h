#pragma once

// The control file: the settings of a run, read strictly by line number.

#include <cstddef>
#include <string_view>
#include <vector>

#include "common/text_lines.h"

namespace velm {

// Line numbers of the control file, which messages name.
inline constexpr std::size_t kCatchmentAreaLine = 3;
inline constexpr std::size_t kRunModeLine = 5;
inline constexpr std::size_t kObservedFlagLine = 7;
inline constexpr std::size_t kOutputFlagLine = 9;
inline constexpr std::size_t kSurfaceStorageFlagLine = 11;
inline constexpr std::size_t kObjectiveTypeLine = 13;
inline constexpr std::size_t kFcountLimitLine = 15;
inline constexpr std::size_t kBalanceErrorLimitLine = 17;
inline constexpr std::size_t kVariableCountLine = 19;
inline constexpr std::size_t kTankIndexCountLine = 44;

class RunSettings {
 public:
  // The optimizer's individuals hold genes X[1] to X[14].
  static constexpr int kMaxVariableCount = 14;

  // Lines between the values are labels for the reader of the file; lines the
  // file does not have read as 0. VariableCount above 14 and an index outside
  // 0..VariableCount are refused.
  static RunSettings Parse(const TextLines& lines);

  // The optimization index of tank i's CoeffTank or BotomTank (i from 1); a
  // tank that the control file gives no index line reads as 0, not calibrated.
  int CoeffTankIndex(int tank) const;
  int BotomTankIndex(int tank) const;

  // The line that holds the optimization index of a parameter named as the
  // gene map names it ("Impervious", "CoeffTank[2]"); 0 for a parameter
  // that has none.
  static std::size_t IndexLineOf(std::string_view name);

  int OptIndex_Impervious = 0;
  int OptIndex_MAX_Infiltration = 0;
  int OptIndex_Final_Infiltration = 0;
  int OptIndex_Coeff_Reduction = 0;
  int OptIndex_MAX_EvapoRatio = 0;
  int OptIndex_Coeff_EvapoModel = 0;
  int OptIndex_CoeffSurfaceTopTank = 0;
  int OptIndex_HighSurfaceTopTank = 0;
  int OptIndex_CoeffSurfaceBotomTank = 0;
  int OptIndex_HighSurfaceBotomTank = 0;
  // Entry i - 1 holds tank i's index.
  std::vector<int> OptIndex_CoeffTank;
  std::vector<int> OptIndex_BotomTank;
  int OptIndex_F18_Infiltration = 0;
  int VariableCount = 0;
  double BalanceErrorLimit = 0.0;
  int FcountLimit = 0;
  int ObjectiveType = 0;
  int SurfaceStorageFlag = 0;
  int OutputFlag = 0;
  int ObservedFlag = 0;
  int RunMode = 0;
  double CatchmentArea = 0.0;
};

// Where a tank's value lies in its group of lines (a label line, then
// CoeffTank and BotomTank), in the control and the parameter file alike:
// "BotomTank[3]" is tank 3, line 2 of the group; tank 0 for another name.
struct TankEntry {
  int Tank = 0;
  std::size_t Offset = 0;
};
TankEntry TankEntryOf(std::string_view name);

}  // namespace velm
