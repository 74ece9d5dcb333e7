#include "optimizer/optimizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "optimizer/expected_reports.h"
#include "optimizer/optimizer_test_support.h"
#include "support/case_dir.h"

namespace velm {
namespace {

using testing::FakeObjective;
using testing::FileLines;

// Three days, every index 0, calibrated in this process with a fake objective.
class CalibrationRun : public ::testing::Test {
 protected:
  std::string Run(int outputFlag, int fcountLimit, int variableCount,
                  Objective& objective, Clock clock) {
    testing::ControlValues control;
    control.RunMode = 1;
    control.OutputFlag = outputFlag;
    control.FcountLimit = fcountLimit;
    control.VariableCount = variableCount;
    dir_.WriteCase(control, {}, 3);
    testing::WorkingDirectory cwd(dir_.Path());
    testing::CapturedStdout console;
    Optimizer optimizer(std::move(clock));
    EXPECT_TRUE(optimizer.Run(outputFlag, objective));
    record_ = optimizer.Record();
    return console.Text();
  }

  testing::CaseDir dir_;
  CalibrationRecord record_;
};

TEST_F(CalibrationRun,
       WithOutputFlag1TheFileHoldsTheProgressBetweenTheReports) {
  FakeObjective objective([](const Slots&) { return 0.5; });
  Run(1, 29600, 2, objective, testing::FixedClock(0));

  // Every evaluation scores 0.5, so no child beats a parent and the parents
  // of the first generation (38 / 32767 and 7719 / 32767 from state 0) stay
  // the best everywhere.
  std::string progress;
  for (int s = 0; s < 6; ++s) {
    progress += FileLines({"subp[" + std::to_string(s) +
                           "] 初期化 fcount=" + std::to_string(10 * s)});
  }
  int fcount = 60;
  int g = 0;
  for (int active = 6; active > 0; --active) {
    for (int step = 0; step < 20; ++step, ++g) {
      progress += FileLines(
          {"サブ集団" + std::to_string(active) + "個：" + std::to_string(g)});
      for (int s = 0; s < active; ++s) {
        fcount += 70;
        progress += FileLines({"subp[" + std::to_string(s) +
                               "] min.f=0.5fcount=" + std::to_string(fcount)});
      }
    }
    for (int s = 0; s < active; ++s) {
      progress += FileLines({"subp[" + std::to_string(s) + "].f=0.5"});
    }
    progress +=
        FileLines({std::to_string(g) + "世代目の最適解  目的関数f=0.5 fcount=" +
                       std::to_string(fcount),
                   " X[1]=0.0011597  X[2]=0.235572 "});
  }
  progress += FileLines({"120世代目 subp[0] min.f=0.5 fcount=29530",
                         "121世代目 subp[0] min.f=0.5 fcount=29600"});
  const std::string reports = testing::DefaultParameterReports();
  const std::size_t initialEnd = reports.find(" ************* Optimaization");
  const std::string expected = reports.substr(0, initialEnd) + progress +
                               reports.substr(initialEnd) +
                               FileLines({"最終最適解 目的関数 f=0.5",
                                          "X[1]=0.0011597", "X[2]=0.235572"}) +
                               testing::kAsterisks;
  EXPECT_EQ(dir_.Read("result.csv").substr(0, expected.size()), expected);
  for (const int flag : objective.OutputFlags) ASSERT_EQ(flag, 1);
}

struct FinalPhaseCase {
  double f;
  int fcountLimit;
  int steps;
  int fcount;
};

TEST_F(CalibrationRun,
       FinalPhaseRunsWhileFcountIsBelowTheLimitAndTheBestNotBelowPoint2) {
  const FinalPhaseCase cases[] = {{0.5, 0, 0, 29460},
                                  {0.5, 29460, 0, 29460},
                                  {0.5, 29461, 1, 29530},
                                  {0.5, 29531, 2, 29600},
                                  {0.2, 29740, 4, 29740},
                                  {0.19999, 29740, 1, 29530},
                                  {std::nan(""), 29740, 1, 29530}};
  for (const FinalPhaseCase& c : cases) {
    FakeObjective objective([&](const Slots&) { return c.f; });
    const std::string console =
        Run(2, c.fcountLimit, 1, objective, testing::FixedClock(0));
    EXPECT_EQ(record_.FinalSteps, c.steps) << c.f << " " << c.fcountLimit;
    EXPECT_EQ(record_.Fcount, c.fcount) << c.f << " " << c.fcountLimit;
    EXPECT_EQ(record_.Generation, 120 + c.steps);
    if (std::isnan(c.f)) {
      EXPECT_NE(console.find(testing::ToCp932(
                    "120世代目 subp[0] min.f=     nan fcount= 29530\n")),
                std::string::npos);
    }
  }
}

TEST_F(CalibrationRun, EpochsRankTheSubPopulationsAndDropTheWorst) {
  // Each seeding reads a new second, so the sub-populations differ; the
  // objective is the single gene itself.
  FakeObjective objective([](const Slots& x) { return x[1]; });
  Run(2, 0, 1, objective, testing::TickingClock(1767225600));

  ASSERT_EQ(record_.Epochs.size(), 6u);
  const int fcounts[] = {8460, 15460, 21060, 25260, 28060, 29460};
  for (std::size_t e = 0; e < 6; ++e) {
    const auto& ranked = record_.Epochs[e].RankedF;
    EXPECT_EQ(record_.Epochs[e].Generation, 20 * static_cast<int>(e + 1));
    EXPECT_EQ(record_.Epochs[e].Fcount, fcounts[e]);
    ASSERT_EQ(ranked.size(), 6 - e);
    EXPECT_TRUE(std::is_sorted(ranked.begin(), ranked.end())) << e;
    // The best survives every drop.
    if (e > 0) {
      EXPECT_LE(ranked[0], record_.Epochs[e - 1].RankedF[0]);
    }
  }
  EXPECT_LT(record_.Epochs[0].RankedF.front(),
            record_.Epochs[0].RankedF.back());
  EXPECT_EQ(record_.Best.f, record_.Epochs.back().RankedF[0]);
}

}  // namespace
}  // namespace velm
