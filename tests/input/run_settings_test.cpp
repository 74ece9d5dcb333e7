#include "input/run_settings.h"

#include <gtest/gtest.h>

#include <map>

#include "support/case_dir.h"

namespace velm {
namespace {

class RunSettingsRead : public ::testing::Test {
 protected:
  RunSettingsRead() { dir_.WriteFileInfo(); }
  RunSettings ReadControl(const std::string& text) {
    dir_.Write("control.dat", text);
    RunSettings settings;
    settings.Read();
    return settings;
  }
  // Lines 1..count, each holding `fill`, with some lines replaced.
  static std::string Lines(int count, const std::map<int, std::string>& values,
                           const std::string& fill = "label") {
    std::string text;
    for (int n = 1; n <= count; ++n) {
      const auto value = values.find(n);
      text += (value != values.end() ? value->second : fill) + "\r\n";
    }
    return text;
  }

  testing::CaseDir dir_;
  testing::WorkingDirectory cwd_{dir_.Path()};
};

TEST_F(RunSettingsRead, ReadsEveryValueFromItsLine) {
  testing::ControlValues values;
  values.CatchmentArea = "427.165365";
  values.RunMode = -1;
  values.ObservedFlag = 2;
  values.OutputFlag = 3;
  values.SurfaceStorageFlag = 1;
  values.ObjectiveType = 4;
  values.FcountLimit = 29461;
  values.BalanceErrorLimit = "0.25";
  values.VariableCount = 14;
  values.ScalarIndices = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  values.TankIndices = {{12, 13}, {14, 0}};
  const RunSettings s = ReadControl(testing::ControlFileText(values));
  EXPECT_EQ(s.CatchmentArea, 427.165365);
  EXPECT_EQ(s.RunMode, -1);
  EXPECT_EQ(s.ObservedFlag, 2);
  EXPECT_EQ(s.OutputFlag, 3);
  EXPECT_EQ(s.SurfaceStorageFlag, 1);
  EXPECT_EQ(s.ObjectiveType, 4);
  EXPECT_EQ(s.FcountLimit, 29461);
  EXPECT_EQ(s.BalanceErrorLimit, 0.25);
  EXPECT_EQ(s.VariableCount, 14);
  const int indices[] = {
      s.OptIndex_Impervious,          s.OptIndex_MAX_Infiltration,
      s.OptIndex_Final_Infiltration,  s.OptIndex_Coeff_Reduction,
      s.OptIndex_F18_Infiltration,    s.OptIndex_MAX_EvapoRatio,
      s.OptIndex_Coeff_EvapoModel,    s.OptIndex_CoeffSurfaceTopTank,
      s.OptIndex_HighSurfaceTopTank,  s.OptIndex_CoeffSurfaceBotomTank,
      s.OptIndex_HighSurfaceBotomTank};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(indices[i], i + 1);
  EXPECT_EQ(s.CoeffTankIndex(1), 12);
  EXPECT_EQ(s.BotomTankIndex(1), 13);
  EXPECT_EQ(s.CoeffTankIndex(2), 14);
  EXPECT_EQ(s.BotomTankIndex(2), 0);
}

TEST_F(RunSettingsRead, ValueLinesReadTheirLeadingNumberOnly) {
  const RunSettings s = ReadControl(Lines(19, {{3, "1"},
                                               {5, "1   calibrate"},
                                               {9, "output"},
                                               {17, " 0.5e-1 ratio"},
                                               {19, "3"}}));
  EXPECT_EQ(s.CatchmentArea, 1.0);
  EXPECT_EQ(s.RunMode, 1);
  EXPECT_EQ(s.OutputFlag, 0);
  EXPECT_EQ(s.BalanceErrorLimit, 0.05);
}

TEST_F(RunSettingsRead, AShortFileLeavesIndicesZeroAndListsEmpty) {
  const RunSettings s = ReadControl(Lines(19, {{19, "2"}}));
  EXPECT_EQ(s.VariableCount, 2);
  EXPECT_EQ(s.OptIndex_Impervious, 0);
  EXPECT_EQ(s.OptIndex_HighSurfaceBotomTank, 0);
  EXPECT_TRUE(s.OptIndex_CoeffTank->empty());
  EXPECT_TRUE(s.OptIndex_BotomTank->empty());
  EXPECT_EQ(s.CoeffTankIndex(1), 0);
}

TEST_F(RunSettingsRead, TankGroupsFollowTheirCountAndSkipTheirLabelLines) {
  const RunSettings s = ReadControl(Lines(50, {{19, "5"},
                                               {44, "2"},
                                               {45, "9"},
                                               {46, "1"},
                                               {47, "2"},
                                               {48, "9"},
                                               {49, "3"},
                                               {50, "4"}}));
  EXPECT_EQ(*s.OptIndex_CoeffTank, (std::vector<int>{1, 3}));
  EXPECT_EQ(*s.OptIndex_BotomTank, (std::vector<int>{2, 4}));
  // Tanks the control file has no group for are not calibrated.
  EXPECT_EQ(s.CoeffTankIndex(3), 0);
  EXPECT_EQ(s.BotomTankIndex(3), 0);
}

TEST_F(RunSettingsRead, AnAbsurdTankIndexCountReadsOnlyTheGroupsTheFileHas) {
  const RunSettings s =
      ReadControl(Lines(47, {{19, "1"}, {44, "2147483647"}, {46, "1"}}));
  EXPECT_EQ(*s.OptIndex_CoeffTank, (std::vector<int>{1}));
}

TEST_F(RunSettingsRead, ACopySharesTheIndexListsOfItsSource) {
  const RunSettings source =
      ReadControl(Lines(47, {{19, "3"}, {44, "1"}, {46, "1"}, {47, "2"}}));
  const RunSettings copy = source;
  (*source.OptIndex_CoeffTank)[0] = 3;
  EXPECT_EQ(copy.CoeffTankIndex(1), 3);
  EXPECT_EQ(copy.OptIndex_BotomTank, source.OptIndex_BotomTank);
  EXPECT_EQ(copy.Files.Name(FileEntry::kControl), "control.dat");
}

}  // namespace
}  // namespace velm
