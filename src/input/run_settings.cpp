#include "input/run_settings.h"

#include <stdexcept>
#include <string>

#include "common/number_parse.h"
#include "input/input_error.h"

namespace velm {
namespace {

constexpr std::size_t FirstTankLine(int tank) {
  return kTankIndexCountLine + 1 + 3 * static_cast<std::size_t>(tank - 1);
}

// An index is a gene number: 0, or 1 to VariableCount.
int ReadIndex(const TextLines& lines, std::size_t lineNumber,
              int variableCount) {
  const int index = ParseInt(lines.LineOrEmpty(lineNumber));
  if (index != 0 && (index < 1 || index > variableCount)) {
    ThrowBadLine(FileEntry::kControl, lineNumber,
                 InputProblem::kIndexOutOfRange);
  }
  return index;
}

}  // namespace

void CheckIndices(const RunSettings& s) {
  const int variables = s.VariableCount;
  if (variables > RunSettings::kMaxVariableCount) {
    throw std::invalid_argument("VariableCount must be at most 14, not " +
                                std::to_string(variables));
  }
  const auto check = [variables](const ParameterRow& row, int index) {
    if (index != 0 && (index < 1 || index > variables)) {
      throw std::invalid_argument(
          "OptIndex_" + std::string(row.Name) + " " + std::to_string(index) +
          " names no variable: an index is 0 or 1 to VariableCount " +
          std::to_string(variables));
    }
  };
  std::size_t tanks = 0;
  bool first = true;
  for (const ParameterRow* row : kScalableRows) {
    const std::size_t at = PositionOf(*row);
    if (row->Tanks == nullptr) {
      check(*row, s.OptIndex.Single[at]);
      continue;
    }
    for (const int index : s.OptIndex.Tanks[at]) check(*row, index);
    if (!first && s.OptIndex.Tanks[at].size() != tanks) {
      throw std::invalid_argument(
          "OptIndex_CoeffTank and OptIndex_BotomTank must list the same "
          "tanks");
    }
    tanks = s.OptIndex.Tanks[at].size();
    first = false;
  }
}

std::size_t IndexLineOf(const ParameterRef& p) {
  const std::size_t line = p.Row->IndexLine;
  if (line == 0 || p.Row->Tanks == nullptr) return line;
  return FirstTankLine(p.Tank) + line;
}

RunSettings RunSettings::Parse(const TextLines& lines) {
  RunSettings s;
  for (const SettingRow& row : kSettings) {
    const std::string_view text = lines.LineOrEmpty(row.Line);
    if (row.Integer != nullptr) s.*(row.Integer) = ParseInt(text);
    if (row.Real != nullptr) s.*(row.Real) = ParseReal(text);
  }
  if (s.VariableCount > kMaxVariableCount) {
    ThrowBadLine(FileEntry::kControl, SettingLine(&RunSettings::VariableCount),
                 InputProblem::kTooManyVariables);
  }

  // In the order of the file, which decides the line a refusal names first.
  const auto index = [&](std::size_t n) {
    return ReadIndex(lines, n, s.VariableCount);
  };
  for (const ParameterRow* row : kScalableRows) {
    if (row->Tanks == nullptr) {
      s.OptIndex.Single[PositionOf(*row)] = index(row->IndexLine);
    }
  }
  // Tank groups past the end of the file would read as 0, which is what a
  // tank the lists do not hold reads as; so the lists stop where the file
  // does and an absurd count cannot exhaust memory.
  const int tankIndexCount = ParseInt(lines.LineOrEmpty(kTankIndexCountLine));
  for (int tank = 1; tank <= tankIndexCount; ++tank) {
    if (FirstTankLine(tank) > lines.Count()) break;
    for (const ParameterRow* row : kScalableRows) {
      if (row->Tanks == nullptr) continue;
      s.OptIndex.Tanks[PositionOf(*row)].push_back(
          index(IndexLineOf({row, tank})));
    }
  }
  return s;
}

}  // namespace velm
