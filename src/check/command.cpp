#include "check/command.h"

#include <exception>
#include <filesystem>
#include <optional>

#include "check/check_directory.h"
#include "common/native_path.h"

namespace velm::check {
namespace {

constexpr std::string_view kUsage =
    "usage: velm-check [--json] [DIR]\n"
    "Checks the catchment directory DIR (default: the current directory) "
    "before velm runs in it:\n"
    "every refusal velm would make, the dates and values of the data files,\n"
    "the run's shape, the catchment area and a calibration's bounds.\n"
    "  --json  write the findings as JSON\n"
    "Exit code: 0 clean or notes only, 1 errors, 2 warnings only, 3 not "
    "checked.\n";

struct Options {
  bool Json = false;
  bool Help = false;
  std::optional<std::string> Directory;
};

std::optional<Options> ParseOptions(const std::vector<std::string>& arguments,
                                    std::ostream& errors) {
  Options options;
  for (const std::string& argument : arguments) {
    if (argument == "--json") {
      options.Json = true;
    } else if (argument == "--help" || argument == "-h") {
      options.Help = true;
    } else if (argument.starts_with("-") && argument != "-" &&
               !options.Directory) {
      errors << "velm-check: unknown option " << argument << '\n' << kUsage;
      return std::nullopt;
    } else if (options.Directory) {
      errors << "velm-check: one directory at a time; " << argument
             << " is one too many\n"
             << kUsage;
      return std::nullopt;
    } else {
      options.Directory = argument;
    }
  }
  return options;
}

}  // namespace

int RunCheckCommand(const std::vector<std::string>& arguments,
                    std::ostream& out, std::ostream& errors) {
  const std::optional<Options> options = ParseOptions(arguments, errors);
  if (!options) return kExitUncheckable;
  if (options->Help) {
    out << kUsage;
    return 0;
  }
  try {
    // Without a directory the names resolve as velm resolves them.
    const std::filesystem::path directory =
        options->Directory ? PathFromUtf8(*options->Directory)
                           : std::filesystem::path();
    const Report report =
        CheckDirectory(directory, options->Directory.value_or("."));
    if (options->Json) {
      WriteJson(out, report);
    } else {
      WriteText(out, report);
    }
    out.flush();
    return report.ExitCode();
  } catch (const std::exception& e) {
    errors << "velm-check: " << e.what() << '\n';
    return kExitUncheckable;
  }
}

}  // namespace velm::check
