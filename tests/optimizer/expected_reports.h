#pragma once

// Result-file text that several calibration tests expect, written out from
// the rules for the default case of tests/support (three tanks, every
// optimization index 0): the parameter reports and the pieces of the
// progress lines.

#include <string>
#include <string_view>

#include "support/case_dir.h"

namespace velm::testing {

inline std::string FileLine(std::string_view text) {
  return std::string(text) + "\r\n";
}

inline std::string FileLineCp932(std::string_view utf8) {
  return ToCp932(utf8) + "\r\n";
}

// Parameters of the default case as the result file writes them: F18 is
// 0.5 × 200; F18_Infiltration and MAX_Infiltration follow from the iteration
// and the step search of the parameter reader (5.587013 and 12.352509); the
// last two tanks start at 0.1 / 0.1 / 0.8 and 0.05 / 0.05 / 0.8.
inline std::string DefaultParameterBlock() {
  return FileLine(" MAX_SoilMoisture  =200") +
         FileLine(" MAX_EvapoRatio    =0.8") +
         FileLine(" Coeff_Reduction   =0.1") +
         FileLine(" F18_SoilMoisture  =100") +
         FileLine(" Final_Infiltration=5") +
         FileLine(" Coeff_EvapoModel  =10") +
         FileLine(" F18_Infiltration  =5.58701") +
         FileLine(" MAX_Infiltration  =12.3525") +
         FileLine("") +
         FileLine(" Impervious            =0.2") +
         FileLine(" ImperviousTankWD      =0") +
         FileLine(" CoeffSurfaceTopTank   =0.5") +
         FileLine(" CoeffSurfaceBotomTank =0.3") +
         FileLine(" HighSurfaceTopTank    =10") +
         FileLine(" HighSurfaceBotomTank  =0") +
         FileLine(" TankWaterDepth[0]     =0") +
         FileLine("") +
         FileLine("1 CoeffTank=0.2 BotomTank=0.5 TankWaterDepth=0") +
         FileLine("2 CoeffTank=0.1 BotomTank=0.2 TankWaterDepth=1.25") +
         FileLine("3 CoeffTank=0.05 BotomTank=0 TankWaterDepth=1.25");
}

inline const std::string kAsterisks =
    FileLine(" *************************************************** ");

inline std::string DefaultInitialReport() {
  return FileLine(" ************* Initial Parameter ************* ") +
         DefaultParameterBlock();
}

// With every index 0 the genes change nothing.
inline std::string DefaultOptimizedReport() {
  return FileLine(" ************* Optimaization Parameter ************* ") +
         DefaultParameterBlock() + kAsterisks;
}

// The console echo of the parameter reader for the default case.
inline std::string DefaultParameterEcho() {
  return " MAX_SoilMoisture  =200 MAX_EvapoRatio    =0.8\n"
         " Coeff_Reduction   =0.1 F18_SoilMoisture  =100\n"
         " Final_Infiltration=5 Coeff_EvapoModel  =10\n"
         " F18_Infiltration  =5.58701 MAX_Infiltration  =12.3525\n"
         "\n"
         "1 CoeffTank=0.2 BotomTank=0.5\n"
         "2 CoeffTank=0.1 BotomTank=0.2\n"
         "3 CoeffTank=0.05 BotomTank=0\n";
}

// Right-aligned in `width` columns, as printf's %Nd writes it.
inline std::string Padded(std::string text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}
inline std::string Padded(int value, std::size_t width) {
  return Padded(std::to_string(value), width);
}

}  // namespace velm::testing
