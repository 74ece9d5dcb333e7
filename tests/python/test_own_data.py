# A user's own data in: DataFrames, NetCDF files and velm-import make
# catchment directories that velm and velm-check take and that run as the
# catchment runs in Python; the edges refuse what velm's calendar and files
# cannot hold.
import os
import pathlib
import subprocess

import netCDF4  # noqa: F401  (xarray's NetCDF engine; CI must have it)
import numpy as np
import pandas as pd
import pytest
import xarray as xr

import velm
from conftest import EXAMPLES, result_rows, run_velm

SAMPLE = EXAMPLES / "falling-river"
AREA = 427.165365
CHECK = str(pathlib.Path(os.environ["VELM"]).with_name("velm-check"))


@pytest.fixture(scope="module")
def frame():
    """The sample's year as a user has it: hourly rows from 00:00, runoff in
    m3/s, and the daily potential evaporation apart."""
    rain = np.loadtxt(SAMPLE / "rain.csv", delimiter=",")[:, 4]
    runoff = np.loadtxt(SAMPLE / "runoff.csv", delimiter=",")[:, 4]
    hours = pd.date_range("2001-01-01", periods=len(rain), freq="h")
    daily = pd.Series(np.loadtxt(SAMPLE / "ep.csv", delimiter=",")[:, 3],
                      index=pd.date_range("2001-01-01", periods=365, freq="D"))
    return pd.DataFrame({"rain": rain, "q": runoff}, index=hours), daily


def written_and_run(catchment, directory):
    """Writes the catchment, checks it with velm-check and runs velm there;
    velm's result rows must be the catchment's own run."""
    catchment.write(directory)
    check = subprocess.run([CHECK], cwd=directory, capture_output=True, text=True)
    assert check.returncode == 0, check.stdout
    console = run_velm(directory)
    run = catchment.simulate()
    assert console.splitlines()[-1].endswith(f"={run.re:.6g}")
    d = run.daily
    columns = [d["rain"], d["calc_q"], d["potential_e"], d["actual_e"]]
    for i, row in enumerate(result_rows(directory)):
        assert [row[4]] + row[6:9] == [float(f"{c[i]:.6g}") for c in columns]
    assert np.array_equal(velm.Catchment(directory).simulate().calc_q, run.calc_q)
    return run


def test_a_dataframe_makes_the_samples_catchment(frame, tmp_path):
    df, daily = frame
    sample = velm.Catchment(SAMPLE)
    made = velm.Catchment.from_dataframe(
        df, sample.parameters, potential_evaporation=daily, observed="q",
        observed_unit="m3/s", area=AREA, name="Falling River")
    assert repr(made) == "<velm.Catchment 'Falling River': 8760 hours>"
    run = written_and_run(made, tmp_path / "falling")
    assert np.array_equal(run.calc_q, sample.simulate().calc_q)
    assert (tmp_path / "falling" / "FILEINFO.dat").read_bytes().startswith(
        b"velm catchment: Falling River\r\nInputFilename_Control,control.dat\r\n")
    # Hourly potential evaporation is summed per day into the file's values.
    hourly = df.assign(pe=np.repeat(daily.to_numpy() / 24, 24))
    summed = velm.Catchment.from_dataframe(hourly, sample.parameters,
                                           potential_evaporation="pe")
    assert np.allclose(summed.simulate().daily["potential_e"], daily, rtol=1e-12)


def test_a_netcdf_file_makes_the_samples_catchment(frame, tmp_path):
    df, daily = frame
    ds = xr.Dataset(
        {"pr": ("time", df["rain"].to_numpy() / 3600, {"units": "kg m-2 s-1"}),
         "q": ("time", df["q"].to_numpy(), {"units": "m3 s-1"}),
         "tas": ("day", np.full(365, 288.15), {"units": "K"})},
        coords={"time": df.index, "day": daily.index, "lat": 37.24},
        attrs={"title": "Falling River"})
    ds.to_netcdf(tmp_path / "forcing.nc")
    with xr.open_dataset(tmp_path / "forcing.nc") as read:
        made = velm.Catchment.from_xarray(
            read, {"rain": "pr", "temperature": "tas", "observed": "q"},
            velm.Catchment(SAMPLE).parameters, area=AREA)
    assert made.name == "Falling River"
    assert np.allclose(made.rain, df["rain"], rtol=1e-15)
    oudin = velm.oudin_potential_evaporation("2001-01-01", np.full(365, 15.0), 37.24)
    assert np.allclose(made.simulate().daily["potential_e"], oudin, rtol=1e-12)
    run = written_and_run(made, tmp_path / "from-netcdf")
    assert run.fit_days == 365

    out = run.to_xarray()
    out.to_netcdf(tmp_path / "run.nc")
    with xr.open_dataset(tmp_path / "run.nc") as back:
        assert back["daily_rain"].attrs["standard_name"] == \
            "lwe_thickness_of_precipitation_amount"
        assert back["calc_q"].attrs["units"] == "mm"
        assert np.array_equal(back["calc_q"].values, run.calc_q)
        assert back.attrs["MAX_SoilMoisture"] == run.parameters["MAX_SoilMoisture"]
        assert list(back.attrs["CoeffTank"]) == run.parameters["CoeffTank"]
        assert str(back["date"].values[-1])[:10] == "2001-12-31"
        assert str(back["time"].values[1])[:16] == "2001-01-01T01:00"


def test_velm_import_from_the_command_line(frame, tmp_path):
    df, daily = frame
    p = velm.Catchment(SAMPLE).parameters
    hourly = df.assign(t=np.tile(np.linspace(5, 15, 24), 365))
    hourly.rename_axis("time").to_csv(tmp_path / "falling.csv")
    p.write(tmp_path / "start.dat")
    xr.Dataset({"pr": ("time", df["rain"].to_numpy(), {"units": "mm"}),
                "pet": ("day", daily.to_numpy(), {"units": "mm d-1"})},
               coords={"time": df.index, "day": daily.index}).to_netcdf(tmp_path / "f.nc")

    def velm_import(source, directory, *options):
        return subprocess.run(
            [os.environ["VELM_IMPORT"], str(tmp_path / source), str(tmp_path / directory),
             "--parameters", str(tmp_path / "start.dat"), *options],
            capture_output=True, text=True, env=dict(os.environ, VELM_CHECK=CHECK))

    done = velm_import("falling.csv", "csv", "--temperature", "t", "--latitude", "37.24",
                       "--observed", "q", "--observed-unit", "m3/s", "--area", str(AREA),
                       "--set", "RunMode=1", "--set", "VariableCount=2",
                       "--set", "OptIndex_MAX_EvapoRatio=1",
                       "--set", "OptIndex_Coeff_EvapoModel=2")
    assert done.returncode == 0, done.stdout + done.stderr
    assert done.stdout.startswith("velm-import: wrote ")
    made = velm.Catchment(tmp_path / "csv")
    assert made.settings["OptIndex_Coeff_EvapoModel"] == 2
    expected = velm.Catchment.from_dataframe(hourly, p, temperature="t", latitude=37.24)
    assert np.array_equal(made.simulate().calc_q, expected.simulate().calc_q)

    done = velm_import("f.nc", "nc", "--rain", "pr", "--potential-evaporation", "pet")
    assert done.returncode == 0, done.stdout + done.stderr
    expected = velm.Catchment.from_dataframe(df, p, potential_evaporation=daily)
    assert np.array_equal(velm.Catchment(tmp_path / "nc").simulate().calc_q,
                          expected.simulate().calc_q)
    done = velm_import("f.nc", "bad", "--rain", "pet", "--potential-evaporation", "pet")
    assert done.returncode == 1 and "hours must follow one another" in done.stderr


@pytest.mark.parametrize("change, message", [
    (lambda df: df.iloc[1:], "the first hour starts at 2001-01-01 01:00:00"),
    (lambda df: df.drop(df.index[30]),
     "2001-01-02 07:00:00 follows 2001-01-02 05:00:00"),
    (lambda df: df.set_axis(df.index + pd.Timedelta("30min")),
     "2001-01-01 00:30:00 is not on the hour"),
    (lambda df: df.assign(rain=np.where(np.arange(len(df)) == 52, np.nan, df["rain"])),
     "rain must be a finite number, not nan at 2001-01-03 hour 5"),
])
def test_dataframes_velms_calendar_cannot_hold_are_refused(frame, change, message):
    df, daily = frame
    with pytest.raises(ValueError, match=message):
        velm.Catchment.from_dataframe(change(df), velm.Catchment(SAMPLE).parameters,
                                      potential_evaporation=daily)


def test_edges(frame, tmp_path):
    df, daily = frame
    p = velm.Catchment(SAMPLE).parameters
    gappy = df.assign(q=np.where(np.arange(len(df)) == 100, np.nan, df["q"]))
    made = velm.Catchment.from_dataframe(gappy, p, potential_evaporation=daily,
                                         observed="q", observed_unit="m3/s", area=AREA)
    run = written_and_run(made, tmp_path / "gappy")
    assert run.fit_days == 364 and np.isnan(run.daily["observed"][4])
    balance = run.water_balance
    assert balance["calculated_over_observed"] == balance["calc_q"] / balance["observed"]
    assert balance["error_over_observed"] == pytest.approx(
        abs(1 - balance["calculated_over_observed"]), rel=1e-12)
    with pytest.raises(ValueError, match="Final_Infiltration -1,"):
        p.replace(Final_Infiltration=-1)
    with pytest.raises(ValueError, match="not -inf at 2001-01-02$"):
        velm.Catchment.from_arrays("2001-01-01", np.zeros(48), [1.0, -np.inf], None, p)
    hourly_shape = velm.Catchment.from_arrays("2001-01-01", np.zeros(24), np.ones(24), None, p)
    assert hourly_shape.name == "catchment from arrays"
    with pytest.raises(ValueError, match="2001-01-01 is not so spread"):
        hourly_shape.write(tmp_path / "refused")
    assert not (tmp_path / "refused").exists()
    assert velm.extraterrestrial_radiation(-20, 246) == pytest.approx(32.2, abs=0.05)
