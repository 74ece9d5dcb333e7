#pragma once

// study.csv and the per-catchment files it is collected from: CSV tables of
// text fields, written and read back alike, with the numbers in one format.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/scores.h"

namespace velm::study {

// The scores of each period in study.csv, in this order, under their rows'
// keys in kScores.
inline constexpr std::optional<double> Scores::*kStudyScores[] = {
    &Scores::NSE, &Scores::KGE, &Scores::KGEPrime, &Scores::PercentBias,
    &Scores::RMSE};

// A score's key in kScores ("kge_prime").
std::string ScoreKey(std::optional<double> Scores::*score);

// The columns before the calibrated parameters, which follow by their
// printed names: the start's fields, the scores, its time and what ended it.
const std::vector<std::string>& FixedColumns();

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
