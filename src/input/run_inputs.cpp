#include "input/run_inputs.h"

#include "common/native_path.h"
#include "input/input_error.h"
#include "input/parameter_file.h"

namespace velm {
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

// Runs a reader; its refusal gets the file's name.
template <typename Read>
auto Naming(RunInputs& inputs, Read&& read) {
  try {
    return read();
  } catch (InputError& error) {
    if (error.Name.empty()) error.Name = inputs.Files().Name(error.File());
    error.Directory = inputs.Directory();
    throw;
  }
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
    const auto lines = TextLines::Read(
        path, FileRow(FileEntry::kFileInfo).LastLineRule, &reason);
    try {
      if (!lines) {
        ThrowCannotOpen(FileEntry::kFileInfo,
                        ShownPath(directory_, kFileInfoName), reason);
      }
      files_ = FileInfo::Parse(*lines);
    } catch (InputError& error) {
      error.Name = std::string(kFileInfoName);
      error.Directory = directory_;
      throw;
    }
  }
  return *files_;
}

TextLines ReadInputFile(RunInputs& inputs, FileEntry entry) {
  const std::filesystem::path path = inputs.PathOf(entry);
  std::string reason;
  auto lines = TextLines::Read(path, FileRow(entry).LastLineRule, &reason);
  if (!lines) {
    const std::string name = inputs.Files().Name(entry);
    ThrowCannotOpen(entry, ShownPath(inputs.Directory(), name), reason,
                    FindInOtherEncoding(inputs.Directory(), name));
  }
  return std::move(*lines);
}

const RunSettings& RunInputs::Settings() {
  if (!settings_) {
    settings_ = Naming(*this, [&] {
      return RunSettings::Parse(ReadInputFile(*this, FileEntry::kControl));
    });
  }
  return *settings_;
}

std::shared_ptr<const Weather> RunInputs::SharedWeather() {
  if (!weather_) {
    weather_ = Naming(*this, [&] {
      std::vector<double> rain =
          ParseRain(ReadInputFile(*this, FileEntry::kRain));
      return std::make_shared<const Weather>(ParseEvaporation(
          ReadInputFile(*this, FileEntry::kEvaporation), std::move(rain)));
    });
  }
  return weather_;
}

const ParameterSet& RunInputs::FileParameters() {
  if (!parameters_) {
    parameters_ = Naming(*this, [&] {
      return ParseParameterFile(ReadInputFile(*this, FileEntry::kParameter));
    });
  }
  return *parameters_;
}

std::shared_ptr<const ObservedRunoff> RunInputs::SharedObserved() {
  if (!observed_) {
    const std::size_t hours = WeatherRecord().Rain.size();
    const double area = Settings().CatchmentArea;
    observed_ = Naming(*this, [&] {
      return std::make_shared<const ObservedRunoff>(ParseObservedRunoff(
          ReadInputFile(*this, FileEntry::kObservedRunoff), hours, area));
    });
  }
  return observed_;
}

}  // namespace velm
