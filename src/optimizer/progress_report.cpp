#include "optimizer/progress_report.h"

#include <cctype>
#include <stdexcept>

#include "common/number_format.h"
#include "common/result_text.h"
#include "common/texts.h"

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

ProgressReport::ProgressReport(std::ostream& console, std::ostream& file,
                               bool copyToFile, int variableCount)
    : console_(&console),
      file_(file, LineEnd::kCrLf),
      copyToFile_(copyToFile),
      variableCount_(variableCount) {}

void ProgressReport::Print(const std::string& text) {
  *console_ << text << std::flush;
}

void ProgressReport::Initialising(int subPopulation, int fcount) {
  Print(FormatProgress(text::kInitialiseFormat, {subPopulation, fcount}));
  if (copyToFile_) {
    file_ << "subp[" << subPopulation << text::kInitialiseLabel << fcount
          << kEndLine;
  }
}

void ProgressReport::GenerationStarts(int activeCount, int generation) {
  Print(FormatProgress(text::kGenerationFormat, {activeCount, generation}));
  if (copyToFile_) {
    file_ << text::kSubPopulationLabel << activeCount << text::kCountLabel
          << generation << kEndLine;
  }
}

void ProgressReport::Stepped(int subPopulation, double bestF, int fcount) {
  Print(FormatProgress("subp[%2d] min.f=%8.6f  fcount=%6d\n",
                       {subPopulation, bestF, fcount}));
  // The file line has always had no blank before "fcount=".
  if (copyToFile_) {
    file_ << "subp[" << subPopulation << "] min.f=" << bestF
          << "fcount=" << fcount << kEndLine;
  }
}

void ProgressReport::Sorting() { Print(std::string(text::kSortLine)); }

void ProgressReport::Ranked(int subPopulation, double bestF) {
  Print(FormatProgress("subp[%2d].f=%6.4f\n", {subPopulation, bestF}));
  if (copyToFile_) {
    file_ << "subp[" << subPopulation << "].f=" << bestF << kEndLine;
  }
}

void ProgressReport::EpochBest(int generation, const Individual& best,
                               int fcount) {
  Print(FormatProgress(text::kEpochBestFormat, {generation, best.f, fcount}));
  if (copyToFile_) {
    file_ << generation << text::kEpochBestLabel << best.f
          << " fcount=" << fcount << kEndLine;
  }
  std::string genes;
  for (int i = 1; i <= variableCount_; ++i) {
    genes += FormatProgress(" X[%2d]=%6.4f ", {i, best.X[i]});
    if (copyToFile_) file_ << " X[" << i << "]=" << best.X[i] << " ";
  }
  Print(genes + "\n");
  if (copyToFile_) file_ << kEndLine;
}

void ProgressReport::FinalStep(int generation, double bestF, int fcount) {
  Print(FormatProgress(text::kFinalStepFormat, {generation, bestF, fcount}));
  if (copyToFile_) {
    file_ << generation << text::kFinalStepLabel << bestF
          << " fcount=" << fcount << kEndLine;
  }
}

void ProgressReport::FinalBest(const Individual& best) {
  Print(FormatProgress(text::kFinalBestFormat, {best.f}));
  file_ << text::kFinalBestLabel << best.f << kEndLine;
  for (int i = 1; i <= variableCount_; ++i) {
    Print(FormatProgress("X[%2d]=%6.4f\n", {i, best.X[i]}));
    file_ << "X[" << i << "]=" << best.X[i] << kEndLine;
  }
}

void ProgressReport::Closing() { file_ << text::kAsteriskLine << kEndLine; }

}  // namespace velm
