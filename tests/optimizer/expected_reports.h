#pragma once

// Result-file and console text of the default case of tests/support (three
// tanks, every optimization index 0), written out from the rules. F18 is
// 0.5 × 200; F18_Infiltration and MAX_Infiltration come from the reader's
// iteration and step search (5.587013, 12.352509); the last two tanks start
// at 0.1 / 0.1 / 0.8 and 0.05 / 0.05 / 0.8.

#include <string>
#include <string_view>

#include "support/case_dir.h"

namespace velm::testing {

// Lines joined with CR LF after each, converted to code page 932.
inline std::string FileLines(std::initializer_list<std::string_view> lines) {
  std::string out;
  for (const std::string_view line : lines) out += ToCp932(line) + "\r\n";
  return out;
}

inline const std::string kAsterisks =
    FileLines({" *************************************************** "});

// The parameter block of a report on the default parameter file, with the
// given tank lines.
inline std::string ParameterBlock(
    std::initializer_list<std::string_view> tankLines) {
  std::string block =
      FileLines({" MAX_SoilMoisture  =200", " MAX_EvapoRatio    =0.8",
                 " Coeff_Reduction   =0.1", " F18_SoilMoisture  =100",
                 " Final_Infiltration=5", " Coeff_EvapoModel  =10",
                 " F18_Infiltration  =5.58701", " MAX_Infiltration  =12.3525",
                 "", " Impervious            =0.2", " ImperviousTankWD      =0",
                 " CoeffSurfaceTopTank   =0.5", " CoeffSurfaceBotomTank =0.3",
                 " HighSurfaceTopTank    =10", " HighSurfaceBotomTank  =0",
                 " TankWaterDepth[0]     =0", ""});
  return block + FileLines(tankLines);
}

inline std::string DefaultParameterBlock() {
  return ParameterBlock({"1 CoeffTank=0.2 BotomTank=0.5 TankWaterDepth=0",
                         "2 CoeffTank=0.1 BotomTank=0.2 TankWaterDepth=1.25",
                         "3 CoeffTank=0.05 BotomTank=0 TankWaterDepth=1.25"});
}

// Both reports; with every index 0 the optimized one repeats the values.
inline std::string DefaultParameterReports() {
  return FileLines({" ************* Initial Parameter ************* "}) +
         DefaultParameterBlock() +
         FileLines({" ************* Optimaization Parameter ************* "}) +
         DefaultParameterBlock() + kAsterisks;
}

// Right-aligned in `width` columns, as printf's %Nd writes it.
inline std::string Padded(int value, std::size_t width) {
  const std::string text = std::to_string(value);
  return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

}  // namespace velm::testing
