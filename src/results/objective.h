#pragma once

// The calibration's objective: genes applied to the parameter file's values,
// the parameter-order constraints, one simulation, and the daily fit.

#include <array>
#include <span>

#include "input/parameter_set.h"
#include "input/run_settings.h"
#include "model/runoff_model.h"

namespace velm {

// Genes X[1] to X[VariableCount]; slot 0 holds no gene.
using Genes = std::array<double, RunSettings::kMaxVariableCount + 1>;

inline constexpr double kConstraintPenalty = 100000.0;

// Whether a fit report with output flag 1 also rewrites the result file.
// During a calibration the run itself holds the result file open, so its
// evaluations report on the console only.
enum class FitReportFile { kWrite, kSkip };

// Every parameter whose optimization index k is not 0 becomes X[k] times its
// value, in the order of the control file.
void ApplyGenes(ParameterSet& parameters, const RunSettings& settings,
                const Genes& x);

// 0, or kConstraintPenalty when the parameters break the model's ordering
// rules (a comparison with a NaN breaks them too).
double ConstraintPenalty(const ParameterSet& parameters);

// f of one gene vector: starts from the parameter file's values and initial
// tank depths whatever ran on the model before, applies the genes, simulates,
// and adds the measure that ObjectiveType selects to the constraint penalty.
// With outputFlag 2 the fit is skipped and f is the penalty alone; with 1 the
// fit is reported.
double EvaluateObjective(RunoffModel& model, const Genes& x, int outputFlag,
                         FitReportFile file = FitReportFile::kWrite);

// The daily fit of the model's last simulation against the observed-runoff
// file (read again here), reported when outputFlag is 1. Returns the measure
// ObjectiveType selects.
double ComputeFit(RunoffModel& model, int outputFlag,
                  FitReportFile file = FitReportFile::kWrite);

// Daily totals of an hourly series: the 24 hours of each whole day added
// last hour first. `days` holds at least steps.size() / 24 values.
void SumDaily(std::span<const double> steps, std::span<double> days);

}  // namespace velm
