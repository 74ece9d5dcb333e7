#include "report/page.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string_view>

#include "common/number_format.h"
#include "optimizer/bounds_check.h"
#include "optimizer/gene_map.h"
#include "report/assets.h"
#include "report/explore.h"
#include "report/html.h"
#include "report/series.h"

namespace velm::report {
namespace {

std::string NumberCell(double value) {
  return "<td class=\"num\">" + FormatNumber(value) + "</td>";
}

std::string ScoreTable(const Scores& s) {
  if (s.FitDays == 0) {
    return "<p>No observed runoff above zero: no scores.</p>\n";
  }
  std::string out =
      "<table class=\"scores\">\n"
      "<tr><th>Score</th><th>Value</th><th>Meaning</th></tr>\n";
  for (const ScoreRow& row : kScores) {
    out += "<tr><td>" + std::string(row.Html) + "</td><td class=\"num\">" +
           FormatScore(s.*(row.Value)) + "</td><td>" +
           std::string(row.Description) + "</td></tr>\n";
  }
  return out + "</table>\n";
}

std::string BalanceTable(const ResultFile& result) {
  const std::vector<bool> counted = CountedDays(result);
  double rain = 0, observed = 0, calculated = 0, evaporation = 0;
  int days = 0;
  for (std::size_t i = 0; i < result.Days.size(); ++i) {
    if (!counted[i]) continue;
    const DayRow& d = result.Days[i];
    ++days;
    rain += d.Rain;
    observed += result.HasObserved ? d.Observed : 0.0;
    calculated += d.Calculated;
    evaporation += d.ActualE;
  }
  std::string out = "<table>\n<tr><th colspan=\"2\">Water balance over " +
                    std::to_string(days) +
                    (result.HasObserved ? " fit days" : " days") +
                    ", mm</th></tr>\n";
  const auto row = [&](const char* name, double value) {
    out += std::string("<tr><td>") + name + "</td>" + NumberCell(value) +
           "</tr>\n";
  };
  row("Rain", rain);
  if (result.HasObserved) row("Observed runoff", observed);
  row("Calculated runoff", calculated);
  row("Actual evaporation", evaporation);
  if (result.HasObserved && observed > 0) {
    row("Calculated / observed", calculated / observed);
  }
  return out + "</table>\n";
}

// ---- The model's water balance and its runoff paths ----

// A period's flows summed over the days `counted` marks, with the stores'
// change as the water given back by them.
struct BalanceSums {
  BalancePeriod Flows;
  double FromStorage = 0.0;
  double PotentialE = 0.0;
  int Days = 0;
};

BalanceSums SumDays(const WaterBalance& balance, const ResultFile& result,
                    const std::vector<bool>& counted) {
  BalanceSums sums;
  sums.Flows.TankRunoff.assign(
      balance.MainPass.TankRunoff.size(), 0.0);
  for (std::size_t d = 0; d < balance.Days.size(); ++d) {
    if (!counted[d]) continue;
    const BalancePeriod& day = balance.Days[d];
    for (const BalanceFlowField& field : kBalanceFlowFields) {
      sums.Flows.*field.Member += day.*field.Member;
    }
    for (std::size_t j = 0; j < day.TankRunoff.size(); ++j) {
      sums.Flows.TankRunoff[j] += day.TankRunoff[j];
    }
    sums.FromStorage -= day.StorageChange();
    sums.PotentialE += result.Days[d].PotentialE;
    ++sums.Days;
  }
  return sums;
}

// Rain and the water the stores give back come in, evaporation, runoff and
// infiltration go out: each row's data-sign says which, so that a reader
// can check that the printed table closes; rows that break a term down
// carry none.
std::string ModelBalanceTable(const WaterBalance& balance,
                              const ResultFile& result) {
  std::vector<BalanceSums> columns{
      SumDays(balance, result, std::vector<bool>(result.Days.size(), true))};
  std::string head = "<th>All " + std::to_string(columns[0].Days) + " days</th>";
  if (result.HasObserved) {
    columns.push_back(SumDays(balance, result, CountedDays(result)));
    head += "<th>" + std::to_string(columns[1].Days) + " fit days</th>";
  }
  std::string out =
      "<table class=\"model-balance\">\n<tr><th>mm over the catchment</th>" +
      head + "</tr>\n";
  const auto row = [&](const std::string& name, const char* sign, auto value) {
    out += std::string("<tr") +
           (*sign ? std::string(" data-sign=\"") + sign + "\"" : " class=\"part\"") +
           "><td>" + Escape(name) + "</td>";
    for (const BalanceSums& sums : columns) {
      out += "<td class=\"num\">" + FormatPrintf("%.1f", value(sums)) + "</td>";
    }
    out += "</tr>\n";
  };
  const auto flowRows = [&](FlowKind kind) {
    for (const BalanceFlowField& field : kBalanceFlowFields) {
      if (field.Kind != kind) continue;
      // Without the surface storage nothing evaporates from it.
      if (field.Member == &BalancePeriod::StorageEvaporation &&
          balance.MainPass.StorageEvaporation == 0) {
        continue;
      }
      row(field.Label, "",
          [&](const BalanceSums& s) { return s.Flows.*field.Member; });
    }
  };
  row("Rain", "+", [](const BalanceSums& s) { return s.Flows.Rain; });
  row("From initial storage", "+",
      [](const BalanceSums& s) { return s.FromStorage; });
  row("Actual evaporation", "-",
      [](const BalanceSums& s) { return s.Flows.Evaporation(); });
  flowRows(FlowKind::kEvaporation);
  row("Potential evaporation (the demand, not a term)", "",
      [](const BalanceSums& s) { return s.PotentialE; });
  row("Calculated runoff", "-",
      [](const BalanceSums& s) { return s.Flows.Runoff(); });
  flowRows(FlowKind::kRunoff);
  for (std::size_t j = 0; j < balance.MainPass.TankRunoff.size(); ++j) {
    row(j == 0 ? "from the surface tank" : "from " + TankPathName(j), "",
        [j](const BalanceSums& s) { return s.Flows.TankRunoff[j]; });
  }
  row("Infiltrated and left the model", "-",
      [](const BalanceSums& s) { return s.Flows.Infiltrated; });
  return out + "</table>\n";
}

std::string ModelBalanceSection(const PageContext& context,
                                const ResultFile& result) {
  if (!context.Balance) {
    if (context.BalanceMissing.empty()) return "";
    return "<p class=\"meta\" id=\"model-balance-missing\">No balance of the "
           "model's stores: " + Escape(context.BalanceMissing) + ".</p>\n";
  }
  return "<div id=\"model-balance\">\n<h2>Where the water went</h2>\n" +
         ModelBalanceTable(*context.Balance, result) +
         "<p class=\"meta\">The soil keeps no water and passes none to the "
         "tank cascade, so what infiltrates leaves the model and the base "
         "flow is the water the tanks held when the main pass started, "
         "draining away (<a href=\"" VELM_DOC_DIR
         "/model-starting-state.md\">the model's starting state</a>). From "
         "velm's simulation of the result's parameters on the catchment "
         "directory beside it.</p>\n</div>\n";
}

// Each day's runoff by path, for a stacked chart.
std::string PathData(const WaterBalance& balance) {
  std::vector<std::string> labels{"\"impervious area\""};
  for (std::size_t j = 0; j < balance.MainPass.TankRunoff.size(); ++j) {
    labels.push_back("\"" + TankPathName(j) + "\"");
  }
  std::vector<std::string> rows;
  for (const BalancePeriod& day : balance.Days) {
    std::vector<std::string> cells{JsonNumber(day.ImperviousRunoff)};
    for (const double q : day.TankRunoff) cells.push_back(JsonNumber(q));
    rows.push_back(JsonArray(cells, ","));
  }
  return "{\"labels\": " + JsonArray(labels, ",") +
         ",\n\"days\": " + JsonArray(rows, ",\n") + "}";
}

// ---- end of the model's water balance ----

const NamedValue* FindParameter(const std::vector<NamedValue>& values,
                                std::string_view name) {
  const auto found =
      std::find_if(values.begin(), values.end(),
                   [&](const NamedValue& v) { return v.Name == name; });
  return found == values.end() ? nullptr : &*found;
}

// ---- Parameters at an ordering rule's limit ----

// Parameter name -> the ordering rules that hold it within 1 % of their
// limit ("CoeffSurfaceBotomTank &ge; CoeffTank[1]"): a calibration that
// settles there was stopped by the rule, not by the data. The 1 % is of the
// range a calibration searches, up to the parameter file's value, when
// `bounds` gives it, else of the larger value.
std::map<std::string, std::string> NearRuleLimits(
    const std::vector<NamedValue>& values,
    const std::vector<NamedValue>* bounds) {
  const auto scale = [&](const std::string& name, double value) {
    const NamedValue* bound =
        bounds != nullptr ? FindParameter(*bounds, name) : nullptr;
    return bound != nullptr ? bound->Value : value;
  };
  std::map<std::string, std::string> near;
  for (const OrderRule& rule : OrderRules(ParametersFromBlock(values))) {
    const double range = std::max(scale(rule.LeftName(), rule.Left),
                                  scale(rule.RightName(), rule.Right));
    if (!rule.Holds() || !(range > 0) ||
        rule.Left - rule.Right > 0.01 * range) {
      continue;
    }
    // Values the search left at their bounds did not settle at the rule.
    if (bounds != nullptr && rule.Left == scale(rule.LeftName(), NAN) &&
        rule.Right == scale(rule.RightName(), NAN)) {
      continue;
    }
    const std::string text = Escape(rule.LeftName()) +
                             (rule.Strict ? " &gt; " : " &ge; ") +
                             Escape(rule.RightName());
    for (const std::string& name : {rule.LeftName(), rule.RightName()}) {
      std::string& entry = near[name];
      entry += (entry.empty() ? "" : ", ") + text;
    }
  }
  return near;
}

std::string NearLimitMark(const std::map<std::string, std::string>& near,
                          const std::string& name) {
  const auto found = near.find(name);
  if (found == near.end()) return "";
  return " <span class=\"bound\" title=\"within 1 % of the rule's "
         "limit\">at " + found->second + "</span>";
}

// ---- end of the parameters at an ordering rule's limit ----

std::string UnitCell(std::string_view name) {
  return "<td>" + Escape(ParameterUnit(name)) + "</td>";
}

std::string SimulationParameterTable(const ResultFile& result) {
  std::string out =
      "<table class=\"parameters\">\n"
      "<tr><th>Parameter</th><th>Unit</th><th>Value</th></tr>\n";
  const auto near = NearRuleLimits(result.Parameters, nullptr);
  for (const NamedValue& p : result.Parameters) {
    out += "<tr><td>" + Escape(p.Name) + NearLimitMark(near, p.Name) +
           "</td>" + UnitCell(p.Name) + NumberCell(p.Value) + "</tr>\n";
  }
  return out + "</table>\n";
}

// Parameter name -> the genes that scale it ("X[2]").
std::map<std::string, std::string> GenesByParameter(const GeneMapping& genes) {
  std::map<std::string, std::string> byParameter;
  for (std::size_t k = 0; k < genes.ScaledBy.size(); ++k) {
    for (const std::string& name : genes.ScaledBy[k]) {
      std::string& entry = byParameter[name];
      entry +=
          (entry.empty() ? "" : ", ") + ("X[" + std::to_string(k + 1)) + "]";
    }
  }
  return byParameter;
}

// Without the control file's indices, the parameters the calibration changed
// are the ones known to be calibrated.
bool IsCalibrated(const NamedValue& optimized, const NamedValue* initial,
                  const std::map<std::string, std::string>& genes,
                  bool mappingKnown) {
  if (mappingKnown) return genes.contains(optimized.Name);
  return initial == nullptr || initial->Value != optimized.Value;
}

std::string CalibrationParameterTable(const CalibrationResult& c,
                                      const std::optional<GeneMapping>& genes) {
  const std::map<std::string, std::string> genesOf =
      genes ? GenesByParameter(*genes) : std::map<std::string, std::string>();
  std::string out =
      "<table class=\"parameters\">\n<tr><th>Parameter</th><th>Unit</th>"
      "<th>Parameter file</th><th>Optimized</th>" +
      std::string(genes ? "<th>Scaled by</th>" : "") + "</tr>\n";
  const auto near = NearRuleLimits(c.Optimized, &c.Initial);
  for (const NamedValue& p : c.Optimized) {
    const NamedValue* initial = FindParameter(c.Initial, p.Name);
    const bool calibrated =
        IsCalibrated(p, initial, genesOf, genes.has_value());
    out += std::string(calibrated ? "<tr class=\"calibrated\">" : "<tr>") +
           "<td>" + Escape(p.Name) + "</td>" + UnitCell(p.Name);
    if (initial == nullptr) {
      out += "<td></td>";
    } else {
      out += "<td class=\"num\">" + FormatNumber(initial->Value) +
             (calibrated ? " <span class=\"bound\">upper bound</span>" : "") +
             "</td>";
    }
    out += "<td class=\"num\">" + FormatNumber(p.Value) +
           NearLimitMark(near, p.Name) + "</td>";
    if (genes) {
      const auto gene = genesOf.find(p.Name);
      out += "<td>" + (gene == genesOf.end() ? "" : gene->second) + "</td>";
    }
    out += "</tr>\n";
  }
  out +=
      "</table>\n<p class=\"meta\">A calibration multiplies the parameter "
      "file's value of each calibrated parameter by a gene between 0 and 1: "
      "the file's value is the upper bound of the calibrated one.";
  if (!genes) {
    out +=
        " Which parameters each gene scales is unknown: the result file does "
        "not hold the control file's indices, and no control file could be "
        "read beside it. The rows marked are the ones the calibration "
        "changed.";
  }
  return out + "</p>\n";
}

std::string GeneTable(const CalibrationResult& c,
                      const std::optional<GeneMapping>& genes,
                      const std::vector<NamedValue>& parameters) {
  std::string out = "<table class=\"genes\">\n<tr><th>Gene</th><th>Value</th>" +
                    std::string(genes ? "<th>Scales</th>" : "") + "</tr>\n";
  for (std::size_t k = 0; k < c.Genes.size(); ++k) {
    out +=
        std::string(IsValidGene(c.Genes[k]) ? "<tr>" : "<tr class=\"fault\">") +
        "<td>X[" + std::to_string(k + 1) + "]</td>" + NumberCell(c.Genes[k]);
    if (genes) {
      std::string scaled;
      if (k < genes->ScaledBy.size()) {
        for (const std::string& name : genes->ScaledBy[k]) {
          // A control file may index tanks that the parameter file lacks.
          if (FindParameter(parameters, name) == nullptr) continue;
          scaled += (scaled.empty() ? "" : ", ") + Escape(name);
        }
      }
      out += "<td>" + (scaled.empty() ? "no parameter" : scaled) + "</td>";
    }
    out += "</tr>\n";
  }
  out += std::string(std::isnan(c.FinalObjective) ? "<tr class=\"fault\">"
                                                  : "<tr>") +
         "<td>final f</td>" + NumberCell(c.FinalObjective) +
         (genes ? "<td></td>" : "") + "</tr>\n</table>\n";
  if (genes && genes->ScaledBy.size() != c.Genes.size()) {
    out += "<p class=\"meta\">The control file beside the result has " +
           std::to_string(genes->ScaledBy.size()) +
           " variables, the result file " + std::to_string(c.Genes.size()) +
           " genes: the control file has changed since the run.</p>\n";
  }
  return out;
}

std::string FaultBox(const std::vector<std::string>& faults) {
  if (faults.empty()) return "";
  std::string out =
      "<div class=\"warning\" role=\"alert\">\n<strong>This calibration did "
      "not find a valid parameter set.</strong>\n<ul>\n";
  for (const std::string& fault : faults) {
    out += "<li>" + Escape(fault) + "</li>\n";
  }
  return out + "</ul>\n</div>\n";
}

// The page's script shows the findings, or a notice when the text is not one
// JSON value.
std::string CheckSection(const std::optional<std::string>& report) {
  if (!report) return "";
  return "<div id=\"velm-check\" class=\"check\" hidden>\n<h2>Input "
         "check (velm-check.json)</h2>\n</div>\n"
         "<script type=\"application/json\" id=\"velm-check-data\">" +
         ScriptText(*report) + "</script>\n";
}

std::string ChartBlock(std::string_view id, std::string_view title,
                       std::string_view note, std::string_view controls,
                       std::string_view size) {
  return "<div class=\"chart-block\">\n<div class=\"caption\"><h2>" +
         std::string(title) + "</h2>\n<span class=\"controls\">" +
         std::string(controls) + "<button type=\"button\" data-png=\"" +
         std::string(id) + "\">PNG</button></span></div>\n" +
         (note.empty() ? ""
                       : "<p class=\"meta\">" + std::string(note) + "</p>\n") +
         "<div id=\"" + std::string(id) + "\" class=\"chart " +
         std::string(size) + "\"></div>\n</div>\n";
}

// Per day, the cumulative observed and calculated runoff of the counted days.
std::string CumulativeData(const ResultFile& result) {
  const std::vector<bool> counted = CountedDays(result);
  double observedSum = 0, calculatedSum = 0;
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < result.Days.size(); ++i) {
    const DayRow& d = result.Days[i];
    if (counted[i]) {
      observedSum += result.HasObserved ? d.Observed : 0.0;
      calculatedSum += d.Calculated;
    }
    rows.push_back("[" + JsonNumber(result.HasObserved ? observedSum : NAN) +
                   "," + JsonNumber(calculatedSum) + "]");
  }
  return JsonArray(rows, ",\n");
}

// Both series of the counted days sorted from high to low, at the Weibull
// exceedance 100 i / (n + 1); values not above zero have no place on a log
// axis.
std::string DurationData(const ResultFile& result) {
  const std::vector<bool> counted = CountedDays(result);
  std::vector<double> observed, calculated;
  for (std::size_t i = 0; i < result.Days.size(); ++i) {
    if (!counted[i]) continue;
    observed.push_back(result.Days[i].Observed);
    calculated.push_back(result.Days[i].Calculated);
  }
  // Highest first; NaN, which has no order, last.
  const auto higher = [](double a, double b) {
    return a > b || (!std::isnan(a) && std::isnan(b));
  };
  std::sort(observed.begin(), observed.end(), higher);
  std::sort(calculated.begin(), calculated.end(), higher);
  const auto positive = [](double v) { return v > 0 ? v : NAN; };
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < observed.size(); ++i) {
    const double exceedance = 100.0 * static_cast<double>(i + 1) /
                              static_cast<double>(observed.size() + 1);
    rows.push_back("[" + JsonNumber(exceedance) + "," +
                   JsonNumber(positive(observed[i])) + "," +
                   JsonNumber(positive(calculated[i])) + "]");
  }
  return JsonArray(rows, ",\n");
}

std::string MonthlyData(const ResultFile& result) {
  std::vector<std::string> rows;
  for (const MonthTotals& m : MonthlyTotals(result)) {
    rows.push_back("[" + std::to_string(m.Year) + "," +
                   std::to_string(m.Month) + "," + JsonNumber(m.Rain) + "," +
                   JsonNumber(m.Observed) + "," + JsonNumber(m.Calculated) +
                   "," + JsonNumber(m.ActualE) + "," +
                   JsonNumber(m.PotentialE) + "]");
  }
  return JsonArray(rows, ",\n");
}

// ---- The search's trace ----

std::string SearchData(const std::vector<TracePoint>& trace) {
  std::vector<std::string> rows;
  for (const TracePoint& point : trace) {
    rows.push_back("[" + std::to_string(point.Evaluations) + "," +
                   JsonNumber(point.BestF) + "]");
  }
  return JsonArray(rows, ",\n");
}

std::string SearchChart(const PageContext& context) {
  if (context.Search.empty()) return "";
  return ChartBlock("search", "The search's best f",
                    "The lowest f found so far against the evaluations made, "
                    "from the progress lines of " +
                        Escape(context.SearchSource) + ".",
                    "", "");
}

// ---- end of the search's trace ----

std::string ReportData(const ResultFile& result, const PageContext& context) {
  return "{\"hasObserved\": " +
         std::string(result.HasObserved ? "true" : "false") +
         (context.Balance ? ",\n\"paths\": " + PathData(*context.Balance)
                          : std::string()) +
         (context.Search.empty()
              ? std::string()
              : ",\n\"search\": " + SearchData(context.Search)) +
         ",\n\"cumulative\": " + CumulativeData(result) +
         ",\n\"duration\": " + DurationData(result) +
         ",\n\"monthly\": " + MonthlyData(result) + "}";
}

std::string Heading(const ResultFile& result, const PageContext& context) {
  std::string heading = context.Catchment;
  if (!result.Days.empty()) {
    heading += ", " + IsoDate(result.Days.front()) + " to " +
               IsoDate(result.Days.back());
  }
  return Escape(heading);
}

std::string Charts(bool paths) {
  return ChartBlock(
             "hydrograph", "Daily hydrograph",
             "<span class=\"hint\">Drag to zoom, double-click to zoom out, "
             "or use the range selector. </span>Rain hangs from the top as "
             "bars on the right-hand axis.",
             "<label><input type=\"checkbox\" id=\"hydrograph-log\"> log "
             "scale</label> ",
             "") +
         "<div class=\"row\">\n" +
         ChartBlock("duration", "Flow-duration curve", "", "", "half") +
         ChartBlock("cumulative", "Cumulative runoff", "", "", "half") +
         "</div>\n<div class=\"row\">\n" +
         ChartBlock("scatter", "Calculated against observed",
                    "Daily runoff of the fit days; the dashed line is 1:1.", "",
                    "half") +
         ChartBlock("monthly", "Monthly totals",
                    "Sums over the days the water balance counts.", "",
                    "half") +
         "</div>\n" +
         (paths ? ChartBlock("paths", "Calculated runoff by path",
                             "Each day's runoff stacked by the path it took; "
                             "the tanks' share is the starting water "
                             "draining away.",
                             "", "")
                : std::string());
}

// velm's model and its loader, when velm-report carries them: the loader
// instantiates the module as the page opens (window.velmModel).
std::string ModelBlock(const ResultFile& result, const PageContext& context) {
  if (ModelModule().empty()) return "";
  return "<div id=\"velm-model-block\">\n<p class=\"meta\">This page carries "
         "velm's model as WebAssembly (" +
         std::to_string(ModelModule().size()) +
         " bytes), measured against velm: " +
         Escape(std::string(ModelAgreement().substr(
             0, ModelAgreement().find_last_not_of("\r\n") + 1))) +
         ".</p>\n<script type=\"application/wasm\" id=\"velm-model\">" +
         Base64(ModelModule()) + "</script>\n<script>\n" +
         std::string(ModelLoader()) + "</script>\n" +
         ExploreBlock(result, context.Explore, context.Genes) +
         "</div><!-- velm-model-block -->\n";
}

}  // namespace

std::string RenderPage(const ResultFile& result, const Scores& scores,
                       const PageContext& context) {
  const std::string heading = Heading(result, context);
  const bool calibration = result.Calibration.has_value();
  std::string page =
      PageHead(heading + " &ndash; velm report", PageStyle());
  page += "<body data-stem=\"" + Escape(context.FileStem) +
          "\" data-catchment=\"" + Escape(context.Catchment) +
          "\">\n<div class=\"header\">\n<h1>" + heading +
          "</h1>\n<p class=\"meta\">" +
          (calibration ? "Calibration" : "Simulation") + " result " +
          Escape(context.Source) + ": " + std::to_string(result.Days.size()) +
          " days, " + std::to_string(scores.FitDays) +
          " fit days (observed daily runoff above zero).</p>\n"
          "<p class=\"downloads\"><button type=\"button\" "
          "id=\"download-csv\">Daily series as CSV</button></p>\n</div>\n";
  page += FaultBox(context.Faults) + CheckSection(context.CheckReport);
  page += "<div class=\"row\">\n<div>\n<h2>Scores over the fit days</h2>\n" +
          ScoreTable(scores) + "</div>\n<div>\n<h2>Water balance</h2>\n" +
          BalanceTable(result) + "</div>\n</div>\n";
  page += ModelBalanceSection(context, result) +
          Charts(context.Balance.has_value()) + SearchChart(context);
  if (calibration) {
    page +=
        "<div class=\"parameters\">\n<h2>Initial and optimized "
        "parameters</h2>\n" +
        CalibrationParameterTable(*result.Calibration, context.Genes) +
        "<h2>Genes</h2>\n" +
        GeneTable(*result.Calibration, context.Genes, result.Parameters) +
        "</div>\n";
  } else {
    page += "<div class=\"parameters\">\n<h2>Parameters</h2>\n" +
            SimulationParameterTable(result) + "</div>\n";
  }
  page +=
      "<script type=\"text/csv\" id=\"daily-series\">\n" + SeriesCsv(result) +
      "</script>\n<script type=\"application/json\" id=\"report-data\">" +
      ReportData(result, context) + "</script>\n<script>\n" + std::string(PageScript()) +
      "</script>\n" + ModelBlock(result, context) + "</body>\n</html>\n";
  return page;
}

}  // namespace velm::report
