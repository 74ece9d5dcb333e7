// The line reader: lines hold no line feed and at most 1023 characters, and a
// last line without a line feed is the only difference between the rules.

#include "fuzz/reader_calls.h"

using namespace velm::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string text(AsText(data, size));
  const auto kept = SplitLines(text, true);
  const auto dropped = SplitLines(text, false);
  Check(dropped.size() == CountDataLines(text), "data lines counted");
  Check(kept.size() >= dropped.size(), "a kept last line only adds");
  std::size_t characters = 0;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    Check(kept[i].size() <= 1023, "a piece fits the buffer");
    Check(kept[i].find('\n') == std::string::npos, "a line holds no feed");
    if (i < dropped.size()) Check(kept[i] == dropped[i], "rules agree");
    characters += kept[i].size();
  }
  Check(characters <= size, "nothing invented");
  return 0;
}
