#include "python/catchment.h"

#include <pybind11/pybind11.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <mutex>

#include "input/file_info.h"
#include "input/hydro_series.h"
#include "input/run_inputs.h"
#include "optimizer/bounds_check.h"
#include "optimizer/operators.h"
#include "optimizer/progress_report.h"
#include "results/parameter_block.h"

namespace velm::python {

namespace py = pybind11;

// Where the inputs come from. The observed runoff of a directory is read
// when first needed, as velm reads it, under the lock: threads share it.
struct Catchment::Source {
  std::optional<RunInputs> Inputs;
  std::mutex Lock;
  std::shared_ptr<const ObservedRunoff> Observed;
};

namespace {

// The file an InputError is about, as FILEINFO.dat names it.
std::string FileOf(RunInputs& inputs, const InputError& error) {
  constexpr std::pair<std::string_view, FileEntry> kEntries[] = {
      {kControlKey, FileEntry::kControl},
      {kParameterKey, FileEntry::kParameter},
      {kRainKey, FileEntry::kRain},
      {kEvaporationKey, FileEntry::kEvaporation},
      {kObservedRunoffKey, FileEntry::kObservedRunoff}};
  for (const auto& [key, entry] : kEntries) {
    if (error.Key() == key) return inputs.Files().Name(entry);
  }
  return std::string(kFileInfoName);
}

template <typename Read>
auto Reporting(RunInputs& inputs, Read read) {
  try {
    return read();
  } catch (const InputError& error) {
    throw CatchmentInputError(error, FileOf(inputs, error));
  }
}

std::vector<double> DailySums(std::span<const double> hourly,
                              std::size_t days) {
  std::vector<double> sums(days);
  SumDaily(hourly, sums);
  return sums;
}

Simulation SimulateWith(const ParameterSet& parameters,
                        std::shared_ptr<const Weather> weather,
                        std::shared_ptr<const ObservedRunoff> observed,
                        bool surfaceStorage) {
  Simulation run;
  run.Parameters = parameters;
  run.WeatherRecord = std::move(weather);
  run.Observed = std::move(observed);
  const Weather& w = *run.WeatherRecord;
  velm::Simulate(parameters, {w.Rain, w.PotentialE, surfaceStorage},
                 run.Hourly);
  const auto days = static_cast<std::size_t>(w.DayCount());
  run.DailyCalcQ = DailySums(run.Hourly.CalcQ, days);
  run.DailyActualE = DailySums(run.Hourly.ActualE, days);
  run.DailyInfiltration.resize(days);
  for (std::size_t d = 0; d < days; ++d) {
    run.DailyInfiltration[d] = run.Hourly.Infiltration[kHoursPerDay * d];
  }
  if (run.Observed) {
    run.Fit = MeasureFit({run.DailyCalcQ, w.DailyRain, w.DailyPotentialE,
                          run.DailyActualE, run.Observed->Daily});
    run.Scores = ComputeScores(run.Observed->Daily, run.DailyCalcQ);
  }
  return run;
}

}  // namespace

Weather WeatherFromSeries(std::vector<double> rain,
                          const std::vector<double>& potentialE,
                          Calendar dates) {
  const std::size_t hours = rain.size();
  const std::size_t days = hours / kHoursPerDay;
  if (potentialE.size() == days) {
    return WeatherOf(std::move(rain), potentialE, std::move(dates));
  }
  if (potentialE.size() != hours) {
    throw py::value_error(
        "potential_evaporation must hold a value per hour of the rain (" +
        std::to_string(hours) + ") or per whole day (" + std::to_string(days) +
        "), not " + std::to_string(potentialE.size()));
  }
  Weather weather;
  weather.Rain = std::move(rain);
  weather.PotentialE = potentialE;
  weather.Dates = std::move(dates);
  weather.DailyRain = DailySums(weather.Rain, days);
  weather.DailyPotentialE = DailySums(weather.PotentialE, days);
  return weather;
}

Calendar CalendarFrom(int year, unsigned month, unsigned day,
                      std::size_t days) {
  using namespace std::chrono;
  const year_month_day first{std::chrono::year(year), std::chrono::month(month),
                             std::chrono::day(day)};
  if (!first.ok()) throw py::value_error("the start is not a date");
  Calendar dates;
  for (std::size_t d = 0; d < days; ++d) {
    const year_month_day date{sys_days(first) +
                              std::chrono::days(static_cast<int>(d))};
    dates.Year.push_back(static_cast<int>(date.year()));
    dates.Month.push_back(
        static_cast<int>(static_cast<unsigned>(date.month())));
    dates.Day.push_back(static_cast<int>(static_cast<unsigned>(date.day())));
  }
  return dates;
}

Catchment Catchment::Read(const std::filesystem::path& directory) {
  Catchment c;
  c.source_ = std::make_shared<Source>();
  c.directory_ = directory;
  RunInputs& inputs = c.source_->Inputs.emplace(directory);
  try {
    inputs.Files();
  } catch (const InputError& error) {
    throw CatchmentInputError(error, std::string(kFileInfoName));
  }
  Reporting(inputs, [&] {
    // The order in which velm reads its files, which decides which problem
    // a user sees first.
    c.settings_ = inputs.Settings();
    c.weather_ = std::make_shared<const Weather>(inputs.WeatherRecord());
    c.parameters_ = inputs.FileParameters();
    return 0;
  });
  c.map_ = std::make_shared<const GeneMap>(c.settings_);
  return c;
}

Catchment Catchment::FromSeries(Weather weather,
                                std::optional<std::vector<double>> observed,
                                ParameterSet parameters, RunSettings settings) {
  Catchment c;
  c.source_ = std::make_shared<Source>();
  if (observed) {
    const std::size_t hours = weather.Rain.size();
    if (observed->size() > hours) {
      throw py::value_error(
          "observed holds " + std::to_string(observed->size()) +
          " hours, more than the rain's " + std::to_string(hours));
    }
    ObservedRunoff runoff;
    runoff.Hourly.assign(hours, 0.0);
    std::transform(
        observed->begin(), observed->end(), runoff.Hourly.begin(),
        [&](double q) { return ObservedDepth(q, settings.CatchmentArea); });
    runoff.Daily = DailySums(runoff.Hourly, weather.Rain.size() / kHoursPerDay);
    c.source_->Observed = std::make_shared<const ObservedRunoff>(runoff);
  }
  c.weather_ = std::make_shared<const Weather>(std::move(weather));
  c.parameters_ = std::move(parameters);
  c.settings_ = std::move(settings);
  c.map_ = std::make_shared<const GeneMap>(c.settings_);
  return c;
}

const std::filesystem::path& Catchment::Directory() const { return directory_; }

std::shared_ptr<const ObservedRunoff> Catchment::Observed() const {
  const std::lock_guard lock(source_->Lock);
  if (!source_->Observed && source_->Inputs) {
    RunInputs& inputs = *source_->Inputs;
    source_->Observed = Reporting(inputs, [&] {
      return std::make_shared<const ObservedRunoff>(inputs.Observed());
    });
  }
  return source_->Observed;
}

std::shared_ptr<const ObservedRunoff> Catchment::RequireObserved() const {
  auto observed = Observed();
  if (!observed) {
    throw py::value_error(
        "the catchment has no observed runoff to compare with: give "
        "from_arrays an observed series");
  }
  return observed;
}

Catchment Catchment::WithSettings(RunSettings settings) const {
  if (std::bit_cast<std::uint64_t>(settings.CatchmentArea) !=
      std::bit_cast<std::uint64_t>(settings_.CatchmentArea)) {
    throw py::value_error(
        "CatchmentArea cannot change: the observed runoff is converted with "
        "it as it is read");
  }
  Catchment c = *this;
  c.settings_ = std::move(settings);
  c.map_ = std::make_shared<const GeneMap>(c.settings_);
  return c;
}

Catchment Catchment::WithParameters(ParameterSet parameters) const {
  Catchment c = *this;
  c.parameters_ = std::move(parameters);
  return c;
}

Forcing Catchment::WeatherForcing() const {
  return {weather_->Rain, weather_->PotentialE,
          settings_.SurfaceStorageFlag == 1};
}

Simulation Catchment::Simulate(
    const ParameterSet& parameters,
    std::shared_ptr<const ObservedRunoff> observed) const {
  return SimulateWith(parameters, weather_, std::move(observed),
                      settings_.SurfaceStorageFlag == 1);
}

Genes Catchment::GenesOf(std::span<const double> genes) {
  Genes x{};
  std::copy(genes.begin(), genes.end(), x.begin() + 1);
  return x;
}

ParameterSet Catchment::ScaledParameters(std::span<const double> genes) const {
  ParameterSet scaled = parameters_;
  map_->Apply(scaled, GenesOf(genes));
  return scaled;
}

double Catchment::Objective(std::span<const double> genes,
                            const ObservedRunoff* observed) const {
  const Genes x = GenesOf(genes);
  const double penalty = ChildBoundsPenalty(x, map_->VariableCount() + 1);
  if (penalty != 0.0) return penalty;
  const EvaluationContext context{parameters_,
                                  *map_,
                                  WeatherForcing(),
                                  weather_->DailyRain,
                                  observed
                                      ? std::span<const double>(observed->Daily)
                                      : std::span<const double>(),
                                  ObjectiveSettings::Of(settings_)};
  DailyOutputs scratch;
  return EvaluateObjective(context, x, scratch, nullptr);
}

CalibrationOutcome Catchment::Calibrate(
    Clock clock, int threadCount,
    std::shared_ptr<const ObservedRunoff> observed,
    std::ostream& consoleStream) const {
  TextWriter console(consoleStream, LineEnd::kLf);
  WriteParameterBlock(console, parameters_, ParameterLayout::kEcho);
  ModelObjective objective(
      parameters_, *map_, WeatherForcing(), weather_->DailyRain,
      [&] { return std::span<const double>(observed->Daily); },
      ObjectiveSettings::Of(settings_), consoleStream, threadCount);
  // The progress lines go to the console alone: there is no result file.
  std::ostream noFile(nullptr);
  ProgressReport report(consoleStream, noFile, false, settings_.VariableCount);
  Optimizer optimizer(settings_.VariableCount, settings_.FcountLimit,
                      std::move(clock));
  CalibrationOutcome outcome;
  outcome.Record = optimizer.Run(objective, report);
  outcome.Counts = objective.EvaluationCounts();

  const Individual& best = outcome.Record.Best;
  ParameterSet scaled = parameters_;
  map_->Apply(scaled, best.X);
  outcome.Best = Simulate(scaled, std::move(observed));
  report.FinalBest(best);
  report.Closing();
  WriteFitReport(console, outcome.Best.Fit, settings_.ObjectiveType);
  outcome.Problems = ResultProblems(best.X, best.f, parameters_, *map_);
  return outcome;
}

}  // namespace velm::python
