// One fuzz harness per reader, all driving the readers the program uses and
// checking what they must guarantee: a refusal is an InputError and nothing
// else, every entry is defined, and sizes agree. CMake builds this file once
// per harness, naming it in VELM_FUZZ_HARNESS.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "input/input_error.h"
#include "common/number_parse.h"
#include "common/text_lines.h"
#include "input/file_info.h"
#include "input/hydro_series.h"
#include "input/parameter_file.h"
#include "input/run_settings.h"

namespace velm::fuzz {
namespace {

// A broken invariant is a finding: stop the way a sanitizer would.
void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

TextLines Lines(std::string_view text, LastLine rule) {
  return TextLines::FromText(std::string(text), rule);
}

// The readers' splitting rule restated: the lines of a data file, whose last
// line without a line feed is dropped, long lines in pieces of 1023.
std::size_t CountDataLines(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t feed; (feed = text.find('\n')) != text.npos;) {
    std::size_t length = feed;
    if (length > 0 && text[length - 1] == '\r') --length;
    count += length / 1023 + 1;
    text.remove_prefix(feed + 1);
  }
  return count;
}

std::vector<std::string> SplitLines(std::string text, LastLine rule) {
  const TextLines lines = TextLines::FromText(std::move(text), rule);
  std::vector<std::string> split;
  for (std::size_t i = 0; i < lines.Count(); ++i) split.emplace_back(lines[i]);
  Check(lines.LineOrEmpty(0).empty() &&
            lines.LineOrEmpty(lines.Count() + 1).empty(),
        "lines outside the file read as empty");
  return split;
}

// "A~B": two files in one input.
std::pair<std::string_view, std::string_view> TwoFiles(std::string_view in) {
  const std::size_t split = std::min(in.find('~'), in.size());
  return {in.substr(0, split), in.substr(std::min(split + 1, in.size()))};
}

}  // namespace

// Lines hold no line feed and at most 1023 characters; a last line without a
// line feed is the only difference between the two rules.
void text_lines(std::string_view text) {
  const auto kept = SplitLines(std::string(text), LastLine::kKept);
  const auto dropped = SplitLines(std::string(text), LastLine::kDropped);
  Check(dropped.size() == CountDataLines(text), "data lines counted");
  Check(kept.size() >= dropped.size(), "a kept last line only adds");
  std::size_t characters = 0;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    Check(kept[i].size() <= 1023, "a piece fits the buffer");
    Check(kept[i].find('\n') == std::string::npos, "a line holds no feed");
    if (i < dropped.size()) Check(kept[i] == dropped[i], "rules agree");
    characters += kept[i].size();
  }
  Check(characters <= text.size(), "nothing invented");
}

// Never NaN; leading blanks and anything after the number change nothing;
// up to nine digits an integer reads as the real of the same digits.
void number_parse(std::string_view input) {
  const std::string text(input);
  const double real = ParseReal(text);
  const int integer = ParseInt(text);
  Check(!std::isnan(real), "a real is never NaN");
  Check(ParseReal(" \t" + text) == real && ParseInt(" \t" + text) == integer,
        "leading blanks ignored");
  Check(std::signbit(ParseReal(text + ";x")) == std::signbit(real) &&
            ParseReal(text + ";x") == real && ParseInt(text + ";x") == integer,
        "what follows the number ignored");
  if (text.size() <= 9 && !text.empty() &&
      text.find_first_not_of("0123456789") == text.npos) {
    Check(static_cast<double>(integer) == real, "digits read alike");
  }
}

// Six names, each from one line and within the name buffer.
void file_info(std::string_view text) {
  const FileInfo files = FileInfo::Parse(Lines(text, LastLine::kDropped));
  for (int entry = 1; entry <= 6; ++entry) {
    const std::string& name = files.Name(static_cast<FileEntry>(entry));
    Check(name.size() <= FileInfo::kMaxNameLength, "name fits");
    Check(name.find('\n') == name.npos, "a name is one line");
  }
}

// Every index a gene number; both tank lists alike and no longer than the
// count on line 44.
void control_file(std::string_view text) {
  const auto lines = SplitLines(std::string(text), LastLine::kKept);
  const int tankIndexCount = lines.size() >= 44 ? ParseInt(lines[43]) : 0;
  const RunSettings s = RunSettings::Parse(Lines(text, LastLine::kKept));
  // At most 14 genes, every index a gene's, both tank lists alike.
  try {
    CheckIndices(s);
  } catch (const std::invalid_argument& error) {
    Check(false, error.what());
  }
  const std::size_t tanks = s.OptIndex[&ParameterSet::CoeffTank].size();
  Check(static_cast<int>(tanks) <= std::max(tankIndexCount, 0),
        "tank lists no longer than their count");
}

// A tank count in range with every tank array sized by it, and a
// MAX_Infiltration found in bounded time.
void parameter_file(std::string_view text) {
  const ParameterSet p = ParseParameterFile(Lines(text, LastLine::kKept));
  Check(p.TankCount >= 0 && p.TankCount <= ParameterSet::kMaxTankCount,
        "tank count in range");
  const auto slots = static_cast<std::size_t>(p.TankCount) + 1;
  Check(p.CoeffTank.size() == slots && p.BotomTank.size() == slots &&
            p.TankWaterDepth.size() == slots,
        "one slot per tank and the surface tank");
  Check(!std::isnan(p.MAX_Infiltration), "MAX_Infiltration found");
}

// "RAIN~EVAPORATION": an hour per rain line, a date per whole day, every hour
// given a value, evaporation only in hours 9 to 18 of whole days.
void rain_evaporation(std::string_view input) {
  const auto [rain, evaporation] = TwoFiles(input);
  const Weather weather =
      ParseEvaporation(Lines(evaporation, LastLine::kDropped),
                       ParseRain(Lines(rain, LastLine::kDropped)));
  const std::vector<double>& r = weather.Rain;
  const std::vector<double>& ep = weather.PotentialE;
  const std::size_t hours = r.size();
  Check(hours == CountDataLines(rain) && ep.size() == hours,
        "an hour per rain line");
  const std::size_t days = hours / 24;
  const Calendar& dates = weather.Dates;
  Check(dates.Year.size() == days && dates.Month.size() == days &&
            dates.Day.size() == days && weather.DailyRain.size() == days,
        "a date and a total per whole day");
  for (std::size_t t = 0; t < hours; ++t) {
    Check(!std::isnan(r[t]) && !std::isnan(ep[t]), "every hour read");
    const std::size_t hour = t % 24 + 1;
    if (t >= days * 24 || hour < 9 || hour > 18) {
      Check(ep[t] == 0.0, "evaporation only in daytime hours");
    }
  }
}

// "RAIN~RUNOFF": a value for every hour of the rain file, 0 after the end of
// a shorter file.
void observed_runoff(std::string_view input) {
  const auto [rain, runoff] = TwoFiles(input);
  const std::vector<double> observed =
      ParseObservedRunoff(Lines(runoff, LastLine::kDropped),
                          CountDataLines(rain), 36)
          .Hourly;
  const std::size_t records = CountDataLines(runoff);
  Check(records <= observed.size(), "no more records than hours");
  for (std::size_t t = 0; t < observed.size(); ++t) {
    Check(!std::isnan(observed[t]), "every hour read");
    if (t >= records) Check(observed[t] == 0.0, "missing hours are 0");
  }
}

}  // namespace velm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  try {
    velm::fuzz::VELM_FUZZ_HARNESS(
        std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const velm::InputError&) {  // a refusal, the one way to say no
  }
  return 0;
}
