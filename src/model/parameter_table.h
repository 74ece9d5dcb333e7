#pragma once

// Every value of a parameter set as one row: its printed name, where the set
// keeps it, the lines of the parameter file and of the control file that give
// it, its unit, and what a parameter file makes of a value that a calibration
// scaled. The gene map, the parameter file's reader and writer, the control
// file's reader, velm-check, velm-report, the Python module and the page's
// model all iterate these rows; a value added to ParameterSet without its row
// does not compile.

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "model/field_count.h"
#include "model/parameter_set.h"

namespace velm {

enum class ParameterKind {
  kFileValue,     // a line of the parameter file gives it
  kTankCount,     // the number of tanks
  kTankList,      // a value per tank, tank i in entry i
  kDerived,       // derived from the soil values as a parameter file is read
  kInitialDepth,  // a store's depth at the start of a run, set likewise
};

// What a parameter file can say of a value that a calibration scaled.
enum class ScaledValue {
  kCarried,        // the file gives it as it is
  kDerived,        // reading the file derives it, whatever the file says
  kDerivesOthers,  // F18_Infiltration and MAX_Infiltration are derived from it
  kSetsDepths,     // the initial depths are set from it (of CoeffTank, the
                   // last two tanks')
};

struct ParameterRow {
  std::string_view Name;
  ParameterKind Kind = ParameterKind::kFileValue;
  double ParameterSet::*Value = nullptr;               // a single value
  std::vector<double> ParameterSet::*Tanks = nullptr;  // a tank list
  int ParameterSet::*Count = nullptr;                  // the tank count
  // The parameter file's line of a single value, or a tank list's line in a
  // tank's group of lines; 0 for none.
  std::size_t FileLine = 0;
  // The control file's line of the optimization index, likewise; 0 for a
  // value that no gene can scale.
  std::size_t IndexLine = 0;
  std::string_view Unit;  // "-" for a ratio
  ScaledValue Scaled = ScaledValue::kCarried;
};

namespace parameter_rows {
using K = ParameterKind;
using S = ScaledValue;
using P = ParameterSet;
// In the order of the parameter file, then what is derived.
inline constexpr std::array<ParameterRow, 18> kAll{{
    {"Impervious", K::kFileValue, &P::Impervious, {}, {}, 3, 22, "-",
     S::kSetsDepths},
    {"MAX_SoilMoisture", K::kFileValue, &P::MAX_SoilMoisture, {}, {}, 5, 0,
     "mm", S::kDerivesOthers},
    {"Final_Infiltration", K::kFileValue, &P::Final_Infiltration, {}, {}, 7,
     26, "mm/h", S::kDerivesOthers},
    {"Coeff_Reduction", K::kFileValue, &P::Coeff_Reduction, {}, {}, 9, 28,
     "1/h", S::kDerivesOthers},
    // The file gives it as a fraction of MAX_SoilMoisture, the set keeps the
    // depth.
    {"F18_SoilMoisture", K::kFileValue, &P::F18_SoilMoisture, {}, {}, 11, 0,
     "mm", S::kDerivesOthers},
    {"MAX_EvapoRatio", K::kFileValue, &P::MAX_EvapoRatio, {}, {}, 13, 32, "-"},
    {"Coeff_EvapoModel", K::kFileValue, &P::Coeff_EvapoModel, {}, {}, 15, 34,
     "-"},
    {"CoeffSurfaceTopTank", K::kFileValue, &P::CoeffSurfaceTopTank, {}, {}, 17,
     36, "1/h"},
    {"HighSurfaceTopTank", K::kFileValue, &P::HighSurfaceTopTank, {}, {}, 19,
     38, "mm"},
    {"CoeffSurfaceBotomTank", K::kFileValue, &P::CoeffSurfaceBotomTank, {}, {},
     21, 40, "1/h"},
    {"HighSurfaceBotomTank", K::kFileValue, &P::HighSurfaceBotomTank, {}, {},
     23, 42, "mm"},
    {"TankCount", K::kTankCount, {}, {}, &P::TankCount, 25, 0, ""},
    {"CoeffTank", K::kTankList, {}, &P::CoeffTank, {}, 1, 1, "1/h",
     S::kSetsDepths},
    {"BotomTank", K::kTankList, {}, &P::BotomTank, {}, 2, 2, "mm/h"},
    {"F18_Infiltration", K::kDerived, &P::F18_Infiltration, {}, {}, 0, 30,
     "mm/h", S::kDerived},
    {"MAX_Infiltration", K::kDerived, &P::MAX_Infiltration, {}, {}, 0, 24,
     "mm/h", S::kDerived},
    {"ImperviousTankWD", K::kInitialDepth, &P::ImperviousTankWD, {}, {}, 0, 0,
     "mm", S::kDerived},
    // Entry 0 is the surface tank.
    {"TankWaterDepth", K::kInitialDepth, {}, &P::TankWaterDepth, {}, 0, 0,
     "mm", S::kDerived},
}};
}  // namespace parameter_rows

inline constexpr const std::array<ParameterRow, 18>& kParameters =
    parameter_rows::kAll;
inline constexpr std::size_t kParameterCount = kParameters.size();

// A row's place in kParameters.
constexpr std::size_t PositionOf(const ParameterRow& row) {
  return static_cast<std::size_t>(&row - kParameters.data());
}

// The row of a member of ParameterSet.
template <typename Member>
constexpr const ParameterRow& RowOf(Member ParameterSet::*member) {
  for (const ParameterRow& row : kParameters) {
    if constexpr (std::is_same_v<Member, double>) {
      if (row.Value == member) return row;
    } else if constexpr (std::is_same_v<Member, int>) {
      if (row.Count == member) return row;
    } else {
      if (row.Tanks == member) return row;
    }
  }
  throw "a member of ParameterSet without its row";
}

// The row of a printed name ("CoeffTank" for "CoeffTank[2]" too); nullptr
// for a name the model does not have.
const ParameterRow* FindParameter(std::string_view name);

// The rows of one kind, in the table's order.
template <ParameterKind Kind>
inline constexpr auto kRowsOf = [] {
  constexpr auto count = static_cast<std::size_t>(std::count_if(
      kParameters.begin(), kParameters.end(),
      [](const ParameterRow& row) { return row.Kind == Kind; }));
  std::array<const ParameterRow*, count> rows{};
  std::size_t at = 0;
  for (const ParameterRow& row : kParameters) {
    if (row.Kind == Kind) rows[at++] = &row;
  }
  return rows;
}();

// The rows that genes can scale, in the order of their index lines in the
// control file: single values first, then the tank lists.
inline constexpr auto kScalableRows = [] {
  constexpr auto count = static_cast<std::size_t>(
      std::count_if(kParameters.begin(), kParameters.end(),
                    [](const ParameterRow& row) { return row.IndexLine > 0; }));
  std::array<const ParameterRow*, count> rows{};
  std::size_t at = 0;
  for (const ParameterRow& row : kParameters) {
    if (row.IndexLine > 0) rows[at++] = &row;
  }
  std::sort(rows.begin(), rows.end(), [](const auto* a, const auto* b) {
    const bool aTank = a->Kind == ParameterKind::kTankList;
    const bool bTank = b->Kind == ParameterKind::kTankList;
    return aTank != bTank ? bTank : a->IndexLine < b->IndexLine;
  });
  return rows;
}();

namespace detail {
constexpr bool EachMemberHasOneRow() {
  for (std::size_t i = 0; i < kParameters.size(); ++i) {
    const ParameterRow& a = kParameters[i];
    const int members = (a.Value != nullptr) + (a.Tanks != nullptr) +
                        (a.Count != nullptr);
    if (members != 1) return false;
    for (std::size_t j = i + 1; j < kParameters.size(); ++j) {
      const ParameterRow& b = kParameters[j];
      if ((a.Value && a.Value == b.Value) || (a.Tanks && a.Tanks == b.Tanks) ||
          (a.Count && a.Count == b.Count) || a.Name == b.Name) {
        return false;
      }
    }
  }
  return true;
}
}  // namespace detail
static_assert(FieldCount<ParameterSet>() == kParameterCount,
              "every value of ParameterSet has its row in kParameters");
static_assert(detail::EachMemberHasOneRow(),
              "each row names one member, and no member has two rows");

// One parameter of a set: a row, and for a tank list the tank (from 1).
struct ParameterRef {
  const ParameterRow* Row = nullptr;
  int Tank = 0;

  // "MAX_EvapoRatio", "CoeffTank[2]".
  std::string Name() const;
  // Its value in `parameters`; the tank must exist.
  double ValueIn(const ParameterSet& parameters) const;
  bool operator==(const ParameterRef&) const = default;
};

// Which gene scales each parameter, as the control file's optimization
// indices say: gene k multiplies every value whose index is k, 0 none.
struct GeneIndices {
  // By the row's position, for single values.
  std::array<int, kParameterCount> Single{};
  // By the row's position, for tank lists: entry i - 1 holds tank i's; a
  // tank the list does not reach is not scaled.
  std::array<std::vector<int>, kParameterCount> Tanks{};

  int Of(const ParameterRef& parameter) const;
  int& operator[](double ParameterSet::*member) {
    return Single[PositionOf(RowOf(member))];
  }
  std::vector<int>& operator[](std::vector<double> ParameterSet::*member) {
    return Tanks[PositionOf(RowOf(member))];
  }
  int operator[](double ParameterSet::*member) const {
    return Single[PositionOf(RowOf(member))];
  }
  const std::vector<int>& operator[](
      std::vector<double> ParameterSet::*member) const {
    return Tanks[PositionOf(RowOf(member))];
  }
};

// A value given by its name, as the Python module gives values: a number,
// the tank count, or a tank list (tanks 1 to n, without slot 0).
using ParameterValue = std::variant<double, int, std::vector<double>>;
using NamedParameterValues =
    std::vector<std::pair<const ParameterRow*, ParameterValue>>;

// The value of a row in a set.
ParameterValue ValueOf(const ParameterSet& parameters, const ParameterRow& row);

// What to make of derived values among the values given.
enum class GivenDerived {
  kRefused,  // they are derived, not given
  kChecked,  // they must be the values derived
};

// `base` with `values` applied and the derived values computed again, as
// reading a parameter file computes them. TankCount follows a tank list when
// it is not given, and tanks a list does not reach read as 0, as the file's
// lines do. Refused with std::invalid_argument, in English: a derived value
// (as `derived` says), a tank count outside 0..1000 or a list of another
// count, and values from which nothing can be derived.
ParameterSet WithValues(ParameterSet base, const NamedParameterValues& values,
                        GivenDerived derived);

}  // namespace velm
