#!/usr/bin/python3
"""Calibrating the calibration sample with scipy's differential evolution,
against velm's own search on the same budget of 29460 evaluations.

Both minimise the same objective, velm's RMSE of daily runoff plus 100000 for
a parameter set that breaks the model's ordering rules. Differential
evolution searches explicit bounds in the parameters' own units; the genes
velm scales the parameter file's values with are the values divided by the
file's values (its upper bounds). Its evaluations run on two threads: the
objective releases the interpreter's lock.

    PYTHONPATH=<prefix>/lib/python3.11/site-packages \\
        examples/python/calibrate_with_scipy.py [CATCHMENT_DIR]
"""
import concurrent.futures
import pathlib
import sys
import time

import numpy as np
from scipy.optimize import differential_evolution

import velm

here = pathlib.Path(__file__).resolve().parent.parent
catchment = velm.Catchment(sys.argv[1] if len(sys.argv) > 1 else
                           here / "falling-river-calibration")
BUDGET = 29460

# The calibrated parameters, gene by gene, and the bounds searched.
BOUNDS = {
    "MAX_EvapoRatio": (0.0, 1.0),
    "Coeff_EvapoModel": (0.0, 10.0),
    "CoeffSurfaceTopTank": (0.0, 0.5),
    "CoeffSurfaceBotomTank": (0.0, 0.05),
    "BotomTank[2]": (0.0, 0.01),
}


def file_value(name):
    if name.endswith("]"):
        list_name, tank = name[:-1].split("[")
        return catchment.parameters[list_name][int(tank) - 1]
    return catchment.parameters[name]


upper = np.array([file_value(name) for name in BOUNDS])
bounds = [(low / top, high / top) for (low, high), top in zip(BOUNDS.values(), upper)]

start = time.perf_counter()
population = 15 * len(bounds)
with concurrent.futures.ThreadPoolExecutor(2) as pool:
    found = differential_evolution(
        catchment.objective, bounds, maxiter=BUDGET // population - 1, popsize=15,
        tol=0, polish=False, seed=1, updating="deferred", workers=pool.map)
scipy_seconds = time.perf_counter() - start
scipy_run = catchment.simulate(catchment.apply_genes(found.x))

start = time.perf_counter()
builtin = catchment.calibrate(seed=1, threads=2)
builtin_seconds = time.perf_counter() - start

print("| search | evaluations | RMSE mm/day | NSE | time s |")
print("|---|---|---|---|---|")
for name, evaluations, run, seconds in (
        ("scipy differential_evolution", found.nfev, scipy_run, scipy_seconds),
        ("velm's search (seed 1)", builtin.fcount, builtin.run, builtin_seconds)):
    print(f"| {name} | {evaluations} | {run.rmse:.6g} | {run.nse:.4f} | {seconds:.1f} |")
for name, value in zip(BOUNDS, found.x * upper):
    print(f"{name} = {value:.6g}")
