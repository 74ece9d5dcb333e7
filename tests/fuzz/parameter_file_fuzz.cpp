// The parameter file as it comes: a tank count in range with every tank
// array sized by it, and a MAX_Infiltration found in bounded time.

#include <cmath>

#include "fuzz/reader_calls.h"

using namespace velm::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  PrepareWorkingDirectory();
  WriteFile("param.dat", AsText(data, size));
  try {
    const velm::ParameterSet p = ReadParameterSet();
    Check(p.TankCount >= 0 && p.TankCount <= velm::ParameterSet::kMaxTankCount,
          "tank count in range");
    const auto slots = static_cast<std::size_t>(p.TankCount) + 1;
    Check(p.CoeffTank.size() == slots && p.BotomTank.size() == slots &&
              p.TankWaterDepth.size() == slots,
          "one slot per tank and the surface tank");
    Check(!std::isnan(p.MAX_Infiltration), "MAX_Infiltration found");
  } catch (const velm::InputError&) {
  }
  return 0;
}
