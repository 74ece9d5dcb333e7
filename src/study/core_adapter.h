#pragma once

// What velm-study asks of the run service, in one place: one start of a
// calibration (velm's own, with its console and result file as velm writes
// them, or a dynamically dimensioned search, on the study's objective), a
// simulation, and the calibrated parameters by their printed names.

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "input/run_settings.h"
#include "model/parameter_set.h"
#include "optimizer/objective.h"
#include "results/scores.h"
#include "run/calibration.h"
#include "run/catchment_data.h"
#include "study/options.h"

namespace velm::study {

// A prepared directory, read as velm reads it; an input velm refuses throws
// its InputError.
CatchmentData ReadCatchment(const std::filesystem::path& directory);

struct StartSettings {
  std::uint16_t Seed = 1;
  SearchKind Search = SearchKind::kEvolution;
  StudyObjective Objective = StudyObjective::kControl;
  int Threads = 1;
};

struct StartOutcome {
  double F = 0.0;
  // Why the final set is not a valid parameter set; empty when it is.
  std::vector<std::string> Problems;
  ParameterSet Calibrated;  // the parameter file's values scaled by the genes
  int Evaluations = 0;      // velm's fcount, or the DDS's evaluations
  long Simulations = 0;
  Scores Fit;  // the calibrated set's scores over the record's fit days
};

// One start on the catchment. With the control file's objective and velm's
// search, `console` and `resultFile` receive the bytes that velm with
// VELM_SEED = settings.Seed prints and writes in its directory.
StartOutcome CalibrateStart(const CatchmentData& data,
                            const StartSettings& settings,
                            std::ostream& console, std::ostream& resultFile);

// A simulation of the whole record compared with its observed runoff.
SimulationRun SimulateDays(const CatchmentData& data,
                           const ParameterSet& parameters);

// velm's result file of a simulation with `parameters`, compared with the
// observed runoff: what velm writes for a control file that asks for a
// simulation with output and observed runoff.
std::string SimulationResultFile(const CatchmentData& data,
                                 const ParameterSet& parameters);

// The parameters the genes scale, by their printed names ("BotomTank[2]"),
// with their values in `parameters`.
std::vector<std::pair<std::string, double>> CalibratedValues(
    const CatchmentData& data, const ParameterSet& parameters);

// What an evaluation minimises for the study's objective: the objective type
// (the control file's, or RMSE's) and the measure that replaces it.
ObjectiveSettings StudyObjectiveSettings(const RunSettings& settings,
                                         StudyObjective objective);

// The name of the objective a start minimises: the study's, or the control
// file's ("rmse", "rr", "re", "balance").
std::string ObjectiveName(StudyObjective objective, const RunSettings& settings);

}  // namespace velm::study
