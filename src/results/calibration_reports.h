#pragma once

// The two reports of a calibration. The console gets fixed printf lines; the
// result file gets, when the output flag asks for it, their counterparts,
// which are not copies of them (they have labels of their own and numbers in
// the result file's format), and in any case the parameter reports, the final
// lines and the calibration layout.

#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/text_writer.h"
#include "results/progress_sink.h"

namespace velm {

// printf of a progress format whose fields are %Wd (an int) and %W.Pf (a
// double). Doubles go through FormatFixed, so a NaN or an infinity reads as
// "nan", "inf" or "-inf" like everywhere else.
using ProgressField = std::variant<int, double>;
std::string FormatProgress(std::string_view format,
                           std::initializer_list<ProgressField> fields);

// The parameter echo, the progress, with output flag 1 every evaluation's
// fit report, then the final best and its fit report.
class ConsoleProgress final : public ProgressSink {
 public:
  ConsoleProgress(std::ostream& console, int objectiveType);

  void Started(const ParameterSet& fileParameters) override;
  void Initialising(int subPopulation, int fcount) override;
  void GenerationStarts(int activeCount, int generation) override;
  void Stepped(int subPopulation, double bestF, int fcount) override;
  void Sorting() override;
  void Ranked(int subPopulation, double bestF) override;
  void EpochBest(int generation, double bestF, std::span<const double> genes,
                 int fcount) override;
  void FinalStep(int generation, double bestF, int fcount) override;
  void Evaluated(const FitMeasures& fit) override;
  void Finished(const CalibrationEnd& end) override;

 private:
  void Print(const std::string& text);

  std::ostream& console_;
  int objectiveType_;
};

// The initial parameters, the progress when `copyProgress` (output flag 1),
// then the optimized parameters, the final best, a line of asterisks and the
// calibration layout.
class ResultFileProgress final : public ProgressSink {
 public:
  ResultFileProgress(std::ostream& file, bool copyProgress, int objectiveType);

  void Started(const ParameterSet& fileParameters) override;
  void Initialising(int subPopulation, int fcount) override;
  void GenerationStarts(int activeCount, int generation) override;
  void Stepped(int subPopulation, double bestF, int fcount) override;
  void Ranked(int subPopulation, double bestF) override;
  void EpochBest(int generation, double bestF, std::span<const double> genes,
                 int fcount) override;
  void FinalStep(int generation, double bestF, int fcount) override;
  void Finished(const CalibrationEnd& end) override;

 private:
  TextWriter file_;
  bool copyProgress_;
  int objectiveType_;
};

// Several sinks as one: each event goes to each in turn.
class ProgressTee final : public ProgressSink {
 public:
  explicit ProgressTee(std::vector<ProgressSink*> sinks)
      : sinks_(std::move(sinks)) {}

  void Started(const ParameterSet& p) override { Each(&ProgressSink::Started, p); }
  void Initialising(int s, int fcount) override {
    Each(&ProgressSink::Initialising, s, fcount);
  }
  void GenerationStarts(int active, int g) override {
    Each(&ProgressSink::GenerationStarts, active, g);
  }
  void Stepped(int s, double f, int fcount) override {
    Each(&ProgressSink::Stepped, s, f, fcount);
  }
  void Sorting() override { Each(&ProgressSink::Sorting); }
  void Ranked(int s, double f) override { Each(&ProgressSink::Ranked, s, f); }
  void EpochBest(int g, double f, std::span<const double> genes,
                 int fcount) override {
    Each(&ProgressSink::EpochBest, g, f, genes, fcount);
  }
  void FinalStep(int g, double f, int fcount) override {
    Each(&ProgressSink::FinalStep, g, f, fcount);
  }
  void Evaluated(const FitMeasures& fit) override {
    Each(&ProgressSink::Evaluated, fit);
  }
  void Finished(const CalibrationEnd& end) override {
    Each(&ProgressSink::Finished, end);
  }

 private:
  template <typename Event, typename... Args>
  void Each(Event event, const Args&... args) {
    for (ProgressSink* sink : sinks_) (sink->*event)(args...);
  }

  std::vector<ProgressSink*> sinks_;
};

}  // namespace velm
