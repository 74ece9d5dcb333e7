#include "input/parameter_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "support/case_dir.h"

namespace velm {
namespace {

class ParameterSetRead : public ::testing::Test {
 protected:
  ParameterSetRead() { dir_.WriteFileInfo(); }
  ParameterSet ReadParameters(const testing::ParameterValues& values,
                              int echo = 0) {
    dir_.Write("param.dat", testing::ParameterFileText(values));
    ParameterSet parameters;
    parameters.Read(echo);
    return parameters;
  }

  testing::CaseDir dir_;
  testing::WorkingDirectory cwd_{dir_.Path()};
};

TEST_F(ParameterSetRead, DerivesTheSoilAndInfiltrationValues) {
  const ParameterSet p = ReadParameters({});  // 200, 0.5, 5, 0.1
  EXPECT_EQ(p.F18_SoilMoisture, 100.0);
  EXPECT_NEAR(p.F18_Infiltration, 5.58701294, 5e-9);
  EXPECT_NEAR(p.MAX_Infiltration, 12.35250902, 5e-9);
  EXPECT_EQ(p.ImperviousTankWD, 0.0);
}

TEST_F(ParameterSetRead, LastTwoTanksStartWithTheirInitialDepths) {
  const ParameterSet p = ReadParameters({});  // Impervious 0.2
  ASSERT_EQ(p.TankCount, 3);
  EXPECT_EQ(p.CoeffTank, (std::vector<double>{0, 0.2, 0.1, 0.05}));
  EXPECT_EQ(p.BotomTank, (std::vector<double>{0, 0.5, 0.2, 0}));
  EXPECT_EQ(p.TankWaterDepth[0], 0.0);
  EXPECT_EQ(p.TankWaterDepth[1], 0.0);
  EXPECT_NEAR(p.TankWaterDepth[2], 1.25, 1e-15);
  EXPECT_NEAR(p.TankWaterDepth[3], 1.25, 1e-15);
}

TEST_F(ParameterSetRead, InitialDepthsDivideLeftToRight) {
  // 0.1 / 0.3 / 0.9 and 0.1 / (0.3 * 0.9) differ in the last bit.
  testing::ParameterValues values;
  values.Impervious = "0.1";
  values.Tanks = {{"0.3", "0"}, {"0.3", "0"}};
  const ParameterSet p = ReadParameters(values);
  EXPECT_EQ(p.TankWaterDepth,
            (std::vector<double>{0, 0.3703703703703704, 0.1851851851851852}));
}

TEST_F(ParameterSetRead, FewerThanTwoTanksGetTheDepthsOfTheTanksThatExist) {
  testing::ParameterValues values;
  values.Tanks = {{"0.05", "0"}};
  EXPECT_EQ(ReadParameters(values).TankWaterDepth,
            (std::vector<double>{0, 0.05 / 0.05 / (1 - 0.2)}));
  values.Tanks = {};
  values.Impervious = "1";  // no tank depth to divide by 1 - Impervious
  EXPECT_EQ(ReadParameters(values).TankWaterDepth, (std::vector<double>{0}));
}

TEST_F(ParameterSetRead, EchoPrintsTheMainAndTankParametersAsRead) {
  testing::ParameterValues values;
  values.Tanks = {{"0.2", "0.5"}, {"1234567", "0.00005"}};
  testing::CapturedStdout quiet;
  const ParameterSet silent = ReadParameters(values, 0);
  EXPECT_EQ(quiet.Text(), "");

  std::string echoed;
  {
    testing::CapturedStdout console;
    const ParameterSet loud = ReadParameters(values, 1);
    echoed = console.Text();
    EXPECT_EQ(loud.TankWaterDepth, silent.TankWaterDepth);
  }
  EXPECT_EQ(echoed,
            " MAX_SoilMoisture  =200 MAX_EvapoRatio    =0.8\n"
            " Coeff_Reduction   =0.1 F18_SoilMoisture  =100\n"
            " Final_Infiltration=5 Coeff_EvapoModel  =10\n"
            " F18_Infiltration  =5.58701 MAX_Infiltration  =12.3525\n"
            "\n"
            "1 CoeffTank=0.2 BotomTank=0.5\n"
            "2 CoeffTank=1.23457e+006 BotomTank=5e-005\n");
}

// The search walked one step at a time, as the fast walk must reproduce.
std::optional<double> StepByStepSearch(double fc, double k, double smax,
                                       double f18) {
  const auto g = [&](double x) {
    return k * smax - (x - fc * std::log((f18 - fc) / x));
  };
  double x = f18, s = 1.0, gx = 1.0;
  for (long pass = 0; pass < 100'000'000; ++pass) {
    if (gx <= 0) {
      x = x - s * f18;
      s = s * 0.1;
    }
    x = x + s * f18;
    gx = g(x);
    if (std::fabs(gx) <= 0.01) return x + fc;
  }
  return std::nullopt;
}

struct SearchCase {
  double fc, k, smax, fraction;
};
void PrintTo(const SearchCase& c, std::ostream* out) {
  *out << "fc " << c.fc << " k " << c.k << " Smax " << c.smax << " S18 "
       << c.fraction;
}

class MaxInfiltrationSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(MaxInfiltrationSearch, FindsBitForBitWhatTheStepByStepWalkFinds) {
  const auto [fc, k, smax, fraction] = GetParam();
  const double f18 = ComputeF18Infiltration(fc, k, smax, smax * fraction);
  const auto expected = StepByStepSearch(fc, k, smax, f18);
  ASSERT_TRUE(expected);
  EXPECT_EQ(SearchMaxInfiltration(fc, k, smax, f18), expected);
}

INSTANTIATE_TEST_SUITE_P(
    ValidSets, MaxInfiltrationSearch,
    ::testing::Values(SearchCase{5, 0.1, 200, 0.5},      // 13 steps
                      SearchCase{0.01, 1, 200, 0.5},     // 18,169 steps
                      SearchCase{0.001, 1, 200, 0.5},    // 181,795 steps
                      SearchCase{0.0005, 1, 100, 0.5},   // 182,369 steps
                      SearchCase{3e-5, 0.05, 500, 0.5},  // 757,258 steps
                      SearchCase{0.02, 2, 80, 0.3},
                      SearchCase{2, 0.05, 150, 0.5}));

TEST(MaxInfiltrationSearchEnds, ATinyF18TakesBillionsOfStepsButEnds) {
  const double fc = 1e-9, k = 1, smax = 200;
  const double f18 = ComputeF18Infiltration(fc, k, smax, 100);
  const auto found = SearchMaxInfiltration(fc, k, smax, f18);
  ASSERT_TRUE(found);
  const double x = *found - fc;
  EXPECT_LE(std::fabs(k * smax - (x - fc * std::log((f18 - fc) / x))), 0.01);
  EXPECT_NEAR(*found, 200.0, 0.02);
}

TEST(MaxInfiltrationSearchEnds, SetsOutsideTheDomainAreRefused) {
  EXPECT_FALSE(SearchMaxInfiltration(5, 0.1, 1, 5.5));  // g(F18) < -0.01
  EXPECT_FALSE(SearchMaxInfiltration(5, 0.1, 200, 5));  // ln of 0
  EXPECT_FALSE(SearchMaxInfiltration(-1, 0.1, 200, -1.1));
  EXPECT_FALSE(SearchMaxInfiltration(5, 0.1, 200, std::nan("")));
}

}  // namespace
}  // namespace velm
