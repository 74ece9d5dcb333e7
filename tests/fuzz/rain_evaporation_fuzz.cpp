// The rain and evaporation files, given as "RAIN~EVAPORATION": one hour per
// rain line, one calendar entry per whole day, every hour given a value, and
// evaporation only in hours 9 to 18 of whole days.

#include <cmath>

#include "fuzz/reader_calls.h"

using namespace velm::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view input = AsText(data, size);
  const std::size_t split = std::min(input.find('~'), input.size());
  const std::string_view rain = input.substr(0, split);
  PrepareWorkingDirectory();
  WriteFile("rain.csv", rain);
  WriteFile("ep.csv", input.substr(std::min(split + 1, input.size())));
  try {
    const RainAndEvaporation read = ReadRainAndEvaporation();
    const auto hours = static_cast<std::size_t>(read.hours);
    Check(hours == CountDataLines(rain), "an hour per rain line");
    const std::size_t days = hours / 24;
    Check(read.year.size() == days && read.month.size() == days &&
              read.day.size() == days,
          "a date per whole day");
    for (std::size_t t = 0; t < hours; ++t) {
      Check(!std::isnan(read.rain[t]) && !std::isnan(read.hourlyEP[t]),
            "every hour read");
      const std::size_t hour = t % 24 + 1;
      if (t >= days * 24 || hour < 9 || hour > 18) {
        Check(read.hourlyEP[t] == 0.0, "evaporation only in daytime hours");
      }
    }
  } catch (const velm::InputError&) {
  }
  return 0;
}
