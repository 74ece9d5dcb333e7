"""velm-import: a CSV file with a time column, or a NetCDF file, in; a
catchment directory out, which velm-check then checks. The exit code is
velm-check's (0 when velm takes the directory), or 1 when the data cannot
make a catchment."""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys

import velm
from velm import frames


def _parser():
    p = argparse.ArgumentParser(
        prog="velm-import",
        description="Turns a CSV file with a time column (the start of each "
        "hour) or a NetCDF file into a catchment directory and runs "
        "velm-check on it.")
    p.add_argument("input", type=pathlib.Path,
                   help="a .csv file, or a .nc file of one cell")
    p.add_argument("directory", type=pathlib.Path,
                   help="the catchment directory to write")
    p.add_argument("--parameters", required=True, type=pathlib.Path,
                   help="the parameter file to start from")
    p.add_argument("--time", default="time",
                   help="the CSV's time column (default: time)")
    p.add_argument("--rain", default="rain",
                   help="rain's column or variable (default: rain)")
    p.add_argument("--potential-evaporation", metavar="NAME",
                   help="potential evaporation's column (hourly, summed per "
                   "day) or variable")
    p.add_argument("--temperature", metavar="NAME",
                   help="air temperature's column or variable, whose daily "
                   "means give Oudin's potential evaporation")
    p.add_argument("--latitude", type=float,
                   help="degrees north, for Oudin's formula")
    p.add_argument("--observed", metavar="NAME",
                   help="observed runoff's column or variable")
    p.add_argument("--observed-unit", default="mm/h",
                   choices=["mm/h", "m3/s"],
                   help="the CSV's observed runoff unit (a NetCDF variable "
                   "says its own)")
    p.add_argument("--area", type=float, help="catchment area in km2, for "
                   "observed runoff in m3/s")
    p.add_argument("--set", action="append", default=[],
                   metavar="SETTING=VALUE",
                   help="a control-file setting, e.g. RunMode=1 or "
                   "OptIndex_CoeffTank=0,4,5; repeatable")
    p.add_argument("--name", help="the catchment's name, heading its files")
    p.add_argument("--velm-check", metavar="PROGRAM",
                   help="velm-check to run (default: $VELM_CHECK, the one "
                   "beside velm-import, or the one on PATH)")
    return p


def _setting(text):
    name, _, value = text.partition("=")
    if not value:
        raise ValueError(f"--set {text}: write SETTING=VALUE")
    if name.startswith("OptIndex_") and "," in value:
        return name, [int(v) for v in value.split(",")]
    try:
        return name, int(value)
    except ValueError:
        return name, float(value)


def _catchment(args):
    settings = dict(_setting(text) for text in args.set)
    parameters = velm.Parameters.read(args.parameters)
    names = {"rain": args.rain,
             "potential_evaporation": args.potential_evaporation,
             "temperature": args.temperature, "observed": args.observed}
    names = {key: value for key, value in names.items() if value}
    if args.input.suffix.lower() in (".nc", ".nc4", ".cdf"):
        xr = frames._need("xarray", "python3-xarray")
        with xr.open_dataset(args.input) as ds:
            return velm.Catchment.from_xarray(
                ds.load(), names, parameters, latitude=args.latitude,
                area=args.area, settings=settings, name=args.name)
    pd = frames._need("pandas", "python3-pandas")
    df = pd.read_csv(args.input, parse_dates=[args.time],
                     index_col=args.time)
    return velm.Catchment.from_dataframe(
        df, parameters, rain=args.rain,
        potential_evaporation=args.potential_evaporation,
        temperature=args.temperature, latitude=args.latitude,
        observed=args.observed, observed_unit=args.observed_unit,
        area=args.area, settings=settings,
        name=args.name or args.input.stem)


def _velm_check(given):
    if given:
        return given
    if os.environ.get("VELM_CHECK"):
        return os.environ["VELM_CHECK"]
    beside = pathlib.Path(sys.argv[0]).resolve().parent / "velm-check"
    if beside.is_file():
        return str(beside)
    return shutil.which("velm-check") or "velm-check"


def main(argv=None):
    args = _parser().parse_args(argv)
    try:
        catchment = _catchment(args)
        catchment.write(args.directory)
    except (ValueError, TypeError, KeyError, OSError, RuntimeError) as error:
        print(f"velm-import: {error}", file=sys.stderr)
        return 1
    print(f"velm-import: wrote {args.directory} "
          f"({len(catchment.rain)} hours, {len(catchment.dates)} days)",
          flush=True)
    try:
        return subprocess.run([_velm_check(args.velm_check)],
                              cwd=args.directory, check=False).returncode
    except OSError as error:
        print(f"velm-import: cannot run velm-check: {error}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
