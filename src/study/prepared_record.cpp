#include "study/prepared_record.h"

#include <algorithm>
#include <chrono>

namespace velm::study {
namespace {

constexpr int kHours = 24;

std::string DateFields(Date date) {
  const std::chrono::year_month_day d(date);
  return std::to_string(static_cast<int>(d.year())) + "," +
         std::to_string(static_cast<unsigned>(d.month())) + "," +
         std::to_string(static_cast<unsigned>(d.day()));
}

void AppendLine(std::string& text, std::string_view line) {
  text.append(line).push_back('\n');
}

}  // namespace

PeriodLayout LayoutFor(DayRange period, int warmupDays, int recordDays) {
  return {period, std::min(warmupDays, period.First), recordDays};
}

std::string WithLine(std::string_view text, std::size_t number,
                     std::string_view value) {
  std::string out;
  std::size_t line = 1;
  std::size_t at = 0;
  for (; line <= number; ++line) {
    const std::size_t end = text.find('\n', at);
    std::string_view content =
        at < text.size() ? text.substr(at, end - at) : std::string_view();
    const bool cr = !content.empty() && content.back() == '\r';
    if (cr) content.remove_suffix(1);
    out.append(line == number ? value : content);
    out.append(cr ? "\r\n" : "\n");
    at = end == std::string_view::npos ? text.size() : end + 1;
  }
  return out.append(text.substr(std::min(at, text.size())));
}

PreparedFiles PrepareFiles(const SourceFiles& source, const PeriodLayout& layout,
                           PeriodKind kind, std::string_view heading) {
  PreparedFiles files;
  files.FileInfo = std::string(heading) +
                   "\nInputFilename_Control,control.dat\n"
                   "InputFilename_Paramater,parameters.dat\n"
                   "InputFilename_RainData,rain.csv\n"
                   "InputFilename_EPData,ep.csv\n"
                   "InputFilename_RunoffData,runoff.csv\n"
                   "OutputFilename_Result,result.csv\n";
  files.Control = std::string(source.Control);
  if (kind == PeriodKind::kValidation) {
    files.Control = WithLine(WithLine(WithLine(files.Control, 5, "0"), 7, "1"),
                             9, "1");
  }
  files.Parameters = std::string(source.Parameters);

  const int recordEnd = source.Calendar.DayCount();
  for (int d = layout.FirstDay(); d < layout.FirstDay() + layout.RecordDays;
       ++d) {
    const bool inRecord = d < recordEnd;
    const std::string date = DateFields(
        inRecord ? source.Calendar.DateOf(d) : source.Calendar.DateAfterEnd(d));
    AppendLine(files.Evaporation, inRecord ? source.Evaporation[d] : date + ",0");
    for (int h = 0; h < kHours; ++h) {
      const std::size_t hour = static_cast<std::size_t>(d) * kHours + h;
      AppendLine(files.Rain, inRecord ? source.Rain[hour]
                                      : date + "," + std::to_string(h + 1) + ",0");
      if (d > layout.Period.Last) continue;
      const bool observed =
          d >= layout.Period.First && hour < source.Observed.Count();
      AppendLine(files.Observed, observed ? source.Observed[hour]
                                          : date + "," + std::to_string(h + 1) + ",0");
    }
  }
  return files;
}

}  // namespace velm::study
