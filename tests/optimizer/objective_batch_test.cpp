// The production objective: one runoff model per batch of evaluations.

#include "optimizer/objective_batch.h"

#include <gtest/gtest.h>

#include "support/case_dir.h"

namespace velm {
namespace {

TEST(ModelObjective,
     EqualGenesScoreTheSameInABatchAndTheFitReportSkipsTheFile) {
  testing::CaseDir dir;
  testing::ControlValues control;
  control.VariableCount = 1;
  // Gene 1 scales CoeffSurfaceTopTank (0.5), which must stay at or above
  // CoeffSurfaceBotomTank (0.3): a gene below 0.6 breaks the order.
  control.ScalarIndices = {0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  dir.WriteCase(control, {}, 3);
  testing::WorkingDirectory cwd(dir.Path());
  testing::CapturedStdout console;
  ModelObjective objective;
  const auto batch = objective.StartBatch();

  EXPECT_EQ(batch->Evaluate(Slots{0, 0.5}, 2), 100000.0);
  EXPECT_EQ(batch->Evaluate(Slots{0, 0.7}, 2), 0.0);
  EXPECT_EQ(batch->Evaluate(Slots{0, 0.5}, 2), 100000.0);
  EXPECT_EQ(console.Text(), "");
  // With output flag 1 the run holds the result file: the console only.
  batch->Evaluate(Slots{0, 0.7}, 1);
  EXPECT_EQ(console.Text().rfind("day= 3", 0), 0u);
  EXPECT_FALSE(dir.Exists("result.csv"));
}

}  // namespace
}  // namespace velm
