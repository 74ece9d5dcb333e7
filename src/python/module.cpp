// The velm Python module: catchments, parameter sets, simulations and
// calibrations of velm, with numpy arrays in and out. The runs are the core's
// run service's; this file turns its values into Python's and back. Arrays
// that come back are read-only views of the run's or the catchment's memory.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <limits>
#include <memory>
#include <streambuf>

#include "check/refusals.h"
#include "check/wording.h"
#include "results/calibration_reports.h"
#include "run/calibration.h"
#include "run/simulation_run.h"
#include "python/parameters.h"
#include "python/settings.h"

namespace velm::python {
namespace {

namespace py = pybind11;
using namespace pybind11::literals;

// A catchment as the module holds it: the run service's inputs and where
// they were read from (empty: from arrays).
struct Catchment {
  CatchmentData Data;
  std::filesystem::path Directory;
};

struct Calibration {
  std::shared_ptr<const CalibrationOutcome> Outcome;
};

template <typename T>
py::array ReadOnlyView(const std::vector<T>& values, py::handle owner) {
  py::array_t<T> array(static_cast<py::ssize_t>(values.size()), values.data(),
                       owner);
  py::detail::array_proxy(array.ptr())->flags &=
      ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
  return array;
}

std::vector<double> Doubles(const py::object& series) {
  using Array = py::array_t<double, py::array::c_style | py::array::forcecast>;
  const Array values = Array::ensure(series);
  if (!values || values.ndim() != 1) {
    throw py::type_error("a series must be a 1-D sequence of numbers");
  }
  return {values.data(), values.data() + values.size()};
}

py::object NoneIf(bool none, py::object value) {
  return none ? py::object(py::none()) : std::move(value);
}

// velm.InputError: the refusal in English as velm-check explains it, with
// velm's own message, the file and its lines as attributes.
void RaiseInputError(const InputError& e) {
  const check::Finding f = check::ExplainInputError(e.Directory, e);
  std::string where = f.File;
  if (f.Line > 0) where += ":" + std::to_string(f.Line);
  if (f.LastLine > f.Line) where += "-" + std::to_string(f.LastLine);
  py::object type = py::module_::import("velm").attr("InputError");
  py::object raised = type(where + ": " + f.Message + " (fix: " + f.Fix + ")");
  const LineRange lines = e.Lines();
  const std::string range =
      std::to_string(lines.First) +
      (lines.Last != lines.First ? "-" + std::to_string(lines.Last) : "");
  raised.attr("message") = f.Message;
  raised.attr("fix") = f.Fix;
  raised.attr("kind") = f.Kind;
  raised.attr("velm_message") = e.Utf8Message();
  raised.attr("file") = check::ShownText(e.Name);
  raised.attr("key") = FileRow(e.File()).Key;
  raised.attr("lines") = NoneIf(lines.First == 0, py::str(range));
  raised.attr("line") = NoneIf(lines.First == 0, py::int_(lines.First));
  raised.attr("last_line") = NoneIf(lines.First == 0, py::int_(lines.Last));
  raised.attr("path") = NoneIf(e.PathTried.empty(), py::str(e.PathTried));
  raised.attr("reason") = NoneIf(e.Reason.empty(), py::str(e.Reason));
  PyErr_SetObject(type.ptr(), raised.ptr());
}

// Console text, line by line, to a callable or a file-like object, decoded
// from code page 932. The calibration runs without the interpreter's lock,
// which each line takes back; a Python error stops the delivery and is raised
// when the calibration is over.
class LineSink : public std::streambuf {
 public:
  explicit LineSink(py::object target) : target_(std::move(target)) {}

  void RaiseIfFailed() {
    if (error_) throw *error_;
  }

 protected:
  int_type overflow(int_type c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    if (c == '\n') {
      Emit();
    } else {
      line_.push_back(static_cast<char>(c));
    }
    return c;
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    for (std::streamsize i = 0; i < count; ++i) overflow(text[i]);
    return count;
  }

 private:
  void Emit() {
    std::string line = std::move(line_);
    line_.clear();
    if (error_) return;
    py::gil_scoped_acquire acquire;
    try {
      py::str text = py::bytes(line).attr("decode")("cp932", "replace");
      if (py::hasattr(target_, "write")) {
        target_.attr("write")(text + py::str("\n"));
      } else {
        target_(text);
      }
    } catch (py::error_already_set& error) {
      error_ = std::move(error);
    }
  }

  py::object target_;
  std::string line_;
  std::optional<py::error_already_set> error_;
};

Clock ClockOf(const py::object& seed) {
  if (seed.is_none()) return SystemClock();
  const auto value = seed.cast<long long>();
  if (value < 0 || value > 65535) {
    throw py::value_error("seed must be from 0 to 65535, as VELM_SEED is");
  }
  return SeedClock(static_cast<std::uint16_t>(value));
}

int ThreadCountOf(const py::object& threads) {
  if (threads.is_none()) return 0;
  const int count = threads.cast<int>();
  if (count < 1) throw py::value_error("threads must be 1 or more");
  return count;
}

double Undefined() { return std::numeric_limits<double>::quiet_NaN(); }
double OrNan(std::optional<double> value) {
  return value.value_or(Undefined());
}

// A fit measure of a run compared with observed runoff; NaN without.
template <double FitMeasures::*Measure>
double FitValue(const SimulationRun& run) {
  return run.Observed ? run.Fit.*Measure : Undefined();
}

py::dict DailyDict(const SimulationRun& run, py::handle self) {
  const Weather& w = *run.WeatherRecord;
  return py::dict("year"_a = ReadOnlyView(w.Dates.Year, self),
                  "month"_a = ReadOnlyView(w.Dates.Month, self),
                  "day"_a = ReadOnlyView(w.Dates.Day, self),
                  "rain"_a = ReadOnlyView(w.DailyRain, self),
                  "observed"_a = NoneIf(!run.Observed,
                                        run.Observed
                                            ? ReadOnlyView(run.Observed->Daily, self)
                                            : py::object()),
                  "calc_q"_a = ReadOnlyView(run.DailyCalcQ, self),
                  "potential_e"_a = ReadOnlyView(w.DailyPotentialE, self),
                  "actual_e"_a = ReadOnlyView(run.DailyActualE, self),
                  "infiltration"_a = ReadOnlyView(run.DailyInfiltration, self));
}

py::object DailyFrame(const SimulationRun& run, py::handle self) {
  py::module_ pandas;
  try {
    pandas = py::module_::import("pandas");
  } catch (py::error_already_set& error) {
    if (!error.matches(PyExc_ImportError)) throw;
    throw py::import_error(
        "Run.to_pandas needs pandas, which is not installed (Debian: "
        "python3-pandas); run.daily holds the same columns as numpy arrays");
  }
  py::dict daily = DailyDict(run, self);
  py::dict dates("year"_a = daily["year"], "month"_a = daily["month"],
                 "day"_a = daily["day"]);
  py::dict columns;
  for (const char* name : {"rain", "observed", "calc_q", "potential_e",
                           "actual_e", "infiltration"}) {
    if (!daily[name].is_none()) columns[name] = daily[name];
  }
  return pandas.attr("DataFrame")(
      columns, "index"_a = pandas.attr("to_datetime")(dates));
}

py::dict ScoreDict(const SimulationRun& run) {
  py::dict scores("fit_days"_a = run.Scores.FitDays);
  for (const ScoreRow& row : kScores) {
    scores[py::str(row.Key.data(), row.Key.size())] =
        OrNan(run.Scores.*(row.Value));
  }
  return scores;
}

py::dict WaterBalance(const SimulationRun& run) {
  const FitMeasures& f = run.Fit;
  return py::dict("fit_days"_a = f.FitDays, "rain"_a = f.SumRain,
                  "observed"_a = f.SumObservedQ, "calc_q"_a = f.SumCalcQ,
                  "actual_e"_a = f.SumActualE,
                  "ratio"_a = FitValue<&FitMeasures::BalanceRatio>(run));
}

template <typename Member>
auto HourlyView(Member member) {
  return [member](py::object self) {
    return ReadOnlyView(self.cast<const SimulationRun&>().Hourly.*member, self);
  };
}

void BindRun(py::module_& m) {
  py::class_<SimulationRun, std::shared_ptr<SimulationRun>>(
      m, "Run", "One simulation: hourly arrays, daily totals and the fit")
      .def_property_readonly("calc_q", HourlyView(&HourlyOutputs::CalcQ))
      .def_property_readonly("actual_e", HourlyView(&HourlyOutputs::ActualE))
      .def_property_readonly(
          "infiltration", HourlyView(&HourlyOutputs::Infiltration),
          "The infiltration capacity at the start and after every hour")
      .def_property_readonly("daily",
                             [](py::object self) {
                               return DailyDict(
                                   self.cast<const SimulationRun&>(), self);
                             })
      .def(
          "to_pandas",
          [](py::object self) {
            return DailyFrame(self.cast<const SimulationRun&>(), self);
          },
          "The daily series as a pandas DataFrame indexed by date")
      .def_property_readonly(
          "fit_days", [](const SimulationRun& run) { return run.Fit.FitDays; })
      .def_property_readonly("rmse", &FitValue<&FitMeasures::RMSE>)
      .def_property_readonly("rr", &FitValue<&FitMeasures::RR>)
      .def_property_readonly("re", &FitValue<&FitMeasures::RE>)
      .def_property_readonly(
          "nse", [](const SimulationRun& run) { return OrNan(run.Scores.NSE); })
      .def_property_readonly(
          "kge", [](const SimulationRun& run) { return OrNan(run.Scores.KGE); })
      .def_property_readonly("pbias",
                             [](const SimulationRun& run) {
                               return OrNan(run.Scores.PercentBias);
                             })
      .def_property_readonly("scores", &ScoreDict)
      .def_property_readonly("water_balance", &WaterBalance)
      .def_readonly("parameters", &SimulationRun::Parameters)
      .def("__repr__", [](const SimulationRun& run) {
        return py::str("<velm.Run of {} hours, {} fit days, rmse={:.6g}>")
            .format(run.Hourly.CalcQ.size(), run.Fit.FitDays,
                    FitValue<&FitMeasures::RMSE>(run));
      });
}

void BindCalibration(py::module_& m) {
  using C = Calibration;
  py::class_<C>(m, "Calibration", "What calibrate found")
      .def_property_readonly("f",
                             [](const C& c) { return c.Outcome->Record.Best.f; })
      .def_property_readonly("genes",
                             [](const C& c) {
                               const auto genes = c.Outcome->Genes();
                               return py::array_t<double>(
                                   static_cast<py::ssize_t>(genes.size()),
                                   genes.data());
                             })
      .def_property_readonly(
          "parameters", [](const C& c) { return c.Outcome->Best.Parameters; })
      .def_property_readonly(
          "valid", [](const C& c) { return c.Outcome->Problems.empty(); })
      .def_property_readonly("problems",
                             [](const C& c) { return c.Outcome->Problems; })
      .def_property_readonly("run",
                             [](const C& c) {
                               return std::shared_ptr<const SimulationRun>(
                                   c.Outcome, &c.Outcome->Best);
                             })
      .def_property_readonly(
          "evaluations",
          [](const C& c) { return c.Outcome->Counts.Evaluations; })
      .def_property_readonly(
          "simulations",
          [](const C& c) { return c.Outcome->Counts.Simulations; })
      .def_property_readonly(
          "fcount", [](const C& c) { return c.Outcome->Record.Fcount; })
      .def_property_readonly(
          "generation", [](const C& c) { return c.Outcome->Record.Generation; })
      .def("__repr__", [](const C& c) {
        return py::str("<velm.Calibration f={:.6g} valid={}>")
            .format(c.Outcome->Record.Best.f, c.Outcome->Problems.empty());
      });
}

Catchment FromArrays(const py::object& start, const py::object& rain,
                     const py::object& potentialE, const py::object& observed,
                     const py::object& parameters, const py::object& settings) {
  py::object date = start;
  if (py::isinstance<py::str>(start)) {
    date = py::module_::import("datetime")
               .attr("datetime")
               .attr("fromisoformat")(start);
  }
  std::vector<double> hourlyRain = Doubles(rain);
  Calendar dates = CalendarFrom(
      date.attr("year").cast<int>(), date.attr("month").cast<unsigned>(),
      date.attr("day").cast<unsigned>(), hourlyRain.size() / kHoursPerDay);
  // An empty control file's values; observed runoff given as depths and
  // compared with.
  RunSettings base;
  base.CatchmentArea = 1.0;
  base.ObservedFlag = observed.is_none() ? 0 : 1;
  std::optional<std::vector<double>> runoff;
  if (!observed.is_none()) runoff = Doubles(observed);
  return {CatchmentData::FromSeries(
              std::move(hourlyRain), Doubles(potentialE), std::move(dates),
              std::move(runoff), ParametersFrom(parameters),
              ChangedSettings(base, settings.is_none() ? py::dict()
                                                       : py::dict(settings))),
          {}};
}

std::shared_ptr<SimulationRun> SimulateCatchment(const Catchment& c,
                                                 const py::object& parameters) {
  const ParameterSet p =
      parameters.is_none() ? c.Data.Parameters : ParametersFrom(parameters);
  py::gil_scoped_release release;
  return std::make_shared<SimulationRun>(velm::SimulateCatchment(
      c.Data, p, c.Data.Settings.ObservedFlag == 1));
}

Calibration CalibrateCatchment(const Catchment& c, const py::object& seed,
                               const py::object& threads,
                               const py::object& progress) {
  const CalibrationOptions options{ClockOf(seed), ThreadCountOf(threads)};
  LineSink sink(progress);
  std::ostream console(progress.is_none() ? nullptr : &sink);
  ConsoleProgress onConsole(console, c.Data.Settings.ObjectiveType);
  Calibration result;
  {
    py::gil_scoped_release release;
    result.Outcome = std::make_shared<const CalibrationOutcome>(
        Calibrate(c.Data, options, onConsole));
  }
  sink.RaiseIfFailed();
  return result;
}

template <typename Member>
auto WeatherView(Member member) {
  return [member](py::object self) {
    return ReadOnlyView(
        (*self.cast<const Catchment&>().Data.WeatherRecord).*member, self);
  };
}

void BindCatchment(py::module_& m) {
  py::class_<Catchment>(m, "Catchment",
                        "A catchment directory's inputs, read once")
      .def(py::init([](const std::filesystem::path& directory) {
             return Catchment{
                 CatchmentData::Read(std::make_shared<RunInputs>(directory)),
                 directory};
           }),
           "directory"_a)
      .def_static("from_arrays", &FromArrays, "start"_a, "rain"_a,
                  "potential_evaporation"_a, "observed"_a = py::none(),
                  "parameters"_a, "settings"_a = py::none())
      .def_readonly("directory", &Catchment::Directory)
      .def_property_readonly(
          "settings",
          [](const Catchment& c) { return SettingsDict(c.Data.Settings); })
      .def_property_readonly(
          "parameters", [](const Catchment& c) { return c.Data.Parameters; })
      .def_property_readonly("rain", WeatherView(&Weather::Rain))
      .def_property_readonly("potential_evaporation",
                             WeatherView(&Weather::PotentialE))
      .def_property_readonly("observed",
                             [](py::object self) -> py::object {
                               auto observed =
                                   self.cast<const Catchment&>().Data.Observed();
                               if (!observed) return py::none();
                               return ReadOnlyView(observed->Hourly, self);
                             })
      .def_property_readonly(
          "dates",
          [](py::object self) {
            const Calendar& d =
                self.cast<const Catchment&>().Data.WeatherRecord->Dates;
            return py::dict("year"_a = ReadOnlyView(d.Year, self),
                            "month"_a = ReadOnlyView(d.Month, self),
                            "day"_a = ReadOnlyView(d.Day, self));
          })
      .def("with_settings",
           [](const Catchment& c, const py::kwargs& changes) {
             return Catchment{c.Data.WithSettings(
                                  ChangedSettings(c.Data.Settings, changes)),
                              c.Directory};
           })
      .def(
          "with_parameters",
          [](const Catchment& c, const py::object& p) {
            Catchment changed = c;
            changed.Data.Parameters = ParametersFrom(p);
            return changed;
          },
          "parameters"_a)
      .def("simulate", &SimulateCatchment, "parameters"_a = py::none())
      .def(
          "objective",
          [](const Catchment& c, const py::object& genes) {
            const std::vector<double> x = Doubles(genes);
            py::gil_scoped_release release;
            return ScoreGenes(c.Data, x);
          },
          "genes"_a)
      .def(
          "apply_genes",
          [](const Catchment& c, const py::object& genes) {
            return ApplyGenes(c.Data, Doubles(genes));
          },
          "genes"_a)
      .def("calibrate", &CalibrateCatchment, "seed"_a = 1,
           "threads"_a = py::none(), "progress"_a = py::none())
      .def("__repr__", [](const Catchment& c) {
        return py::str("<velm.Catchment {!r}: {} hours>")
            .format(c.Directory.string(), c.Data.WeatherRecord->HourCount());
      });
}

}  // namespace

void Bind(py::module_& m) {
  m.doc() = "velm's runoff model, its simulation and its calibration";
  m.attr("InputError") =
      py::reinterpret_steal<py::object>(PyErr_NewExceptionWithDoc(
          "velm.InputError",
          "An input velm refuses, explained in English as velm-check "
          "explains it: .message and .fix, .kind; velm's own message "
          ".velm_message; .file, .line and .last_line (or None), .lines as "
          "velm writes them, .key (the file's label in FILEINFO.dat), .path "
          "and .reason for a file that cannot be opened",
          PyExc_ValueError, nullptr));
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const InputError& error) {
      RaiseInputError(error);
    }
  });
  BindParameters(m);
  BindRun(m);
  BindCalibration(m);
  BindCatchment(m);
}

}  // namespace velm::python

PYBIND11_MODULE(velm, m) { velm::python::Bind(m); }
