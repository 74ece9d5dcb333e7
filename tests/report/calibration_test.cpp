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

ResultFile CalibrationSample() {
  std::ifstream in(std::string(VELM_REPORT_TEST_DATA) + "/calibration.csv",
                   std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return ParseResultFile(text.str());
}

// The calibration sample (eight genes) with the three-gene mapping.
TEST(Calibration, PageNamesTheParametersOfEachGene) {
  const ResultFile result = CalibrationSample();
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

TEST(Calibration, JudgesTheResultAsVelmJudgesIt) {
  CalibrationResult c = *CalibrationSample().Calibration;
  EXPECT_TRUE(CalibrationFaults(c, {}).empty());
  c.Genes[2] = -0.0123;
  c.FinalObjective = std::nan("");
  for (NamedValue& value : c.Optimized) {
    if (value.Name == "CoeffTank[3]") value.Value = 0.006;
  }
  // Without the control file, the optimized set as the result gives it.
  EXPECT_EQ(CalibrationFaults(c, {}),
            (std::vector<std::string>{"gene X[3] = -0.0123 is outside [0, 1]",
                                      "CoeffTank[2] 0.005 < CoeffTank[3] 0.006",
                                      "the final f is not a number"}));
  // With it, the parameter file's values as the result gives them, scaled:
  // X[3] makes CoeffTank[1] 0.02 × -0.0123.
  const std::vector<std::string> faults =
      CalibrationFaults(c, {ThreeGenes(), std::nullopt});
  ASSERT_EQ(faults.size(), 4u);
  EXPECT_EQ(faults[1], "CoeffTank[1] -0.000246 < CoeffTank[2] 0.005");
  EXPECT_EQ(faults[2].find("the search settled on genes outside"), 0u);
  EXPECT_EQ(faults[3], "the final f is not a number");
}

}  // namespace
}  // namespace velm::report
