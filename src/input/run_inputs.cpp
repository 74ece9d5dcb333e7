#include "input/run_inputs.h"

namespace velm {

const FileInfo& RunInputs::Files() {
  if (!files_) {
    FileInfo files;
    files.Read();
    files_ = std::move(files);
  }
  return *files_;
}

const RunSettings& RunInputs::Settings() {
  if (!settings_) {
    RunSettings settings;
    settings.Read();
    settings_ = std::move(settings);
  }
  return *settings_;
}

std::shared_ptr<const Weather> RunInputs::WeatherRecord() {
  if (!weather_) {
    auto weather = std::make_shared<Weather>(HydroSeries(Files(), Settings()));
    weather->HourCount = weather->Series.CountRainLines();
    const auto hours = static_cast<std::size_t>(weather->HourCount);
    weather->Rain.assign(hours, 0.0);
    weather->PotentialE.assign(hours, 0.0);
    weather->Series.ReadRainAndEvaporation(weather->Rain, weather->PotentialE);
    weather->DailyRain.assign(hours / kHoursPerDay, 0.0);
    weather->DailyPotentialE.assign(hours / kHoursPerDay, 0.0);
    SumDaily(weather->Rain, weather->DailyRain);
    SumDaily(weather->PotentialE, weather->DailyPotentialE);
    weather_ = std::move(weather);
  }
  return weather_;
}

const ParameterSet& RunInputs::FileParameters() {
  if (!parameters_) {
    ParameterSet parameters;
    parameters.Read(0);
    parameters_ = std::move(parameters);
  }
  return *parameters_;
}

std::shared_ptr<const ObservedRunoff> RunInputs::Observed() {
  if (!observed_) {
    const auto weather = WeatherRecord();
    auto observed = std::make_shared<ObservedRunoff>();
    observed->Hourly.assign(weather->Rain.size(), 0.0);
    weather->Series.ReadObservedRunoff(observed->Hourly);
    observed->Daily.assign(observed->Hourly.size() / kHoursPerDay, 0.0);
    SumDaily(observed->Hourly, observed->Daily);
    observed_ = std::move(observed);
  }
  return observed_;
}

}  // namespace velm
