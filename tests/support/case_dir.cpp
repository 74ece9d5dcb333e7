#include "support/case_dir.h"

#include <iconv.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "common/number_format.h"

namespace velm::testing {
namespace {

std::filesystem::path MakeTempDir() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "velm-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary directory");
  }
  return pattern;
}

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Line(std::string& out, std::string_view text) {
  out += text;
  out += "\r\n";
}

}  // namespace

std::string ControlFileText(const ControlValues& v) {
  static const char* const kScalarNames[] = {
      "Impervious",          "MAX_Infiltration",
      "Final_Infiltration",  "Coeff_Reduction",
      "F18_Infiltration",    "MAX_EvapoRatio",
      "Coeff_EvapoModel",    "CoeffSurfaceTopTank",
      "HighSurfaceTopTank",  "CoeffSurfaceBotomTank",
      "HighSurfaceBotomTank"};
  std::string out;
  Line(out, "velm control file");
  Line(out, "Catchment area (km2; 1.0 = runoff already in mm per hour)");
  Line(out, v.CatchmentArea);
  Line(out, "Run mode (0 simulation, other calibration)");
  Line(out, std::to_string(v.RunMode));
  Line(out, "Observed runoff (1 compare with it)");
  Line(out, std::to_string(v.ObservedFlag));
  Line(out, "Output (1 console summary and result file)");
  Line(out, std::to_string(v.OutputFlag));
  Line(out, "Surface storage (1 on)");
  Line(out, std::to_string(v.SurfaceStorageFlag));
  Line(out, "Objective (1 RMSE, 2 RR, 3 RE)");
  Line(out, std::to_string(v.ObjectiveType));
  Line(out, "Evaluation limit");
  Line(out, std::to_string(v.FcountLimit));
  Line(out, "Water-balance error limit");
  Line(out, v.BalanceErrorLimit);
  Line(out, "Number of variables");
  Line(out, std::to_string(v.VariableCount));
  Line(out, "--- optimization indices (0 keeps the file value) ---");
  for (std::size_t i = 0; i < 11; ++i) {
    Line(out, kScalarNames[i]);
    Line(out,
         std::to_string(i < v.ScalarIndices.size() ? v.ScalarIndices[i] : 0));
  }
  Line(out, "Number of tanks");
  Line(out, std::to_string(v.TankIndices.size()));
  for (std::size_t i = 0; i < v.TankIndices.size(); ++i) {
    Line(out, "Tank " + std::to_string(i + 1) + ": CoeffTank, BotomTank");
    Line(out, std::to_string(v.TankIndices[i].first));
    Line(out, std::to_string(v.TankIndices[i].second));
  }
  return out;
}

std::string ParameterFileText(const ParameterValues& v) {
  std::string out;
  Line(out, "velm parameter file");
  const std::pair<const char*, const std::string*> scalars[] = {
      {"Impervious (fraction)", &v.Impervious},
      {"MAX_SoilMoisture", &v.MAX_SoilMoisture},
      {"Final_Infiltration", &v.Final_Infiltration},
      {"Coeff_Reduction", &v.Coeff_Reduction},
      {"F18_SoilMoisture (fraction of MAX_SoilMoisture)",
       &v.F18_SoilMoistureFraction},
      {"MAX_EvapoRatio", &v.MAX_EvapoRatio},
      {"Coeff_EvapoModel", &v.Coeff_EvapoModel},
      {"CoeffSurfaceTopTank", &v.CoeffSurfaceTopTank},
      {"HighSurfaceTopTank", &v.HighSurfaceTopTank},
      {"CoeffSurfaceBotomTank", &v.CoeffSurfaceBotomTank},
      {"HighSurfaceBotomTank", &v.HighSurfaceBotomTank}};
  for (const auto& [label, value] : scalars) {
    Line(out, label);
    Line(out, *value);
  }
  Line(out, "Number of tanks");
  Line(out, v.TankCountLine.empty() ? std::to_string(v.Tanks.size())
                                    : v.TankCountLine);
  for (std::size_t i = 0; i < v.Tanks.size(); ++i) {
    Line(out, "Tank " + std::to_string(i + 1) + ": CoeffTank, BotomTank");
    Line(out, v.Tanks[i].CoeffTank);
    Line(out, v.Tanks[i].BotomTank);
  }
  return out;
}

std::string HourlyFileText(const std::vector<double>& values) {
  std::string out;
  for (std::size_t t = 0; t < values.size(); ++t) {
    const std::size_t day = t / 24;
    Line(out, "2004,7," + std::to_string(1 + day) + "," +
                  std::to_string(t % 24 + 1) + "," + FormatNumber(values[t]));
  }
  return out;
}

std::string DailyFileText(const std::vector<double>& values) {
  std::string out;
  for (std::size_t d = 0; d < values.size(); ++d) {
    Line(out,
         "2004,7," + std::to_string(1 + d) + "," + FormatNumber(values[d]));
  }
  return out;
}

CaseDir::CaseDir() : path_(MakeTempDir()) {}

CaseDir::~CaseDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void CaseDir::Write(const std::string& name, std::string_view content) const {
  std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string CaseDir::Read(const std::string& name) const {
  return ReadWhole(path_ / name);
}

bool CaseDir::Exists(const std::string& name) const {
  return std::filesystem::exists(path_ / name);
}

void CaseDir::Remove(const std::string& name) const {
  std::filesystem::remove(path_ / name);
}

void CaseDir::WriteFileInfo() const {
  Write("FILEINFO.dat",
        "file names of the run\r\n"
        "InputFilename_Control,control.dat\r\n"
        "InputFilename_Paramater,param.dat\r\n"
        "InputFilename_RainData,rain.csv\r\n"
        "InputFilename_EPData,ep.csv\r\n"
        "InputFilename_RunoffData,runoff.csv\r\n"
        "OutputFilename_Result,result.csv\r\n");
}

void CaseDir::WriteCase(const ControlValues& control,
                        const ParameterValues& parameters, int days) const {
  WriteFileInfo();
  Write("control.dat", ControlFileText(control));
  Write("param.dat", ParameterFileText(parameters));
  std::vector<double> rain(static_cast<std::size_t>(days) * 24, 0.0);
  std::vector<double> runoff(rain.size(), 0.0);
  std::vector<double> ep(static_cast<std::size_t>(days), 0.0);
  for (std::size_t t = 0; t < rain.size(); ++t) {
    const std::size_t day = t / 24;
    const std::size_t hour = t % 24;
    if (day % 3 == 1 && hour >= 4 && hour < 10) rain[t] = 2.5 + 0.5 * hour;
    runoff[t] = 0.15 + 0.01 * static_cast<double>(day % 5);
  }
  for (std::size_t d = 0; d < ep.size(); ++d) ep[d] = 2.0 + 0.25 * (d % 4);
  Write("rain.csv", HourlyFileText(rain));
  Write("ep.csv", DailyFileText(ep));
  Write("runoff.csv", HourlyFileText(runoff));
}

WorkingDirectory::WorkingDirectory(const std::filesystem::path& path)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(path);
}

WorkingDirectory::~WorkingDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

struct CapturedStdout::State {
  std::ostringstream buffer;
  std::streambuf* previous = nullptr;
};

CapturedStdout::CapturedStdout() : state_(std::make_unique<State>()) {
  state_->previous = std::cout.rdbuf(state_->buffer.rdbuf());
}

CapturedStdout::~CapturedStdout() { std::cout.rdbuf(state_->previous); }

std::string CapturedStdout::Text() const { return state_->buffer.str(); }

ProgramResult RunVelm(const std::filesystem::path& directory,
                      const std::string& prefix) {
  const std::filesystem::path outputs = MakeTempDir();
  const std::string command = "cd '" + directory.string() + "' && " + prefix +
                              " '" VELM_EXECUTABLE "' > '" +
                              (outputs / "stdout").string() + "' 2> '" +
                              (outputs / "stderr").string() + "'";
  const int status = std::system(command.c_str());
  ProgramResult result;
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.Stdout = ReadWhole(outputs / "stdout");
  result.Stderr = ReadWhole(outputs / "stderr");
  std::filesystem::remove_all(outputs);
  return result;
}

std::string ToCp932(std::string_view utf8) {
  iconv_t converter = iconv_open("CP932", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error("iconv has no CP932");
  }
  std::string in(utf8);
  std::string out(in.size() * 2 + 16, '\0');
  char* inPointer = in.data();
  std::size_t inLeft = in.size();
  char* outPointer = out.data();
  std::size_t outLeft = out.size();
  const std::size_t converted =
      iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  if (converted == static_cast<std::size_t>(-1)) {
    throw std::runtime_error("text has no CP932 form");
  }
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace velm::testing
