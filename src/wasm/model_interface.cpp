#include "wasm/model_interface.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/number_format.h"
#include "model/parameter_set.h"
#include "model/simulate.h"
#include "optimizer/gene_map.h"
#include "report/scores.h"
#include "results/fit.h"

struct VelmSession {
  explicit VelmSession(int hours)
      : Rain(static_cast<std::size_t>(hours)),
        PotentialE(Rain.size()),
        Observed(Rain.size() / velm::kHoursPerDay),
        DailyRain(Observed.size()),
        DailyPotentialE(Observed.size()) {
    Parameters.CoeffTank.assign(1, 0.0);
    Parameters.BotomTank.assign(1, 0.0);
    Derive();
  }

  int Derive() {
    Problem = velm::ComputeDerivedValues(Parameters);
    return static_cast<int>(Problem);
  }

  std::vector<double> Rain;
  std::vector<double> PotentialE;
  std::vector<double> Observed;
  bool SurfaceStorage = false;
  bool WithObserved = false;
  int ObjectiveType = 1;
  double BalanceErrorLimit = 0.0;

  velm::ParameterSet Parameters;
  velm::DerivationProblem Problem = velm::DerivationProblem::kNone;

  std::vector<double> DailyRain;
  std::vector<double> DailyPotentialE;
  velm::DailyOutputs Simulated;
  std::array<double, kVelmFitValues> Fit{};
  velm::Scores Scores;
  std::array<double, kVelmScoreValues> ScoreValues{};
  std::string Text;  // the last text handed out
};

namespace {

using velm::kDerivedScalars;
using velm::kFileScalars;

constexpr int kFileCount = static_cast<int>(kFileScalars.size());
constexpr int kParameterCount =
    kFileCount + static_cast<int>(kDerivedScalars.size());

const velm::ParameterField* FieldAt(int index) {
  if (index < 0 || index >= kParameterCount) return nullptr;
  if (index < kFileCount) return &kFileScalars[static_cast<std::size_t>(index)];
  return &kDerivedScalars[static_cast<std::size_t>(index - kFileCount)];
}

bool IsTank(const VelmSession* s, int tank) {
  return tank >= 1 && tank <= s->Parameters.TankCount;
}

double OrNaN(std::optional<double> value) { return value ? *value : NAN; }

// A daily total as the result file prints it and velm-report reads it back.
double AsPrinted(double value) {
  return std::strtod(velm::FormatNumber(value).c_str(), nullptr);
}

void RecordFit(VelmSession* s) {
  velm::FitMeasures fit;  // no day compared: 0 fit days, as velm prints it
  const velm::DailyTotals totals{s->Simulated.CalcQ, s->DailyRain,
                                 s->DailyPotentialE, s->Simulated.ActualE,
                                 s->Observed};
  if (s->WithObserved) fit = velm::MeasureFit(totals);
  const double f =
      velm::SelectedMeasure(fit, s->ObjectiveType, s->BalanceErrorLimit) +
      velm::ConstraintPenalty(s->Parameters);
  s->Fit = {static_cast<double>(fit.FitDays),
            fit.RMSE,
            fit.RR,
            fit.RE,
            fit.BalanceRatio,
            fit.SumRain,
            fit.SumObservedQ,
            fit.SumCalcQ,
            fit.SumActualE,
            f};
}

void RecordScores(VelmSession* s) {
  std::vector<double> observed, calculated;
  if (s->WithObserved) {
    for (std::size_t k = 0; k < s->Observed.size(); ++k) {
      observed.push_back(AsPrinted(s->Observed[k]));
      calculated.push_back(AsPrinted(s->Simulated.CalcQ[k]));
    }
  }
  const velm::Scores& c = s->Scores = velm::ComputeScores(observed, calculated);
  s->ScoreValues = {static_cast<double>(c.FitDays),
                    OrNaN(c.NSE),
                    OrNaN(c.KGE),
                    OrNaN(c.R),
                    OrNaN(c.Alpha),
                    OrNaN(c.Beta),
                    OrNaN(c.KGEPrime),
                    OrNaN(c.Gamma),
                    OrNaN(c.PercentBias),
                    OrNaN(c.RMSE),
                    OrNaN(c.PeakError)};
}

}  // namespace

extern "C" {

VelmSession* velm_create(int hours) {
  if (hours < 0) return nullptr;
  return std::make_unique<VelmSession>(hours).release();
}

void velm_destroy(VelmSession* session) {
  std::unique_ptr<VelmSession> owned(session);
}

int velm_hours(const VelmSession* s) {
  return static_cast<int>(s->Rain.size());
}
int velm_days(const VelmSession* s) {
  return static_cast<int>(s->Observed.size());
}
double* velm_rain(VelmSession* s) { return s->Rain.data(); }
double* velm_potential_evaporation(VelmSession* s) {
  return s->PotentialE.data();
}
double* velm_observed(VelmSession* s) { return s->Observed.data(); }

void velm_set_run(VelmSession* s, int surfaceStorage, int withObserved,
                  int objectiveType, double balanceErrorLimit) {
  s->SurfaceStorage = surfaceStorage == 1;
  s->WithObserved = withObserved == 1;
  s->ObjectiveType = objectiveType;
  s->BalanceErrorLimit = balanceErrorLimit;
}

int velm_parameter_count() { return kParameterCount; }
int velm_file_parameter_count() { return kFileCount; }

const char* velm_parameter_name(int index) {
  const velm::ParameterField* field = FieldAt(index);
  return field ? field->Name : "";
}

double velm_parameter(const VelmSession* s, int index) {
  const velm::ParameterField* field = FieldAt(index);
  return field ? s->Parameters.*(field->Member) : NAN;
}

int velm_set_parameter(VelmSession* s, int index, double value) {
  if (index < 0 || index >= kFileCount) return -1;
  s->Parameters.*(kFileScalars[static_cast<std::size_t>(index)].Member) = value;
  return s->Derive();
}

int velm_tank_count(const VelmSession* s) { return s->Parameters.TankCount; }

int velm_set_tank_count(VelmSession* s, int count) {
  if (count < 0 || count > velm::ParameterSet::kMaxTankCount) return -1;
  velm::ParameterSet& p = s->Parameters;
  p.TankCount = count;
  p.CoeffTank.resize(static_cast<std::size_t>(count) + 1, 0.0);
  p.BotomTank.resize(static_cast<std::size_t>(count) + 1, 0.0);
  return s->Derive();
}

double velm_coeff_tank(const VelmSession* s, int tank) {
  return IsTank(s, tank) ? s->Parameters.CoeffTank[tank] : NAN;
}

double velm_botom_tank(const VelmSession* s, int tank) {
  return IsTank(s, tank) ? s->Parameters.BotomTank[tank] : NAN;
}

int velm_set_tank(VelmSession* s, int tank, double coeffTank,
                  double botomTank) {
  if (!IsTank(s, tank)) return -1;
  s->Parameters.CoeffTank[tank] = coeffTank;
  s->Parameters.BotomTank[tank] = botomTank;
  return s->Derive();
}

int velm_derivation_problem(const VelmSession* s) {
  return static_cast<int>(s->Problem);
}

const char* velm_broken_rule(VelmSession* s) {
  s->Text.clear();
  for (const velm::OrderRule& rule : velm::OrderRules(s->Parameters)) {
    if (!rule.Holds()) {
      s->Text = rule.Describe();
      break;
    }
  }
  return s->Text.c_str();
}

int velm_simulate(VelmSession* s) {
  if (s->Problem != velm::DerivationProblem::kNone) {
    return static_cast<int>(s->Problem);
  }
  velm::SumDaily(s->Rain, s->DailyRain);
  velm::SumDaily(s->PotentialE, s->DailyPotentialE);
  velm::Simulate(s->Parameters, {s->Rain, s->PotentialE, s->SurfaceStorage},
                 s->Simulated);
  RecordFit(s);
  RecordScores(s);
  return 0;
}

const double* velm_daily_runoff(const VelmSession* s) {
  return s->Simulated.CalcQ.data();
}
const double* velm_daily_actual_evaporation(const VelmSession* s) {
  return s->Simulated.ActualE.data();
}
const double* velm_daily_rain(const VelmSession* s) {
  return s->DailyRain.data();
}
const double* velm_daily_potential_evaporation(const VelmSession* s) {
  return s->DailyPotentialE.data();
}

const double* velm_fit(const VelmSession* s) { return s->Fit.data(); }
const double* velm_scores(const VelmSession* s) {
  return s->ScoreValues.data();
}

const char* velm_score_text(VelmSession* s, int index) {
  s->Text.clear();
  if (index >= 1 && index < kVelmScoreValues) {
    const double value = s->ScoreValues[static_cast<std::size_t>(index)];
    s->Text = velm::report::FormatScore(
        std::isnan(value) ? std::nullopt : std::optional(value));
  }
  return s->Text.c_str();
}

}  // extern "C"
