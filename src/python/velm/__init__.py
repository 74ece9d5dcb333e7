"""velm's runoff model, its simulation and its calibration.

The compiled module velm._core holds the model and the run service's
bindings; this package adds the conversions from and to pandas and xarray
(velm.frames), which need those packages only when they are called.
"""
from velm._core import (Calibration, Catchment, InputError, Parameters, Run,
                        extraterrestrial_radiation,
                        oudin_potential_evaporation)
from velm import frames as _frames

__all__ = ["Calibration", "Catchment", "InputError", "Parameters", "Run",
           "extraterrestrial_radiation", "oudin_potential_evaporation"]

for _type in (Calibration, Catchment, Parameters, Run):
    _type.__module__ = "velm"

Catchment.from_dataframe = staticmethod(_frames.from_dataframe)
Catchment.from_xarray = staticmethod(_frames.from_xarray)
Run.to_xarray = _frames.to_xarray
