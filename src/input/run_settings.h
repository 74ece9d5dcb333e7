#pragma once

// The control file: the settings of a run, read strictly by line number. The
// settings are one table, which the reader, velm-check and the Python module
// iterate; the optimization indices follow the parameter table's rows.

#include <array>
#include <cstddef>
#include <string_view>

#include "model/field_count.h"
#include "common/text_lines.h"
#include "model/parameter_table.h"

namespace velm {

class RunSettings {
 public:
  // The optimizer's individuals hold genes X[1] to X[14].
  static constexpr int kMaxVariableCount = 14;

  // Lines between the values are labels for the reader of the file; lines the
  // file does not have read as 0. VariableCount above 14 and an index outside
  // 0..VariableCount are refused.
  static RunSettings Parse(const TextLines& lines);

  double CatchmentArea = 0.0;
  int RunMode = 0;
  int ObservedFlag = 0;
  int OutputFlag = 0;
  int SurfaceStorageFlag = 0;
  int ObjectiveType = 0;
  int FcountLimit = 0;
  double BalanceErrorLimit = 0.0;
  int VariableCount = 0;
  // A tank that the control file gives no index line reads as 0, not
  // calibrated.
  GeneIndices OptIndex;
};

// A setting: its name, as the Python module gives it too, and its line.
struct SettingRow {
  std::string_view Name;
  std::size_t Line;
  int RunSettings::*Integer = nullptr;
  double RunSettings::*Real = nullptr;
};

inline constexpr std::array<SettingRow, 9> kSettings{{
    {"CatchmentArea", 3, nullptr, &RunSettings::CatchmentArea},
    {"RunMode", 5, &RunSettings::RunMode},
    {"ObservedFlag", 7, &RunSettings::ObservedFlag},
    {"OutputFlag", 9, &RunSettings::OutputFlag},
    {"SurfaceStorageFlag", 11, &RunSettings::SurfaceStorageFlag},
    {"ObjectiveType", 13, &RunSettings::ObjectiveType},
    {"FcountLimit", 15, &RunSettings::FcountLimit},
    {"BalanceErrorLimit", 17, nullptr, &RunSettings::BalanceErrorLimit},
    {"VariableCount", 19, &RunSettings::VariableCount},
}};
static_assert(FieldCount<RunSettings>() == kSettings.size() + 1,
              "every setting of RunSettings has its row in kSettings");

// The line of a setting.
template <typename Value>
constexpr std::size_t SettingLine(Value RunSettings::*member) {
  for (const SettingRow& row : kSettings) {
    if constexpr (std::is_same_v<Value, int>) {
      if (row.Integer == member) return row.Line;
    } else {
      if (row.Real == member) return row.Line;
    }
  }
  throw "a setting without its row";
}

// The number of tank groups of indices; group i (from 1) is a label line,
// then the indices of tank i's values.
inline constexpr std::size_t kTankIndexCountLine = 44;

// The control file's rules on settings given otherwise (the Python module's):
// at most 14 variables, every index 0 or a variable's number, and as many
// tanks in every list of indices. Refused with std::invalid_argument, in
// English.
void CheckIndices(const RunSettings& settings);

// The line of a parameter's optimization index; 0 for a value that no gene
// can scale.
std::size_t IndexLineOf(const ParameterRef& parameter);

}  // namespace velm
