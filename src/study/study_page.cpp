#include "study/study_page.h"

#include "check/report.h"
#include "report/assets.h"
#include "report/html.h"
#include "study/assets.h"

namespace velm::study {
namespace {

using check::JsonString;
using report::JsonArray;
using report::JsonNumber;

// The numbers of a row of study.csv in the columns named.
std::vector<std::string> Numbers(const Table& t,
                                 const std::vector<std::string>& row,
                                 const std::vector<std::string>& names) {
  std::vector<std::string> values;
  for (const std::string& name : names) {
    values.push_back(JsonNumber(NumberIn(row[*t.Column(name)])));
  }
  return values;
}

// [start, seed, f, valid, [calibration NSE, KGE], [validation NSE, KGE],
// [parameter values]] for each start, from its two rows.
std::string StartsData(const Table& t, std::size_t firstParameter) {
  const std::vector<std::string> efficiencies{ScoreKey(&Scores::NSE),
                                              ScoreKey(&Scores::KGE)};
  std::vector<std::string> starts;
  for (std::size_t i = 0; i + 1 < t.Rows.size(); i += 2) {
    const auto& calibration = t.Rows[i];
    const auto& validation = t.Rows[i + 1];
    std::vector<std::string> values;
    for (std::size_t p = firstParameter; p < t.Header.size(); ++p) {
      values.push_back(JsonNumber(NumberIn(calibration[p])));
    }
    std::vector<std::string> start =
        Numbers(t, calibration, {"start", "seed", "final_f"});
    start.push_back(calibration[*t.Column("valid")] == "yes" ? "true"
                                                             : "false");
    start.push_back(JsonArray(Numbers(t, calibration, efficiencies), ","));
    start.push_back(JsonArray(Numbers(t, validation, efficiencies), ","));
    start.push_back(JsonArray(values, ","));
    starts.push_back(JsonArray(start, ","));
  }
  return JsonArray(starts, ",\n");
}

std::string BandData(const Table& band) {
  std::vector<std::string> days;
  for (const auto& row : band.Rows) {
    std::vector<std::string> values{JsonString(row[0])};
    for (std::size_t i = 1; i < row.size(); ++i) {
      values.push_back(JsonNumber(NumberIn(row[i])));
    }
    days.push_back(JsonArray(values, ","));
  }
  return JsonArray(days, ",\n");
}

std::string CatchmentData(const CatchmentOutputs& c) {
  const std::size_t firstParameter = FixedColumns().size();
  std::vector<std::string> names;
  for (std::size_t p = firstParameter; p < c.Starts.Header.size(); ++p) {
    names.push_back(JsonString(c.Starts.Header[p]));
  }
  return "{\"name\": " + JsonString(c.Name) +
         ", \"state\": " + JsonString(c.State) +
         ", \"reason\": " + JsonString(c.Reason) +
         ", \"parameters\": " + JsonArray(names, ", ") +
         ",\n\"starts\": " + StartsData(c.Starts, firstParameter) +
         ",\n\"band\": " + BandData(c.Band) + "}";
}

std::string ChartBlock(std::string_view id, std::string_view title,
                       std::string_view note, std::string_view size) {
  return "<div class=\"chart-block\">\n<h2>" + std::string(title) + "</h2>\n" +
         "<p class=\"meta\">" + std::string(note) + "</p>\n<div id=\"" +
         std::string(id) + "\" class=\"chart " + std::string(size) +
         "\"></div>\n</div>\n";
}

}  // namespace

std::string RenderStudyPage(const std::vector<CatchmentOutputs>& catchments) {
  std::vector<std::string> data;
  for (const CatchmentOutputs& c : catchments) data.push_back(CatchmentData(c));
  const std::string title =
      "velm study of " + std::to_string(catchments.size()) + " catchments";
  return report::PageHead(title, std::string(report::PageStyle()) +
                                     std::string(StudyStyle())) +
         "<body>\n<div class=\"header\">\n<h1>" + title +
         "</h1>\n<p class=\"meta\">Each catchment was calibrated from "
         "several starts on its calibration period and every start scored "
         "on its validation period; the best start is the valid one of the "
         "lowest f.</p>\n</div>\n"
         "<h2>Catchments</h2>\n<table id=\"catchments\"></table>\n"
         "<div class=\"row\">\n" +
         ChartBlock("distribution", "Validation NSE and KGE across catchments",
                    "Empirical distribution of the best start's scores.",
                    "half") +
         ChartBlock("calibration-validation",
                    "Calibration against validation NSE",
                    "Every valid start; the dashed line is 1:1.", "half") +
         "</div>\n<div class=\"chosen\">\n<h2><label>Catchment <select "
         "id=\"catchment\"></select></label></h2>\n"
         "<p id=\"catchment-note\" class=\"meta\"></p>\n" +
         ChartBlock("hydrograph", "Validation hydrograph",
                    "The best start, within the lowest and highest of all "
                    "valid starts, and the observed runoff.",
                    "") +
         "<h2>Each calibrated parameter against f</h2>\n<p class=\"meta\">Dotty "
         "plots over the valid starts.</p>\n<div id=\"dotty\" "
         "class=\"dotty\"></div>\n<h2>Spread over the valid starts</h2>\n"
         "<table id=\"spread\"></table>\n</div>\n"
         "<script type=\"application/json\" id=\"study-data\">" +
         report::ScriptText("{\"catchments\": " + JsonArray(data, ",\n") + "}") +
         "</script>\n<script>\n" + std::string(StudyScript()) +
         "</script>\n</body>\n</html>\n";
}

}  // namespace velm::study
