#pragma once

// Everything velm-study asks of velm's core, in one place: reading a
// catchment directory as velm reads it, one start of a calibration (velm's
// own, with its console and result file as velm writes them, or a
// dynamically dimensioned search), a simulation and the scores of daily
// series.

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "input/run_settings.h"
#include "input/series.h"
#include "model/parameter_set.h"
#include "optimizer/gene_map.h"
#include "optimizer/objective.h"
#include "results/scores.h"
#include "study/options.h"

namespace velm::study {

// A catchment directory's inputs, read by velm's readers in velm's order;
// an input velm refuses throws its InputError.
struct RunData {
  RunSettings Settings;
  ParameterSet Parameters;
  Weather Record;
  ObservedRunoff Observed;
};
RunData ReadRunData(const std::filesystem::path& directory);

struct StartSettings {
  std::uint16_t Seed = 1;
  SearchKind Search = SearchKind::kEvolution;
  StudyObjective Objective = StudyObjective::kControl;
  int Threads = 1;
};

struct StartOutcome {
  Genes X{};
  double F = 0.0;
  // Why the final set is not a valid parameter set; empty when it is.
  std::vector<std::string> Problems;
  ParameterSet Calibrated;  // the parameter file's values scaled by X
  int Evaluations = 0;      // velm's fcount, or the search's evaluations
  long Simulations = 0;
  std::vector<double> DailyCalcQ;  // the final simulation, day by day
};

// One start on the inputs. With the control file's objective and velm's
// search, `console` and `resultFile` receive the bytes that velm with
// VELM_SEED = settings.Seed prints and writes in the directory.
StartOutcome CalibrateStart(const RunData& data, const StartSettings& settings,
                            std::ostream& console, std::ostream& resultFile);

// The daily calculated runoff of a simulation of the whole record.
std::vector<double> SimulateDays(const RunData& data,
                                 const ParameterSet& parameters);

// velm's result file of a simulation with `parameters`, compared with the
// observed runoff: what velm writes for a control file that asks for a
// simulation with output and observed runoff.
std::string SimulationResultFile(const RunData& data,
                                 const ParameterSet& parameters);

// The parameters the genes scale, by their printed names ("BotomTank[2]"),
// with their values in `parameters`.
std::vector<std::pair<std::string, double>> CalibratedValues(
    const RunData& data, const ParameterSet& parameters);

// The scores of daily calculated against observed runoff over the fit days.
Scores ScoreDays(std::span<const double> observed,
                 std::span<const double> calculated);

// What an evaluation computes for the study's objective: the control
// file's settings with its measure replaced.
ObjectiveSettings StudyObjectiveSettings(const RunSettings& settings,
                                         StudyObjective objective);

// The name of the objective a start minimises: the study's, or the control
// file's ("rmse", "rr", "re", "balance").
std::string ObjectiveName(StudyObjective objective, const RunSettings& settings);

}  // namespace velm::study
