#pragma once

// study.csv and the per-catchment files it is collected from: CSV tables of
// text fields, written and read back alike, with the numbers in one format.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velm::study {

// The columns before the calibrated parameters, which follow by their
// printed names.
inline constexpr const char* kFixedColumns[] = {
    "catchment", "period",   "start",       "seed",        "search",
    "objective", "from",     "to",          "warmup_days", "fit_days",
    "final_f",   "valid",    "evaluations", "simulations", "nse",
    "kge",       "kge_prime", "pbias",      "rmse",        "seconds",
    "reason"};

struct Table {
  std::vector<std::string> Header;
  std::vector<std::vector<std::string>> Rows;

  // The column's index; nothing when the table has no such column.
  std::optional<std::size_t> Column(std::string_view name) const;
};

// Ten significant digits; "nan", "inf" and "-inf" as velm writes them.
std::string CsvNumber(double value);
// A number read back; NaN for an empty field or one that is no number.
double NumberIn(std::string_view field);

// LF line ends; a field with a comma, a quote or a line break is quoted.
std::string TableText(const Table& table);
Table ParseTable(std::string_view text);

// `tables` in order under one header: the fixed columns, then every
// parameter column in the order the tables first name them.
Table Concatenated(const std::vector<Table>& tables);

std::optional<std::string> ReadText(const std::filesystem::path& path);

}  // namespace velm::study
