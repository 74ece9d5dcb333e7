import io

import velm
from conftest import example_copy, result_rows, run_velm


def test_calibration_of_the_calibration_sample(tmp_path):
    directory = example_copy(tmp_path, "falling-river-calibration", line_9=1)
    console = run_velm(directory, seed=3)
    stream = io.StringIO()
    result = velm.Catchment(directory).calibrate(seed=3, threads=2, progress=stream)
    assert stream.getvalue() == console
    d = result.run.daily
    columns = [d["year"], d["month"], d["day"], d["rain"], d["observed"],
               d["calc_q"], d["potential_e"], d["actual_e"], d["infiltration"]]
    for i, row in enumerate(result_rows(directory)):
        assert row == [i] + [float(f"{column[i]:.6g}") for column in columns]
    assert result.run.rmse == result.f and result.parameters == result.run.parameters
