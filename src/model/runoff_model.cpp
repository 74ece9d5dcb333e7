#include "model/runoff_model.h"

#include <utility>

namespace velm {
namespace {

// The order in which a model has always first read the files.
std::shared_ptr<const Weather> ReadInputs(RunInputs& inputs) {
  inputs.Files();
  inputs.Settings();
  auto weather = inputs.WeatherRecord();
  inputs.FileParameters();
  return weather;
}

}  // namespace

RunoffModel::RunoffModel(std::shared_ptr<RunInputs> inputs)
    : inputs_(std::move(inputs)),
      weather_(ReadInputs(*inputs_)),
      HourCount(weather_->HourCount),
      Settings(inputs_->Settings()),
      Parameters(inputs_->FileParameters()),
      Series(weather_->Series),
      Rain(weather_->Rain),
      PotentialE(weather_->PotentialE),
      FileParameters(Parameters) {
  const auto hours = static_cast<std::size_t>(HourCount);
  ObservedQ.assign(hours, 0.0);
  ActualE.assign(hours, 0.0);
  CalcQ.assign(hours, 0.0);
  Infiltration.assign(hours + 1, 0.0);
}

}  // namespace velm
