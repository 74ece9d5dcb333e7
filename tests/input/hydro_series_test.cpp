#include "input/hydro_series.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "common/input_error.h"
#include "support/case_dir.h"

namespace velm {
namespace {

class HydroSeriesRead : public ::testing::Test {
 protected:
  HydroSeriesRead() {
    dir_.WriteFileInfo();
    SetCatchmentArea("1.0");
  }
  void SetCatchmentArea(const std::string& area) {
    testing::ControlValues control;
    control.CatchmentArea = area;
    dir_.Write("control.dat", testing::ControlFileText(control));
  }
  static std::string Hours(int count, const std::string& value = "0") {
    std::string text;
    for (int t = 0; t < count; ++t) {
      text += "2004,7," + std::to_string(1 + t / 24) + "," +
              std::to_string(t % 24 + 1) + "," + value + "\r\n";
    }
    return text;
  }
  // Reads rain and evaporation into arrays sized by the rain file's count.
  struct Series {
    std::vector<double> rain, ep;
    HydroSeries series;
  };
  std::unique_ptr<Series> ReadAll() {
    auto all = std::make_unique<Series>();
    const int hours = all->series.CountRainLines();
    all->rain.assign(static_cast<std::size_t>(hours), -1.0);
    all->ep.assign(static_cast<std::size_t>(hours), -1.0);
    all->series.ReadRainAndEvaporation(all->rain, all->ep);
    return all;
  }
  std::string ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const InputError& error) {
      return error.Message();
    }
    return "no error";
  }
  static std::string Message(const std::string& key, int line,
                             const char* problem) {
    return key + " " + std::to_string(line) +
           testing::ToCp932(std::string("行目 ") + problem);
  }

  testing::CaseDir dir_;
  testing::WorkingDirectory cwd_{dir_.Path()};
};

TEST_F(HydroSeriesRead, SpreadsDailyEvaporationOverHoursNineToEighteen) {
  dir_.Write("rain.csv", Hours(48));
  dir_.Write("ep.csv", "2004,7,1,3.0\r\n2004, 07, 02, 4.5\r\n");
  const auto all = ReadAll();
  ASSERT_EQ(all->ep.size(), 48u);
  EXPECT_EQ(all->ep[7], 0.0);
  EXPECT_EQ(all->ep[8], 0.1 * 3.0);
  EXPECT_EQ(all->ep[17], 0.1 * 3.0);
  EXPECT_EQ(all->ep[18], 0.0);
  EXPECT_EQ(all->ep[32], 0.1 * 4.5);
  double dayTotal = 0.0;
  for (int t = 24; t < 48; ++t) dayTotal += all->ep[t];
  EXPECT_NEAR(dayTotal, 4.5, 1e-12);
  EXPECT_EQ(all->series.Year, (std::vector<int>{2004, 2004}));
  EXPECT_EQ(all->series.Month, (std::vector<int>{7, 7}));
  EXPECT_EQ(all->series.Day, (std::vector<int>{1, 2}));
}

TEST_F(HydroSeriesRead, RainIsTheValueAfterTheFourthCommaWhateverComesFirst) {
  dir_.Write("rain.csv",
             "2004,7,1,13,2.5\r\n"
             "x,,y,z, 1.25 gauge repaired\r\n"
             "1,2,3,4,\r\n"
             "1,2,3,4,0.5,extra\n"
             "1,2,3,4,9");  // no line feed: neither counted nor read
  dir_.Write("ep.csv", "");
  const auto all = ReadAll();
  EXPECT_EQ(all->rain, (std::vector<double>{2.5, 1.25, 0.0, 0.5}));
}

TEST_F(HydroSeriesRead, ATrailingPartialDayHasNoEvaporation) {
  dir_.Write("rain.csv", Hours(50));
  dir_.Write("ep.csv", "2004,7,1,3.0\r\n2004,7,2,3.0\r\n");
  const auto all = ReadAll();
  EXPECT_EQ(all->ep[32], 0.1 * 3.0);
  EXPECT_EQ(all->ep[48], 0.0);
  EXPECT_EQ(all->ep[49], 0.0);
}

TEST_F(HydroSeriesRead, ObservedRunoffIsConvertedUnlessTheAreaIsExactlyOne) {
  dir_.Write("runoff.csv", "2004,7,1,1,0.5\r\n2004,7,1,2,2\r\n");
  std::vector<double> observed(3, -1.0);
  HydroSeries().ReadObservedRunoff(observed);
  EXPECT_EQ(observed, (std::vector<double>{0.5, 2.0, 0.0}));

  SetCatchmentArea("36.0");
  HydroSeries().ReadObservedRunoff(observed);
  EXPECT_EQ(observed[0], 0.5 * 3600 / 36.0 * 0.001);
  EXPECT_NEAR(observed[0], 0.05, 1e-15);

  SetCatchmentArea("1.0000001");
  HydroSeries().ReadObservedRunoff(observed);
  EXPECT_EQ(observed[0], 0.5 * 3600 / 1.0000001 * 0.001);
}

TEST_F(HydroSeriesRead, RefusesObservedRunoffLongerThanTheRun) {
  dir_.Write("runoff.csv", Hours(3, "1"));
  std::vector<double> observed(2);
  const HydroSeries series;
  EXPECT_EQ(ErrorOf([&] { series.ReadObservedRunoff(observed); }),
            Message("InputFilename_RunoffData", 3, "データが多すぎます"));
}

}  // namespace
}  // namespace velm
