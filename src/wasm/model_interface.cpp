#include "wasm/model_interface.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/number_format.h"
#include "model/parameter_set.h"
#include "model/parameter_table.h"
#include "optimizer/gene_map.h"
#include "results/scores.h"
#include "run/simulation_run.h"

struct VelmSession {
  explicit VelmSession(int hours)
      : Rain(static_cast<std::size_t>(hours)),
        PotentialE(Rain.size()),
        Observed(Rain.size() / velm::kHoursPerDay) {
    Parameters.CoeffTank.assign(1, 0.0);
    Parameters.BotomTank.assign(1, 0.0);
    Derive();
    // Before the first simulation its series read as 0.
    Run.WeatherRecord = std::make_shared<const velm::Weather>(
        velm::WeatherOfSeries(Rain, PotentialE, {}));
    Run.DailyCalcQ.assign(Observed.size(), 0.0);
    Run.DailyActualE.assign(Observed.size(), 0.0);
  }

  int Derive() {
    Problem = velm::ComputeDerivedValues(Parameters);
    return static_cast<int>(Problem);
  }

  // The series the page fills in place.
  std::vector<double> Rain;
  std::vector<double> PotentialE;
  std::vector<double> Observed;
  velm::RunSettings Settings;  // surface storage, objective, balance limit
  bool WithObserved = false;

  velm::ParameterSet Parameters;
  velm::DerivationProblem Problem = velm::DerivationProblem::kNone;

  velm::SimulationRun Run;
  std::array<double, kVelmFitValues> Fit{};
  std::array<double, kVelmScoreValues> ScoreValues{};
  std::string Text;  // the last text handed out
};

namespace {

constexpr const auto& kFileRows = velm::kRowsOf<velm::ParameterKind::kFileValue>;
constexpr const auto& kDerivedRows =
    velm::kRowsOf<velm::ParameterKind::kDerived>;
constexpr int kFileCount = static_cast<int>(kFileRows.size());
constexpr int kParameterCount =
    kFileCount + static_cast<int>(kDerivedRows.size());

// The file's values in its order, then the derived ones.
const velm::ParameterRow* RowAt(int index) {
  if (index < 0 || index >= kParameterCount) return nullptr;
  if (index < kFileCount) return kFileRows[static_cast<std::size_t>(index)];
  return kDerivedRows[static_cast<std::size_t>(index - kFileCount)];
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
  const velm::FitMeasures& fit = s->Run.Fit;
  s->Fit = {static_cast<double>(fit.FitDays),
            fit.RMSE,
            fit.RR,
            fit.RE,
            fit.BalanceRatio,
            fit.SumRain,
            fit.SumObservedQ,
            fit.SumCalcQ,
            fit.SumActualE,
            s->Run.F};
}

static_assert(kVelmScoreValues == velm::kScores.size() + 1,
              "velm_scores gives the fit days, then every score");

void RecordScores(VelmSession* s) {
  std::vector<double> observed, calculated;
  if (s->WithObserved) {
    for (std::size_t k = 0; k < s->Observed.size(); ++k) {
      observed.push_back(AsPrinted(s->Observed[k]));
      calculated.push_back(AsPrinted(s->Run.DailyCalcQ[k]));
    }
  }
  const velm::Scores c = velm::ComputeScores(observed, calculated);
  s->ScoreValues[0] = static_cast<double>(c.FitDays);
  for (std::size_t k = 0; k < velm::kScores.size(); ++k) {
    s->ScoreValues[k + 1] = OrNaN(c.*(velm::kScores[k].Value));
  }
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
  s->Settings.SurfaceStorageFlag = surfaceStorage == 1 ? 1 : 0;
  s->Settings.ObjectiveType = objectiveType;
  s->Settings.BalanceErrorLimit = balanceErrorLimit;
  s->WithObserved = withObserved == 1;
}

int velm_parameter_count() { return kParameterCount; }
int velm_file_parameter_count() { return kFileCount; }

const char* velm_parameter_name(int index) {
  // The table's names are the literals they were written as.
  const velm::ParameterRow* row = RowAt(index);
  return row ? row->Name.data() : "";
}

double velm_parameter(const VelmSession* s, int index) {
  const velm::ParameterRow* row = RowAt(index);
  return row ? s->Parameters.*(row->Value) : NAN;
}

int velm_set_parameter(VelmSession* s, int index, double value) {
  if (index < 0 || index >= kFileCount) return -1;
  s->Parameters.*(RowAt(index)->Value) = value;
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
  velm::CatchmentData data;
  data.WeatherRecord = std::make_shared<const velm::Weather>(
      velm::WeatherOfSeries(s->Rain, s->PotentialE, {}));
  const auto observed = std::make_shared<const velm::ObservedRunoff>(
      velm::ObservedRunoff{{}, s->Observed});
  data.Observed = [observed] { return observed; };
  data.Settings = s->Settings;
  s->Run = velm::SimulateCatchment(data, s->Parameters, s->WithObserved,
                                   velm::Detail::kDaily);
  RecordFit(s);
  RecordScores(s);
  return 0;
}

const double* velm_daily_runoff(const VelmSession* s) {
  return s->Run.DailyCalcQ.data();
}
const double* velm_daily_actual_evaporation(const VelmSession* s) {
  return s->Run.DailyActualE.data();
}
const double* velm_daily_rain(const VelmSession* s) {
  return s->Run.WeatherRecord->DailyRain.data();
}
const double* velm_daily_potential_evaporation(const VelmSession* s) {
  return s->Run.WeatherRecord->DailyPotentialE.data();
}

const double* velm_fit(const VelmSession* s) { return s->Fit.data(); }
const double* velm_scores(const VelmSession* s) {
  return s->ScoreValues.data();
}

const char* velm_score_text(VelmSession* s, int index) {
  s->Text.clear();
  if (index >= 1 && index < kVelmScoreValues) {
    const double value = s->ScoreValues[static_cast<std::size_t>(index)];
    s->Text = velm::FormatScore(
        std::isnan(value) ? std::nullopt : std::optional(value));
  }
  return s->Text.c_str();
}

}  // extern "C"
