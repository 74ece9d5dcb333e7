#include "run/catchment_data.h"

#include <mutex>
#include <stdexcept>

#include "model/exact_product.h"

namespace velm {

CatchmentData CatchmentData::Read(std::shared_ptr<RunInputs> inputs) {
  inputs->Files();
  CatchmentData data;
  data.Settings = inputs->Settings();
  data.WeatherRecord = inputs->SharedWeather();
  data.Parameters = inputs->FileParameters();
  // The rest of the run may ask from several threads; the reader is one.
  auto lock = std::make_shared<std::mutex>();
  data.Observed = [inputs = std::move(inputs), lock] {
    const std::lock_guard guard(*lock);
    return inputs->SharedObserved();
  };
  return data;
}

CatchmentData CatchmentData::FromSeries(
    std::vector<double> rain, std::vector<double> potentialE, Calendar dates,
    std::optional<std::vector<double>> observed, ParameterSet parameters,
    RunSettings settings) {
  CatchmentData data;
  const std::size_t hours = rain.size();
  data.WeatherRecord = std::make_shared<const Weather>(
      WeatherOfSeries(std::move(rain), std::move(potentialE), std::move(dates)));
  std::shared_ptr<const ObservedRunoff> runoff;
  if (observed) {
    runoff = std::make_shared<const ObservedRunoff>(
        ObservedOf(*observed, hours, settings.CatchmentArea));
  }
  data.Observed = [runoff] { return runoff; };
  data.Parameters = std::move(parameters);
  data.Settings = std::move(settings);
  return data;
}

CatchmentData CatchmentData::WithSettings(RunSettings settings) const {
  if (bit_cast<std::uint64_t>(settings.CatchmentArea) !=
      bit_cast<std::uint64_t>(Settings.CatchmentArea)) {
    throw std::invalid_argument(
        "CatchmentArea cannot change: the observed runoff is converted with "
        "it as it is read");
  }
  CatchmentData data = *this;
  data.Settings = std::move(settings);
  return data;
}

std::shared_ptr<const ObservedRunoff> CatchmentData::RequireObserved() const {
  std::shared_ptr<const ObservedRunoff> observed = Observed();
  if (!observed) {
    throw std::invalid_argument(
        "the catchment has no observed runoff to compare with");
  }
  return observed;
}

}  // namespace velm
