#include "results/result_file.h"

#include "common/result_text.h"
#include "common/texts.h"
#include "model/simulate.h"
#include "results/parameter_block.h"

namespace velm {
namespace {

void WriteDailyRows(TextWriter& out, const DailyRows& rows,
                    bool withObserved) {
  out << (withObserved ? text::kColumnsWithObserved
                       : text::kColumnsWithoutObserved)
      << kEndLine;
  const Calendar& dates = rows.Dates;
  const DailyTotals& days = rows.Days;
  for (std::size_t day = 0; day < dates.Year.size(); ++day) {
    out << static_cast<int>(day) << "," << dates.Year[day] << ","
        << dates.Month[day] << "," << dates.Day[day] << "," << days.Rain[day]
        << ",";
    if (withObserved) out << days.ObservedQ[day] << ",";
    out << days.CalcQ[day] << "," << days.PotentialE[day] << ","
        << days.ActualE[day] << "," << rows.Infiltration[kHoursPerDay * day]
        << "," << kEndLine;
  }
}

}  // namespace

ResultStream OpenResultStream(const std::filesystem::path& path,
                              std::string name) {
  ResultStream result;
  result.Name = std::move(name);
  result.Stream.open(path, std::ios::binary | std::ios::trunc);
  return result;
}

bool CloseResultStream(ResultStream& result, std::ostream& errors) {
  result.Stream.flush();
  const bool written = result.Stream.good();
  result.Stream.close();
  if (written && !result.Stream.fail()) return true;
  ReportUnwritableResult(errors, result.Name);
  return false;
}

void ReportUnwritableResult(std::ostream& errors, const std::string& name) {
  errors << text::kCannotWriteResult.Bytes << name << '\n';
  // FILEINFO.dat does not use a last line without a line end.
  if (name.empty()) {
    errors << "velm: FILEINFO.dat names no result file: its line 7 is "
              "missing or has no line end\n";
  }
  errors << std::flush;
}

void WriteCalibrationLayout(TextWriter& file, const ParameterSet& parameters,
                            const DailyRows& rows, const FitMeasures& fit,
                            int objectiveType) {
  WriteParameterBlock(file, parameters, ParameterLayout::kResult);
  file << text::kResultHeading << fit.FitDays << text::kDays;
  WriteSelectedMeasure(file, fit, objectiveType);
  WriteWaterBalance(file, fit);
  WriteDailyRows(file, rows, true);
}

void WriteSimulationLayout(TextWriter& file, const ParameterSet& parameters,
                           const DailyRows& rows, const FitMeasures& fit,
                           bool withObserved) {
  WriteParameterBlock(file, parameters, ParameterLayout::kResult);
  if (withObserved) {
    file << text::kResultHeading << fit.FitDays << text::kDaysRelativeError
         << fit.RE << kEndLine;
  } else {
    // No day was compared.
    file << text::kResultHeading << 0 << text::kDays << kEndLine;
  }
  WriteDailyRows(file, rows, withObserved);
}

void WriteSimulationSummary(TextWriter& console, const FitMeasures& fit) {
  console << "day= " << fit.FitDays << text::kRelativeError << fit.RE
          << kEndLine;
}

}  // namespace velm
