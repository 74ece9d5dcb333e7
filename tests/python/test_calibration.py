import numpy as np
import pytest

import velm
from conftest import example_copy, run_velm


def shortened(directory, days):
    """The catchment's first `days` days."""
    for name, lines in (("rain.csv", 24 * days), ("runoff.csv", 24 * days), ("ep.csv", days)):
        path = directory / name
        path.write_bytes(b"".join(path.read_bytes().splitlines(keepends=True)[:lines]))
    return directory


def calibrated(directory, seed, threads=None):
    lines = []
    result = velm.Catchment(directory).calibrate(seed=seed, threads=threads,
                                                 progress=lines.append)
    return result, "".join(line + "\n" for line in lines)


@pytest.mark.parametrize("seed, output_flag, days", [(1, 2, 365), (7, 2, 365), (5, 1, 20), (9, 0, 30)])
def test_calibrate_is_velms_and_threads_agree(tmp_path, seed, output_flag, days):
    directory = shortened(example_copy(tmp_path, "falling-river-calibration",
                                       line_9=output_flag), days)
    console = run_velm(directory, seed)
    serial, progress = calibrated(directory, seed, threads=1)
    assert progress == console
    if output_flag != 2:  # with flag 2 nothing is simulated
        parallel, _ = calibrated(directory, seed, threads=2)
        assert (parallel.f, list(parallel.genes)) == (serial.f, list(serial.genes))
    assert velm.Catchment(directory).objective(serial.genes) == serial.f
    assert serial.valid and serial.fcount >= 29460 and serial.simulations <= serial.evaluations


def test_objective_scores_a_child(tmp_path):
    catchment = velm.Catchment(example_copy(tmp_path, "falling-river-calibration"))
    for genes, f in (([0.5, -0.1, 0.5, 0.5, 0.5], 1000), ([0.5, 0.5, 0.5, 0.5, 1.5], 10000),
                     ([np.nan, 0.5, 0.5, 0.5, 0.5], 10000)):
        assert catchment.objective(genes) == f
    broken = catchment.objective([1, 1, 0.01, 1, 1])  # CoeffSurfaceTopTank < BotomTank
    assert broken >= 100000 and catchment.objective([1, 1, 1, 0.1, 1]) < 100000
    with pytest.raises(ValueError):
        catchment.objective([0.5] * 4)
    scaled = catchment.apply_genes([0.5, 1, 1, 1, 1])
    assert scaled["MAX_EvapoRatio"] == 0.5 * catchment.parameters["MAX_EvapoRatio"]


def test_a_calibrated_set_that_no_file_gives_is_not_written(tmp_path):
    catchment = velm.Catchment(example_copy(tmp_path, "falling-river-calibration")).with_settings(
        OptIndex_Impervious=1, OutputFlag=2)
    result = catchment.calibrate(seed=2, threads=1)
    with pytest.raises(ValueError, match="initial tank depths"):
        result.parameters.write(tmp_path / "p.dat")
    assert not (tmp_path / "p.dat").exists()


def test_progress_errors_and_bad_arguments(tmp_path):
    catchment = velm.Catchment(example_copy(tmp_path, "falling-river-calibration", line_9=2))

    def stop(line):
        raise KeyError(line)
    with pytest.raises(KeyError):
        catchment.calibrate(progress=stop, threads=1)
    for arguments in ({"seed": 65536}, {"threads": 0}):
        with pytest.raises(ValueError):
            catchment.calibrate(**arguments)
