#pragma once

// velm's calibration as one call: the search over the genes that scale the
// parameter file's values, the best set simulated hour by hour, and why it
// is not a valid parameter set if it is not. velm and the Python module call
// it with their own progress sinks; neither builds a search of its own.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "optimizer/objective.h"
#include "optimizer/optimizer.h"
#include "optimizer/random_source.h"
#include "results/progress_sink.h"
#include "run/catchment_data.h"
#include "run/simulation_run.h"

namespace velm {

enum class SearchKind {
  kEvolution,  // velm's own: six sub-populations, with its progress reports
  kDds,        // dynamically dimensioned search, with the same budget
};

struct CalibrationOptions {
  // Seeds the search's random numbers: the calendar, or VELM_SEED's
  // counting clock.
  Clock SearchClock = SystemClock();
  // 0: OpenMP's thread count.
  int ThreadCount = 0;
  SearchKind Search = SearchKind::kEvolution;
  // A seed as VELM_SEED gives it, in place of SearchClock: velm's search
  // reads SeedClock(Seed), the DDS seeds its draws with it.
  std::optional<std::uint16_t> Seed = {};
  // What f measures in place of the objective type (the ordering rules'
  // penalty is added all the same); empty: the objective type's.
  DailyMeasure Measure = {};
  // The search simulates the record up to its last fit day only (see
  // ObjectiveSettings): for a record whose fit days are its first part.
  bool EndAtLastFitDay = false;
};

struct CalibrationOutcome {
  // The search: its epochs, steps and counters, and the best individual
  // (its genes X[1] .. X[n] and the f the search stored).
  // The DDS fills in Best and Fcount alone.
  CalibrationRecord Record;
  ModelObjective::Counts Counts;
  // The parameter file's values scaled by the best genes, simulated hour by
  // hour and compared with the observed runoff.
  SimulationRun Best;
  // Why the best set is not a valid parameter set; empty when it is.
  std::vector<std::string> Problems;
  int VariableCount = 0;

  // X[1] .. X[n].
  std::span<const double> Genes() const;
};

// What makes the calibration's bounds doubtful, in English, for the front
// end to say before it starts.
std::vector<std::string> CalibrationWarnings(const CatchmentData& data);

// The calibration the settings ask for, its progress told to `progress`.
// Without observed runoff only output flag 2, which scores the ordering
// rules alone, can run (std::invalid_argument).
CalibrationOutcome Calibrate(const CatchmentData& data,
                             const CalibrationOptions& options,
                             ProgressSink& progress);

// The parameter file's values scaled by genes X[1] .. X[n], as an evaluation
// scales them.
ParameterSet ApplyGenes(const CatchmentData& data,
                        std::span<const double> genes);

// f of genes X[1] .. X[n] as the search scores a child: a penalty for genes
// outside [0, 1], else one evaluation.
double ScoreGenes(const CatchmentData& data, std::span<const double> genes);

}  // namespace velm
