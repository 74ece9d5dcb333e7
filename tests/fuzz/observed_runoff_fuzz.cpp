// The observed runoff file against a rain file, given as "RAIN~RUNOFF": a
// value for every hour, 0 after the end of a shorter file.

#include <cmath>

#include "fuzz/reader_calls.h"

using namespace velm::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view input = AsText(data, size);
  const std::size_t split = std::min(input.find('~'), input.size());
  const std::string_view runoff =
      input.substr(std::min(split + 1, input.size()));
  PrepareWorkingDirectory();
  WriteFile("rain.csv", input.substr(0, split));
  WriteFile("runoff.csv", runoff);
  try {
    const std::vector<double> observed = ReadObservedRunoff();
    const std::size_t records = CountDataLines(runoff);
    Check(records <= observed.size(), "no more records than hours");
    for (std::size_t t = 0; t < observed.size(); ++t) {
      Check(!std::isnan(observed[t]), "every hour read");
      if (t >= records) Check(observed[t] == 0.0, "missing hours are 0");
    }
  } catch (const velm::InputError&) {
  }
  return 0;
}
