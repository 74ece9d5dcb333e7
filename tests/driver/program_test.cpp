// The built program, run in directories the tests prepare: what reaches the
// console, and the exit code.

#include <gtest/gtest.h>

#include "support/case_dir.h"

namespace velm {
namespace {

using testing::ToCp932;

const std::string kCannotOpen = ToCp932(" ファイルをオープンできません\n\n");

class ProgramStart : public ::testing::Test {
 protected:
  ProgramStart() { dir_.WriteCase({}, {}, 2); }
  testing::ProgramResult Run() { return testing::RunVelm(dir_.Path()); }

  testing::CaseDir dir_;
};

TEST_F(ProgramStart, WithoutFileInfoItSaysSoAndEndsWithCodeOne) {
  dir_.Remove("FILEINFO.dat");
  const auto result = Run();
  EXPECT_EQ(result.Stdout, ToCp932("FILEINFO 入力ファイルをオープンできません\n\n"));
  EXPECT_EQ(result.ExitCode, 1);
}

TEST_F(ProgramStart, ReportsTheFirstMissingFileInTheOrderOfReading) {
  struct Step {
    const char* removed;
    const char* reported;
  };
  // Each step removes one more file; the message names the one read first.
  const Step steps[] = {{"ep.csv", "InputFilename_EPData"},
                        {"rain.csv", "InputFilename_RainData"},
                        {"param.dat", "InputFilename_RainData"},
                        {"control.dat", "InputFilename_Control"}};
  for (const Step& step : steps) {
    dir_.Remove(step.removed);
    const auto result = Run();
    EXPECT_EQ(result.Stdout, step.reported + kCannotOpen) << step.removed;
    EXPECT_EQ(result.ExitCode, 1);
  }
}

TEST_F(ProgramStart, AMissingParameterFileStopsTheModelsConstruction) {
  dir_.Remove("param.dat");
  const auto result = Run();
  EXPECT_EQ(result.Stdout, "InputFilename_Paramater" + kCannotOpen);
  EXPECT_EQ(result.ExitCode, 1);
}

TEST_F(ProgramStart, ArgumentsAreIgnored) {
  const auto plain = testing::RunVelm(dir_.Path());
  const auto withArguments =
      testing::RunVelm(dir_.Path(), "sh -c '\"$0\" --help extra'");
  EXPECT_EQ(withArguments.Stdout, plain.Stdout);
  EXPECT_EQ(withArguments.ExitCode, plain.ExitCode);
}

TEST_F(ProgramStart, InputItCannotUseIsNamedByFileAndLine) {
  testing::ControlValues control;
  control.VariableCount = 15;
  dir_.Write("control.dat", testing::ControlFileText(control));
  const auto result = Run();
  EXPECT_EQ(result.Stdout,
            ToCp932("InputFilename_Control 19行目 最適化変数の数は14以下にしてください\n\n"));
  EXPECT_EQ(result.ExitCode, 1);
}

}  // namespace
}  // namespace velm
