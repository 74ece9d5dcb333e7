"""Catchments from pandas DataFrames and xarray Datasets, runs to xarray.

A DataFrame's index gives the start of each hour: velm's hour 1 of a day is
the hour from 00:00, hour 24 the hour from 23:00. Potential evaporation goes
into velm's evaporation file, which holds one value per day that velm
spreads evenly over hours 9 to 18: hourly values are summed per day, daily
values are taken as they are, and Oudin's formula makes them from the daily
mean of the temperature.
"""
import importlib
import math

import numpy as np

from velm import _core

HOUR = np.timedelta64(1, "h")
DAY = np.timedelta64(1, "D")
HOURS_PER_DAY = 24


def _need(module, package):
    try:
        return importlib.import_module(module)
    except ImportError as error:
        raise ImportError(f"this needs {module}, which is not installed "
                          f"(Debian: {package})") from error


def _hourly_index(index):
    """The index's times as datetime64, held to velm's calendar."""
    pd = _need("pandas", "python3-pandas")
    if not isinstance(index, pd.DatetimeIndex):
        raise TypeError("the DataFrame needs a DatetimeIndex: the start of "
                        "each hour")
    if index.tz is not None:
        index = index.tz_localize(None)
    if len(index) == 0:
        raise ValueError("the DataFrame has no rows")
    times = index.values.astype("datetime64[ns]")
    off = np.flatnonzero(times != times.astype("datetime64[h]"))
    if off.size:
        raise ValueError(f"{index[off[0]]} is not on the hour: velm's series "
                         "hold whole hours")
    if index[0].hour != 0:
        raise ValueError(f"the first hour starts at {index[0]}; velm's days "
                         "start with hour 1, the hour from 00:00")
    steps = np.flatnonzero(np.diff(times) != HOUR)
    if steps.size:
        at = steps[0] + 1
        raise ValueError(f"{index[at]} follows {index[at - 1]}: the hours "
                         "must follow one another without gaps or repeats")
    return times


def _daily_values(series, first_day, days, what):
    """A daily Series' values for `days` days from `first_day`."""
    pd = _need("pandas", "python3-pandas")
    if not isinstance(series.index, pd.DatetimeIndex):
        raise TypeError(f"{what} given per day needs a DatetimeIndex")
    dates = series.index.values.astype("datetime64[D]")
    expected = first_day + np.arange(days) * DAY
    if len(dates) < days or (dates[:days] != expected).any():
        bad = next((i for i in range(min(days, len(dates)))
                    if dates[i] != expected[i]), min(days, len(dates)))
        raise ValueError(f"{what} per day must give each of the {days} whole "
                         f"days from {first_day} on; day {bad + 1} is "
                         f"{expected[bad]}, not "
                         f"{dates[bad] if bad < len(dates) else 'missing'}")
    return np.asarray(series.to_numpy(dtype=float)[:days])


def _per_day(hourly, days, reduce):
    return reduce(np.asarray(hourly, dtype=float)[:days * HOURS_PER_DAY]
                  .reshape(days, HOURS_PER_DAY), axis=1)


def _series(df, given):
    """A column of `df` by name, or a Series given itself."""
    return df[given] if isinstance(given, str) else given


def from_dataframe(df, parameters, *, rain="rain", potential_evaporation=None,
                   temperature=None, latitude=None, observed=None,
                   observed_unit="mm/h", area=None, settings=None, name=None):
    """A catchment from a DataFrame of hourly rows indexed by the start of
    each hour, hours 00:00 to 23:00 of every day without gaps.

    rain: mm per hour. potential_evaporation: a column of hourly values in mm
    (summed per whole day) or a Series of daily values in mm indexed by date;
    or temperature: a column of hourly or a Series of daily air temperatures
    in °C, whose daily means give Oudin's potential evaporation at
    `latitude`. observed: a column of observed runoff in mm per hour
    (observed_unit "mm/h") or in m3/s (observed_unit "m3/s", with the
    catchment's `area` in km2); NaN hours make their days gaps, left out of
    the fit.
    """
    times = _hourly_index(df.index)
    first_day = times[0].astype("datetime64[D]")
    days = len(times) // HOURS_PER_DAY
    start = first_day.item()
    pe = _potential_evaporation(df, potential_evaporation, temperature,
                                latitude, start, first_day, days)
    chosen = dict(DIRECTORY_SETTINGS, **(settings or {}))
    runoff = None
    if observed is not None:
        runoff = np.asarray(_series(df, observed).to_numpy(dtype=float))
        chosen.setdefault("CatchmentArea", _area(observed_unit, area))
    return _core.Catchment.from_arrays(
        start, np.asarray(_series(df, rain).to_numpy(dtype=float)), pe,
        observed=runoff, parameters=parameters, settings=chosen,
        name=name or "catchment from a DataFrame")


# What a catchment made from a DataFrame or a Dataset gives the control file
# unless `settings` says otherwise: velm run in its directory prints its
# summary, writes its result file and calibrates, once given variables, with
# the samples' budget and objective.
DIRECTORY_SETTINGS = {"OutputFlag": 1, "ObjectiveType": 1,
                      "FcountLimit": 29460, "BalanceErrorLimit": 0.1}


def _area(unit, area):
    if unit == "mm/h":
        return 1.0
    if unit != "m3/s":
        raise ValueError(f"observed_unit must be 'mm/h' or 'm3/s', not "
                         f"{unit!r}")
    # velm takes an area of exactly 1 for runoff already in mm per hour.
    if area is None or not area > 0 or area == 1:
        raise ValueError("observed runoff in m3/s needs the catchment's area "
                         f"in km2, above 0 and not exactly 1, not {area}")
    return float(area)


def _potential_evaporation(df, pe, temperature, latitude, start, first_day,
                           days):
    if (pe is None) == (temperature is None):
        raise ValueError("give potential_evaporation or temperature (with "
                         "latitude), one of them")
    if pe is not None:
        series = _series(df, pe)
        if isinstance(pe, str):
            return _per_day(series.to_numpy(dtype=float), days, np.sum)
        return _daily_values(series, first_day, days,
                             "the potential evaporation")
    if latitude is None:
        raise ValueError("Oudin's formula needs the catchment's latitude")
    series = _series(df, temperature)
    if isinstance(temperature, str):
        mean = _per_day(series.to_numpy(dtype=float), days, np.mean)
    else:
        mean = _daily_values(series, first_day, days, "the temperature")
    return _core.oudin_potential_evaporation(start, mean, latitude)


# Units a variable of a Dataset may carry: amounts per time step, rates
# (per second), and temperatures, with their factors to velm's mm and °C.
AMOUNTS = {"mm": 1.0, "kg m-2": 1.0, "kg/m2": 1.0, "m": 1000.0}
RATES = {"mm h-1": 1 / 3600, "mm/h": 1 / 3600, "mm hr-1": 1 / 3600,
         "mm d-1": 1 / 86400, "mm/day": 1 / 86400, "mm day-1": 1 / 86400,
         "kg m-2 s-1": 1.0, "mm s-1": 1.0}
CELSIUS = {"degC": 0.0, "°C": 0.0, "C": 0.0, "celsius": 0.0,
           "degree_Celsius": 0.0, "K": -273.15, "kelvin": -273.15}
FLOWS = {"m3 s-1", "m3/s", "m^3/s"}


def _variable(ds, key, variable):
    """A Dataset variable as a pandas Series on its own time axis, squeezed
    to one cell."""
    pd = _need("pandas", "python3-pandas")
    data = ds[variable].squeeze(drop=True)
    if data.ndim != 1:
        raise ValueError(f"{variable} ({key}) must have one dimension, time, "
                         f"after squeezing, not {data.dims}: select a cell "
                         "(.sel(lat=..., lon=..., method='nearest')) or "
                         "average the area first")
    if "units" not in data.attrs:
        raise ValueError(f"{variable} ({key}) has no units attribute")
    index = pd.DatetimeIndex(data[data.dims[0]].values)
    return pd.Series(data.values.astype(float), index=index), \
        data.attrs["units"].strip()


def _step_seconds(series):
    if len(series) < 2:
        return 3600.0
    return (series.index[1] - series.index[0]) / np.timedelta64(1, "s")


def _depth(series, unit, variable):
    """An amount per time step in mm, from an amount or a rate."""
    if unit in AMOUNTS:
        return series * AMOUNTS[unit]
    if unit in RATES:
        return series * (RATES[unit] * _step_seconds(series))
    raise ValueError(f"{variable}'s units {unit!r} are not an amount of "
                     f"water ({', '.join(AMOUNTS)}) or a rate "
                     f"({', '.join(RATES)})")


def from_xarray(ds, mapping, parameters, *, latitude=None, area=None,
                settings=None, name=None):
    """A catchment from a Dataset (as xarray reads a CF-NetCDF file) of one
    cell: `mapping` names the variables of rain, potential_evaporation or
    temperature, and optionally observed, each on an hourly time axis or
    (potential_evaporation, temperature) a daily one, converted by its CF
    units; latitude, if not given, from a scalar lat or latitude
    coordinate."""
    unknown = set(mapping) - {"rain", "potential_evaporation", "temperature",
                              "observed"}
    if unknown:
        raise ValueError(f"the mapping names no velm series {sorted(unknown)}")
    pd = _need("pandas", "python3-pandas")
    rain, unit = _variable(ds, "rain", mapping["rain"])
    columns = {"rain": _depth(rain, unit, mapping["rain"])}
    given = {}
    for key in ("potential_evaporation", "temperature"):
        if key not in mapping:
            continue
        series, unit = _variable(ds, key, mapping[key])
        if key == "temperature":
            if unit not in CELSIUS:
                raise ValueError(f"{mapping[key]}'s units {unit!r} are not a "
                                 f"temperature ({', '.join(CELSIUS)})")
            series = series + CELSIUS[unit]
        else:
            series = _depth(series, unit, mapping[key])
        daily = _step_seconds(series) == 86400
        given[key] = series if daily else key
        if not daily:
            columns[key] = series
    observed_unit = "mm/h"
    if "observed" in mapping:
        series, unit = _variable(ds, "observed", mapping["observed"])
        if unit in FLOWS:
            observed_unit = "m3/s"
        else:
            series = _depth(series, unit, mapping["observed"])
        columns["observed"] = series
    if latitude is None and "temperature" in given:
        for coordinate in ("lat", "latitude"):
            if coordinate in ds.coords and ds[coordinate].size == 1:
                latitude = float(ds[coordinate].values)
    frame = pd.DataFrame(columns)
    return from_dataframe(
        frame, parameters, rain="rain",
        potential_evaporation=given.get("potential_evaporation"),
        temperature=given.get("temperature"), latitude=latitude,
        observed="observed" if "observed" in columns else None,
        observed_unit=observed_unit, area=area, settings=settings,
        name=name or ds.attrs.get("title", "catchment from a Dataset"))


def to_xarray(run):
    """The run as an xarray Dataset: the hourly series on `time` (the start
    of each hour), the daily ones on `date`, with CF units, long names and
    standard names where CF has one, and the parameters and the fit as
    attributes."""
    xr = _need("xarray", "python3-xarray")
    pd = _need("pandas", "python3-pandas")
    daily = run.daily
    dates = pd.to_datetime(pd.DataFrame(
        {"year": daily["year"], "month": daily["month"], "day": daily["day"]}))
    if len(dates) == 0:
        raise ValueError("a run of less than a day has no dates")
    hours = pd.date_range(dates.iloc[0], periods=len(run.calc_q), freq="h")

    def hourly(values, long_name, units, standard_name=None):
        return _annotated(("time", np.array(values)), long_name, units,
                          standard_name, "time: sum" if units == "mm" else None)

    def day(values, long_name, units, standard_name=None):
        return _annotated(("date", np.array(values)), long_name, units,
                          standard_name, "date: sum" if units == "mm" else None)

    variables = {
        "calc_q": hourly(run.calc_q, "calculated runoff", "mm"),
        "actual_e": hourly(run.actual_e, "actual evaporation", "mm",
                           "lwe_thickness_of_water_evaporation_amount"),
        "infiltration": hourly(run.infiltration[1:],
                               "infiltration capacity at the end of the hour",
                               "mm h-1"),
        "daily_rain": day(daily["rain"], "rain", "mm",
                          "lwe_thickness_of_precipitation_amount"),
        "daily_calc_q": day(daily["calc_q"], "calculated runoff", "mm"),
        "daily_potential_e": day(daily["potential_e"],
                                 "potential evaporation", "mm"),
        "daily_actual_e": day(daily["actual_e"], "actual evaporation", "mm",
                              "lwe_thickness_of_water_evaporation_amount"),
        "daily_infiltration": day(daily["infiltration"],
                                  "infiltration capacity at the day's start",
                                  "mm h-1"),
    }
    if daily["observed"] is not None:
        variables["daily_observed"] = day(daily["observed"],
                                          "observed runoff", "mm")
    attrs = {"source": "velm", "fit_days": run.fit_days}
    for key, value in run.scores.items():
        if isinstance(value, float) and not math.isnan(value):
            attrs[f"score_{key}"] = value
    for key, value in run.parameters.items():
        attrs[key] = np.asarray(value, dtype=float) \
            if isinstance(value, list) else value
    return xr.Dataset(
        variables,
        coords={"time": ("time", hours.values, {"long_name": "start of hour"}),
                "date": ("date", dates.values, {"long_name": "day"})},
        attrs=attrs)


def _annotated(variable, long_name, units, standard_name, cell_methods):
    attrs = {"long_name": long_name, "units": units}
    if standard_name:
        attrs["standard_name"] = standard_name
    if cell_methods:
        attrs["cell_methods"] = cell_methods
    return variable + (attrs,)
