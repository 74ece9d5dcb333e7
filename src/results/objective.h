#pragma once

// The calibration's objective: genes applied to the parameter file's values,
// the parameter-order constraints, one simulation, and the daily fit.

#include <array>
#include <ostream>

#include "input/parameter_set.h"
#include "input/run_settings.h"
#include "model/runoff_model.h"
#include "results/fit.h"

namespace velm {

// Genes X[1] to X[VariableCount]; slot 0 holds no gene.
using Genes = std::array<double, RunSettings::kMaxVariableCount + 1>;

inline constexpr double kConstraintPenalty = 100000.0;

// Every parameter whose optimization index k is not 0 becomes X[k] times its
// value, in the order of the control file.
void ApplyGenes(ParameterSet& parameters, const RunSettings& settings,
                const Genes& x);

// 0, or kConstraintPenalty when the parameters break the model's ordering
// rules; a comparison with a NaN breaks them too.
double ConstraintPenalty(const ParameterSet& parameters);

// The constraint penalty of the genes applied to the parameter file's values:
// f with output flag 2, where nothing reads the simulation.
double PenaltyOfGenes(const RunoffModel& model, const Genes& x);

// f of one gene vector: starts from the parameter file's values and initial
// tank depths whatever ran on the model before, applies the genes, simulates,
// and adds the constraint penalty to the measure ObjectiveType selects. With
// outputFlag 2 the fit is skipped and f is the penalty alone; with 1 the fit
// is reported.
double EvaluateObjective(RunoffModel& model, const Genes& x, int outputFlag,
                         FitReportFile file = FitReportFile::kWrite);
// The same with the fit report written to `console`.
double EvaluateObjective(RunoffModel& model, const Genes& x, int outputFlag,
                         FitReportFile file, std::ostream& console);

}  // namespace velm
