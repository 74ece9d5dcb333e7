#pragma once

// Case directories that tests write for themselves: a FILEINFO.dat, control
// and parameter files, and data series, in a fresh temporary directory.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velm::testing {

// Settings of a control file, written with one label line before each value
// as a user would. Fields left alone give a simulation of one variable.
struct ControlValues {
  std::string CatchmentArea = "1.0";
  int RunMode = 0;
  int ObservedFlag = 1;
  int OutputFlag = 1;
  int SurfaceStorageFlag = 0;
  int ObjectiveType = 1;
  int FcountLimit = 0;
  std::string BalanceErrorLimit = "0.1";
  int VariableCount = 0;
  // In control-file order: Impervious, MAX_Infiltration, Final_Infiltration,
  // Coeff_Reduction, F18_Infiltration, MAX_EvapoRatio, Coeff_EvapoModel,
  // CoeffSurfaceTopTank, HighSurfaceTopTank, CoeffSurfaceBotomTank,
  // HighSurfaceBotomTank.
  std::vector<int> ScalarIndices = std::vector<int>(11, 0);
  // One {CoeffTank, BotomTank} index pair per tank.
  std::vector<std::pair<int, int>> TankIndices = {{0, 0}, {0, 0}, {0, 0}};
};
std::string ControlFileText(const ControlValues& values);

struct TankValues {
  std::string CoeffTank;
  std::string BotomTank;
};

// Parameter values as the file writes them (strings, so that a test can
// write exactly the text it means).
struct ParameterValues {
  std::string Impervious = "0.2";
  std::string MAX_SoilMoisture = "200";
  std::string Final_Infiltration = "5";
  std::string Coeff_Reduction = "0.1";
  std::string F18_SoilMoistureFraction = "0.5";
  std::string MAX_EvapoRatio = "0.8";
  std::string Coeff_EvapoModel = "10";
  std::string CoeffSurfaceTopTank = "0.5";
  std::string HighSurfaceTopTank = "10";
  std::string CoeffSurfaceBotomTank = "0.3";
  std::string HighSurfaceBotomTank = "0";
  std::vector<TankValues> Tanks = {
      {"0.2", "0.5"}, {"0.1", "0.2"}, {"0.05", "0"}};
  // Line 25; empty writes the number of Tanks.
  std::string TankCountLine;
};
std::string ParameterFileText(const ParameterValues& values);

// Hourly records "year,month,day,hour,value" with CR LF, starting 2004-07-01
// hour 1; one value per hour.
std::string HourlyFileText(const std::vector<double>& values);
// Daily records "year,month,day,value" with CR LF, starting 2004-07-01.
std::string DailyFileText(const std::vector<double>& values);

// A fresh directory under the system's temporary directory, removed at the
// end of the test.
class CaseDir {
 public:
  CaseDir();
  ~CaseDir();
  CaseDir(const CaseDir&) = delete;
  CaseDir& operator=(const CaseDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  void Write(const std::string& name, std::string_view content) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  void Remove(const std::string& name) const;

  // FILEINFO.dat naming control.dat, param.dat, rain.csv, ep.csv,
  // runoff.csv and result.csv (CR LF line ends).
  void WriteFileInfo() const;
  // A whole case: FILEINFO.dat, the control and parameter files, and
  // `days` days of rain, evaporation and runoff with a little of each.
  void WriteCase(const ControlValues& control,
                 const ParameterValues& parameters, int days) const;

 private:
  std::filesystem::path path_;
};

// Makes a directory the working directory for the lifetime of the object.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& path);
  ~WorkingDirectory();
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

// Collects what is written to std::cout while the object lives.
class CapturedStdout {
 public:
  CapturedStdout();
  ~CapturedStdout();
  CapturedStdout(const CapturedStdout&) = delete;
  CapturedStdout& operator=(const CapturedStdout&) = delete;
  std::string Text() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The built velm run in `directory`, optionally under a command prefix such
// as "faketime -f '2026-01-01 00:00:00'".
struct ProgramResult {
  int ExitCode = -1;
  std::string Stdout;
  std::string Stderr;
};
ProgramResult RunVelm(const std::filesystem::path& directory,
                      const std::string& prefix = "");

// Code-page-932 bytes of a UTF-8 text, by iconv.
std::string ToCp932(std::string_view utf8);

}  // namespace velm::testing
