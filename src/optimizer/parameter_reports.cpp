#include "optimizer/parameter_reports.h"

#include "common/result_text.h"
#include "common/text_writer.h"
#include "results/objective.h"

namespace velm {
namespace {

// The labels are padded so that the "=" signs of each group line up.
void WriteParameterBlock(const ParameterSet& p, std::ostream& stream) {
  TextWriter file(stream, LineEnd::kCrLf);
  file << " MAX_SoilMoisture  =" << p.MAX_SoilMoisture << kEndLine;
  file << " MAX_EvapoRatio    =" << p.MAX_EvapoRatio << kEndLine;
  file << " Coeff_Reduction   =" << p.Coeff_Reduction << kEndLine;
  file << " F18_SoilMoisture  =" << p.F18_SoilMoisture << kEndLine;
  file << " Final_Infiltration=" << p.Final_Infiltration << kEndLine;
  file << " Coeff_EvapoModel  =" << p.Coeff_EvapoModel << kEndLine;
  file << " F18_Infiltration  =" << p.F18_Infiltration << kEndLine;
  file << " MAX_Infiltration  =" << p.MAX_Infiltration << kEndLine;
  file << kEndLine;
  file << " Impervious            =" << p.Impervious << kEndLine;
  file << " ImperviousTankWD      =" << p.ImperviousTankWD << kEndLine;
  file << " CoeffSurfaceTopTank   =" << p.CoeffSurfaceTopTank << kEndLine;
  file << " CoeffSurfaceBotomTank =" << p.CoeffSurfaceBotomTank << kEndLine;
  file << " HighSurfaceTopTank    =" << p.HighSurfaceTopTank << kEndLine;
  file << " HighSurfaceBotomTank  =" << p.HighSurfaceBotomTank << kEndLine;
  file << " TankWaterDepth[0]     =" << p.TankWaterDepth[0] << kEndLine;
  file << kEndLine;
  for (int i = 1; i <= p.TankCount; ++i) {
    file << i << " CoeffTank=" << p.CoeffTank[i]
         << " BotomTank=" << p.BotomTank[i]
         << " TankWaterDepth=" << p.TankWaterDepth[i] << kEndLine;
  }
}

}  // namespace

void WriteInitialParameters(ParameterSet& parameters, std::ostream& file) {
  parameters.Read(1);
  TextWriter(file, LineEnd::kCrLf)
      << text::kInitialParameterHeading << kEndLine;
  WriteParameterBlock(parameters, file);
}

void WriteOptimizedParameters(ParameterSet& parameters,
                              const RunSettings& settings, const Slots& x,
                              std::ostream& file) {
  ApplyGenes(parameters, settings, x);
  TextWriter(file, LineEnd::kCrLf)
      << text::kOptimizedParameterHeading << kEndLine;
  WriteParameterBlock(parameters, file);
  TextWriter(file, LineEnd::kCrLf) << text::kAsteriskLine << kEndLine;
}

}  // namespace velm
