import collections.abc
import concurrent.futures
import datetime
import json
import os
import pathlib
import subprocess
import sys
import types

import numpy as np
import pytest

import velm
from conftest import EXAMPLES, example_copy, result_rows, run_velm


@pytest.fixture(scope="module")
def sample():
    return velm.Catchment(EXAMPLES / "falling-river")


def test_daily_values_and_relative_error_are_velms(tmp_path):
    directory = example_copy(tmp_path)
    console = run_velm(directory)
    run = velm.Catchment(str(directory)).simulate()
    assert console.splitlines()[-1] == f"day= {run.fit_days}\u3000相対誤差={run.re:.6g}"
    d = run.daily
    columns = [d["year"], d["month"], d["day"], d["rain"], d["observed"],
               d["calc_q"], d["potential_e"], d["actual_e"], d["infiltration"]]
    for i, row in enumerate(result_rows(directory)):
        assert row == [i] + [float(f"{column[i]:.6g}") for column in columns]


def test_arrays_are_read_only_views(sample):
    run = sample.simulate()
    for array in (sample.rain, sample.observed, run.calc_q, run.daily["calc_q"]):
        assert array.base is not None and not array.flags.writeable
    assert np.shares_memory(sample.rain, sample.rain)
    assert len(run.infiltration) == len(sample.rain) + 1
    assert run.daily["year"].dtype == np.int32


def test_scores_and_water_balance(sample):
    run = sample.simulate()
    fit = run.daily["observed"] > 0
    observed, calculated = run.daily["observed"][fit], run.daily["calc_q"][fit]
    nse = 1 - ((calculated - observed) ** 2).sum() / ((observed - observed.mean()) ** 2).sum()
    assert run.nse == pytest.approx(nse, rel=1e-12) and f"{run.kge:.6g}" == "0.431396"
    assert run.pbias == pytest.approx(100 * (calculated.sum() / observed.sum() - 1), rel=1e-12)
    assert run.scores["rmse"] == pytest.approx(run.rmse, rel=1e-12)
    balance = run.water_balance
    assert balance["fit_days"] == 365 and f"{balance['rain']:.6g}" == "865.67"
    # The model's own balance closes and agrees with the daily totals.
    model = run.model_balance
    main, daily = model["main_pass"], model["daily"]
    assert main["rain"] == pytest.approx(run.daily["rain"].sum(), rel=1e-12)
    assert main["runoff"] == pytest.approx(run.daily["calc_q"].sum(), rel=1e-12)
    assert main["evaporation"] == pytest.approx(run.daily["actual_e"].sum(), rel=1e-12)
    assert abs(main["rain"] - main["evaporation"] - main["runoff"] - main["infiltrated"]
               - main["storage_change"]) < 1e-9 * main["rain"]
    assert daily["tank_runoff"].shape == (365, 4)
    assert daily["tank_runoff"].sum() + daily["impervious_runoff"].sum() == pytest.approx(main["runoff"])
    assert model["run_start"]["tanks"].sum() > main["start"]["tanks"].sum() > main["end"]["tanks"].sum()
    quiet = sample.with_settings(ObservedFlag=0).simulate()
    assert quiet.fit_days == 0 and np.isnan(quiet.rmse) and quiet.daily["observed"] is None


def velm_check(directory):
    """velm-check's error findings for a directory, from its JSON."""
    check = pathlib.Path(os.environ["VELM"]).with_name("velm-check")
    report = subprocess.run([check, "--json", directory], capture_output=True, check=False)
    return [f for f in json.loads(report.stdout)["findings"] if f["severity"] == "error"]


@pytest.mark.parametrize("line, value, kind, problem", [
    (19, "15", "too-many-variables", "最適化変数の数は14以下にしてください"),
    (36, "9", "index-out-of-range", "最適化変数の番号が範囲外です"),
])
def test_input_error_reads_as_velm_check_explains_it(tmp_path, line, value, kind, problem):
    directory = example_copy(tmp_path, **{f"line_{line}": value})
    with pytest.raises(velm.InputError) as caught:
        velm.Catchment(directory)
    error = caught.value
    assert (error.file, error.lines, error.line, error.kind) == ("control.dat", str(line), line, kind)
    assert error.velm_message == f"InputFilename_Control {line}行目 {problem}"
    [finding] = velm_check(directory)
    assert (error.message, error.fix, error.velm_message) == (
        finding["message"], finding["fix"], finding["velm_message"])
    assert str(error) == f"control.dat:{line}: {error.message} (fix: {error.fix})"


def test_input_error_of_a_directory_without_fileinfo():
    with pytest.raises(velm.InputError) as caught:
        velm.Catchment("/nonexistent")
    error = caught.value
    assert str(error).startswith("FILEINFO.dat: there is no FILEINFO.dat")
    assert error.velm_message == "FILEINFO 入力ファイルをオープンできません"
    assert error.path == "/nonexistent/FILEINFO.dat" and error.line is None


def test_input_error_for_a_missing_file(tmp_path):
    directory = example_copy(tmp_path)
    (directory / "runoff.csv").unlink()
    catchment = velm.Catchment(directory)  # velm reads it only to compare
    with pytest.raises(velm.InputError) as caught:
        catchment.simulate()
    assert caught.value.file == "runoff.csv" and caught.value.line is None
    assert caught.value.path.endswith("runoff.csv") and caught.value.reason
    assert isinstance(caught.value, ValueError)


def test_settings_keep_the_control_files_rules(sample):
    assert sample.settings["OptIndex_CoeffTank"] == [0, 0, 0]
    for changes in ({"VariableCount": 15}, {"OptIndex_Impervious": 7},
                    {"CatchmentArea": 1.0}):
        with pytest.raises(ValueError):
            sample.with_settings(**changes)
    with pytest.raises(TypeError):
        sample.with_settings(NoSuchValue=1)


def test_from_arrays_gives_the_directorys_run(sample):
    settings = {k: v for k, v in sample.settings.items() if k != "CatchmentArea"}
    daily_ep = np.loadtxt(EXAMPLES / "falling-river" / "ep.csv", delimiter=",")[:, 3]
    made = velm.Catchment.from_arrays(
        datetime.date(2001, 1, 1), list(sample.rain), daily_ep, sample.observed,
        dict(sample.parameters), settings)
    assert np.array_equal(made.potential_evaporation, sample.potential_evaporation)
    for name, column in sample.simulate().daily.items():
        assert np.array_equal(made.simulate().daily[name], column), name
    leap = velm.Catchment.from_arrays("2000-02-28T01:00", np.zeros(72), np.zeros(72),
                                      None, sample.parameters)
    assert leap.dates.dtype == np.dtype("datetime64[D]") and leap.settings["ObjectiveType"] == 0
    assert list(leap.dates.astype(str)) == ["2000-02-28", "2000-02-29", "2000-03-01"]
    assert leap.settings["ObservedFlag"] == 0 and leap.observed is None
    with pytest.raises(ValueError):
        velm.Catchment.from_arrays("2001-01-01", np.zeros(48), np.zeros(5), None,
                                   sample.parameters)


def test_parameters_mapping_and_replace(sample):
    p = sample.parameters
    assert isinstance(p, collections.abc.Mapping) and len(p) == len(list(p)) == 16
    assert p["CoeffTank"] == [0.005, 0.005, 0.001] and p["TankCount"] == 3
    assert list(p.values()) == [p[name] for name in p.keys()] and dict(p.items()) == dict(p)
    changed = p.replace(Final_Infiltration=0.3, CoeffTank=[0.01, 0.005])
    assert changed["TankCount"] == 2 and changed["BotomTank"] == p["BotomTank"][:2]
    assert changed["MAX_Infiltration"] != p["MAX_Infiltration"]
    assert velm.Parameters(dict(p)) == p and velm.Parameters(**p.to_dict()) == p
    text = repr(p)  # a call that gives the set back, every value to the bit
    assert text.startswith("velm.Parameters(Impervious=0.05, ") and text.endswith("=12.877240000000002)")
    assert eval(text, {"velm": velm}) == p
    for derived in ("F18_Infiltration", "MAX_Infiltration"):
        with pytest.raises(ValueError, match=derived):
            p.replace(**{derived: 1.0})
    with pytest.raises(ValueError):
        p.replace(Coeff_Reduction=0.0)  # no MAX_Infiltration can be derived
    with pytest.raises(TypeError):
        p.replace(NoSuchParameter=1.0)


def random_parameter_sets(base, count, seed=7):
    random, sets = np.random.default_rng(seed), []
    while len(sets) < count:
        try:  # about a third of the soil values leave no MAX_Infiltration
            sets.append(base.replace(
                MAX_SoilMoisture=random.uniform(100, 200), F18_SoilMoisture=random.uniform(30, 100),
                Final_Infiltration=random.uniform(0.1, 0.45), Impervious=random.uniform(0, 0.2),
                CoeffTank=list(random.uniform(1e-4, 1e-2, 3))))
        except ValueError:
            pass
    return sets


def test_written_parameters_read_back_the_same(tmp_path, sample):
    for n, parameters in enumerate([sample.parameters] + random_parameter_sets(sample.parameters, 10)):
        directory = example_copy(tmp_path / str(n))
        parameters.write(directory / "parameters.dat")
        read = velm.Catchment(directory)
        assert read.parameters == parameters
        assert np.array_equal(read.simulate().calc_q, sample.simulate(parameters).calc_q)


def test_threads_give_the_serial_results():
    names = ["falling-river", "falling-river-calibration"] * 2
    catchments = [velm.Catchment(EXAMPLES / name) for name in names]
    serial = [c.simulate().calc_q for c in catchments]
    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        parallel = list(pool.map(lambda c: c.simulate().calc_q, catchments))
    assert all(np.array_equal(a, b) for a, b in zip(serial, parallel))


def test_to_pandas(sample, monkeypatch):
    run = sample.simulate()
    if "pandas" not in sys.modules:
        monkeypatch.setitem(sys.modules, "pandas", None)  # as if not installed
        with pytest.raises(ImportError, match="pandas"):
            run.to_pandas()
    fake = types.SimpleNamespace(DataFrame=lambda columns, index: (columns, index),
                                 to_datetime=lambda dates: dates)
    monkeypatch.setitem(sys.modules, "pandas", fake)
    columns, index = run.to_pandas()
    assert list(columns) == ["rain", "observed", "calc_q", "potential_e", "actual_e",
                             "infiltration"]
    assert columns["calc_q"] is not None and list(index) == ["year", "month", "day"]
