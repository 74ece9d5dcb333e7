#include "report/result_reader.h"
#include "report/search_trace.h"
#include "report/series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace velm::report {
namespace {

std::string ReadData(const std::string& name) {
  std::ifstream in(std::string(VELM_REPORT_TEST_DATA) + "/" + name,
                   std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

double ValueOf(const std::vector<NamedValue>& values, const std::string& name) {
  for (const NamedValue& v : values) {
    if (v.Name == name) return v.Value;
  }
  return std::nan("");
}

// The sample catchment calibrated under a frozen clock (output switch 0).
TEST(ResultReader, ReadsCalibrationLayout) {
  const ResultFile r = ParseResultFile(ReadData("calibration.csv"));
  ASSERT_TRUE(r.Calibration);
  const CalibrationResult& c = *r.Calibration;
  EXPECT_EQ(c.FinalObjective, 0.537435);
  EXPECT_EQ(c.Genes,
            (std::vector<double>{0.182242, 0.460535, 0.405887, 0.378588,
                                 0.321278, 0.342521, 0.71072, 0.324922}));
  EXPECT_EQ(ValueOf(c.Initial, "MAX_EvapoRatio"), 0.8);
  EXPECT_EQ(ValueOf(c.Optimized, "MAX_EvapoRatio"), 0.324709);
  EXPECT_EQ(ValueOf(c.Optimized, "TankWaterDepth[3]"), 52.6316);
  EXPECT_EQ(ValueOf(r.Parameters, "CoeffTank[1]"), 0.00649843);
  EXPECT_EQ(r.Parameters.size(), 19u);  // 13 scalars, 3 tanks of 2
  EXPECT_EQ(r.FitDays, 365);
  ASSERT_EQ(r.Days.size(), 365u);
  EXPECT_TRUE(r.HasObserved);
  const DayRow& last = r.Days.back();
  EXPECT_EQ((std::vector<double>{double(last.Year), double(last.Month),
                                 double(last.Day), last.Observed}),
            (std::vector<double>{2001, 12, 31, 0.200461}));
}

// Without observed runoff the remaining columns move one to the left.
TEST(ResultReader, ReadsSimulationLayoutWithoutObserved) {
  const ResultFile r = ParseResultFile(
      "*** Velm-Model Calculation *** Parameter\r\n"
      " MAX_SoilMoisture  =150,   F18_SoilMoisture   =75\r\n\r\n"
      "1 CoeffTank=0.02, BotomTank=nan\r\n\r\n\r\n"
      "Result of Velm-Model Runoff Calculation  0\x93\xfa\x8a\xd4\r\n"
      "i,YEAR,MONTH,DAY,Rain,CalcQ,PotentialE,ActualE,Infiltration\r\n"
      "0,2001,1,1,4,0.5,1e-005,0.25,7.5,\r\n");
  EXPECT_FALSE(r.Calibration);
  EXPECT_FALSE(r.HasObserved);
  EXPECT_TRUE(std::isnan(ValueOf(r.Parameters, "BotomTank[1]")));
  ASSERT_EQ(r.Days.size(), 1u);
  const DayRow& d = r.Days[0];
  EXPECT_TRUE(std::isnan(d.Observed));
  EXPECT_EQ((std::vector<double>{d.Rain, d.Calculated, d.PotentialE, d.ActualE,
                                 d.Infiltration}),
            (std::vector<double>{4, 0.5, 1e-5, 0.25, 7.5}));
}

TEST(ResultReader, RejectsWhatIsNoResultFileNamingTheLine) {
  const std::string head =
      "*** Velm-Model Calculation *** Parameter\r\n Impervious =0.05\r\n\r\n"
      "Result of Velm-Model Runoff Calculation  1\r\n"
      "i,YEAR,MONTH,DAY,Rain,CalcQ,PotentialE,ActualE,Infiltration\r\n";
  const std::pair<std::string, std::string> cases[] = {
      {"", "line 1: expected the parameter heading"},
      {"2001,1,1,1,0.5\n", "line 1: expected the parameter heading"},
      {head + "0,2001,1,1,4,0.5,0,0,7.5\r\n", "line 6: expected a daily row"},
      {head + "1,2001,1,1,4,0.5,0,0,7.5,\r\n", "line 6: expected row number 0"},
      {head + "0,2001,1,1,4,x,0,0,7.5,\r\n", "line 6: expected a number"},
      {head + "\r\nmore\r\n", "line 7: unexpected text"},
  };
  for (const auto& [text, message] : cases) {
    try {
      ParseResultFile(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const NotAResultFile& e) {
      EXPECT_TRUE(std::string(e.what()).starts_with(message)) << e.what();
    }
  }
}


// The progress lines as the console and as the result file write them; the
// best f only falls, and lines without both numbers are not points.
TEST(SearchTrace, ReadsConsoleAndResultFileLinesAsTheBestSoFar) {
  const auto trace = SearchTrace(
      "subp[ 0] \x8f\x89\x8a\xfa\x89\xbb fcount=     0\r\n"
      "subp[ 0] min.f=0.700000  fcount=   130\n"
      "subp[ 1] min.f=0.900000  fcount=   200\n"
      "subp[ 2] min.f=nan  fcount=   270\n"
      "subp[0] min.f=0.537435fcount=29390\r\n");
  ASSERT_EQ(trace.size(), 3u);
  EXPECT_EQ(trace[0].Evaluations, 130);
  EXPECT_EQ(trace[1].Evaluations, 200);
  EXPECT_EQ(trace[1].BestF, 0.7);
  EXPECT_EQ(trace[2].Evaluations, 29390);
  EXPECT_EQ(trace[2].BestF, 0.537435);
}

// Days without observed runoff count nowhere: not in their month's sums, and
// not in the month the Explore panel sums them into.
TEST(Series, CountsOnlyFitDaysIntoTheirMonth) {
  ResultFile result;
  result.HasObserved = true;
  //                Y     M  D  rain obs  calc PE   AE   infiltration
  result.Days = {{2001, 1, 30, 1.0, 0.5, 0.25, 2.0, 1.0, 0.0},
                 {2001, 1, 31, 4.0, 0.0, 0.5, 2.0, 1.5, 0.0},
                 {2001, 2, 1, 2.0, 1.0, 0.75, 2.0, 0.5, 0.0},
                 {2001, 3, 1, 8.0, 0.0, 1.0, 2.0, 0.25, 0.0}};
  EXPECT_EQ(CountedDays(result), (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(MonthEntryOfDays(result), (std::vector<int>{0, -1, 1, -1}));
  const std::vector<MonthTotals> months = MonthlyTotals(result);
  ASSERT_EQ(months.size(), 3u);
  EXPECT_EQ(months[0].Rain, 1.0);
  EXPECT_EQ(months[0].Calculated, 0.25);
  EXPECT_EQ(months[0].ActualE, 1.0);
  EXPECT_EQ(months[1].Observed, 1.0);
  EXPECT_EQ(months[2].Rain, 0.0);
  result.HasObserved = false;
  EXPECT_EQ(MonthEntryOfDays(result), (std::vector<int>{0, 0, 1, 2}));
  EXPECT_EQ(MonthlyTotals(result)[0].Rain, 5.0);
  EXPECT_TRUE(std::isnan(MonthlyTotals(result)[0].Observed));
}

}  // namespace
}  // namespace velm::report
