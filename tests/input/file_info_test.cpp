#include "input/file_info.h"

#include <gtest/gtest.h>

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

  testing::CaseDir dir_;
  testing::WorkingDirectory cwd_{dir_.Path()};
};

TEST_F(FileInfoRead, TakesEntriesByPositionAndNamesVerbatim) {
  const std::string longestName(FileInfo::kMaxNameLength, 'r');
  const FileInfo info =
      ReadWith(std::string("InputFilename_Heading,ignored.dat\r\n"
                           "Anything,control.dat\r\n"
                           "InputFilename_Paramater, param.dat\r\n"
                           "InputFilename_RainData,rain,2004.csv\n"
                           "InputFilename_EPData,ep.csv\r\n"
                           "InputFilename_RunoffData,runoff.csv\r\n"
                           "result file,")
                   .append(longestName)
                   .append("\r\nextra,8.dat\r\nextra,9.dat\r\n"));
  EXPECT_EQ(info.Name(FileEntry::kControl), "control.dat");
  EXPECT_EQ(info.Name(FileEntry::kParameter), " param.dat");
  EXPECT_EQ(info.Name(FileEntry::kRain), "rain,2004.csv");
  EXPECT_EQ(info.Name(FileEntry::kEvaporation), "ep.csv");
  EXPECT_EQ(info.Name(FileEntry::kObservedRunoff), "runoff.csv");
  EXPECT_EQ(info.Name(FileEntry::kResult), longestName);
}

TEST_F(FileInfoRead, AnUnterminatedLastLineLeavesItsEntryEmpty) {
  const FileInfo info =
      ReadWith("heading\na,1\nb,2\nc,3\nd,4\ne,5\nresult,result.csv");
  EXPECT_EQ(info.Name(FileEntry::kObservedRunoff), "5");
  EXPECT_EQ(info.Name(FileEntry::kResult), "");
}

}  // namespace
}  // namespace velm
