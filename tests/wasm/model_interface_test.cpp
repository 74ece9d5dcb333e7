// The page's model interface, compiled natively: parameters by index with
// their derived values, the refusals, the broken ordering rule, the
// parameter file written from a set, and the fit and scores of a small
// record worked by hand.

#include "wasm/model_interface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

struct SessionDeleter {
  void operator()(VelmSession* s) const { velm_destroy(s); }
};
using Session = std::unique_ptr<VelmSession, SessionDeleter>;

int IndexOf(const std::string& name) {
  for (int i = 0; i < velm_parameter_count(); ++i) {
    if (name == velm_parameter_name(i)) return i;
  }
  return -1;
}

// The sample's soil and tanks on a record of `hours` hours.
Session SampleSession(int hours) {
  Session s(velm_create(hours));
  const std::pair<const char*, double> values[] = {
      {"Impervious", 0.05},         {"MAX_SoilMoisture", 150},
      {"Final_Infiltration", 0.46}, {"Coeff_Reduction", 0.1},
      {"F18_SoilMoisture", 75},     {"MAX_EvapoRatio", 0.8},
      {"Coeff_EvapoModel", 7.9},    {"CoeffSurfaceTopTank", 0.44},
      {"HighSurfaceTopTank", 50},   {"CoeffSurfaceBotomTank", 0.005}};
  for (const auto& [name, value] : values) {
    velm_set_parameter(s.get(), IndexOf(name), value);
  }
  velm_set_tank_count(s.get(), 2);
  velm_set_tank(s.get(), 1, 0.005, 0.01);
  velm_set_tank(s.get(), 2, 0.001, 0.0);
  return s;
}

TEST(ModelInterface, ParametersDeriveAsAParameterFileDoes) {
  EXPECT_EQ(velm_parameter_count(), 13);
  EXPECT_EQ(velm_file_parameter_count(), 11);
  EXPECT_STREQ(velm_parameter_name(12), "MAX_Infiltration");
  EXPECT_STREQ(velm_parameter_name(13), "");
  Session s(velm_create(0));
  // An empty parameter file: the soil values derive nothing.
  EXPECT_EQ(velm_derivation_problem(s.get()), 1);
  EXPECT_EQ(velm_simulate(s.get()), 1);
  s = SampleSession(48);
  EXPECT_EQ(velm_derivation_problem(s.get()), 0);
  // The values velm echoes for the sample: 0.506 and 12.8772 mm/h.
  EXPECT_NEAR(velm_parameter(s.get(), IndexOf("F18_Infiltration")), 0.506,
              1e-12);
  EXPECT_NEAR(velm_parameter(s.get(), IndexOf("MAX_Infiltration")), 12.8772,
              1e-4);
  EXPECT_EQ(velm_set_parameter(s.get(), IndexOf("MAX_Infiltration"), 1), -1);
  EXPECT_EQ(velm_set_parameter(s.get(), -1, 1), -1);
  EXPECT_EQ(velm_set_parameter(s.get(), IndexOf("Impervious"), 1), 2);
  EXPECT_EQ(velm_set_tank_count(s.get(), 1001), -1);
  EXPECT_EQ(velm_set_tank(s.get(), 3, 1, 1), -1);
  EXPECT_EQ(velm_set_tank_count(s.get(), 0), 0);
  EXPECT_TRUE(std::isnan(velm_coeff_tank(s.get(), 1)));
}

TEST(ModelInterface, NamesTheFirstBrokenRuleAndPenalisesF) {
  Session s = SampleSession(48);
  EXPECT_STREQ(velm_broken_rule(s.get()), "");
  velm_observed(s.get())[0] = 1.0;
  velm_set_run(s.get(), 0, 1, 1, 0.1);
  velm_simulate(s.get());
  const double unbroken = velm_fit(s.get())[9];
  velm_set_tank(s.get(), 1, 0.0071, 0.01);
  EXPECT_STREQ(velm_broken_rule(s.get()),
               "CoeffSurfaceBotomTank 0.005 < CoeffTank[1] 0.0071");
  velm_set_tank(s.get(), 1, 0.005, 0.01);
  velm_set_tank(s.get(), 2, 0.001, 0.5);
  EXPECT_STREQ(velm_broken_rule(s.get()),
               "Final_Infiltration 0.46 < BotomTank[2] 0.5");
  velm_simulate(s.get());
  EXPECT_GT(velm_fit(s.get())[9], unbroken + 99999);
}

TEST(ModelInterface, WritesTheParameterFileOfTheSetOrSaysWhyNot) {
  Session s = SampleSession(24);
  const std::string text = velm_parameter_file(s.get());
  EXPECT_STREQ(velm_parameter_file_refusal(s.get()), "");
  // F18_SoilMoisture as the file's fraction; a tank's lines after its count.
  EXPECT_NE(text.find("\r\n0.5\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n2\r\nTank 1: CoeffTank, "
                      "BotomTank\r\n0.0050000000000000001\r\n0.01\r\n"),
            std::string::npos);
  velm_set_parameter(s.get(), IndexOf("Impervious"), 1);
  EXPECT_STREQ(velm_parameter_file(s.get()), "");
  EXPECT_NE(std::string(velm_parameter_file_refusal(s.get())).find("refuse"),
            std::string::npos);
}

TEST(ModelInterface, FitAndScoresOverTheObservedDays) {
  Session s = SampleSession(72);
  for (int h = 0; h < 72; ++h) {
    velm_rain(s.get())[h] = h % 24 < 4 ? 5.0 : 0.0;
    velm_potential_evaporation(s.get())[h] = 0.1;
  }
  double* observed = velm_observed(s.get());
  observed[0] = 2.0, observed[1] = 0.0, observed[2] = 1.0;
  velm_set_run(s.get(), 1, 1, 3, 0.1);
  ASSERT_EQ(velm_simulate(s.get()), 0);
  ASSERT_EQ(velm_days(s.get()), 3);
  const double* fit = velm_fit(s.get());
  const double* q = velm_daily_runoff(s.get());
  EXPECT_EQ(fit[0], 2);  // the day without observed runoff does not count
  EXPECT_DOUBLE_EQ(fit[5], 40.0);
  EXPECT_DOUBLE_EQ(velm_daily_rain(s.get())[2], 20.0);
  EXPECT_DOUBLE_EQ(velm_daily_potential_evaporation(s.get())[0], 2.4);
  EXPECT_DOUBLE_EQ(fit[7], q[0] + q[2]);
  // ObjectiveType 3: f is RE, 100 × the mean relative error.
  EXPECT_DOUBLE_EQ(fit[9],
                   100 * (std::fabs(2 - q[0]) / 2 + std::fabs(1 - q[2])) / 2);
  EXPECT_EQ(velm_scores(s.get())[0], 2);
  EXPECT_GT(velm_daily_actual_evaporation(s.get())[0], 0);
  // Without observed runoff: no fit day, every score undefined.
  velm_set_run(s.get(), 1, 0, 3, 0.1);
  velm_simulate(s.get());
  EXPECT_EQ(velm_fit(s.get())[0], 0);
  EXPECT_STREQ(velm_score_text(s.get(), 1), "undefined");
  EXPECT_STREQ(velm_score_text(s.get(), 0), "");
}

}  // namespace
