# Shared by the module's tests: copies of the examples with edited control
# lines, and velm itself run on them.
import os
import pathlib
import shutil
import subprocess

EXAMPLES = pathlib.Path(os.environ["VELM_EXAMPLES"])


def example_copy(tmp_path, name="falling-river", **lines):
    """A copy of an example; line_N="value" replaces control-file line N."""
    directory = tmp_path / name
    shutil.copytree(EXAMPLES / name, directory)
    control = directory / "control.dat"
    rows = control.read_bytes().split(b"\r\n")
    for key, value in lines.items():
        rows[int(key.removeprefix("line_")) - 1] = str(value).encode()
    control.write_bytes(b"\r\n".join(rows))
    return directory


def run_velm(directory, seed=None):
    """velm's console, decoded, after a run in `directory`."""
    env = dict(os.environ, VELM_CONSOLE="cp932",
               **({"VELM_SEED": str(seed)} if seed is not None else {}))
    done = subprocess.run([os.environ["VELM"]], cwd=directory, env=env,
                          capture_output=True, check=False)
    return done.stdout.decode("cp932")


def result_rows(directory):
    """The daily rows of a result file, as lists of numbers."""
    text = (directory / "result.csv").read_bytes().decode("cp932")
    rows = text.split("i,YEAR,MONTH,DAY,")[1].split("\r\n")[1:]
    return [[float(v) for v in row.split(",")[:-1]] for row in rows if row]
