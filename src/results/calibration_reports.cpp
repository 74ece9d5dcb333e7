#include "results/calibration_reports.h"

#include <cctype>
#include <stdexcept>

#include "common/number_format.h"
#include "common/result_text.h"
#include "common/texts.h"
#include "results/parameter_block.h"

namespace velm {
namespace {

int ReadNumber(std::string_view format, std::size_t& at) {
  int value = 0;
  while (at < format.size() &&
         std::isdigit(static_cast<unsigned char>(format[at]))) {
    value = value * 10 + (format[at] - '0');
    ++at;
  }
  return value;
}

}  // namespace

std::string FormatProgress(std::string_view format,
                           std::initializer_list<ProgressField> fields) {
  std::string out;
  auto field = fields.begin();
  for (std::size_t at = 0; at < format.size();) {
    if (format[at] != '%') {
      out += format[at++];
      continue;
    }
    ++at;
    const int width = ReadNumber(format, at);
    int precision = 6;
    if (at < format.size() && format[at] == '.') {
      ++at;
      precision = ReadNumber(format, at);
    }
    const char conversion = at < format.size() ? format[at++] : '\0';
    if (field == fields.end()) {
      throw std::logic_error("progress format has more fields than values");
    }
    if (conversion == 'd') {
      out += FormatPrintf("%*d", width, std::get<int>(*field++));
    } else if (conversion == 'f') {
      out += FormatFixed(std::get<double>(*field++), width, precision);
    } else {
      throw std::logic_error("progress formats have %d and %f fields only");
    }
  }
  return out;
}

ConsoleProgress::ConsoleProgress(std::ostream& console, int objectiveType)
    : console_(console), objectiveType_(objectiveType) {}

void ConsoleProgress::Print(const std::string& text) {
  console_ << text << std::flush;
}

void ConsoleProgress::Started(const ParameterSet& fileParameters) {
  TextWriter console(console_, LineEnd::kLf);
  WriteParameterBlock(console, fileParameters, ParameterLayout::kEcho);
}

void ConsoleProgress::Initialising(int subPopulation, int fcount) {
  Print(FormatProgress(text::kInitialiseFormat, {subPopulation, fcount}));
}

void ConsoleProgress::GenerationStarts(int activeCount, int generation) {
  Print(FormatProgress(text::kGenerationFormat, {activeCount, generation}));
}

void ConsoleProgress::Stepped(int subPopulation, double bestF, int fcount) {
  Print(FormatProgress("subp[%2d] min.f=%8.6f  fcount=%6d\n",
                       {subPopulation, bestF, fcount}));
}

void ConsoleProgress::Sorting() { Print(std::string(text::kSortLine)); }

void ConsoleProgress::Ranked(int subPopulation, double bestF) {
  Print(FormatProgress("subp[%2d].f=%6.4f\n", {subPopulation, bestF}));
}

void ConsoleProgress::EpochBest(int generation, double bestF,
                                std::span<const double> genes, int fcount) {
  Print(FormatProgress(text::kEpochBestFormat, {generation, bestF, fcount}));
  std::string line;
  for (std::size_t i = 0; i < genes.size(); ++i) {
    line += FormatProgress(" X[%2d]=%6.4f ",
                           {static_cast<int>(i) + 1, genes[i]});
  }
  Print(line + "\n");
}

void ConsoleProgress::FinalStep(int generation, double bestF, int fcount) {
  Print(FormatProgress(text::kFinalStepFormat, {generation, bestF, fcount}));
}

void ConsoleProgress::Evaluated(const FitMeasures& fit) {
  TextWriter console(console_, LineEnd::kLf);
  WriteFitReport(console, fit, objectiveType_);
  console_ << std::flush;
}

void ConsoleProgress::Finished(const CalibrationEnd& end) {
  Print(FormatProgress(text::kFinalBestFormat, {end.BestF}));
  for (std::size_t i = 0; i < end.Genes.size(); ++i) {
    Print(FormatProgress("X[%2d]=%6.4f\n",
                         {static_cast<int>(i) + 1, end.Genes[i]}));
  }
  TextWriter console(console_, LineEnd::kLf);
  WriteFitReport(console, end.Fit, objectiveType_);
}

ResultFileProgress::ResultFileProgress(std::ostream& file, bool copyProgress,
                                       int objectiveType)
    : file_(file, LineEnd::kCrLf),
      copyProgress_(copyProgress),
      objectiveType_(objectiveType) {}

void ResultFileProgress::Started(const ParameterSet& fileParameters) {
  file_ << text::kInitialParameterHeading << kEndLine;
  WriteParameterBlock(file_, fileParameters, ParameterLayout::kReport);
}

void ResultFileProgress::Initialising(int subPopulation, int fcount) {
  if (!copyProgress_) return;
  file_ << "subp[" << subPopulation << text::kInitialiseLabel << fcount
        << kEndLine;
}

void ResultFileProgress::GenerationStarts(int activeCount, int generation) {
  if (!copyProgress_) return;
  file_ << text::kSubPopulationLabel << activeCount << text::kCountLabel
        << generation << kEndLine;
}

void ResultFileProgress::Stepped(int subPopulation, double bestF, int fcount) {
  // The file line has always had no blank before "fcount=".
  if (!copyProgress_) return;
  file_ << "subp[" << subPopulation << "] min.f=" << bestF
        << "fcount=" << fcount << kEndLine;
}

void ResultFileProgress::Ranked(int subPopulation, double bestF) {
  if (!copyProgress_) return;
  file_ << "subp[" << subPopulation << "].f=" << bestF << kEndLine;
}

void ResultFileProgress::EpochBest(int generation, double bestF,
                                   std::span<const double> genes, int fcount) {
  if (!copyProgress_) return;
  file_ << generation << text::kEpochBestLabel << bestF << " fcount=" << fcount
        << kEndLine;
  for (std::size_t i = 0; i < genes.size(); ++i) {
    file_ << " X[" << static_cast<int>(i) + 1 << "]=" << genes[i] << " ";
  }
  file_ << kEndLine;
}

void ResultFileProgress::FinalStep(int generation, double bestF, int fcount) {
  if (!copyProgress_) return;
  file_ << generation << text::kFinalStepLabel << bestF << " fcount=" << fcount
        << kEndLine;
}

void ResultFileProgress::Finished(const CalibrationEnd& end) {
  file_ << text::kOptimizedParameterHeading << kEndLine;
  WriteParameterBlock(file_, end.Scaled, ParameterLayout::kReport);
  file_ << text::kAsteriskLine << kEndLine;
  file_ << text::kFinalBestLabel << end.BestF << kEndLine;
  for (std::size_t i = 0; i < end.Genes.size(); ++i) {
    file_ << "X[" << static_cast<int>(i) + 1 << "]=" << end.Genes[i]
          << kEndLine;
  }
  file_ << text::kAsteriskLine << kEndLine;
  WriteCalibrationLayout(file_, end.Scaled, end.Rows, end.Fit, objectiveType_);
}

}  // namespace velm
