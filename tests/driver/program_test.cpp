// The built program, run in directories the tests prepare: what reaches the
// console, and the exit code.

#include <gtest/gtest.h>

#include <functional>

#include "support/case_dir.h"

namespace velm {
namespace {

using testing::CaseDir;
using testing::ToCp932;

class ProgramStart : public ::testing::Test {
 protected:
  ProgramStart() { dir_.WriteCase({}, {}, 2); }
  testing::ProgramResult Run() { return testing::RunVelm(dir_.Path()); }

  CaseDir dir_;
};

TEST_F(ProgramStart, ReportsTheFirstMissingFileInTheOrderOfReading) {
  struct Step {
    const char* removed;
    const char* message;
  };
  // Each step removes one more file; the message names the one read first:
  // the parameter file is read after the rain and evaporation files.
  const Step steps[] = {
      {"ep.csv", "InputFilename_EPData ファイルをオープンできません"},
      {"rain.csv", "InputFilename_RainData ファイルをオープンできません"},
      {"param.dat", "InputFilename_RainData ファイルをオープンできません"},
      {"control.dat", "InputFilename_Control ファイルをオープンできません"},
      {"FILEINFO.dat", "FILEINFO 入力ファイルをオープンできません"}};
  for (const Step& step : steps) {
    dir_.Remove(step.removed);
    const auto result = Run();
    EXPECT_EQ(result.Stdout, ToCp932(std::string(step.message) + "\n\n"))
        << step.removed;
    EXPECT_EQ(result.ExitCode, 1);
  }
}

TEST_F(ProgramStart, ArgumentsAreIgnored) {
  const auto plain = testing::RunVelm(dir_.Path());
  const auto withArguments =
      testing::RunVelm(dir_.Path(), "sh -c '\"$0\" --help extra'");
  EXPECT_EQ(plain.ExitCode, 0);
  EXPECT_EQ(withArguments.Stdout, plain.Stdout);
  EXPECT_EQ(withArguments.ExitCode, plain.ExitCode);
}

// Input the model cannot work with is named by file and line, and the run
// ends with exit code 1 before anything else is printed.
struct BadInput {
  const char* name;
  std::function<void(const CaseDir&)> spoil;
  const char* message;  // UTF-8, as the user reads it
};

void Replace(const CaseDir& dir, const std::string& file,
             const std::string& from, const std::string& to) {
  std::string text = dir.Read(file);
  text.replace(text.find(from), from.size(), to);
  dir.Write(file, text);
}

void WriteControl(const CaseDir& dir,
                  const std::function<void(testing::ControlValues&)>& change) {
  testing::ControlValues control;
  change(control);
  dir.Write("control.dat", testing::ControlFileText(control));
}

void WriteParameters(
    const CaseDir& dir,
    const std::function<void(testing::ParameterValues&)>& change) {
  testing::ParameterValues parameters;
  change(parameters);
  dir.Write("param.dat", testing::ParameterFileText(parameters));
}

const BadInput kBadInputs[] = {
    {"entry without comma",
     [](const CaseDir& d) {
       Replace(d, "FILEINFO.dat", "RainData,", "RainData ");
     },
     "FILEINFO 4行目 カンマがありません"},
    {"name of 258 characters",
     [](const CaseDir& d) {
       Replace(d, "FILEINFO.dat", "control.dat", std::string(258, 'c'));
     },
     "FILEINFO 2行目 ファイル名が長すぎます"},
    {"15 variables",
     [](const CaseDir& d) {
       WriteControl(d, [](auto& c) { c.VariableCount = 15; });
     },
     "InputFilename_Control 19行目 最適化変数の数は14以下にしてください"},
    {"index beyond the variables",
     [](const CaseDir& d) {
       WriteControl(d, [](auto& c) {
         c.VariableCount = 2;
         c.ScalarIndices[1] = 3;
       });
     },
     "InputFilename_Control 24行目 最適化変数の番号が範囲外です"},
    {"negative tank index",
     [](const CaseDir& d) {
       WriteControl(d, [](auto& c) { c.TankIndices[1].second = -1; });
     },
     "InputFilename_Control 50行目 最適化変数の番号が範囲外です"},
    {"rain record without its value",
     [](const CaseDir& d) {
       Replace(d, "rain.csv", "2004,7,1,2,0", "2004,7,1,2");
     },
     "InputFilename_RainData 2行目 項目が足りません"},
    {"evaporation one day short",
     [](const CaseDir& d) { d.Write("ep.csv", "2004,7,1,3\r\n"); },
     "InputFilename_EPData 2行目 データが足りません"},
    {"evaporation one day long",
     [](const CaseDir& d) {
       d.Write("ep.csv", testing::DailyFileText({1, 2, 3}));
     },
     "InputFilename_EPData 3行目 データが多すぎます"},
    {"evaporation without its value",
     [](const CaseDir& d) { d.Write("ep.csv", "2004,7,1,3\r\n2004,7,2\r\n"); },
     "InputFilename_EPData 2行目 項目が足りません"},
    {"1001 tanks",
     [](const CaseDir& d) {
       WriteParameters(d, [](auto& p) { p.TankCountLine = "1001"; });
     },
     "InputFilename_Paramater 25行目 タンク数は0から1000の範囲にしてください"},
    {"negative tank count",
     [](const CaseDir& d) {
       WriteParameters(d, [](auto& p) { p.TankCountLine = "-1"; });
     },
     "InputFilename_Paramater 25行目 タンク数は0から1000の範囲にしてください"},
    {"impervious catchment with tanks",
     [](const CaseDir& d) {
       WriteParameters(d, [](auto& p) { p.Impervious = "1"; });
     },
     "InputFilename_Paramater 3行目 Impervious が 1 "
     "では初期水深を計算できません"},
    {"search starting past its root",
     [](const CaseDir& d) {
       WriteParameters(d, [](auto& p) {
         p.Final_Infiltration = "1.0";
         p.MAX_SoilMoisture = "150";
       });
     },
     "InputFilename_Paramater 5-11行目 MAX_Infiltration を求められません"},
    {"no final infiltration",
     [](const CaseDir& d) {
       WriteParameters(d, [](auto& p) { p.Final_Infiltration = "0"; });
     },
     "InputFilename_Paramater 5-11行目 MAX_Infiltration を求められません"},
    {"no Horton decay",
     [](const CaseDir& d) {
       WriteParameters(d, [](auto& p) { p.Coeff_Reduction = "0"; });
     },
     "InputFilename_Paramater 5-11行目 MAX_Infiltration を求められません"},
};

class InputTheModelCannotUse : public ::testing::TestWithParam<BadInput> {};

TEST_P(InputTheModelCannotUse, IsNamedByFileAndLineAndEndsTheRun) {
  CaseDir dir;
  dir.WriteCase({}, {}, 2);
  GetParam().spoil(dir);
  const auto result = testing::RunVelm(dir.Path());
  EXPECT_EQ(result.Stdout, ToCp932(std::string(GetParam().message) + "\n\n"));
  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_FALSE(dir.Exists("result.csv"));
}

INSTANTIATE_TEST_SUITE_P(Cases, InputTheModelCannotUse,
                         ::testing::ValuesIn(kBadInputs), [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c)))
                               c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace velm
