#include "driver/program.h"

#include <charconv>
#include <new>

#include "input/input_error.h"
#include "driver/run_modes.h"
#include "input/run_inputs.h"
#include "run/catchment_data.h"

namespace velm {

int RunProgram(const std::filesystem::path& directory, Clock clock,
               std::ostream& console, std::ostream& errors) {
  const auto inputs = std::make_shared<RunInputs>(directory);
  const CatchmentData data = CatchmentData::Read(inputs);
  if (data.Settings.RunMode != 0) {
    return RunCalibration(data, *inputs, std::move(clock), console, errors);
  }
  return RunSimulation(data, *inputs, console, errors);
}

int RunProgramReportingErrors(const std::filesystem::path& directory,
                              Clock clock, std::ostream& console,
                              std::ostream& errors) {
  try {
    return RunProgram(directory, std::move(clock), console, errors);
  } catch (const InputError& error) {
    console << error.Message() << "\n\n" << std::flush;
    // The message names the file by its label; say which path was tried.
    if (!error.Reason.empty()) {
      errors << "velm: cannot open '" << error.PathTried
             << "': " << error.Reason << '\n';
      if (error.InOtherEncoding) {
        errors << "velm: " << OtherEncodingText(*error.InOtherEncoding) << '\n';
      }
      errors << std::flush;
    }
  } catch (const std::bad_alloc&) {
    errors << "velm: out of memory\n";
  }
  return kExitFailed;
}

const char* InformationLine(std::string_view argument) {
  if (argument == "--help") {
    return "Usage: velm, without arguments, in a catchment directory whose "
           "FILEINFO.dat names the control, parameter and data files; control "
           "line 5 chooses a simulation (0) or a calibration, and VELM_SEED=n "
           "(0 to 65535) makes a calibration reproducible";
  }
  if (argument == "--version") return "velm 1.0";
  return nullptr;
}

std::optional<std::uint16_t> ParseSeed(std::string_view text) {
  unsigned value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || text.front() < '0' || text.front() > '9' ||
      error != std::errc() || stop != end || value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace velm
