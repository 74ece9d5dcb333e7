#include "model/parameter_table.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "model/exact_product.h"

namespace velm {

const ParameterRow* FindParameter(std::string_view name) {
  name = name.substr(0, name.find('['));
  for (const ParameterRow& row : kParameters) {
    if (row.Name == name) return &row;
  }
  return nullptr;
}

std::string ParameterRef::Name() const {
  std::string name(Row->Name);
  if (Row->Tanks != nullptr) {
    name += '[';
    name += std::to_string(Tank);
    name += ']';
  }
  return name;
}

double ParameterRef::ValueIn(const ParameterSet& p) const {
  if (Row->Value != nullptr) return p.*(Row->Value);
  if (Row->Count != nullptr) return p.*(Row->Count);
  return (p.*(Row->Tanks))[static_cast<std::size_t>(Tank)];
}

int GeneIndices::Of(const ParameterRef& p) const {
  const std::size_t at = PositionOf(*p.Row);
  if (p.Row->Tanks == nullptr) return Single[at];
  const std::vector<int>& list = Tanks[at];
  const auto entry = static_cast<std::size_t>(p.Tank) - 1;
  return p.Tank >= 1 && entry < list.size() ? list[entry] : 0;
}

ParameterValue ValueOf(const ParameterSet& p, const ParameterRow& row) {
  if (row.Value != nullptr) return p.*(row.Value);
  if (row.Count != nullptr) return p.*(row.Count);
  const std::vector<double>& slots = p.*(row.Tanks);
  return std::vector<double>(slots.begin() + (slots.empty() ? 0 : 1),
                             slots.end());
}

namespace {

std::string Digits17(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  return buffer;
}

bool IsDerived(const ParameterRow& row) {
  return row.Kind == ParameterKind::kDerived ||
         row.Kind == ParameterKind::kInitialDepth;
}

void Refuse(const std::string& why) { throw std::invalid_argument(why); }

}  // namespace

ParameterSet WithValues(ParameterSet p, const NamedParameterValues& values,
                        GivenDerived derived) {
  std::optional<int> tankCount;
  std::vector<int> listCounts;
  for (const auto& [row, value] : values) {
    if (IsDerived(*row)) {
      if (derived == GivenDerived::kRefused) {
        Refuse(std::string(row->Name) +
               " is derived from MAX_SoilMoisture, Final_Infiltration, "
               "Coeff_Reduction and F18_SoilMoisture, as velm derives it "
               "when it reads a parameter file: change those instead");
      }
      continue;
    }
    if (row->Value != nullptr) p.*(row->Value) = std::get<double>(value);
    if (row->Count != nullptr) tankCount = std::get<int>(value);
    if (row->Tanks != nullptr) {
      const auto& tanks = std::get<std::vector<double>>(value);
      listCounts.push_back(static_cast<int>(tanks.size()));
      std::vector<double>& slots = p.*(row->Tanks);
      slots.assign(1, 0.0);  // slot 0 holds no tank
      slots.insert(slots.end(), tanks.begin(), tanks.end());
    }
  }
  const int count = tankCount.value_or(
      listCounts.empty() ? p.TankCount : listCounts.front());
  if (count < 0 || count > ParameterSet::kMaxTankCount) {
    Refuse("TankCount must be from 0 to 1000, not " + std::to_string(count));
  }
  if (std::any_of(listCounts.begin(), listCounts.end(),
                  [count](int n) { return n != count; })) {
    Refuse("CoeffTank and BotomTank must each hold one value per tank: " +
           std::to_string(count) + " tanks");
  }
  p.TankCount = count;
  for (const ParameterRow* row : kRowsOf<ParameterKind::kTankList>) {
    (p.*(row->Tanks)).resize(static_cast<std::size_t>(count) + 1, 0.0);
  }
  if (const DerivationProblem problem = ComputeDerivedValues(p);
      problem != DerivationProblem::kNone) {
    Refuse(std::string(Explain(problem)));
  }
  for (const auto& [row, value] : values) {
    if (row->Kind != ParameterKind::kDerived) continue;
    const double given = std::get<double>(value);
    if (bit_cast<std::uint64_t>(given) !=
        bit_cast<std::uint64_t>(p.*(row->Value))) {
      Refuse(std::string(row->Name) + " " + Digits17(given) +
             " is not the value the soil values give, " +
             Digits17(p.*(row->Value)));
    }
  }
  return p;
}

}  // namespace velm
