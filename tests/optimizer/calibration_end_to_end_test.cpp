// The built program calibrating small cases under a frozen clock.
//
// Under the frozen clock every seeding gives the state 1767225600
// (2026-01-01 00:00:00 UTC), whose first draws are 13385 and 16723: the
// parents' first two genes are 13385 / 32767 = 0.40849 and
// 16723 / 32767 = 0.510361. With every optimization index 0 and output flag
// 2 each evaluation scores the parameter-order penalty of the file's values,
// which is 0, so no child ever beats a parent and those genes stay the best.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "optimizer/expected_reports.h"
#include "support/case_dir.h"

namespace velm {
namespace {

using testing::CaseDir;
using testing::ControlValues;
using testing::FileLine;
using testing::FileLineCp932;
using testing::Padded;
using testing::ToCp932;

// faketime reads a plain date in the local zone; UTC makes it the same
// second everywhere.
const std::string kFrozenClock = "TZ=UTC faketime -f '2026-01-01 00:00:00'";

ControlValues Calibration(int outputFlag, int fcountLimit, int variableCount) {
  ControlValues control;
  control.RunMode = 1;
  control.OutputFlag = outputFlag;
  control.FcountLimit = fcountLimit;
  control.VariableCount = variableCount;
  return control;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

// The console lines of a run whose best f is always 0 and whose genes are
// the two above, written out from the formats.
std::string ExpectedConsole(int variableCount, int fcountLimit) {
  const std::string genes[] = {"0.4085", "0.5104"};
  std::string out = testing::DefaultParameterEcho();
  for (int s = 0; s < 6; ++s) {
    out += "subp[" + Padded(s, 2) + "] 初期化 fcount=" + Padded(10 * s, 6) + "\n";
  }
  int fcount = 60;
  int g = 0;
  for (int active = 6; active > 0; --active) {
    for (int step = 0; step < 20; ++step, ++g) {
      out += "サブ集団" + Padded(active, 2) + ":" + Padded(g, 2) + "世代目\n";
      for (int s = 0; s < active; ++s) {
        fcount += 70;
        out += "subp[" + Padded(s, 2) + "] min.f=0.000000  fcount=" +
               Padded(fcount, 6) + "\n";
      }
    }
    out += "ソート\n";
    for (int s = 0; s < active; ++s) out += "subp[" + Padded(s, 2) + "].f=0.0000\n";
    out += Padded(g, 2) + "世代目の最適解  目的関数f= 0.000000  fcount=" +
           Padded(fcount, 6) + "\n";
    for (int i = 1; i <= variableCount; ++i) {
      out += " X[" + Padded(i, 2) + "]=" + genes[i - 1] + " ";
    }
    out += "\n";
  }
  if (fcount < fcountLimit) {  // best f 0 ends the final phase at once
    fcount += 70;
    out += Padded(g, 2) + "世代目 subp[0] min.f=0.000000 fcount=" +
           Padded(fcount, 6) + "\n";
  }
  out += "最終最適解 目的関数f= 0.000000\n";
  for (int i = 1; i <= variableCount; ++i) {
    out += "X[" + Padded(i, 2) + "]=" + genes[i - 1] + "\n";
  }
  return ToCp932(out);
}

TEST(CalibrationEndToEnd, ConsoleShowsTheEchoThenTheProgressOfAllSixEpochs) {
  CaseDir dir;
  dir.WriteCase(Calibration(2, 0, 2), {}, 3);
  const auto run = testing::RunVelm(dir.Path(), kFrozenClock);

  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Stderr, "");
  const std::string expected = ExpectedConsole(2, 0);
  // The result block's two fit lines may follow.
  EXPECT_EQ(run.Stdout.substr(0, expected.size()), expected);
  // The milestones, one by one.
  EXPECT_NE(run.Stdout.find(ToCp932("subp[ 5] 初期化 fcount=    50\n"
                                    "サブ集団 6: 0世代目\n")),
            std::string::npos);
  EXPECT_NE(run.Stdout.find(ToCp932("サブ集団 1:100世代目\n")), std::string::npos);
  EXPECT_NE(run.Stdout.find(ToCp932("サブ集団 1:119世代目\n")), std::string::npos);
  EXPECT_EQ(run.Stdout.find(ToCp932("サブ集団 1:120世代目\n")), std::string::npos);
}

TEST(CalibrationEndToEnd, FinalPhaseStartsOnlyAboveTheEpochsCount) {
  for (const int limit : {29460, 29461}) {
    CaseDir dir;
    dir.WriteCase(Calibration(2, limit, 2), {}, 3);
    const auto run = testing::RunVelm(dir.Path(), kFrozenClock);

    const std::string expected = ExpectedConsole(2, limit);
    EXPECT_EQ(run.Stdout.substr(0, expected.size()), expected) << limit;
    EXPECT_EQ(Count(run.Stdout, ToCp932("世代目 subp[0] min.f=")),
              limit == 29460 ? 0u : 1u);
  }
}

TEST(CalibrationEndToEnd, WithoutVariablesNoGeneIsPrintedOrWritten) {
  CaseDir dir;
  dir.WriteCase(Calibration(1, 0, 0), {}, 3);
  const auto run = testing::RunVelm(dir.Path(), kFrozenClock);

  // With output flag 1 every evaluation adds its fit report to the console
  // and the best f is a fit, so only the lines around the genes are pinned.
  EXPECT_EQ(run.Stdout.find("X["), std::string::npos);
  EXPECT_NE(run.Stdout.find(ToCp932("  fcount= 29460\n"
                                    "\n"
                                    "最終最適解 目的関数f= ")),
            std::string::npos);
  const std::string file = dir.Read("result.csv");
  EXPECT_EQ(file.find("X["), std::string::npos);
  EXPECT_NE(file.find(" fcount=29460\r\n"
                      "\r\n"
                      " ************* Optimaization Parameter ************* \r\n"),
            std::string::npos);
}

TEST(CalibrationEndToEnd, WithOutputFlag0TheFileStillHoldsReportsFinalLinesAndAsterisks) {
  CaseDir dir;
  dir.WriteCase(Calibration(0, 0, 2), {}, 3);
  const auto run = testing::RunVelm(dir.Path(), kFrozenClock);
  ASSERT_EQ(run.ExitCode, 0);

  // With output flag 0 the objective is the fit, the same for every gene
  // vector here (no index is set), so its value is not written out here.
  const std::string file = dir.Read("result.csv");
  const std::string head = testing::DefaultInitialReport() +
                           testing::DefaultOptimizedReport() +
                           ToCp932("最終最適解 目的関数 f=");
  ASSERT_EQ(file.substr(0, head.size()), head);
  const std::size_t afterBest = file.find("\r\n", head.size()) + 2;
  const std::string tail =
      FileLine("X[1]=0.40849") + FileLine("X[2]=0.510361") + testing::kAsterisks;
  EXPECT_EQ(file.substr(afterBest, tail.size()), tail);
  EXPECT_EQ(file.find("subp["), std::string::npos);
}

TEST(CalibrationEndToEnd, RunsUnderTheSameFrozenClockAreByteForByteTheSame) {
  ControlValues control = Calibration(0, 29600, 2);
  control.ScalarIndices = {1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0};  // genes matter
  CaseDir first;
  CaseDir second;
  CaseDir later;
  for (const CaseDir* dir : {&first, &second, &later}) dir->WriteCase(control, {}, 3);

  const auto a = testing::RunVelm(first.Path(), kFrozenClock);
  const auto b = testing::RunVelm(second.Path(), kFrozenClock);
  const auto c = testing::RunVelm(
      later.Path(), "TZ=UTC faketime -f '2026-01-01 00:00:01'");

  EXPECT_EQ(a.Stdout, b.Stdout);
  EXPECT_EQ(first.Read("result.csv"), second.Read("result.csv"));
  EXPECT_NE(a.Stdout, c.Stdout);  // the clock seeds the search
}

void WriteFileInfoWithResult(const CaseDir& dir, const std::string& result) {
  dir.Write("FILEINFO.dat",
            "file names of the run\r\n"
            "InputFilename_Control,control.dat\r\n"
            "InputFilename_Paramater,param.dat\r\n"
            "InputFilename_RainData,rain.csv\r\n"
            "InputFilename_EPData,ep.csv\r\n"
            "InputFilename_RunoffData,runoff.csv\r\n"
            "OutputFilename_Result," + result + "\r\n");
}

TEST(CalibrationEndToEnd, AnUnwritableResultFileEndsWithExitCode1AndTheSameConsole) {
  CaseDir writable;
  writable.WriteCase(Calibration(1, 0, 2), {}, 3);
  CaseDir unwritable;
  unwritable.WriteCase(Calibration(1, 0, 2), {}, 3);
  WriteFileInfoWithResult(unwritable, "no-such-directory/result.csv");

  const auto good = testing::RunVelm(writable.Path(), kFrozenClock);
  const auto bad = testing::RunVelm(unwritable.Path(), kFrozenClock);

  EXPECT_EQ(good.ExitCode, 0);
  EXPECT_EQ(bad.ExitCode, 1);
  EXPECT_EQ(bad.Stdout, good.Stdout);
}

// Needs the real ReportUnwritableResultFile.
TEST(CalibrationEndToEnd, AnUnwritableResultFileIsReportedOnOneStderrLine) {
  CaseDir dir;
  dir.WriteCase(Calibration(2, 0, 2), {}, 3);
  WriteFileInfoWithResult(dir, "no-such-directory/result.csv");

  const auto run = testing::RunVelm(dir.Path(), kFrozenClock);

  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(std::count(run.Stderr.begin(), run.Stderr.end(), '\n'), 1);
  EXPECT_NE(run.Stderr.find("no-such-directory/result.csv"), std::string::npos);
}

}  // namespace
}  // namespace velm
