#include "optimizer/parameter_reports.h"

#include <gtest/gtest.h>

#include <sstream>

#include "optimizer/expected_reports.h"
#include "support/case_dir.h"

namespace velm {
namespace {

using testing::FileLines;

TEST(ParameterReports, InitialReportIsItsHeadingAndA19LineBlockWithTwoTanks) {
  testing::CaseDir dir;
  testing::ParameterValues values;
  values.Tanks = {{"0.2", "0.5"},
                  {"0.1", "0"}};  // depths 0.1/0.2/0.8, 0.05/0.1/0.8
  dir.WriteCase({}, values, 1);
  testing::WorkingDirectory cwd(dir.Path());
  testing::CapturedStdout echo;
  ParameterSet parameters;
  std::ostringstream file;

  WriteInitialParameters(parameters, file);

  EXPECT_EQ(file.str(),
            FileLines({" ************* Initial Parameter ************* "}) +
                testing::ParameterBlock(
                    {"1 CoeffTank=0.2 BotomTank=0.5 TankWaterDepth=0.625",
                     "2 CoeffTank=0.1 BotomTank=0 TankWaterDepth=0.625"}));
  // The parameter file is read with its echo, which goes to the console.
  EXPECT_EQ(
      echo.Text().rfind(" MAX_SoilMoisture  =200 MAX_EvapoRatio    =0.8\n", 0),
      0u);
}

TEST(ParameterReports, OptimizedReportScalesEachParameterByTheGeneOfItsIndex) {
  testing::CaseDir dir;
  testing::ControlValues control;
  control.VariableCount = 3;
  // Impervious and tank 1's CoeffTank share gene 1 (0.5); MAX_Infiltration
  // and Final_Infiltration share gene 2 (0); Coeff_EvapoModel has gene 3 (1).
  control.ScalarIndices = {1, 2, 2, 0, 0, 0, 3, 0, 0, 0, 0};
  control.TankIndices = {{1, 0}, {0, 0}, {0, 0}};
  dir.WriteCase(control, {}, 1);
  testing::WorkingDirectory cwd(dir.Path());
  testing::CapturedStdout echo;
  RunSettings settings;
  settings.Read();
  ParameterSet parameters;
  std::ostringstream file;
  WriteInitialParameters(parameters, file);
  file.str("");

  WriteOptimizedParameters(parameters, settings, Slots{0, 0.5, 0.0, 1.0}, file);

  std::string expected = testing::DefaultParameterReports();
  expected.erase(0, expected.find(" ************* Optimaization"));
  for (const auto& [from, to] :
       {std::pair{"Final_Infiltration=5", "Final_Infiltration=0"},
        {"Coeff_EvapoModel  =10", "Coeff_EvapoModel  =10"},
        {"MAX_Infiltration  =12.3525", "MAX_Infiltration  =0"},
        {"Impervious            =0.2", "Impervious            =0.1"},
        {"1 CoeffTank=0.2", "1 CoeffTank=0.1"}}) {
    expected.replace(expected.find(from), std::string(from).size(), to);
  }
  EXPECT_EQ(file.str(), expected);
}

}  // namespace
}  // namespace velm
