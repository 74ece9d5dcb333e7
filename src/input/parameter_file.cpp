#include "input/parameter_file.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

#include "common/number_format.h"
#include "common/number_parse.h"

namespace velm {
namespace {

constexpr std::size_t kTankCountLine = RowOf(&ParameterSet::TankCount).FileLine;
// Tank i's group is a label line, then its values.
constexpr std::size_t FirstTankLine(int tank) {
  return kTankCountLine + 1 + 3 * static_cast<std::size_t>(tank - 1);
}

void ThrowIf(DerivationProblem problem) {
  if (problem == DerivationProblem::kNone) return;
  const ProblemLines where = LinesOf(problem);
  ThrowBadLines(FileEntry::kParameter, where.Lines, where.Problem);
}

}  // namespace

std::size_t ParameterLineOf(const ParameterRef& p) {
  const std::size_t line = p.Row->FileLine;
  if (line == 0 || p.Row->Tanks == nullptr) return line;
  return FirstTankLine(p.Tank) + line;
}

ProblemLines LinesOf(DerivationProblem problem) {
  if (problem == DerivationProblem::kImperviousIsOne) {
    const std::size_t line = RowOf(&ParameterSet::Impervious).FileLine;
    return {{line, line}, InputProblem::kImperviousIsOne};
  }
  // The soil values that F18_Infiltration and MAX_Infiltration come from.
  LineRange soil{std::numeric_limits<std::size_t>::max(), 0};
  for (const ParameterRow& row : kParameters) {
    if (row.Scaled != ScaledValue::kDerivesOthers) continue;
    soil.First = std::min(soil.First, row.FileLine);
    soil.Last = std::max(soil.Last, row.FileLine);
  }
  return {soil, InputProblem::kNoMaxInfiltration};
}

ParameterSet ParseFileValues(const TextLines& lines) {
  ParameterSet p;
  for (const ParameterRow* row : kRowsOf<ParameterKind::kFileValue>) {
    p.*(row->Value) = ParseReal(lines.LineOrEmpty(row->FileLine));
  }
  p.F18_SoilMoisture = p.MAX_SoilMoisture * p.F18_SoilMoisture;
  return p;
}

ParameterSet ParseParameterFile(const TextLines& lines) {
  ParameterSet p = ParseFileValues(lines);
  ThrowIf(DeriveInfiltration(p));
  p.TankCount = ParseInt(lines.LineOrEmpty(kTankCountLine));
  if (p.TankCount < 0 || p.TankCount > ParameterSet::kMaxTankCount) {
    ThrowBadLine(FileEntry::kParameter, kTankCountLine,
                 InputProblem::kTankCountOutOfRange);
  }
  const auto tankSlots = static_cast<std::size_t>(p.TankCount) + 1;
  for (const ParameterRow* row : kRowsOf<ParameterKind::kTankList>) {
    std::vector<double>& values = p.*(row->Tanks);
    values.assign(tankSlots, 0.0);
    for (int i = 1; i <= p.TankCount; ++i) {
      values[i] = ParseReal(lines.LineOrEmpty(ParameterLineOf({row, i})));
    }
  }
  ThrowIf(SetInitialTankDepths(p));
  return p;
}

namespace {

bool SameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](double x, double y) { return SameBits(x, y); });
}

std::string Digits17(double value) { return FormatPrintf("%.17g", value); }

// The fraction of MAX_SoilMoisture whose product the reader computes gives
// back the depth exactly: the quotient, or a neighbour of it.
std::optional<double> FractionGiving(double depth, double scale) {
  if (scale == 0.0) return depth == 0.0 ? std::optional(0.0) : std::nullopt;
  constexpr int kNeighbours = 64;
  const double quotient = depth / scale;
  if (scale * quotient == depth) return quotient;
  double below = quotient;
  double above = quotient;
  for (int step = 0; step < kNeighbours; ++step) {
    below = std::nextafter(below, -std::numeric_limits<double>::infinity());
    above = std::nextafter(above, std::numeric_limits<double>::infinity());
    if (scale * below == depth) return below;
    if (scale * above == depth) return above;
  }
  return std::nullopt;
}

// What a re-read set holds that this one does not, by name.
std::string Differences(const ParameterSet& a, const ParameterSet& b) {
  std::string text;
  const auto add = [&text](const std::string& part) {
    text += (text.empty() ? "" : "; ") + part;
  };
  bool tanks = false;
  bool depths = false;
  for (const ParameterRow& row : kParameters) {
    if (row.Value != nullptr && !SameBits(a.*(row.Value), b.*(row.Value))) {
      if (row.Kind == ParameterKind::kInitialDepth) {
        depths = true;
      } else {
        add(std::string(row.Name) + " " + Digits17(a.*(row.Value)) +
            " would read back as " + Digits17(b.*(row.Value)));
      }
    }
    if (row.Tanks != nullptr && !SameBits(a.*(row.Tanks), b.*(row.Tanks))) {
      (row.Kind == ParameterKind::kInitialDepth ? depths : tanks) = true;
    }
    if (row.Count != nullptr && a.*(row.Count) != b.*(row.Count)) tanks = true;
  }
  if (tanks) add("the tanks");
  if (depths) add("the initial tank depths");
  return text;
}

void SetLine(std::vector<std::string>& lines, std::size_t line,
             std::string text) {
  if (lines.size() <= line) lines.resize(line + 1);
  lines[line] = std::move(text);
}

}  // namespace

std::string ParameterFileText(const ParameterSet& p) {
  ParameterSet derived = p;
  if (const DerivationProblem problem = ComputeDerivedValues(derived);
      problem != DerivationProblem::kNone) {
    throw std::invalid_argument("velm would refuse this set: " +
                                std::string(Explain(problem)));
  }
  if (p.TankCount < 0 || p.TankCount > ParameterSet::kMaxTankCount) {
    throw std::invalid_argument("velm would refuse this set: TankCount " +
                                std::to_string(p.TankCount) +
                                " is not from 0 to 1000");
  }
  const std::optional<double> fraction =
      FractionGiving(p.F18_SoilMoisture, p.MAX_SoilMoisture);
  if (!fraction) {
    throw std::invalid_argument(
        "F18_SoilMoisture " + Digits17(p.F18_SoilMoisture) +
        " is no fraction of MAX_SoilMoisture " + Digits17(p.MAX_SoilMoisture) +
        " that a parameter file can hold");
  }
  std::vector<std::string> lines{"", "velm parameter file"};
  for (const ParameterRow* row : kRowsOf<ParameterKind::kFileValue>) {
    const bool isFraction = row->Value == &ParameterSet::F18_SoilMoisture;
    // A label line, then the value.
    SetLine(lines, row->FileLine - 1,
            isFraction ? std::string(row->Name) + " as a fraction of " +
                             std::string(RowOf(&ParameterSet::MAX_SoilMoisture).Name)
                       : std::string(row->Name));
    SetLine(lines, row->FileLine,
            Digits17(isFraction ? *fraction : p.*(row->Value)));
  }
  SetLine(lines, kTankCountLine - 1,
          std::string(RowOf(&ParameterSet::TankCount).Name));
  SetLine(lines, kTankCountLine, std::to_string(p.TankCount));
  for (int i = 1; i <= p.TankCount; ++i) {
    std::string label = "Tank " + std::to_string(i) + ":";
    for (const ParameterRow* row : kRowsOf<ParameterKind::kTankList>) {
      label += (label.back() == ':' ? " " : ", ") + std::string(row->Name);
      SetLine(lines, ParameterLineOf({row, i}),
              Digits17((p.*(row->Tanks))[static_cast<std::size_t>(i)]));
    }
    SetLine(lines, FirstTankLine(i), label);
  }
  std::string text;
  for (std::size_t n = 1; n < lines.size(); ++n) text += lines[n] + "\r\n";

  const std::string differences =
      Differences(p, ParseParameterFile(TextLines::FromText(text, LastLine::kKept)));
  if (!differences.empty()) {
    throw std::invalid_argument(
        "no parameter file gives this set, since velm derives "
        "F18_Infiltration, MAX_Infiltration and the initial tank depths "
        "when it reads one (a calibration scales them): " +
        differences);
  }
  return text;
}

}  // namespace velm
