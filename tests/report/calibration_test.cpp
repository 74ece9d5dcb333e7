#include "report/calibration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "report/page.h"

namespace velm::report {
namespace {

// Three genes: X[1] scales two soil-evaporation values, X[2] the surface
// tank's upper coefficient and tank 2's bottom outflow, X[3] tank 1's
// coefficient; tank 5 does not exist in the parameter file.
RunSettings ThreeGenes() {
  RunSettings settings;
  settings.VariableCount = 3;
  settings.OptIndex[&ParameterSet::MAX_EvapoRatio] = 1;
  settings.OptIndex[&ParameterSet::Coeff_EvapoModel] = 1;
  settings.OptIndex[&ParameterSet::CoeffSurfaceTopTank] = 2;
  settings.OptIndex[&ParameterSet::CoeffTank] = {3, 0, 0, 0, 1};
  settings.OptIndex[&ParameterSet::BotomTank] = {0, 2, 0, 0, 0};
  return settings;
}

TEST(Calibration, MapsEachGeneToTheParametersItScales) {
  EXPECT_EQ(MappingFromSettings(ThreeGenes()).ScaledBy,
            (std::vector<std::vector<std::string>>{
                {"MAX_EvapoRatio", "Coeff_EvapoModel", "CoeffTank[5]"},
                {"CoeffSurfaceTopTank", "BotomTank[2]"},
                {"CoeffTank[1]"}}));
}

// The calibration sample (eight genes) with the three-gene mapping.
TEST(Calibration, PageNamesTheParametersOfEachGene) {
  std::ifstream in(std::string(VELM_REPORT_TEST_DATA) + "/calibration.csv",
                   std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  const ResultFile result = ParseResultFile(text.str());
  PageContext context;
  context.Genes = MappingFromSettings(ThreeGenes());
  const std::string page = RenderPage(result, Scores(), context);
  for (const char* expected :
       {"<td>X[1]</td><td class=\"num\">0.182242</td><td>MAX_EvapoRatio, "
        "Coeff_EvapoModel</td>",
        "<td>X[4]</td><td class=\"num\">0.378588</td><td>no parameter</td>",
        "<tr class=\"calibrated\"><td>BotomTank[2]</td><td>mm/h</td><td "
        "class=\"num\">0.002 <span class=\"bound\">upper bound</span></td>"
        "<td class=\"num\">0.002</td><td>X[2]</td>",
        "<tr><td>Final_Infiltration</td><td>mm/h</td><td "
        "class=\"num\">2</td>",
        "has 3 variables, the result file 8 genes"}) {
    EXPECT_NE(page.find(expected), std::string::npos) << expected;
  }
  EXPECT_EQ(page.find("is unknown"), std::string::npos);
}

TEST(Calibration, FlagsGenesOutsideTheUnitRangeAndANaNObjective) {
  CalibrationResult result;
  result.Genes = {0, 1, -0.0123, 1.5, std::nan("")};
  result.FinalObjective = std::nan("");
  const std::string why =
      ": the calibration did not find a valid parameter set";
  EXPECT_EQ(
      CalibrationFaults(result),
      (std::vector<std::string>{"gene X[3] = -0.0123 is outside [0, 1]" + why,
                                "gene X[4] = 1.5 is outside [0, 1]" + why,
                                "gene X[5] = nan is outside [0, 1]" + why,
                                "the final objective f is nan" + why}));
}

}  // namespace
}  // namespace velm::report
