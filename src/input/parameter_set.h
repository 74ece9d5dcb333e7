#pragma once

// The model parameters under their printed names, read strictly by line
// number from the parameter file; three of them are derived while reading.

#include <optional>
#include <vector>

namespace velm {

class ParameterSet {
 public:
  // The cascade's working storage grows with the tank count; beyond this a
  // parameter file is taken to be a mistake.
  static constexpr int kMaxTankCount = 1000;

  // Reads FILEINFO.dat and the parameter file it names. With `echo` 1 the
  // main and tank parameters are printed on the console as they are read.
  void Read(int echo);
  // The echo of Read: the main and tank parameters as the file gives them.
  void Echo() const;

  double Impervious = 0.0;
  double MAX_SoilMoisture = 0.0;
  double Final_Infiltration = 0.0;
  double Coeff_Reduction = 0.0;
  double F18_SoilMoisture =
      0.0;  // a depth: the file's fraction times MAX_SoilMoisture
  double MAX_EvapoRatio = 0.0;
  double Coeff_EvapoModel = 0.0;
  double CoeffSurfaceTopTank = 0.0;
  double HighSurfaceTopTank = 0.0;
  double CoeffSurfaceBotomTank = 0.0;
  double HighSurfaceBotomTank = 0.0;
  int TankCount = 0;
  // Tanks are numbered from 1; entry 0 of CoeffTank and BotomTank is unused,
  // entry 0 of TankWaterDepth is the surface tank.
  std::vector<double> CoeffTank;
  std::vector<double> BotomTank;
  std::vector<double> TankWaterDepth;
  double ImperviousTankWD = 0.0;
  double F18_Infiltration = 0.0;
  double MAX_Infiltration = 0.0;
};

// The infiltration capacity at field capacity on Horton's curve: ten rounds of
// a fixed-point iteration for the time the curve takes to get there.
double ComputeF18Infiltration(double finalInfiltration, double coeffReduction,
                              double maxSoilMoisture, double f18SoilMoisture);

// The root x of g(x) = k·MAX_SoilMoisture − (x − fc·ln((F18 − fc)/x)), found
// by walking up from F18 in steps of F18 refined tenfold at each overshoot,
// until |g| ≤ 0.01; the result is x + fc. Nothing when the walk cannot reach
// such an x: g already below −0.01 (or NaN) at F18, F18 not positive, or a
// step too small to move x.
std::optional<double> SearchMaxInfiltration(double finalInfiltration,
                                            double coeffReduction,
                                            double maxSoilMoisture,
                                            double f18Infiltration);

}  // namespace velm
