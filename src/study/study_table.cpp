#include "study/study_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace velm::study {

std::string ScoreKey(std::optional<double> Scores::*score) {
  for (const ScoreRow& row : kScores) {
    if (row.Value == score) return std::string(row.Key);
  }
  throw std::logic_error("a score without its row");
}

const std::vector<std::string>& FixedColumns() {
  static const std::vector<std::string> columns = [] {
    std::vector<std::string> names{
        "catchment", "period",      "start",       "seed",
        "search",    "objective",   "from",        "to",
        "warmup_days", "fit_days",  "final_f",     "valid",
        "evaluations", "simulations"};
    for (const auto score : kStudyScores) names.push_back(ScoreKey(score));
    names.insert(names.end(), {"seconds", "reason"});
    return names;
  }();
  return columns;
}
namespace {

std::string Quoted(std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    return std::string(field);
  }
  std::string out = "\"";
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::optional<std::size_t> Table::Column(std::string_view name) const {
  const auto at = std::find(Header.begin(), Header.end(), name);
  if (at == Header.end()) return std::nullopt;
  return static_cast<std::size_t>(at - Header.begin());
}

std::string CsvNumber(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

double NumberIn(std::string_view field) {
  const std::string text(field);
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return text.empty() || *end != '\0' ? std::nan("") : value;
}

std::string TableText(const Table& table) {
  std::string text;
  const auto line = [&](const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      text += (i > 0 ? "," : "") + Quoted(fields[i]);
    }
    text += '\n';
  };
  line(table.Header);
  for (const auto& row : table.Rows) line(row);
  return text;
}

Table ParseTable(std::string_view text) {
  std::vector<std::vector<std::string>> lines;
  std::vector<std::string> fields{std::string()};
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') {
        fields.back() += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c == '\n') {
      lines.push_back(std::move(fields));
      fields = {std::string()};
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  Table table;
  if (lines.empty()) return table;
  table.Header = std::move(lines.front());
  table.Rows.assign(std::make_move_iterator(lines.begin() + 1),
                    std::make_move_iterator(lines.end()));
  return table;
}

Table Concatenated(const std::vector<Table>& tables) {
  Table all;
  all.Header = FixedColumns();
  for (const Table& table : tables) {
    for (const std::string& name : table.Header) {
      if (!all.Column(name)) all.Header.push_back(name);
    }
  }
  for (const Table& table : tables) {
    for (const auto& row : table.Rows) {
      std::vector<std::string> fields(all.Header.size());
      for (std::size_t i = 0; i < table.Header.size() && i < row.size(); ++i) {
        fields[*all.Column(table.Header[i])] = row[i];
      }
      all.Rows.push_back(std::move(fields));
    }
  }
  return all;
}

std::optional<std::string> ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return std::move(text).str();
}

}  // namespace velm::study
