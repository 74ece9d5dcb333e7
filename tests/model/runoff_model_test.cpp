#include "model/runoff_model.h"

#include <gtest/gtest.h>

#include "support/case_dir.h"

namespace velm {
namespace {

class RunoffModelConstruction : public ::testing::Test {
 protected:
  testing::CaseDir dir_;
  testing::WorkingDirectory cwd_{dir_.Path()};
};

TEST_F(RunoffModelConstruction, SizesEveryArrayByTheRainFileAndReadsQuietly) {
  dir_.WriteCase({}, {}, 3);
  testing::CapturedStdout console;
  const RunoffModel model;
  EXPECT_EQ(console.Text(), "");
  EXPECT_EQ(model.HourCount, 72);
  EXPECT_EQ(model.DayCount(), 3);
  for (const std::span<const double> hourly :
       {model.Rain, model.PotentialE, std::span<const double>(model.ActualE),
        std::span<const double>(model.ObservedQ),
        std::span<const double>(model.CalcQ)}) {
    EXPECT_EQ(hourly.size(), 72u);
  }
  EXPECT_EQ(model.Infiltration.size(), 73u);
  EXPECT_EQ(model.Rain[24 + 5], 2.5 + 0.5 * 5);
  EXPECT_EQ(model.PotentialE[24 + 8], 0.1 * 2.25);
  EXPECT_EQ(model.Series.Year.size(), 3u);
  EXPECT_EQ(model.Parameters.TankWaterDepth,
            model.FileParameters.TankWaterDepth);
  EXPECT_EQ(model.Settings.OutputFlag, 1);
}

TEST_F(RunoffModelConstruction, ARainFileWithoutRecordsGivesAnEmptyRun) {
  dir_.WriteCase({}, {}, 0);
  const RunoffModel model;
  EXPECT_EQ(model.HourCount, 0);
  EXPECT_TRUE(model.CalcQ.empty());
  EXPECT_EQ(model.Infiltration.size(), 1u);
}

TEST_F(RunoffModelConstruction, EveryModelCountsTheSameHours) {
  dir_.WriteCase({}, {}, 2);
  const RunoffModel first;
  const RunoffModel second;
  EXPECT_EQ(first.HourCount, second.HourCount);
}

}  // namespace
}  // namespace velm
