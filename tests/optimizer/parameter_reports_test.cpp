#include "optimizer/parameter_reports.h"

#include <gtest/gtest.h>

#include <sstream>

#include "optimizer/expected_reports.h"
#include "support/case_dir.h"

namespace velm {
namespace {

using testing::FileLine;

class ParameterReports : public ::testing::Test {
 protected:
  void WriteCase(const testing::ControlValues& control,
                 const testing::ParameterValues& parameters) {
    dir_.WriteCase(control, parameters, 1);
    cwd_.emplace(dir_.Path());
    settings_.Read();
  }

  testing::CaseDir dir_;
  std::optional<testing::WorkingDirectory> cwd_;
  RunSettings settings_;
  ParameterSet parameters_;
  std::ostringstream file_;
};

testing::ParameterValues TwoTanks() {
  testing::ParameterValues values;
  values.Tanks = {{"0.2", "0.5"}, {"0.1", "0"}};
  return values;
}

TEST_F(ParameterReports, InitialReportIsItsHeadingAndA19LineBlockWithTwoTanks) {
  WriteCase({}, TwoTanks());
  std::string console;
  {
    testing::CapturedStdout captured;
    WriteInitialParameters(parameters_, file_);
    console = captured.Text();
  }
  // The tanks start at 0.1 / 0.2 / 0.8 and 0.05 / 0.1 / 0.8.
  EXPECT_EQ(file_.str(),
            FileLine(" ************* Initial Parameter ************* ") +
                FileLine(" MAX_SoilMoisture  =200") +
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
                FileLine("1 CoeffTank=0.2 BotomTank=0.5 TankWaterDepth=0.625") +
                FileLine("2 CoeffTank=0.1 BotomTank=0 TankWaterDepth=0.625"));
  // The parameter file is read with its echo, which goes to the console.
  EXPECT_EQ(console.substr(0, console.find('\n') + 1),
            " MAX_SoilMoisture  =200 MAX_EvapoRatio    =0.8\n");
}

TEST_F(ParameterReports, WithEveryIndexZeroTheOptimizedReportRepeatsTheInitialValues) {
  testing::ControlValues control;
  control.VariableCount = 2;
  WriteCase(control, {});
  testing::CapturedStdout quiet;
  WriteInitialParameters(parameters_, file_);
  file_.str("");

  WriteOptimizedParameters(parameters_, settings_, Slots{0, 0.3, 0.7}, file_);

  EXPECT_EQ(file_.str(), testing::DefaultOptimizedReport());
}

// Needs the real ApplyGenes (the gene-to-parameter map of the objective).
TEST_F(ParameterReports, OptimizedReportScalesEachParameterByTheGeneOfItsIndex) {
  testing::ControlValues control;
  control.VariableCount = 3;
  // Impervious and tank 1's CoeffTank share gene 1; MAX_Infiltration and
  // Final_Infiltration share gene 2; Coeff_EvapoModel has gene 3.
  control.ScalarIndices = {1, 2, 2, 0, 0, 0, 3, 0, 0, 0, 0};
  control.TankIndices = {{1, 0}, {0, 0}, {0, 0}};
  WriteCase(control, {});
  testing::CapturedStdout quiet;
  WriteInitialParameters(parameters_, file_);
  file_.str("");

  WriteOptimizedParameters(parameters_, settings_, Slots{0, 0.5, 0.0, 1.0},
                           file_);

  EXPECT_EQ(file_.str(),
            FileLine(" ************* Optimaization Parameter ************* ") +
                FileLine(" MAX_SoilMoisture  =200") +
                FileLine(" MAX_EvapoRatio    =0.8") +
                FileLine(" Coeff_Reduction   =0.1") +
                FileLine(" F18_SoilMoisture  =100") +
                FileLine(" Final_Infiltration=0") +
                FileLine(" Coeff_EvapoModel  =10") +
                FileLine(" F18_Infiltration  =5.58701") +
                FileLine(" MAX_Infiltration  =0") +
                FileLine("") +
                FileLine(" Impervious            =0.1") +
                FileLine(" ImperviousTankWD      =0") +
                FileLine(" CoeffSurfaceTopTank   =0.5") +
                FileLine(" CoeffSurfaceBotomTank =0.3") +
                FileLine(" HighSurfaceTopTank    =10") +
                FileLine(" HighSurfaceBotomTank  =0") +
                FileLine(" TankWaterDepth[0]     =0") +
                FileLine("") +
                FileLine("1 CoeffTank=0.1 BotomTank=0.5 TankWaterDepth=0") +
                FileLine("2 CoeffTank=0.1 BotomTank=0.2 TankWaterDepth=1.25") +
                FileLine("3 CoeffTank=0.05 BotomTank=0 TankWaterDepth=1.25") +
                testing::kAsterisks);
  EXPECT_EQ(parameters_.Impervious, 0.1);  // the set keeps the scaled values
}

}  // namespace
}  // namespace velm
