#include "optimizer/progress_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>

#include "common/texts.h"
#include "optimizer/expected_reports.h"
#include "support/case_dir.h"

namespace velm {
namespace {

using testing::ToCp932;

TEST(FormatProgress, FillsIntegerAndFixedFieldsLikePrintf) {
  EXPECT_EQ(FormatProgress(text::kInitialiseFormat, {0, 0}),
            ToCp932("subp[ 0] 初期化 fcount=     0\n"));
  EXPECT_EQ(FormatProgress(text::kGenerationFormat, {6, 0}),
            ToCp932("サブ集団 6: 0世代目\n"));
  EXPECT_EQ(FormatProgress(text::kEpochBestFormat, {120, 12345.678, 29460}),
            ToCp932("120世代目の最適解  目的関数f= 12345.678000  fcount= 29460\n"));
  EXPECT_EQ(FormatProgress("subp[%2d] min.f=%8.6f  fcount=%6d\n",
                           {3, 0.123456789, 29530}),
            "subp[ 3] min.f=0.123457  fcount= 29530\n");
  EXPECT_EQ(FormatProgress(" X[%2d]=%6.4f ", {14, 1.5}), " X[14]=1.5000 ");
}

TEST(FormatProgress, WritesNonFiniteValuesAsTheResultFileDoes) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(FormatProgress("subp[%2d].f=%6.4f\n", {0, nan}), "subp[ 0].f=   nan\n");
  EXPECT_EQ(FormatProgress("subp[%2d].f=%6.4f\n", {0, -nan}), "subp[ 0].f=   nan\n");
  EXPECT_EQ(FormatProgress("f=%8.6f", {-inf}), "f=    -inf");
  EXPECT_EQ(FormatProgress("f=%8.6f", {inf}), "f=     inf");
}

struct EventCase {
  std::string name;
  std::function<void(ProgressReport&)> event;
  std::string console;      // UTF-8
  std::string file;         // UTF-8, CR LF
  bool fileWhenNotCopying;  // the final lines are written in any case
  friend void PrintTo(const EventCase& c, std::ostream* os) { *os << c.name; }
};

Individual Best() {
  Individual best;
  best.X = {0, 0.25, 1.0};
  best.f = 0.5;
  return best;
}

class ProgressEvents : public ::testing::TestWithParam<EventCase> {};

TEST_P(ProgressEvents, ConsoleAndFileHaveEachTheirOwnLine) {
  for (const bool copy : {true, false}) {
    std::ostringstream console;
    std::ostringstream file;
    ProgressReport report(console, file, copy, 2);
    GetParam().event(report);
    EXPECT_EQ(console.str(), ToCp932(GetParam().console)) << copy;
    const bool fileLine = copy || GetParam().fileWhenNotCopying;
    EXPECT_EQ(file.str(), fileLine ? ToCp932(GetParam().file) : "") << copy;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Events, ProgressEvents,
    ::testing::Values(
        EventCase{"Initialising", [](ProgressReport& r) { r.Initialising(5, 50); },
                  "subp[ 5] 初期化 fcount=    50\n",
                  "subp[5] 初期化 fcount=50\r\n", false},
        EventCase{"GenerationStarts",
                  [](ProgressReport& r) { r.GenerationStarts(6, 0); },
                  "サブ集団 6: 0世代目\n", "サブ集団6個：0\r\n", false},
        EventCase{"SteppedHasNoBlankBeforeFcountInTheFile",
                  [](ProgressReport& r) { r.Stepped(2, 0.5, 130); },
                  "subp[ 2] min.f=0.500000  fcount=   130\n",
                  "subp[2] min.f=0.5fcount=130\r\n", false},
        EventCase{"SortingIsConsoleOnly", [](ProgressReport& r) { r.Sorting(); },
                  "ソート\n", "", false},
        EventCase{"Ranked", [](ProgressReport& r) { r.Ranked(1, 0.123456); },
                  "subp[ 1].f=0.1235\n", "subp[1].f=0.123456\r\n", false},
        EventCase{"EpochBestWithItsGenes",
                  [](ProgressReport& r) { r.EpochBest(20, Best(), 8460); },
                  "20世代目の最適解  目的関数f= 0.500000  fcount=  8460\n"
                  " X[ 1]=0.2500  X[ 2]=1.0000 \n",
                  "20世代目の最適解  目的関数f=0.5 fcount=8460\r\n"
                  " X[1]=0.25  X[2]=1 \r\n",
                  false},
        EventCase{"FinalStep",
                  [](ProgressReport& r) { r.FinalStep(120, 0.1, 29530); },
                  "120世代目 subp[0] min.f=0.100000 fcount= 29530\n",
                  "120世代目 subp[0] min.f=0.1 fcount=29530\r\n", false},
        EventCase{"FinalBestIsAlwaysInTheFile",
                  [](ProgressReport& r) { r.FinalBest(Best()); },
                  "最終最適解 目的関数f= 0.500000\nX[ 1]=0.2500\nX[ 2]=1.0000\n",
                  "最終最適解 目的関数 f=0.5\r\nX[1]=0.25\r\nX[2]=1\r\n", true},
        EventCase{"ClosingIsAlwaysInTheFile",
                  [](ProgressReport& r) { r.Closing(); }, "",
                  " *************************************************** \r\n",
                  true}),
    [](const auto& info) { return info.param.name; });

TEST(ProgressEvents, WithoutGenesTheEpochsGeneLineIsItsLineEndAlone) {
  std::ostringstream console;
  std::ostringstream file;
  ProgressReport report(console, file, true, 0);
  report.EpochBest(20, Best(), 8460);
  report.FinalBest(Best());
  EXPECT_EQ(console.str(),
            ToCp932("20世代目の最適解  目的関数f= 0.500000  fcount=  8460\n"
                    "\n"
                    "最終最適解 目的関数f= 0.500000\n"));
  EXPECT_EQ(file.str(), ToCp932("20世代目の最適解  目的関数f=0.5 fcount=8460\r\n"
                                "\r\n"
                                "最終最適解 目的関数 f=0.5\r\n"));
}

}  // namespace
}  // namespace velm
