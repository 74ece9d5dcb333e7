#pragma once

// Pieces of the result file and of the fit report that several writers share.

#include "common/text_writer.h"
#include "model/runoff_model.h"
#include "results/fit.h"

namespace velm {

// "day= " and the fit days, the selected measure, then the water balance.
void WriteFitReport(TextWriter& console, const FitMeasures& fit,
                    int objectiveType);

// The calibration layout: parameters, the fit summary with the water
// balance, columns and daily rows with observed runoff.
void WriteCalibrationLayout(TextWriter& file, const RunoffModel& model,
                            const DailyTotals& days, const FitMeasures& fit);

// The simulation layout: parameters, the relative error alone, and rows with
// or without the observed runoff.
void WriteSimulationLayout(TextWriter& file, const RunoffModel& model,
                           const DailyTotals& days, const FitMeasures& fit,
                           bool withObserved);

}  // namespace velm
