#include "input/parameter_file_writer.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

#include "common/input_error.h"
#include "common/number_format.h"
#include "common/text_lines.h"
#include "input/parameter_file.h"

namespace velm {
namespace {

bool SameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!SameBits(a[i], b[i])) return false;
  }
  return true;
}

// The fraction of MAX_SoilMoisture whose product the reader computes gives
// back the depth exactly: the quotient, or a neighbour of it.
std::optional<double> FractionGiving(double depth, double scale) {
  if (scale == 0.0) return depth == 0.0 ? std::optional(0.0) : std::nullopt;
  constexpr int kNeighbours = 64;
  const double quotient = depth / scale;
  double below = quotient;
  double above = quotient;
  if (scale * quotient == depth) return quotient;
  for (int step = 0; step < kNeighbours; ++step) {
    below = std::nextafter(below, -std::numeric_limits<double>::infinity());
    above = std::nextafter(above, std::numeric_limits<double>::infinity());
    if (scale * below == depth) return below;
    if (scale * above == depth) return above;
  }
  return std::nullopt;
}

std::string Digits17(double value) { return FormatPrintf("%.17g", value); }

// What a re-read set holds that this one does not, by name.
std::vector<std::string> Differences(const ParameterSet& a,
                                     const ParameterSet& b) {
  std::vector<std::string> names;
  for (const auto& fields :
       {std::vector(kFileScalars.begin(), kFileScalars.end()),
        std::vector(kDerivedScalars.begin(), kDerivedScalars.end())}) {
    for (const ParameterField& field : fields) {
      if (!SameBits(a.*(field.Member), b.*(field.Member))) {
        names.push_back(std::string(field.Name) + " " +
                        Digits17(a.*(field.Member)) + " would read back as " +
                        Digits17(b.*(field.Member)));
      }
    }
  }
  if (a.TankCount != b.TankCount || !SameBits(a.CoeffTank, b.CoeffTank) ||
      !SameBits(a.BotomTank, b.BotomTank)) {
    names.emplace_back("the tanks");
  }
  if (!SameBits(a.TankWaterDepth, b.TankWaterDepth) ||
      !SameBits(a.ImperviousTankWD, b.ImperviousTankWD)) {
    names.emplace_back("the initial tank depths");
  }
  return names;
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) {
    text += (text.empty() ? "" : "; ") + part;
  }
  return text;
}

}  // namespace

std::string ParameterFileText(const ParameterSet& p) {
  const std::optional<double> fraction =
      FractionGiving(p.F18_SoilMoisture, p.MAX_SoilMoisture);
  if (!fraction) {
    throw std::invalid_argument(
        "F18_SoilMoisture " + Digits17(p.F18_SoilMoisture) +
        " is no fraction of MAX_SoilMoisture " + Digits17(p.MAX_SoilMoisture) +
        " that a parameter file can hold");
  }
  std::string text = "velm parameter file\r\n";
  const auto line = [&text](std::string_view label, const std::string& value) {
    text.append(label).append("\r\n").append(value).append("\r\n");
  };
  for (const ParameterField& field : kFileScalars) {
    if (field.Member == &ParameterSet::F18_SoilMoisture) {
      line("F18_SoilMoisture as a fraction of MAX_SoilMoisture",
           Digits17(*fraction));
    } else {
      line(field.Name, Digits17(p.*(field.Member)));
    }
  }
  line("TankCount", std::to_string(p.TankCount));
  for (int i = 1; i <= p.TankCount; ++i) {
    line("Tank " + std::to_string(i) + ": CoeffTank, BotomTank",
         Digits17(p.CoeffTank[i]));
    text.append(Digits17(p.BotomTank[i])).append("\r\n");
  }

  ParameterSet reread;
  try {
    reread = ParseParameterFile(TextLines::FromText(text, LastLine::kKept));
  } catch (const InputError& error) {
    throw std::invalid_argument("velm would refuse this set: " +
                                error.Utf8Message());
  }
  const std::vector<std::string> differences = Differences(p, reread);
  if (!differences.empty()) {
    throw std::invalid_argument(
        "no parameter file gives this set, since velm derives "
        "F18_Infiltration, MAX_Infiltration and the initial tank depths "
        "when it reads one (a calibration scales them): " +
        Joined(differences));
  }
  return text;
}

}  // namespace velm
