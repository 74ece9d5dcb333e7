#pragma once

// The progress of a calibration: console lines in fixed printf formats and,
// when the output flag asks for it, their counterparts in the result file.
// The two are not copies of each other: the file lines have labels of their
// own and numbers in the result file's number format.

#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>

#include "common/text_writer.h"
#include "optimizer/generation.h"

namespace velm {

// printf of a progress format whose fields are %Wd (an int) and %W.Pf (a
// double). Doubles go through FormatFixed, so a NaN or an infinity reads as
// "nan", "inf" or "-inf" like everywhere else.
using ProgressField = std::variant<int, double>;
std::string FormatProgress(std::string_view format,
                           std::initializer_list<ProgressField> fields);

class ProgressReport {
 public:
  // `copyToFile`: whether the progress lines also go to the result file. The
  // final lines go there in any case.
  ProgressReport(std::ostream& console, std::ostream& file, bool copyToFile,
                 int variableCount);

  void Initialising(int subPopulation, int fcount);
  void GenerationStarts(int activeCount, int generation);
  void Stepped(int subPopulation, double bestF, int fcount);
  void Sorting();
  void Ranked(int subPopulation, double bestF);
  void EpochBest(int generation, const Individual& best, int fcount);
  void FinalStep(int generation, double bestF, int fcount);
  void FinalBest(const Individual& best);
  void Closing();

 private:
  void Print(const std::string& text);

  std::ostream* console_;
  TextWriter file_;
  bool copyToFile_;
  int variableCount_;
};

}  // namespace velm
