#include "optimizer/optimizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "optimizer/expected_reports.h"
#include "optimizer/optimizer_test_support.h"
#include "support/case_dir.h"

namespace velm {
namespace {

using testing::FakeObjective;
using testing::FileLine;
using testing::FileLineCp932;
using testing::FixedClock;

// A calibration case of three days with two genes, every index 0, run in
// this process with an objective of the test's choosing.
class CalibrationRun : public ::testing::Test {
 protected:
  void WriteCase(int outputFlag, int fcountLimit, int variableCount = 2) {
    testing::ControlValues control;
    control.RunMode = 1;
    control.OutputFlag = outputFlag;
    control.FcountLimit = fcountLimit;
    control.VariableCount = variableCount;
    dir_.WriteCase(control, {}, 3);
  }

  // Runs the calibration and returns what it printed.
  std::string Run(Objective& objective, Clock clock = FixedClock(0)) {
    testing::WorkingDirectory cwd(dir_.Path());
    testing::CapturedStdout captured;
    Optimizer optimizer(std::move(clock));
    written_ = optimizer.Run(optimizer.Settings.OutputFlag, objective);
    record_ = optimizer.Record();
    return captured.Text();
  }

  testing::CaseDir dir_;
  bool written_ = false;
  CalibrationRecord record_;
};

double Half(const Slots&) { return 0.5; }

// The progress lines of the result file when every evaluation scores 0.5:
// no child is ever better than a parent, so the parents of the first
// generation (genes 38 / 32767 and 7719 / 32767 under a clock at 0) stay
// the best of every sub-population.
std::string ProgressFileLines(int finalFcountLimit) {
  std::string out;
  for (int s = 0; s < 6; ++s) {
    out += FileLineCp932("subp[" + std::to_string(s) + "] 初期化 fcount=" +
                         std::to_string(10 * s));
  }
  int fcount = 60;
  int g = 0;
  for (int active = 6; active > 0; --active) {
    for (int step = 0; step < 20; ++step, ++g) {
      out += FileLineCp932("サブ集団" + std::to_string(active) + "個：" +
                           std::to_string(g));
      for (int s = 0; s < active; ++s) {
        fcount += 70;
        out += FileLine("subp[" + std::to_string(s) +
                        "] min.f=0.5fcount=" + std::to_string(fcount));
      }
    }
    for (int s = 0; s < active; ++s) {
      out += FileLine("subp[" + std::to_string(s) + "].f=0.5");
    }
    out += FileLineCp932(std::to_string(g) + "世代目の最適解  目的関数f=0.5 fcount=" +
                         std::to_string(fcount));
    out += FileLine(" X[1]=0.0011597  X[2]=0.235572 ");
  }
  while (fcount < finalFcountLimit) {
    fcount += 70;
    out += FileLineCp932(std::to_string(g++) + "世代目 subp[0] min.f=0.5 fcount=" +
                         std::to_string(fcount));
  }
  return out;
}

std::string FinalFileLines() {
  return FileLineCp932("最終最適解 目的関数 f=0.5") + FileLine("X[1]=0.0011597") +
         FileLine("X[2]=0.235572") + testing::kAsterisks;
}

TEST_F(CalibrationRun, WithOutputFlag1TheProgressIsCopiedBetweenTheParameterReports) {
  WriteCase(1, 29600);
  FakeObjective objective(Half);
  const std::string console = Run(objective);

  const std::string expected = testing::DefaultInitialReport() +
                               ProgressFileLines(29600) +
                               testing::DefaultOptimizedReport() + FinalFileLines();
  const std::string file = dir_.Read("result.csv");
  EXPECT_EQ(file.substr(0, expected.size()), expected);
  EXPECT_TRUE(written_);
  for (const auto& call : objective.Calls) ASSERT_EQ(call.OutputFlag, 1);
  EXPECT_NE(console.find(testing::ToCp932(
                "120世代目 subp[0] min.f=0.500000 fcount= 29530\n"
                "121世代目 subp[0] min.f=0.500000 fcount= 29600\n"
                "最終最適解 目的関数f= 0.500000\n"
                "X[ 1]=0.0012\n"
                "X[ 2]=0.2356\n")),
            std::string::npos);
}

class CalibrationRunOutputFlag : public CalibrationRun,
                                 public ::testing::WithParamInterface<int> {};

TEST_P(CalibrationRunOutputFlag, OtherThanOneTheFileHoldsOnlyTheReportsAndFinalLines) {
  WriteCase(GetParam(), 29600);
  FakeObjective objective(Half);
  Run(objective);

  const std::string expected = testing::DefaultInitialReport() +
                               testing::DefaultOptimizedReport() + FinalFileLines();
  EXPECT_EQ(dir_.Read("result.csv").substr(0, expected.size()), expected);
}

INSTANTIATE_TEST_SUITE_P(Flags, CalibrationRunOutputFlag, ::testing::Values(0, 2));

struct BudgetCase {
  int fcountLimit;
  int finalSteps;
  int fcount;
  friend void PrintTo(const BudgetCase& c, std::ostream* os) {
    *os << "limit " << c.fcountLimit;
  }
};

class CalibrationRunBudget : public CalibrationRun,
                             public ::testing::WithParamInterface<BudgetCase> {};

TEST_P(CalibrationRunBudget, FinalPhaseStepsWhileFcountIsBelowTheLimit) {
  WriteCase(2, GetParam().fcountLimit);
  FakeObjective objective(Half);
  Run(objective);

  EXPECT_EQ(record_.Epochs.size(), 6u);
  EXPECT_EQ(record_.FinalSteps, GetParam().finalSteps);
  EXPECT_EQ(record_.Fcount, GetParam().fcount);
  EXPECT_EQ(record_.Generation, 120 + GetParam().finalSteps);
}

// Initialisation counts 60 and the epochs 70 × 20 × (6 + 5 + ... + 1).
INSTANTIATE_TEST_SUITE_P(Limits, CalibrationRunBudget,
                         ::testing::Values(BudgetCase{0, 0, 29460},
                                           BudgetCase{29460, 0, 29460},
                                           BudgetCase{29461, 1, 29530},
                                           BudgetCase{29530, 1, 29530},
                                           BudgetCase{29531, 2, 29600}));

struct StopCase {
  std::string name;
  double f;
  int finalSteps;
  friend void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }
};

class CalibrationRunStop : public CalibrationRun,
                           public ::testing::WithParamInterface<StopCase> {};

TEST_P(CalibrationRunStop, FinalPhaseEndsAfterTheStepThatBringsTheBestBelowTheThreshold) {
  WriteCase(2, 29740);  // room for four steps
  FakeObjective objective([](const Slots&) { return GetParam().f; });
  const std::string console = Run(objective);

  EXPECT_EQ(record_.FinalSteps, GetParam().finalSteps);
  EXPECT_NE(console.find(testing::ToCp932("120世代目 subp[0] min.f=")),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Fitness, CalibrationRunStop,
    ::testing::Values(StopCase{"BelowThreshold", 0.1, 1},
                      StopCase{"JustBelowThreshold", 0.19999, 1},
                      StopCase{"NotANumber", std::numeric_limits<double>::quiet_NaN(), 1},
                      StopCase{"AtThreshold", 0.2, 4}),
    [](const auto& info) { return info.param.name; });

TEST_F(CalibrationRun, EpochsRankSubPopulationsAndDropTheWorst) {
  WriteCase(2, 0, 1);
  // Each seeding reads a new second, so the sub-populations differ; the
  // search minimises the single gene.
  FakeObjective objective([](const Slots& x) { return x[1]; });
  Run(objective, testing::TickingClock(1767225600));

  ASSERT_EQ(record_.Epochs.size(), 6u);
  const int fcounts[] = {8460, 15460, 21060, 25260, 28060, 29460};
  for (int e = 0; e < 6; ++e) {
    const auto& epoch = record_.Epochs[e];
    EXPECT_EQ(epoch.Generation, 20 * (e + 1));
    EXPECT_EQ(epoch.Fcount, fcounts[e]);
    ASSERT_EQ(epoch.RankedF.size(), static_cast<std::size_t>(6 - e));
    for (std::size_t s = 1; s < epoch.RankedF.size(); ++s) {
      EXPECT_LE(epoch.RankedF[s - 1], epoch.RankedF[s]) << e;
    }
    // The best survives every drop and can only improve.
    if (e > 0) {
      EXPECT_LE(epoch.RankedF[0], record_.Epochs[e - 1].RankedF[0]);
    }
  }
  EXPECT_LT(record_.Epochs[0].RankedF.front(), record_.Epochs[0].RankedF.back());
  EXPECT_EQ(record_.Best.f, record_.Epochs.back().RankedF[0]);
  EXPECT_EQ(record_.Best.X[1], record_.Best.f);
}

TEST_F(CalibrationRun, AResultFileThatCannotBeCreatedFailsTheRunButNotItsConsole) {
  WriteCase(1, 29530);
  FakeObjective first(Half);
  const std::string writable = Run(first);
  ASSERT_TRUE(written_);

  dir_.Write("FILEINFO.dat",
             "file names of the run\r\n"
             "InputFilename_Control,control.dat\r\n"
             "InputFilename_Paramater,param.dat\r\n"
             "InputFilename_RainData,rain.csv\r\n"
             "InputFilename_EPData,ep.csv\r\n"
             "InputFilename_RunoffData,runoff.csv\r\n"
             "OutputFilename_Result,no-such-directory/result.csv\r\n");
  FakeObjective second(Half);
  const std::string unwritable = Run(second);

  EXPECT_FALSE(written_);
  EXPECT_EQ(unwritable, writable);
  EXPECT_EQ(second.Calls.size(), first.Calls.size());
}

}  // namespace
}  // namespace velm
