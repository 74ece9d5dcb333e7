#include "input/run_inputs.h"

#include "common/input_error.h"
#include "common/native_path.h"
#include "input/parameter_file.h"

namespace velm {

// A data file's last line without a line feed is not a record; the control
// and parameter files read theirs.
LastLine LastLineRule(FileEntry entry) {
  return entry == FileEntry::kControl || entry == FileEntry::kParameter
             ? LastLine::kKept
             : LastLine::kDropped;
}

std::string_view KeyOf(FileEntry entry) {
  switch (entry) {
    case FileEntry::kControl:
      return kControlKey;
    case FileEntry::kParameter:
      return kParameterKey;
    case FileEntry::kRain:
      return kRainKey;
    case FileEntry::kEvaporation:
      return kEvaporationKey;
    default:
      return kObservedRunoffKey;
  }
}

namespace {

// The path tried, for messages: the directory as the system gives it and the
// name as FILEINFO.dat writes it, which is not converted (a code-page-932
// name has no narrow form on a Windows of another code page).
std::string ShownPath(const std::filesystem::path& directory,
                      std::string_view name) {
  if (directory.empty() || NativePath(name).is_absolute()) {
    return std::string(name);
  }
  const std::u8string folder = directory.u8string();
  std::string shown(folder.begin(), folder.end());
  if (shown.back() != '/' && shown.back() != '\\') shown += '/';
  return shown + std::string(name);
}

}  // namespace

RunInputs::RunInputs(std::filesystem::path directory)
    : directory_(std::move(directory)) {}

std::filesystem::path RunInputs::PathOf(FileEntry entry) {
  return directory_ / NativePath(Files().Name(entry));
}

const FileInfo& RunInputs::Files() {
  if (!files_) {
    const std::filesystem::path path = directory_ / kFileInfoName;
    std::string reason;
    const auto lines = TextLines::Read(path, LastLine::kDropped, &reason);
    if (!lines) {
      ThrowCannotOpenFileInfo(ShownPath(directory_, kFileInfoName), reason);
    }
    files_ = FileInfo::Parse(*lines);
  }
  return *files_;
}

TextLines ReadInputFile(RunInputs& inputs, FileEntry entry) {
  const std::filesystem::path path = inputs.PathOf(entry);
  std::string reason;
  auto lines = TextLines::Read(path, LastLineRule(entry), &reason);
  if (!lines) {
    const std::string& name = inputs.Files().Name(entry);
    ThrowCannotOpen(KeyOf(entry), ShownPath(inputs.Directory(), name), reason,
                    FindInOtherEncoding(inputs.Directory(), name));
  }
  return std::move(*lines);
}

const RunSettings& RunInputs::Settings() {
  if (!settings_) {
    settings_ = RunSettings::Parse(ReadInputFile(*this, FileEntry::kControl));
  }
  return *settings_;
}

const Weather& RunInputs::WeatherRecord() {
  if (!weather_) {
    std::vector<double> rain =
        ParseRain(ReadInputFile(*this, FileEntry::kRain));
    weather_ = ParseEvaporation(ReadInputFile(*this, FileEntry::kEvaporation),
                                std::move(rain));
  }
  return *weather_;
}

const ParameterSet& RunInputs::FileParameters() {
  if (!parameters_) {
    parameters_ =
        ParseParameterFile(ReadInputFile(*this, FileEntry::kParameter));
  }
  return *parameters_;
}

const ObservedRunoff& RunInputs::Observed() {
  if (!observed_) {
    const std::size_t hours = WeatherRecord().Rain.size();
    const double area = Settings().CatchmentArea;
    observed_ = ParseObservedRunoff(
        ReadInputFile(*this, FileEntry::kObservedRunoff), hours, area);
  }
  return *observed_;
}

}  // namespace velm
