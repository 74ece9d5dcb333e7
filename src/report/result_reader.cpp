#include "report/result_reader.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "common/result_text.h"
#include "common/texts.h"

namespace velm::report {
namespace {

std::optional<double> ParseDouble(std::string_view text) {
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) {
    return std::nullopt;
  }
  const std::string copy(text);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) return std::nullopt;
  return value;
}

std::optional<int> ParseInteger(std::string_view text) {
  const std::optional<double> value = ParseDouble(text);
  if (!value || *value != std::floor(*value) || std::fabs(*value) > 1e9) {
    return std::nullopt;
  }
  return static_cast<int>(*value);
}

bool IsNameCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '[' ||
         c == ']';
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (std::size_t comma; (comma = line.find(',', start)) != line.npos;) {
    fields.push_back(line.substr(start, comma - start));
    start = comma + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

// Walks the lines of the file, numbering them from 1 for the messages.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == text.npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(line);
      start = end + 1;
    }
  }
  bool AtEnd() const { return next_ >= lines_.size(); }
  std::string_view Peek() const {
    return AtEnd() ? std::string_view() : lines_[next_];
  }
  std::string_view Take() {
    const std::string_view line = Peek();
    ++next_;
    return line;
  }
  [[noreturn]] void Fail(const std::string& reason) const {
    throw NotAResultFile(next_ + 1, reason);
  }
  void Expect(std::string_view line, std::string_view what) {
    if (Peek() != line) Fail("expected " + std::string(what));
    Take();
  }

 private:
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
};

// A parameter block: lines of named values and the empty lines between them.
std::vector<NamedValue> ReadParameterLines(LineCursor& in) {
  std::vector<NamedValue> values;
  while (!in.AtEnd() &&
         (in.Peek().empty() || ParseNamedValues(in.Peek(), values))) {
    in.Take();
  }
  if (values.empty()) in.Fail("expected a parameter block");
  return values;
}

double ReadFinalObjective(LineCursor& in) {
  const std::string_view label = text::kFinalBestLabel.Bytes;
  const std::string_view line = in.Peek();
  const std::optional<double> f = line.starts_with(label)
                                      ? ParseDouble(line.substr(label.size()))
                                      : std::nullopt;
  if (!f) in.Fail("expected the final objective line");
  in.Take();
  return *f;
}

std::vector<double> ReadGenes(LineCursor& in) {
  std::vector<double> genes;
  while (in.Peek().starts_with("X[")) {
    const std::string expected = "X[" + std::to_string(genes.size() + 1) + "]=";
    const std::string_view line = in.Peek();
    const std::optional<double> gene =
        line.starts_with(expected) ? ParseDouble(line.substr(expected.size()))
                                   : std::nullopt;
    if (!gene) in.Fail("expected " + expected + "<gene>");
    genes.push_back(*gene);
    in.Take();
  }
  return genes;
}

CalibrationResult ReadCalibrationHead(LineCursor& in) {
  CalibrationResult calibration;
  in.Take();
  calibration.Initial = ReadParameterLines(in);
  // The progress lines of a run with output switched on lie in between.
  while (!in.AtEnd() && in.Peek() != text::kOptimizedParameterHeading)
    in.Take();
  in.Expect(text::kOptimizedParameterHeading, "the optimized parameter report");
  calibration.Optimized = ReadParameterLines(in);
  in.Expect(text::kAsteriskLine, "a line of asterisks");
  calibration.FinalObjective = ReadFinalObjective(in);
  calibration.Genes = ReadGenes(in);
  in.Expect(text::kAsteriskLine, "a line of asterisks");
  return calibration;
}

int ReadSummary(LineCursor& in) {
  const std::string_view line = in.Peek();
  if (!line.starts_with(text::kResultHeading))
    in.Fail("expected the summary line");
  std::string_view rest = line.substr(text::kResultHeading.size());
  const std::size_t digits = rest.find_first_not_of("0123456789");
  const std::optional<int> days = ParseInteger(rest.substr(0, digits));
  if (!days) in.Fail("expected the number of fit days");
  in.Take();
  // The calibration layout adds the water-balance line.
  if (!in.AtEnd() && in.Peek().starts_with(text::kBalanceRain.Bytes)) in.Take();
  return *days;
}

DayRow ReadRow(LineCursor& in, std::size_t index, bool hasObserved) {
  const std::vector<std::string_view> fields = SplitFields(in.Peek());
  const std::size_t valueCount = hasObserved ? 6 : 5;
  if (fields.size() != 4 + valueCount + 1 || !fields.back().empty()) {
    in.Fail("expected a daily row of " + std::to_string(4 + valueCount) +
            " values, each followed by a comma");
  }
  const std::optional<int> number = ParseInteger(fields[0]);
  if (!number || *number != static_cast<int>(index)) {
    in.Fail("expected row number " + std::to_string(index));
  }
  int date[3];
  for (int k = 0; k < 3; ++k) {
    const std::optional<int> part = ParseInteger(fields[1 + k]);
    if (!part) in.Fail("expected a date");
    date[k] = *part;
  }
  double values[6];
  for (std::size_t k = 0; k < valueCount; ++k) {
    const std::optional<double> value = ParseDouble(fields[4 + k]);
    if (!value) in.Fail("expected a number in column " + std::to_string(5 + k));
    values[k] = *value;
  }
  in.Take();
  // Without the observed column every later value sits one column further left.
  const std::size_t shift = hasObserved ? 0 : 1;
  const auto at = [&](std::size_t k) { return values[k - shift]; };
  return {date[0],
          date[1],
          date[2],
          values[0],
          hasObserved ? values[1] : std::nan(""),
          at(2),
          at(3),
          at(4),
          at(5)};
}

}  // namespace

bool ParseNamedValues(std::string_view line, std::vector<NamedValue>& out) {
  std::vector<NamedValue> found;
  std::string suffix;
  std::size_t at = 0;
  if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0]))) {
    at = line.find(' ');
    if (at == line.npos) return false;
    const std::optional<int> tank = ParseInteger(line.substr(0, at));
    if (!tank) return false;
    suffix = "[" + std::to_string(*tank) + "]";
  }
  while (true) {
    at = line.find_first_not_of(" ,", at);
    if (at == line.npos) break;
    const std::size_t equals = line.find('=', at);
    if (equals == line.npos) return false;
    std::string_view name = line.substr(at, equals - at);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (name.empty()) return false;
    for (char c : name) {
      if (!IsNameCharacter(c)) return false;
    }
    const std::size_t end =
        std::min(line.find_first_of(" ,", equals), line.size());
    const std::optional<double> value =
        ParseDouble(line.substr(equals + 1, end - equals - 1));
    if (!value) return false;
    found.push_back({std::string(name) + suffix, *value});
    at = end;
  }
  if (found.empty()) return false;
  out.insert(out.end(), found.begin(), found.end());
  return true;
}

ResultFile ParseResultFile(std::string_view text) {
  LineCursor in(text);
  ResultFile result;
  if (in.Peek() == text::kInitialParameterHeading)
    result.Calibration = ReadCalibrationHead(in);
  in.Expect(text::kParameterTitle,
            "the parameter heading of a velm result file");
  result.Parameters = ReadParameterLines(in);
  result.FitDays = ReadSummary(in);
  const std::string_view columns = in.Peek();
  if (columns != text::kColumnsWithObserved &&
      columns != text::kColumnsWithoutObserved) {
    in.Fail("expected the column line");
  }
  result.HasObserved = columns == text::kColumnsWithObserved;
  in.Take();
  while (!in.AtEnd() && !in.Peek().empty()) {
    result.Days.push_back(ReadRow(in, result.Days.size(), result.HasObserved));
  }
  while (!in.AtEnd() && in.Peek().empty()) in.Take();
  if (!in.AtEnd()) in.Fail("unexpected text after the daily rows");
  return result;
}

}  // namespace velm::report
