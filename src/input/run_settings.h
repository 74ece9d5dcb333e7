#pragma once

// The control file: the settings of a run, read strictly by line number.
// Every component that needs settings holds its own copy of the run's.

#include <memory>
#include <vector>

#include "input/file_info.h"

namespace velm {

class RunSettings {
 public:
  // The optimizer's individuals hold genes X[1] to X[14].
  static constexpr int kMaxVariableCount = 14;

  // Reads FILEINFO.dat into Files, then the control file it names.
  void Read();

  // The optimization index of tank i's CoeffTank or BotomTank (i from 1); a
  // tank that the control file gives no index line reads as 0, not calibrated.
  int CoeffTankIndex(int tank) const;
  int BotomTankIndex(int tank) const;

  FileInfo Files;
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
  // Entry i - 1 holds tank i's index. A copy of the record shares these two
  // lists with its source rather than duplicating them.
  std::shared_ptr<std::vector<int>> OptIndex_CoeffTank =
      std::make_shared<std::vector<int>>();
  std::shared_ptr<std::vector<int>> OptIndex_BotomTank =
      std::make_shared<std::vector<int>>();
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

}  // namespace velm
