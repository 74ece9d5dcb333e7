#include "check/field_checks.h"

#include <set>

#include "check/wording.h"
#include "common/number_parse.h"

namespace velm::check {
namespace {

// A flag column holds a few codes; the decimal parts of measured values
// take many more.
constexpr std::size_t kMostFlagCodes = 10;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

// "0,13": a whole number, a comma and digits only, nothing more.
bool IsDecimalComma(std::string_view value) {
  const std::size_t comma = value.find(',');
  std::string_view whole = Trimmed(value.substr(0, comma));
  if (!whole.empty() && (whole.front() == '-' || whole.front() == '+')) {
    whole.remove_prefix(1);
  }
  return AllDigits(whole) && AllDigits(Trimmed(value.substr(comma + 1)));
}

// The value a decimal comma stands for.
double MeantValue(std::string_view value) {
  std::string text(value);
  text[text.find(',')] = '.';
  return ParseReal(text);
}

struct Tally {
  std::size_t Records = 0;
  std::size_t WithExtra = 0;
  std::size_t FirstExtraLine = 0;
  std::string_view FirstExtra;
  std::size_t DecimalCommas = 0;
  std::size_t FirstCommaLine = 0;
  std::string_view FirstCommaValue;
  std::set<std::string_view> Decimals;
  double SumRead = 0;
  double SumMeant = 0;
};

Tally CountExtraFields(std::span<const std::string_view> values) {
  Tally t;
  t.Records = values.size();
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::string_view value = values[i];
    const std::size_t comma = value.find(',');
    // A record joined to the next by a CR alone has a finding of its own.
    if (comma == std::string_view::npos ||
        value.find('\r') != std::string_view::npos) {
      continue;
    }
    if (t.WithExtra++ == 0) {
      t.FirstExtraLine = i + 1;
      t.FirstExtra = value.substr(comma + 1);
    }
    if (!IsDecimalComma(value)) continue;
    t.Decimals.insert(Trimmed(value.substr(comma + 1)));
    if (t.DecimalCommas++ == 0) {
      t.FirstCommaLine = i + 1;
      t.FirstCommaValue = value;
    }
  }
  // The totals are worth their time only where commas may be decimal.
  if (t.DecimalCommas == 0) return t;
  for (const std::string_view value : values) {
    const bool decimal = value.find(',') != std::string_view::npos &&
                         value.find('\r') == std::string_view::npos &&
                         IsDecimalComma(value);
    t.SumRead += ParseReal(value);
    t.SumMeant += decimal ? MeantValue(value) : ParseReal(value);
  }
  return t;
}

std::string Sums(const Tally& t) {
  return "the values add up to " + Number(t.SumRead, 5) +
         " as velm reads them, and to " + Number(t.SumMeant, 5) +
         " with the commas as decimal points";
}

void Judge(const NamedFile& file, const Tally& t,
           std::vector<Finding>& findings) {
  if (t.WithExtra == 0) return;
  const bool varies = t.WithExtra < t.Records;
  const std::string count =
      std::to_string(t.WithExtra) + " of " + Count(t.Records, "record") +
      (t.WithExtra == 1 ? " has" : " have") + " a field after the value";
  if (t.DecimalCommas > 0 && (varies || t.Decimals.size() > kMostFlagCodes)) {
    const std::string value(t.FirstCommaValue);
    findings.push_back(FindingAt(
        file, "decimal-comma", Severity::kError, t.FirstCommaLine,
        "line " + std::to_string(t.FirstCommaLine) +
            " writes its value with a decimal comma, " + Quoted(value) +
            ", of which velm reads only " + Number(ParseReal(value), 6) +
            " (the value ends at the comma); " +
            std::to_string(t.DecimalCommas) + " of " +
            Count(t.Records, "record") + " hold a decimal comma: " + Sums(t),
        "write decimals with a point (" + Number(MeantValue(value), 6) +
            "): save the file with a point as the decimal separator"));
    return;
  }
  std::string message =
      (varies
           ? count + ", the first on line " + std::to_string(t.FirstExtraLine)
           : "every record has a field after its value, such as " +
                 Quoted(t.FirstExtra) + " on line " +
                 std::to_string(t.FirstExtraLine)) +
      ": velm ignores text after a number, so " +
      (!varies            ? "the column plays"
       : t.WithExtra == 1 ? "it plays"
                          : "they play") +
      " no part";
  if (t.DecimalCommas == t.WithExtra) {
    message +=
        "; if they are the decimal parts of values written with a "
        "decimal comma, velm reads only the whole parts: " +
        Sums(t);
  }
  findings.push_back(FindingAt(file, "extra-fields", Severity::kNote, t.FirstExtraLine,
                               std::move(message), ""));
}

}  // namespace

void CheckExtraFields(const NamedFile& file,
                      std::span<const std::string_view> values,
                      std::vector<Finding>& findings) {
  Judge(file, CountExtraFields(values), findings);
}

}  // namespace velm::check
