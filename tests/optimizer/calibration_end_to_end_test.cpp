// The built program calibrating three-day cases under a frozen clock.
//
// Every seeding then gives the state 1767225600 (2026-01-01 00:00:00 UTC),
// whose first draws are 13385 and 16723: the parents' genes are
// 13385 / 32767 = 0.40849 and 16723 / 32767 = 0.510361. With every index 0
// and output flag 2 each evaluation scores the parameter-order penalty of the
// file's values, 0, so no child beats a parent and those genes stay the best.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "optimizer/expected_reports.h"
#include "support/case_dir.h"

namespace velm {
namespace {

using testing::CaseDir;
using testing::FileLines;
using testing::Padded;
using testing::ToCp932;

// faketime reads a plain date in the local zone; UTC makes it one second.
const std::string kFrozen = "TZ=UTC faketime -f '2026-01-01 00:00:00'";

void WriteCalibration(const CaseDir& dir, int outputFlag, int fcountLimit,
                      int variableCount,
                      std::vector<int> indices = std::vector<int>(11)) {
  testing::ControlValues control;
  control.RunMode = 1;
  control.OutputFlag = outputFlag;
  control.FcountLimit = fcountLimit;
  control.VariableCount = variableCount;
  control.ScalarIndices = std::move(indices);
  dir.WriteCase(control, {}, 3);
}

// The console of a run whose best f is always 0, written out from the formats.
std::string ExpectedConsole(int variableCount, int fcountLimit) {
  const std::string genes[] = {"0.4085", "0.5104"};
  std::string out =  // the parameter reader's echo comes first
      " MAX_SoilMoisture  =200 MAX_EvapoRatio    =0.8\n"
      " Coeff_Reduction   =0.1 F18_SoilMoisture  =100\n"
      " Final_Infiltration=5 Coeff_EvapoModel  =10\n"
      " F18_Infiltration  =5.58701 MAX_Infiltration  =12.3525\n\n"
      "1 CoeffTank=0.2 BotomTank=0.5\n2 CoeffTank=0.1 BotomTank=0.2\n"
      "3 CoeffTank=0.05 BotomTank=0\n";
  for (int s = 0; s < 6; ++s) {
    out +=
        "subp[" + Padded(s, 2) + "] 初期化 fcount=" + Padded(10 * s, 6) + "\n";
  }
  int fcount = 60;
  int g = 0;
  for (int active = 6; active > 0; --active) {
    for (int step = 0; step < 20; ++step, ++g) {
      out += "サブ集団" + Padded(active, 2) + ":" + Padded(g, 2) + "世代目\n";
      for (int s = 0; s < active; ++s) {
        fcount += 70;
        out += "subp[" + Padded(s, 2) +
               "] min.f=0.000000  fcount=" + Padded(fcount, 6) + "\n";
      }
    }
    out += "ソート\n";
    for (int s = 0; s < active; ++s) {
      out += "subp[" + Padded(s, 2) + "].f=0.0000\n";
    }
    out += Padded(g, 2) +
           "世代目の最適解  目的関数f= 0.000000  fcount=" + Padded(fcount, 6) +
           "\n";
    for (int i = 1; i <= variableCount; ++i) {
      out += " X[" + Padded(i, 2) + "]=" + genes[i - 1] + " ";
    }
    out += "\n";
  }
  if (fcount < fcountLimit) {  // a best f of 0 ends the final phase at once
    out += Padded(g, 2) +
           "世代目 subp[0] min.f=0.000000 fcount=" + Padded(fcount + 70, 6) +
           "\n";
  }
  out += "最終最適解 目的関数f= 0.000000\n";
  for (int i = 1; i <= variableCount; ++i) {
    out += "X[" + Padded(i, 2) + "]=" + genes[i - 1] + "\n";
  }
  return ToCp932(out);
}

TEST(CalibrationEndToEnd,
     ConsoleShowsEveryEpochAndAFinalStepOnlyAboveFcount29460) {
  for (const int limit : {29460, 29461}) {
    CaseDir dir;
    WriteCalibration(dir, 2, limit, 2);
    const auto run = testing::RunVelm(dir.Path(), kFrozen);

    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Stderr, "");
    const std::string expected = ExpectedConsole(2, limit);
    // The result block's two fit lines may follow.
    EXPECT_EQ(run.Stdout.substr(0, expected.size()), expected) << limit;
  }
}

TEST(CalibrationEndToEnd, WithoutVariablesNoGeneIsPrintedOrWritten) {
  CaseDir dir;
  WriteCalibration(dir, 1, 0, 0);
  const auto run = testing::RunVelm(dir.Path(), kFrozen);

  // With output flag 1 every evaluation prints its fit report and the best
  // f is a fit, so only the lines around the genes are pinned.
  EXPECT_EQ(run.Stdout.find("X["), std::string::npos);
  EXPECT_NE(
      run.Stdout.find(ToCp932("  fcount= 29460\n\n最終最適解 目的関数f= ")),
      std::string::npos);
  const std::string file = dir.Read("result.csv");
  EXPECT_EQ(file.find("X["), std::string::npos);
  EXPECT_NE(file.find(" fcount=29460\r\n\r\n ************* Optimaization"),
            std::string::npos);
}

TEST(CalibrationEndToEnd,
     WithOutputFlag0TheFileHoldsTheReportsFinalLinesAndAsterisks) {
  CaseDir dir;
  WriteCalibration(dir, 0, 0, 2);
  ASSERT_EQ(testing::RunVelm(dir.Path(), kFrozen).ExitCode, 0);

  // The objective is then the fit, the same for every gene vector here;
  // its value is left out.
  const std::string file = dir.Read("result.csv");
  const std::string head =
      testing::DefaultParameterReports() + ToCp932("最終最適解 目的関数 f=");
  ASSERT_EQ(file.substr(0, head.size()), head);
  const std::string tail =
      FileLines({"X[1]=0.40849", "X[2]=0.510361"}) + testing::kAsterisks;
  const std::size_t tailAt = file.find("\r\n", head.size()) + 2;
  EXPECT_EQ(file.substr(tailAt, tail.size()), tail);
  // Then the result block of the best genes, to its last daily row.
  EXPECT_EQ(file.substr(tailAt + tail.size())
                .rfind("*** Velm-Model Calculation *** Parameter\r\n", 0),
            0u);
  EXPECT_NE(file.find("\r\n2,2004,7,3,"), std::string::npos);
}

TEST(CalibrationEndToEnd, RunsUnderTheSameFrozenClockAreByteForByteTheSame) {
  CaseDir first, second, later;
  for (const CaseDir* dir : {&first, &second, &later}) {
    WriteCalibration(*dir, 0, 29600, 2, {1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0});
  }
  const auto a = testing::RunVelm(first.Path(), kFrozen);
  const auto b = testing::RunVelm(second.Path(), kFrozen);
  const auto c = testing::RunVelm(later.Path(),
                                  "TZ=UTC faketime -f '2026-01-01 00:00:01'");

  EXPECT_EQ(a.Stdout, b.Stdout);
  EXPECT_EQ(first.Read("result.csv"), second.Read("result.csv"));
  EXPECT_NE(a.Stdout, c.Stdout);  // the clock seeds the search
}

// A case whose result file would lie in a directory that does not exist.
void PointResultIntoMissingDirectory(const CaseDir& dir) {
  std::string fileInfo = dir.Read("FILEINFO.dat");
  fileInfo.replace(fileInfo.find(",result.csv"), 11,
                   ",no-such-directory/result.csv");
  dir.Write("FILEINFO.dat", fileInfo);
}

TEST(CalibrationEndToEnd,
     AnUnwritableResultFileGivesExitCode1AndTheSameConsole) {
  CaseDir writable, unwritable;
  WriteCalibration(writable, 1, 0, 2);
  WriteCalibration(unwritable, 1, 0, 2);
  PointResultIntoMissingDirectory(unwritable);

  const auto good = testing::RunVelm(writable.Path(), kFrozen);
  const auto bad = testing::RunVelm(unwritable.Path(), kFrozen);

  EXPECT_EQ(good.ExitCode, 0);
  EXPECT_EQ(bad.ExitCode, 1);
  EXPECT_EQ(bad.Stdout, good.Stdout);
}

TEST(CalibrationEndToEnd, AnUnwritableResultFileIsReportedOnOneStderrLine) {
  CaseDir dir;
  WriteCalibration(dir, 2, 0, 2);
  PointResultIntoMissingDirectory(dir);
  const auto run = testing::RunVelm(dir.Path(), kFrozen);

  EXPECT_EQ(run.Stderr, ToCp932("結果ファイルに書き込めません: ") +
                            "no-such-directory/result.csv\n");
}

}  // namespace
}  // namespace velm
