#include "results/result_file.h"

#include <iostream>

#include "common/native_path.h"
#include "common/text_writer.h"
#include "common/texts.h"
#include "input/file_info.h"
#include "results/fit.h"
#include "results/result_layout.h"

namespace velm {
namespace {

// Closes a stream and tells whether everything written to it arrived.
bool CloseStream(std::ofstream& stream) {
  stream.flush();
  const bool written = stream.good();
  stream.close();
  return written && !stream.fail();
}

}  // namespace

ResultFile OpenResultFile() {
  FileInfo files;
  files.Read();
  ResultFile file;
  file.Name = files.Name(FileEntry::kResult);
  file.Stream.open(NativePath(file.Name), std::ios::binary | std::ios::trunc);
  return file;
}

bool CloseResultFile(ResultFile& file) {
  const bool written = CloseStream(file.Stream);
  if (!written) ReportUnwritableResultFile(file.Name);
  return written;
}

void ReportUnwritableResultFile(const std::string& name) {
  std::cerr << text::kCannotWriteResult.bytes << name << '\n' << std::flush;
}

bool WriteCalibrationResult(RunoffModel& model, std::ofstream& stream) {
  DailyTotals days = SumModelDays(model);
  AddObservedDays(model, days);
  const FitMeasures fit = MeasureFit(days);
  TextWriter console = Console();
  WriteFitReport(console, fit, model.Settings.ObjectiveType);
  TextWriter out(stream, LineEnd::kCrLf);
  WriteCalibrationLayout(out, model, days, fit);
  return CloseStream(stream);
}

bool WriteSimulationResult(RunoffModel& model, int outputFlag) {
  DailyTotals days = SumModelDays(model);
  const bool observed = model.Settings.ObservedFlag == 1;
  FitMeasures fit;  // no day compared: 0 fit days, RE 0
  if (observed) {
    AddObservedDays(model, days);
    fit = MeasureFit(days);
  }
  if (outputFlag != 1) return true;

  TextWriter console = Console();
  console << "day= " << fit.FitDays << text::kRelativeError << fit.RE
          << kEndLine;
  ResultFile result = OpenResultFile();
  TextWriter out(result.Stream, LineEnd::kCrLf);
  WriteSimulationLayout(out, model, days, fit, observed);
  return CloseResultFile(result);
}

}  // namespace velm
