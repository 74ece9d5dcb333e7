#!/usr/bin/env python3
# console_blocks.py BIN_DIR PYTHON_DIR PAGE.md: runs the `console` blocks of
# a page in one scratch folder holding a copy of examples/, and compares what
# each command prints (stdout and stderr together) with the lines the page
# shows after it. `$ ` begins a command, `> ` continues it. Exit code 0 when
# every command prints what the page shows.
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

SOURCE = pathlib.Path(__file__).resolve().parents[2]


def commands(page):
    """(command, expected lines) of every console block, in order."""
    found = []
    for block in re.findall(r"```console\n(.*?)```", page, re.S):
        for line in block.splitlines():
            if line.startswith("$ "):
                found.append([line[2:], []])
            elif line.startswith("> ") or line == ">":
                found[-1][0] += "\n" + line[2:]
            else:
                found[-1][1].append(line)
    return found


def main(bin_dir, python_dir, page):
    bin_dir, python_dir = os.path.abspath(bin_dir), os.path.abspath(python_dir)
    env = dict(os.environ, PYTHONPATH=python_dir, LC_ALL="C.UTF-8",
               PATH=os.pathsep.join([bin_dir, python_dir, "/usr/bin",
                                     os.environ["PATH"]]))
    failed = 0
    with tempfile.TemporaryDirectory() as scratch:
        shutil.copytree(SOURCE / "examples", pathlib.Path(scratch) / "examples")
        for command, expected in commands(pathlib.Path(page).read_text()):
            done = subprocess.run(["bash", "-c", command], cwd=scratch, env=env,
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            got = done.stdout.decode().rstrip("\n").splitlines()
            if [line.rstrip() for line in got] != expected:
                failed += 1
                print(f"$ {command}\n--- the page shows\n" + "\n".join(expected) +
                      "\n--- it prints\n" + "\n".join(got))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
