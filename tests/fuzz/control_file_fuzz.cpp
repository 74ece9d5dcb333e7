// The control file as it comes: every index a gene number, both tank lists
// alike and no longer than their count.

#include <algorithm>

#include "fuzz/reader_calls.h"

using namespace velm::fuzz;

namespace {

void CheckIndex(int index, int variableCount) {
  Check(index == 0 || (index >= 1 && index <= variableCount),
        "index within 0 to VariableCount");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view text = AsText(data, size);
  PrepareWorkingDirectory();
  WriteFile("control.dat", text);
  // Line 44 counts the tank groups that follow.
  const auto lines = SplitLines(std::string(text), true);
  const int tankIndexCount = lines.size() >= 44 ? ParseInt(lines[43]) : 0;
  try {
    const velm::RunSettings s = ReadRunSettings();
    Check(s.VariableCount <= velm::RunSettings::kMaxVariableCount,
          "at most 14 variables");
    for (const int index :
         {s.OptIndex_Impervious, s.OptIndex_MAX_Infiltration,
          s.OptIndex_Final_Infiltration, s.OptIndex_Coeff_Reduction,
          s.OptIndex_F18_Infiltration, s.OptIndex_MAX_EvapoRatio,
          s.OptIndex_Coeff_EvapoModel, s.OptIndex_CoeffSurfaceTopTank,
          s.OptIndex_HighSurfaceTopTank, s.OptIndex_CoeffSurfaceBotomTank,
          s.OptIndex_HighSurfaceBotomTank}) {
      CheckIndex(index, s.VariableCount);
    }
    const std::size_t tanks = s.OptIndex_CoeffTank->size();
    Check(s.OptIndex_BotomTank->size() == tanks, "tank lists alike");
    Check(static_cast<int>(tanks) <= std::max(tankIndexCount, 0),
          "tank lists no longer than their count");
    for (int tank = 0; tank <= static_cast<int>(tanks) + 1; ++tank) {
      CheckIndex(s.CoeffTankIndex(tank), s.VariableCount);
      CheckIndex(s.BotomTankIndex(tank), s.VariableCount);
    }
  } catch (const velm::InputError&) {
  }
  return 0;
}
