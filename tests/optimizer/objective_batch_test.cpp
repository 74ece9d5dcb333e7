// The production objective: one runoff model per batch. Both tests need the
// real objective (EvaluateObjective and its fit report).

#include "optimizer/objective_batch.h"

#include <gtest/gtest.h>

#include "support/case_dir.h"

namespace velm {
namespace {

class ModelObjectiveBatch : public ::testing::Test {
 protected:
  ModelObjectiveBatch() {
    testing::ControlValues control;
    control.VariableCount = 1;
    // Gene 1 scales CoeffSurfaceTopTank (0.5), which must stay at or above
    // CoeffSurfaceBotomTank (0.3): genes below 0.6 break the order.
    control.ScalarIndices = {0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    dir_.WriteCase(control, {}, 3);
  }

  testing::CaseDir dir_;
  testing::WorkingDirectory cwd_{dir_.Path()};
};

TEST_F(ModelObjectiveBatch, EqualGenesScoreTheSameWhateverRanBeforeThem) {
  ModelObjective objective;
  const auto batch = objective.StartBatch();
  EXPECT_EQ(batch->Evaluate(Slots{0, 0.5}, 2), 100000.0);
  EXPECT_EQ(batch->Evaluate(Slots{0, 0.7}, 2), 0.0);
  EXPECT_EQ(batch->Evaluate(Slots{0, 0.5}, 2), 100000.0);
}

TEST_F(ModelObjectiveBatch, WithOutputFlag1TheFitIsReportedOnTheConsoleOnly) {
  ModelObjective objective;
  std::string console;
  {
    testing::CapturedStdout captured;
    objective.StartBatch()->Evaluate(Slots{0, 0.7}, 1);
    console = captured.Text();
  }
  EXPECT_EQ(console.rfind("day= 3", 0), 0u);
  EXPECT_FALSE(dir_.Exists("result.csv"));
}

}  // namespace
}  // namespace velm
