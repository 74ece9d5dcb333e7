#!/usr/bin/env python3
# Runs the examples of a Markdown page and compares what they print with what
# the page shows, so that the manual cannot drift from the programs.
#
#   check_docs.py --bin DIR [--python PYTHON --module DIR] [--cases DIR] PAGE.md
#
# A page's fenced blocks, by their info string:
#   console  a shell session: `$ ` begins a command, `> ` continues it, and
#            the lines up to the next command are what it prints;
#   pycon    a Python session: `>>> ` and `... ` lines are the source, the
#            lines after them what the interpreter shows;
#   text, json, csv or none
#            output, which must follow `<!-- doctest: COMMANDS -->` (hidden
#            commands whose output the block is) or `<!-- illustrative: NAME
#            -->` (NAME listed in docs/testing.md);
#   others   (sh, python, bat, ...) code to read, not run.
# A `<!-- doctest: COMMANDS -->` before a console block runs first, hidden.
#
# Shell commands run with bash in a pseudo-terminal and a UTF-8 locale, as a
# reader's terminal shows them: stdout and stderr together, CR before LF and
# colours dropped. Every block of a page starts in one scratch folder, which
# holds a copy of examples/ and, beside it, ../shared/data/cases (--cases);
# --bin and tools/ come first on PATH, and VELM_SOURCE names the checkout.
# The pycon blocks of a page run in one interpreter, with --module on its
# path; a page that holds the line `<!-- needs: the Python module -->` runs
# its console blocks only where the module is built, too, with --module's
# commands on PATH and --python as python3. UPDATE_EXPECTED=1 rewrites the page with what the examples print.
# Exit code 0 when every block matches, 1 when not, 77 when the page needs
# what is not there (a failure when VELM_NO_SKIP is set).
import argparse
import difflib
import json
import os
import pathlib
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

SOURCE = pathlib.Path(__file__).resolve().parents[2]
TESTING = SOURCE / "docs" / "testing.md"
OUTPUT_INFOS = {"text", "json", "csv", ""}
MARKER = "@@velm-doc-example@@"
SHARED_CASES = "../shared/data/cases"

# The pycon examples, a JSON list of sources on stdin, run as the interactive
# interpreter runs them; a JSON list of what each printed on stdout, while
# what C++ code prints goes to stderr.
PYTHON_SESSION = r"""
import contextlib, io, json, os, sys, traceback
answers = os.fdopen(os.dup(1), "w")
os.dup2(2, 1)
names, outputs = {"__name__": "__main__"}, []
for source in json.load(sys.stdin):
    out = io.StringIO()
    with contextlib.redirect_stdout(out):
        try:
            exec(compile(source + "\n", "<doc>", "single"), names)
        except Exception as error:
            print("Traceback (most recent call last):\n  ...")
            print("".join(traceback.format_exception_only(error)), end="")
    outputs.append(out.getvalue())
json.dump(outputs, answers)
"""


def parse_blocks(lines):
    """(start, end, indent, info, body, comment) of each fenced block."""
    blocks, i = [], 0
    while i < len(lines):
        fence = re.match(r"^(\s*)(```+|~~~+)\s*(\S*)", lines[i])
        if not fence:
            i += 1
            continue
        indent, mark, info = fence.groups()
        end = i + 1
        while end < len(lines) and not lines[end].strip().startswith(mark):
            end += 1
        body = [line.removeprefix(indent) for line in lines[i + 1:end]]
        blocks.append((i, end, indent, info, body, comment_before(lines, i)))
        i = end + 1
    return blocks


def comment_before(lines, i):
    """(kind, text) of a doctest or illustrative comment ending right before
    line i, or (None, None)."""
    j = i - 1
    while j >= 0 and not lines[j].strip():
        j -= 1
    k = j
    while k >= 0 and "<!--" not in lines[k]:
        k -= 1
    if j < 0 or k < 0 or not lines[j].rstrip().endswith("-->"):
        return None, None
    text = "\n".join(line.rstrip() for line in lines[k:j + 1])
    found = re.fullmatch(r"\s*<!--\s*(doctest|illustrative):\s*(.*?)\s*-->", text, re.S)
    return (found.group(1), found.group(2)) if found else (None, None)


def parse_session(lines, prompt, more):
    """(source, expected lines) of each example of a console or pycon block."""
    examples = []
    for line in lines:
        if line.startswith(prompt) or line == prompt.rstrip():
            examples.append((line[len(prompt):], []))
        elif examples and not examples[-1][1] and (line.startswith(more) or line == more.rstrip()):
            examples[-1] = (examples[-1][0] + "\n" + line[len(more):], [])
        elif examples:
            examples[-1][1].append(line)
    return examples


def prompted(source, prompt, more):
    first, *rest = source.split("\n")
    return [(prompt + first).rstrip()] + [(more + line).rstrip() for line in rest]


def as_lines(text):
    return text.removesuffix("\n").split("\n") if text else []


def illustrative_rows():
    """docs/testing.md's table of illustrative blocks: name -> page."""
    text = TESTING.read_text(encoding="utf-8")
    return dict(re.findall(r"^\| `([a-z0-9-]+)` \| \[[^]]*\]\(([a-z0-9-]+\.md)\) \|", text, re.M))


def skip(reason):
    if os.environ.get("VELM_NO_SKIP"):
        sys.exit(f"FAIL: {reason} (VELM_NO_SKIP is set: nothing may skip)")
    print(f"skipped: {reason}")
    sys.exit(77)


NEEDS_MODULE = "<!-- needs: the Python module -->"

class Page:
    def __init__(self, path, options, scratch):
        self.path, self.options, self.root = path, options, scratch / "root"
        self.lines = path.read_text(encoding="utf-8").split("\n")
        self.failures, self.mismatches, self.replacements = [], [], {}
        shutil.copytree(SOURCE / "examples", self.root / "examples")
        self.env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8", TERM="dumb",
                        VELM_SOURCE=str(SOURCE))
        for name in ("VELM_CONSOLE", "VELM_SEED", "OMP_NUM_THREADS"):
            self.env.pop(name, None)
        bin_dir = pathlib.Path(options.bin).resolve()
        self.env["PATH"] = f"{bin_dir}:{SOURCE / 'tools'}:{self.env.get('PATH', '/usr/bin:/bin')}"
        if options.module:
            # The module's commands (velm-import) and the interpreter it was
            # built for, as python3, come first.
            module = pathlib.Path(options.module).resolve()
            python = pathlib.Path(options.python)
            (scratch / "python").mkdir()
            (scratch / "python" / "python3").symlink_to(python if python.is_absolute()
                                                        else shutil.which(str(python)))
            self.env["PATH"] = f"{module}:{scratch / 'python'}:{self.env['PATH']}"
            self.env["PYTHONPATH"] = str(module)
        for name, program in (("VELM", "velm"), ("VELM_CHECK", "velm-check"),
                              ("VELM_REPORT", "velm-report")):
            self.env[name] = str(bin_dir / program)
        self.has_cases = bool(options.cases) and pathlib.Path(options.cases).is_dir()
        if self.has_cases:
            (scratch / "shared" / "data").mkdir(parents=True)
            (scratch / "shared" / "data" / "cases").symlink_to(pathlib.Path(options.cases).resolve())

    def run_shell(self, hidden, commands):
        """What the hidden commands and then each shown one print; None for the
        shown ones when a hidden command failed."""
        # The hidden commands in a subshell: the shown ones start in the scratch
        # folder whatever folder the hidden ones went to.
        script = ["set -e", "(", hidden or ":", ")", "set +e"]
        for command in commands:
            script += [f"printf '\\n{MARKER}\\n'", command]
        done = subprocess.run(["script", "-qec", "bash -c " + shlex.quote("\n".join(script)),
                               "/dev/null"], stdin=subprocess.DEVNULL, capture_output=True,
                              env=self.env, cwd=self.root, check=False)
        text = re.sub(r"\x1b\[[0-9;?]*[A-Za-z]", "", done.stdout.decode("utf-8", "replace"))
        parts = re.sub(r"\r+\n", "\n", text).split(f"\n{MARKER}\n")
        shown = [as_lines(part) for part in parts[1:]]
        return parts[0], shown if len(shown) == len(commands) else None

    def compare(self, block, expected, actual, what):
        if expected != actual:
            diff = difflib.unified_diff(expected, actual, "shown", "printed", lineterm="")
            self.mismatches.append(f"{self.path.name}:{block[0] + 1}: {what} prints "
                                   "otherwise:\n" + "\n".join(diff))

    def fail(self, block, message):
        self.failures.append(f"{self.path.name}:{block[0] + 1}: {message}")

    def check_console(self, block, hidden):
        examples = parse_session(block[4], "$ ", "> ")
        before, outputs = self.run_shell(hidden, [source for source, _ in examples])
        if not examples or outputs is None:
            return self.fail(block, "no `$ ` command, or the hidden commands failed:\n" + before)
        self.replacements[block[0]] = []
        for (source, expected), actual in zip(examples, outputs):
            self.compare(block, expected, actual, "$ " + source.split("\n")[0])
            self.replacements[block[0]] += prompted(source, "$ ", "> ") + actual

    def check_output(self, block, kind, value):
        if kind == "illustrative" and value not in illustrative_rows():
            self.fail(block, f"illustrative block '{value}' is not listed in docs/testing.md")
        elif kind == "doctest":
            actual = as_lines(self.run_shell(value, [])[0])
            self.compare(block, block[4], actual, "<!-- doctest -->")
            self.replacements[block[0]] = actual
        elif kind is None:
            self.fail(block, "shows output that no test produces: give the commands that "
                      "print it (<!-- doctest: ... -->) or mark it illustrative")

    def check_python(self, blocks):
        examples = [(block, source, expected) for block in blocks
                    for source, expected in parse_session(block[4], ">>> ", "... ")]
        if examples and not self.options.python:
            print("the pycon blocks not run: the Python module is not built")
        if not examples or not self.options.python:
            return
        env = dict(self.env, PYTHONPATH=str(pathlib.Path(self.options.module).resolve()))
        done = subprocess.run([self.options.python, "-c", PYTHON_SESSION], env=env,
                              cwd=self.root, input=json.dumps([e[1] for e in examples]),
                              capture_output=True, text=True, check=True)
        for block in blocks:
            self.replacements[block[0]] = []
        for (block, source, expected), actual in zip(examples, json.loads(done.stdout)):
            self.compare(block, expected, as_lines(actual), ">>> " + source.split("\n")[0])
            self.replacements[block[0]] += prompted(source, ">>> ", "... ") + as_lines(actual)

    def check(self):
        blocks = parse_blocks(self.lines)
        if NEEDS_MODULE in self.lines and not self.options.python:
            # As for pycon blocks: the build with the module runs them.
            print("the examples not run: they need the Python module, which is not built")
            self.check_lists()
            return blocks
        if not self.has_cases and any(SHARED_CASES in "\n".join(b[4] + [str(b[5][1])])
                                      for b in blocks):
            skip(f"{self.path.name} runs the shared catchments, not in {self.options.cases}")
        for block in blocks:
            kind, value = block[5]
            if block[3] == "console":
                self.check_console(block, value if kind == "doctest" else None)
            elif block[3] in OUTPUT_INFOS:
                self.check_output(block, kind, value)
            elif kind and block[3] != "pycon":
                self.fail(block, f"a {kind} comment before a block of {block[3]}, which is not run")
        self.check_python([block for block in blocks if block[3] == "pycon"])
        self.check_lists()
        return blocks

    def check_lists(self):
        """README links every page; docs/testing.md lists at most five
        illustrative blocks, each marked on its page."""
        if self.path.resolve() == SOURCE / "README.md":
            self.failures += [f"README.md does not link docs/{page.name}"
                              for page in sorted((SOURCE / "docs").glob("*.md"))
                              if f"(docs/{page.name})" not in "\n".join(self.lines)]
        if self.path.resolve() == TESTING:
            rows = illustrative_rows()
            if len(rows) > 5:
                self.failures.append(f"{len(rows)} illustrative blocks; at most 5 may be")
            self.failures += [f"docs/{page} marks no block '{name}' illustrative"
                              for name, page in rows.items()
                              if f"<!-- illustrative: {name} -->"
                              not in (SOURCE / "docs" / page).read_text(encoding="utf-8")]

    def rewrite(self, blocks):
        out, i = [], 0
        for start, end, indent, *_ in blocks:
            if start in self.replacements:
                out += self.lines[i:start + 1]
                out += [indent + line if line else line for line in self.replacements[start]]
                i = end
        self.path.write_text("\n".join(out + self.lines[i:]), encoding="utf-8")


def main():
    parser = argparse.ArgumentParser()
    for option in ("--bin", "--python", "--module", "--cases"):
        parser.add_argument(option)
    parser.add_argument("page")
    options = parser.parse_args()
    if not shutil.which("script"):
        skip("script (util-linux) is not installed")
    with tempfile.TemporaryDirectory(prefix="velm-docs-") as scratch:
        page = Page(pathlib.Path(options.page), options, pathlib.Path(scratch))
        blocks = page.check()
    if os.environ.get("UPDATE_EXPECTED"):
        page.rewrite(blocks)
        print(f"updated {page.path}")
        page.mismatches = []
    failures = page.failures + page.mismatches
    for failure in failures:
        print("FAIL: " + failure)
    print(f"{page.path.name}: {len(blocks)} blocks, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
