#include "input/file_info.h"

#include <gtest/gtest.h>

#include "common/input_error.h"
#include "support/case_dir.h"

namespace velm {
namespace {

class FileInfoRead : public ::testing::Test {
 protected:
  FileInfo ReadWith(const std::string& text) {
    dir_.Write("FILEINFO.dat", text);
    FileInfo info;
    info.Read();
    return info;
  }
  std::string ErrorFor(const std::string& text) {
    try {
      ReadWith(text);
    } catch (const InputError& error) {
      return error.Message();
    }
    return "no error";
  }

  testing::CaseDir dir_;
  testing::WorkingDirectory cwd_{dir_.Path()};
};

TEST_F(FileInfoRead, TakesEntriesByPositionAndNamesVerbatim) {
  const FileInfo info = ReadWith(
      "InputFilename_Heading,ignored.dat\r\n"
      "Anything,control.dat\r\n"
      "InputFilename_Paramater, param.dat\r\n"
      "InputFilename_RainData,rain,2004.csv\n"
      "InputFilename_EPData,ep.csv\r\n"
      "InputFilename_RunoffData,runoff.csv\r\n"
      "result file,out/result.csv\r\n"
      "extra,8.dat\r\nextra,9.dat\r\n");
  EXPECT_EQ(info.Name(FileEntry::kControl), "control.dat");
  EXPECT_EQ(info.Name(FileEntry::kParameter), " param.dat");
  EXPECT_EQ(info.Name(FileEntry::kRain), "rain,2004.csv");
  EXPECT_EQ(info.Name(FileEntry::kEvaporation), "ep.csv");
  EXPECT_EQ(info.Name(FileEntry::kObservedRunoff), "runoff.csv");
  EXPECT_EQ(info.Name(FileEntry::kResult), "out/result.csv");
}

TEST_F(FileInfoRead, AnUnterminatedLastLineLeavesItsEntryEmpty) {
  const FileInfo info = ReadWith(
      "heading\na,1\nb,2\nc,3\nd,4\ne,5\nresult,result.csv");
  EXPECT_EQ(info.Name(FileEntry::kObservedRunoff), "5");
  EXPECT_EQ(info.Name(FileEntry::kResult), "");
}

TEST_F(FileInfoRead, RefusesEntryLinesItCannotUse) {
  EXPECT_EQ(ErrorFor("heading\na,1\nno comma here\n"),
            "FILEINFO 3" + testing::ToCp932("行目 カンマがありません"));
  const std::string longest(FileInfo::kMaxNameLength, 'n');
  EXPECT_EQ(ReadWith("h\na," + longest + "\n").Name(FileEntry::kControl),
            longest);
  EXPECT_EQ(ErrorFor("h\na," + longest + "n\n"),
            "FILEINFO 2" + testing::ToCp932("行目 ファイル名が長すぎます"));
}

TEST_F(FileInfoRead, AMissingFileInfoEndsTheRunWithItsMessage) {
  FileInfo info;
  try {
    info.Read();
    FAIL() << "no error";
  } catch (const InputError& error) {
    EXPECT_EQ(error.Message(),
              testing::ToCp932("FILEINFO 入力ファイルをオープンできません"));
  }
}

}  // namespace
}  // namespace velm
