#include "report/explore.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "input/input_error.h"
#include "input/run_inputs.h"
#include "model/parameter_table.h"
#include "report/assets.h"
#include "report/page.h"
#include "report/series.h"

namespace velm::report {
namespace {

// Seventeen digits read back to the same double.
std::string ExactNumber(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  return buffer;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// Little-endian whatever the machine, as a page's typed arrays read them.
std::string DoublesBase64(const std::vector<double>& values) {
  std::string bytes;
  bytes.reserve(values.size() * 8);
  for (double value : values) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int k = 0; k < 8; ++k) {
      bytes += static_cast<char>((bits >> (8 * k)) & 0xff);
    }
  }
  return Quoted(Base64(bytes));
}

// A parameter of the file: its value, and the value the calibration found
// when a gene scales it.
std::string ParameterEntry(const ParameterRef& parameter,
                           const ParameterSet& file, const ResultFile& result,
                           const std::optional<GeneMapping>& genes) {
  const std::string name = parameter.Name();
  std::string entry = "{\"name\": " + Quoted(name) +
                      ", \"unit\": " + Quoted(parameter.Row->Unit) +
                      ", \"file\": " + ExactNumber(parameter.ValueIn(file));
  if (parameter.Tank > 0) {
    const auto& lists = kRowsOf<ParameterKind::kTankList>;
    const auto list = std::find(lists.begin(), lists.end(), parameter.Row);
    entry += ", \"tank\": " + std::to_string(parameter.Tank) +
             ", \"list\": " + std::to_string(list - lists.begin());
  }
  bool calibrated = false;
  if (genes) {
    for (const auto& scaled : genes->ScaledBy) {
      calibrated |=
          std::find(scaled.begin(), scaled.end(), name) != scaled.end();
    }
  }
  if (calibrated && result.Calibration) {
    for (const NamedValue& optimized : result.Calibration->Optimized) {
      if (optimized.Name == name) {
        entry += ", \"optimized\": " + ExactNumber(optimized.Value);
      }
    }
  }
  return entry + "}";
}

std::string ParameterEntries(const ExploreInputs& inputs,
                             const ResultFile& result,
                             const std::optional<GeneMapping>& genes) {
  const ParameterSet& file = inputs.FileParameters;
  std::string out;
  const auto add = [&](const ParameterRef& parameter) {
    out += (out.empty() ? "" : ",\n") +
           ParameterEntry(parameter, file, result, genes);
  };
  for (const ParameterRow* row : kRowsOf<ParameterKind::kFileValue>) {
    add({row, 0});
  }
  for (int tank = 1; tank <= file.TankCount; ++tank) {
    for (const ParameterRow* row : kRowsOf<ParameterKind::kTankList>) {
      add({row, tank});
    }
  }
  return "[" + out + "]";
}

std::string DerivedUnits() {
  std::string out;
  for (const ParameterRow* row : kRowsOf<ParameterKind::kDerived>) {
    out += (out.empty() ? "" : ", ") + Quoted(row->Name) + ": " +
           Quoted(row->Unit);
  }
  return "{" + out + "}";
}

// Per day, the row of the monthly chart whose sums count it; -1 for a day
// the water balance does not count.
std::string MonthOfDays(const ResultFile& result) {
  std::string out;
  for (const int entry : MonthEntryOfDays(result)) {
    out += (out.empty() ? "" : ",") + std::to_string(entry);
  }
  return "[" + out + "]";
}

std::string ExploreData(const ResultFile& result, const ExploreInputs& inputs,
                        const std::optional<GeneMapping>& genes) {
  const RunSettings& s = inputs.Settings;
  const bool withObserved = inputs.Observed != nullptr;
  return "{\"run\": {\"surfaceStorage\": " +
         std::to_string(s.SurfaceStorageFlag) +
         ", \"withObserved\": " + (withObserved ? "true" : "false") +
         ", \"objectiveType\": " + std::to_string(s.ObjectiveType) +
         ", \"balanceErrorLimit\": " + ExactNumber(s.BalanceErrorLimit) +
         "},\n\"calibration\": " + (result.Calibration ? "true" : "false") +
         ",\n\"parameters\": " + ParameterEntries(inputs, result, genes) +
         ",\n\"derivedUnits\": " + DerivedUnits() +
         ",\n\"monthOfDay\": " + MonthOfDays(result) +
         ",\n\"rain\": " + DoublesBase64(inputs.WeatherRecord->Rain) +
         ",\n\"potentialEvaporation\": " +
         DoublesBase64(inputs.WeatherRecord->PotentialE) + ",\n\"observed\": " +
         DoublesBase64(withObserved ? inputs.Observed->Daily
                                    : std::vector<double>()) +
         "}";
}

}  // namespace

ExploreInputs ReadExploreInputs(const std::filesystem::path& directory,
                                const ResultFile& result) {
  ExploreInputs inputs;
  std::error_code error;
  if (!std::filesystem::exists(directory / kFileInfoName, error)) {
    inputs.Missing = "there is no catchment directory beside the result file";
    return inputs;
  }
  RunInputs files(directory);
  try {
    inputs.Settings = files.Settings();
    inputs.FileParameters = files.FileParameters();
    auto weather = files.SharedWeather();
    if (inputs.Settings.ObservedFlag == 1)
      inputs.Observed = files.SharedObserved();
    if (static_cast<std::size_t>(weather->DayCount()) != result.Days.size()) {
      inputs.Missing = "the catchment beside the result file has " +
                       std::to_string(weather->DayCount()) +
                       " days, the result file " +
                       std::to_string(result.Days.size());
      return inputs;
    }
    inputs.WeatherRecord = std::move(weather);
  } catch (const InputError&) {
    inputs.Missing =
        "velm cannot read the catchment beside the result file (velm-check "
        "says why)";
  }
  return inputs;
}

std::string ExploreBlock(const ResultFile& result, const ExploreInputs& inputs,
                         const std::optional<GeneMapping>& genes) {
  if (ModelModule().empty()) return "";
  std::string out = "<div id=\"explore\" class=\"explore\">\n";
  if (!inputs.WeatherRecord) {
    return out +
           "<p class=\"meta\">Nothing to explore: " + Escape(inputs.Missing) +
           ".</p>\n</div>\n";
  }
  return out + "<script type=\"application/json\" id=\"explore-data\">" +
         ExploreData(result, inputs, genes) +
         "</script>\n<script type=\"text/css\" id=\"explore-style\">\n" +
         std::string(ExploreStyle()) + "</script>\n<script>\n" +
         std::string(ExploreScript()) + "</script>\n</div>\n";
}

}  // namespace velm::report
