#include "report/page.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "common/number_format.h"
#include "report/assets.h"

namespace velm::report {
namespace {

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Ten digits keep the file's six and the sums computed from them.
std::string JsNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return buffer;
}

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      const unsigned char byte = k < count ? bytes[i + k] : 0;
      group = group << 8 | byte;
    }
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= count ? kDigits[(group >> (18 - 6 * k)) & 63] : '=';
    }
  }
  return out;
}

std::string Shown(std::optional<double> value) {
  return value ? FormatNumber(*value) : "undefined";
}

// The days the water balance and the cumulative curves count: the fit days
// when there is an observed series, else every day.
std::vector<bool> CountedDays(const ResultFile& result) {
  std::vector<bool> counted;
  for (const DayRow& d : result.days) {
    counted.push_back(!result.hasObserved || d.observed > 0);
  }
  return counted;
}

std::string ScoreTable(const Scores& s) {
  if (s.fitDays == 0) {
    return "<p>No observed runoff above zero: no scores.</p>\n";
  }
  struct Row {
    const char* name;
    std::optional<double> value;
    const char* meaning;
  };
  const Row rows[] = {
      {"NSE", s.nse, "Nash-Sutcliffe efficiency (1 is perfect)"},
      {"KGE", s.kge, "Kling-Gupta efficiency, 2009 (1 is perfect)"},
      {"r", s.r, "linear correlation"},
      {"&alpha;", s.alpha,
       "ratio of standard deviations, calculated / observed"},
      {"&beta;", s.beta, "ratio of means, calculated / observed"},
      {"KGE&prime;", s.kgePrime, "Kling-Gupta efficiency, 2012, with &gamma;"},
      {"&gamma;", s.gamma, "ratio of coefficients of variation"},
      {"PBIAS %", s.percentBias,
       "percent bias, positive when calculated is higher"},
      {"RMSE", s.rmse, "root mean square error, mm/day"},
      {"Peak error %", s.peakError,
       "highest calculated day against highest observed day"},
  };
  std::string out =
      "<table "
      "class=\"scores\">\n<tr><th>Score</th><th>Value</th><th>Meaning</th></"
      "tr>\n";
  for (const Row& row : rows) {
    out += std::string("<tr><td>") + row.name + "</td><td class=\"num\">" +
           Shown(row.value) + "</td><td>" + row.meaning + "</td></tr>\n";
  }
  return out + "</table>\n";
}

std::string BalanceTable(const ResultFile& result) {
  const std::vector<bool> counted = CountedDays(result);
  double rain = 0, observed = 0, calculated = 0, evaporation = 0;
  int days = 0;
  for (std::size_t i = 0; i < result.days.size(); ++i) {
    if (!counted[i]) continue;
    const DayRow& d = result.days[i];
    ++days;
    rain += d.rain;
    observed += result.hasObserved ? d.observed : 0.0;
    calculated += d.calculated;
    evaporation += d.actualE;
  }
  std::string out = "<table>\n<tr><th colspan=\"2\">Water balance over " +
                    std::to_string(days) +
                    (result.hasObserved ? " fit days" : " days") +
                    ", mm</th></tr>\n";
  const auto row = [&](const char* name, std::string value) {
    out += std::string("<tr><td>") + name + "</td><td class=\"num\">" + value +
           "</td></tr>\n";
  };
  row("Rain", FormatNumber(rain));
  if (result.hasObserved) row("Observed runoff", FormatNumber(observed));
  row("Calculated runoff", FormatNumber(calculated));
  row("Actual evaporation", FormatNumber(evaporation));
  if (result.hasObserved && observed > 0) {
    row("Calculated / observed", FormatNumber(calculated / observed));
  }
  return out + "</table>\n";
}

std::string ParameterTable(const ResultFile& result) {
  std::string out = "<table class=\"parameters\">\n";
  const auto cell = [](double v) {
    return "<td class=\"num\">" + FormatNumber(v) + "</td>";
  };
  if (!result.calibration) {
    out += "<tr><th>Parameter</th><th>Value</th></tr>\n";
    for (const NamedValue& p : result.parameters) {
      out += "<tr><td>" + Escape(p.name) + "</td>" + cell(p.value) + "</tr>\n";
    }
    return out + "</table>\n";
  }
  const Calibration& c = *result.calibration;
  out += "<tr><th>Parameter</th><th>Initial</th><th>Optimized</th></tr>\n";
  for (const NamedValue& p : c.optimized) {
    const auto initial =
        std::find_if(c.initial.begin(), c.initial.end(),
                     [&](const NamedValue& q) { return q.name == p.name; });
    const bool changed =
        initial == c.initial.end() || initial->value != p.value;
    out += std::string(changed ? "<tr class=\"changed\">" : "<tr>") + "<td>" +
           Escape(p.name) + "</td>" +
           (initial == c.initial.end() ? "<td></td>" : cell(initial->value)) +
           cell(p.value) + "</tr>\n";
  }
  out +=
      "</table>\n<table "
      "class=\"genes\">\n<tr><th>Gene</th><th>Value</th></tr>\n";
  for (std::size_t k = 0; k < c.genes.size(); ++k) {
    out += "<tr><td>X[" + std::to_string(k + 1) + "]</td>" + cell(c.genes[k]) +
           "</tr>\n";
  }
  out += "<tr><td>final f</td>" + cell(c.finalObjective) + "</tr>\n";
  return out + "</table>\n";
}

// [year, month, day, rain, observed, calculated, cumulative observed,
// cumulative calculated] per day.
std::string DailyData(const ResultFile& result) {
  const std::vector<bool> counted = CountedDays(result);
  double observedSum = 0, calculatedSum = 0;
  std::string out = "[";
  for (std::size_t i = 0; i < result.days.size(); ++i) {
    const DayRow& d = result.days[i];
    if (counted[i]) {
      observedSum += result.hasObserved ? d.observed : 0.0;
      calculatedSum += d.calculated;
    }
    out += "[" + std::to_string(d.year) + "," + std::to_string(d.month) + "," +
           std::to_string(d.day) + "," + JsNumber(d.rain) + "," +
           JsNumber(d.observed) + "," + JsNumber(d.calculated) + "," +
           JsNumber(result.hasObserved ? observedSum : NAN) + "," +
           JsNumber(calculatedSum) + "],\n";
  }
  return out + "]";
}

// Both series of the counted days sorted from high to low, at the Weibull
// exceedance 100 i / (n + 1); values not above zero have no place on a log
// axis.
std::string DurationData(const ResultFile& result) {
  const std::vector<bool> counted = CountedDays(result);
  std::vector<double> observed, calculated;
  for (std::size_t i = 0; i < result.days.size(); ++i) {
    if (!counted[i]) continue;
    observed.push_back(result.days[i].observed);
    calculated.push_back(result.days[i].calculated);
  }
  // Highest first; NaN, which has no order, last.
  const auto higher = [](double a, double b) {
    return a > b || (!std::isnan(a) && std::isnan(b));
  };
  std::sort(observed.begin(), observed.end(), higher);
  std::sort(calculated.begin(), calculated.end(), higher);
  const auto positive = [](double v) { return v > 0 ? v : NAN; };
  std::string out = "[";
  for (std::size_t i = 0; i < observed.size(); ++i) {
    const double exceedance = 100.0 * static_cast<double>(i + 1) /
                              static_cast<double>(observed.size() + 1);
    out += "[" + JsNumber(exceedance) + "," + JsNumber(positive(observed[i])) +
           "," + JsNumber(positive(calculated[i])) + "],\n";
  }
  return out + "]";
}

constexpr std::string_view kPageStyle = R"(
body { font-family: sans-serif; margin: 1.5em; color: #222; }
h1 { font-size: 1.4em; } h2 { font-size: 1.1em; margin-top: 1.5em; }
.chart { width: 100%; height: 420px; }
.half { height: 320px; }
.row { display: flex; flex-wrap: wrap; gap: 2em; align-items: flex-start; }
.row > div { flex: 1 1 420px; }
table { border-collapse: collapse; margin-bottom: 1em; }
td, th { border: 1px solid #ccc; padding: 0.2em 0.6em; text-align: left; }
td.num { text-align: right; font-family: monospace; }
tr.changed td { background: #fff6d5; }
.meta { color: #555; }
)";

// Rain hangs from the top of the hydrograph as bars on its own scale, so that
// storms and their runoff responses line up without hiding each other.
constexpr std::string_view kPageScript = R"(
const drawn = new Set();
function chartDrawn(name) {
  drawn.add(name);
  if (drawn.size === Number(document.body.dataset.chartsExpected)) {
    document.body.dataset.chartsDrawn = String(drawn.size);
  }
}
const dates = days.map(d => new Date(d[0], d[1] - 1, d[2]));
const rainMax = Math.max(1e-9, ...days.map(d => d[3] || 0));
function rainBars(e) {
  const ctx = e.drawingContext, area = e.plotArea, points = e.points;
  const step = points.length > 1 ? points[1].canvasx - points[0].canvasx : 4;
  const width = Math.max(1, step * 0.8);
  ctx.fillStyle = e.color;
  for (const p of points) {
    if (p.yval === null || isNaN(p.yval)) continue;
    ctx.fillRect(p.canvasx - width / 2, area.y, width,
                 p.yval / rainMax * area.h * 0.35);
  }
}
const tidy = v => String(Number(v.toPrecision(3)));
const dateAxis = { x: { axisLabelWidth: 70 }, y: { axisLabelWidth: 60 } };
function whenDrawn(name) {
  return (g, initial) => { if (initial) chartDrawn(name); };
}
const hydrographLabels = ['Date', 'Rain', 'Calculated'];
if (hasObserved) hydrographLabels.splice(2, 0, 'Observed');
new Dygraph(document.getElementById('hydrograph'),
  days.map((d, i) => hasObserved ? [dates[i], d[3], d[4], d[5]]
                                 : [dates[i], d[3], d[5]]), {
  labels: hydrographLabels,
  ylabel: 'Runoff (mm/day)',
  colors: hasObserved ? ['#4a90d9', '#111111', '#d9534f'] : ['#4a90d9', '#d9534f'],
  series: { Rain: { axis: 'y2', plotter: rainBars } },
  axes: Object.assign({ y2: { drawAxis: false, drawGrid: false,
                              valueRange: [0, rainMax] } }, dateAxis),
  showRangeSelector: true,
  legend: 'always',
  labelsSeparateLines: false,
  drawCallback: whenDrawn('hydrograph'),
});
new Dygraph(document.getElementById('duration'), duration, {
  labels: hasObserved ? ['Exceedance', 'Observed', 'Calculated']
                      : ['Exceedance', 'Calculated'],
  colors: hasObserved ? ['#111111', '#d9534f'] : ['#d9534f'],
  logscale: true,
  axes: { y: { axisLabelWidth: 60, axisLabelFormatter: tidy } },
  xlabel: 'Exceedance probability (%)',
  ylabel: 'Runoff (mm/day)',
  legend: 'always',
  drawCallback: whenDrawn('duration'),
});
new Dygraph(document.getElementById('cumulative'),
  days.map((d, i) => hasObserved ? [dates[i], d[6], d[7]] : [dates[i], d[7]]), {
  labels: hasObserved ? ['Date', 'Observed', 'Calculated'] : ['Date', 'Calculated'],
  colors: hasObserved ? ['#111111', '#d9534f'] : ['#d9534f'],
  ylabel: 'Cumulative runoff (mm)',
  axes: dateAxis,
  legend: 'always',
  drawCallback: whenDrawn('cumulative'),
});
)";

}  // namespace

std::string RenderPage(const ResultFile& result, const Scores& scores,
                       std::string_view source) {
  const std::string title = "velm report: " + Escape(source);
  const bool calibration = result.calibration.has_value();
  std::string duration = DurationData(result);
  if (!result.hasObserved) {
    // Without an observed series the rows hold [exceedance, null, calculated].
    duration = "(" + duration + ").map(r => [r[0], r[2]])";
  }
  std::string page;
  page +=
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  page += "<title>" + title + "</title>\n";
  page +=
      "<script>window.onerror = function (message) {\n"
      "  document.documentElement.dataset.scriptError = String(message);\n"
      "};</script>\n";
  page += "<style>\n" + std::string(DygraphsStyle()) + "\n</style>\n";
  page += "<style>" + std::string(kPageStyle) + "</style>\n";
  // As a data URL the library's own markup strings cannot be mistaken for
  // the page's tags, by browsers and checkers alike.
  page += "<script src=\"data:text/javascript;base64," +
          Base64(DygraphsScript()) + "\"></script>\n";
  page += "</head>\n<body data-charts-expected=\"" +
          std::to_string(kChartCount) + "\">\n";
  page += "<h1>" + title + "</h1>\n";
  page += "<p class=\"meta\">" +
          std::string(calibration ? "Calibration" : "Simulation") +
          " result, " + std::to_string(result.days.size()) + " days, " +
          std::to_string(scores.fitDays) +
          " fit days (observed daily runoff above zero).</p>\n";
  page += "<div class=\"row\">\n<div>\n<h2>Scores over the fit days</h2>\n" +
          ScoreTable(scores) + "</div>\n<div>\n<h2>Water balance</h2>\n" +
          BalanceTable(result) + "</div>\n</div>\n";
  page +=
      "<h2>Daily hydrograph</h2>\n<p class=\"meta\">Drag to zoom, "
      "double-click to zoom out, or use the range selector; rain hangs "
      "from the top as bars.</p>\n<div id=\"hydrograph\" "
      "class=\"chart\"></div>\n";
  page +=
      "<div class=\"row\">\n<div>\n<h2>Flow-duration curve</h2>\n"
      "<div id=\"duration\" class=\"chart half\"></div>\n</div>\n"
      "<div>\n<h2>Cumulative runoff</h2>\n<div id=\"cumulative\" "
      "class=\"chart half\"></div>\n</div>\n</div>\n";
  page += std::string("<h2>") +
          (calibration ? "Initial and optimized parameters" : "Parameters") +
          "</h2>\n" + ParameterTable(result);
  page += "<script>\nconst hasObserved = " +
          std::string(result.hasObserved ? "true" : "false") + ";\n";
  page += "const days = " + DailyData(result) + ";\n";
  page += "const duration = " + duration + ";\n";
  // A file of no whole day has nothing to draw (and the charts would refuse
  // an empty series).
  page +=
      "if (days.length === 0) {\n"
      "  for (const id of ['hydrograph', 'duration', 'cumulative']) {\n"
      "    document.getElementById(id).textContent = 'No daily rows.';\n"
      "  }\n"
      "} else {\n" +
      std::string(kPageScript) + "}\n</script>\n</body>\n</html>\n";
  return page;
}

}  // namespace velm::report
