#!/usr/bin/env python3
"""Runs the examples of a Markdown page and compares what they print with
what the page shows, so that the manual cannot drift from the programs.

  check_docs.py --bin DIR [--python PYTHON --module DIR] [--cases DIR] PAGE.md

A page's blocks, by their fence's info string:
  console  a shell session: `$ ` begins a command, `> ` continues it, and the
           lines up to the next command are what it prints;
  pycon    a Python session: `>>> ` and `... ` lines are the source, the
           lines after them what it prints, as the interpreter shows it;
  text, json, csv, or none
           output, which must be preceded by `<!-- doctest: COMMANDS -->`
           (the hidden commands whose output the block is) or by
           `<!-- illustrative: NAME -->` (NAME listed in docs/testing.md);
  others   (sh, python, bat, ...) code to read, not run.
A `<!-- doctest: COMMANDS -->` before a console block runs first, hidden.

Shell commands run with bash in a pseudo-terminal, in a UTF-8 locale, as a
reader's terminal shows them: stdout and stderr together, CR before LF and
colours dropped. Every block of a page starts in the same scratch folder,
which holds a copy of the checkout's examples/ and, beside it,
../shared/data/cases when --cases names an existing folder; the programs of
--bin and the checkout's tools/ come first on PATH, and VELM_SOURCE names
the checkout. The Python blocks of a page share one interpreter, started in
the same folder with --module on its path.

With UPDATE_EXPECTED=1 the page is rewritten with what the examples print.
Exit code 0 when every block matches, 1 when not, 77 when the page needs
what is not there (skipped; a failure when VELM_NO_SKIP is set)."""

import argparse
import difflib
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

SOURCE = pathlib.Path(__file__).resolve().parents[2]
OUTPUT_INFOS = {"text", "json", "csv", ""}
MARKER = "@@velm-doc-example@@"
SHARED_CASES = "../shared/data/cases"


class Block:
    """A fenced block: where it lies in the page, its info string and lines,
    and the comment before it."""

    def __init__(self, start, end, indent, info, lines, comment):
        self.start, self.end, self.indent = start, end, indent
        self.info, self.lines, self.comment = info, lines, comment

    def kind_of_comment(self):
        match = re.match(r"(doctest|illustrative):\s*(.*)", self.comment or "", re.S)
        return (match.group(1), match.group(2).strip()) if match else (None, None)


def parse_blocks(lines):
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
        body = [line[len(indent):] if line.startswith(indent) else line.lstrip()
                for line in lines[i + 1:end]]
        blocks.append(Block(i, end, indent, info, body, comment_before(lines, i)))
        i = end + 1
    return blocks


def comment_before(lines, i):
    """The HTML comment that ends on the last non-blank line before line i."""
    j = i - 1
    while j >= 0 and not lines[j].strip():
        j -= 1
    if j < 0 or not lines[j].rstrip().endswith("-->"):
        return None
    text = []
    while j >= 0:
        text.insert(0, lines[j].rstrip())
        if "<!--" in lines[j]:
            joined = "\n".join(text)
            return joined[joined.index("<!--") + 4:-3].strip()
        j -= 1
    return None


def parse_session(lines, prompt, more):
    """(source, expected lines) pairs of a console or pycon block."""
    examples = []
    for line in lines:
        if line.startswith(prompt) or line == prompt.rstrip():
            examples.append([line[len(prompt):], []])
        elif examples and not examples[-1][1] and (
                line.startswith(more) or line == more.rstrip()):
            examples[-1][0] += "\n" + line[len(more):]
        elif examples:
            examples[-1][1].append(line)
    return [(source, expected) for source, expected in examples]


def prompted(source, prompt, more):
    """An example's source as a session shows it."""
    lines = source.split("\n")
    return [(prompt + lines[0]).rstrip()] + [(more + line).rstrip() for line in lines[1:]]


def as_lines(text):
    """The lines of what a command printed; a last line end ends nothing."""
    return text.removesuffix("\n").split("\n") if text else []


def terminal_text(raw):
    text = raw.decode("utf-8", "replace")
    text = re.sub(r"\x1b\[[0-9;?]*[A-Za-z]", "", text)
    return re.sub(r"\r+\n", "\n", text)


class Page:
    def __init__(self, path, options):
        self.path, self.options = path, options
        self.lines = path.read_text(encoding="utf-8").split("\n")
        self.failures, self.mismatches, self.replacements = [], [], {}
        self.scratch = pathlib.Path(tempfile.mkdtemp(prefix="velm-docs-"))
        self.root = self.scratch / "root"
        shutil.copytree(SOURCE / "examples", self.root / "examples")
        if options.cases and pathlib.Path(options.cases).is_dir():
            shared = self.scratch / "shared" / "data"
            shared.mkdir(parents=True)
            (shared / "cases").symlink_to(pathlib.Path(options.cases).resolve())
        self.python = None

    def where(self, block):
        return f"{self.path.name}:{block.start + 1}"

    def fail(self, block, message):
        self.failures.append(f"{self.where(block)}: {message}")

    def environment(self):
        env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8", TERM="dumb",
                   VELM_SOURCE=str(SOURCE))
        bin_dir = pathlib.Path(self.options.bin).resolve()
        env["PATH"] = f"{bin_dir}:{SOURCE / 'tools'}:{env.get('PATH', '/usr/bin:/bin')}"
        for name, program in (("VELM", "velm"), ("VELM_CHECK", "velm-check"),
                              ("VELM_REPORT", "velm-report")):
            env[name] = str(bin_dir / program)
        for name in ("VELM_CONSOLE", "VELM_SEED", "OMP_NUM_THREADS"):
            env.pop(name, None)
        return env

    def run_shell(self, hidden, commands):
        """What each command prints, after the hidden ones ran; None when a
        hidden command failed, with what it printed."""
        # The hidden commands in a subshell, so that the shown ones start in
        # the scratch folder whatever folder the hidden ones went to.
        script = ["set -e", f"cd '{self.root}'", "(", hidden or ":", ")", "set +e"]
        for command in commands:
            script += [f"printf '\\n{MARKER}\\n'", command]
        script_file = self.scratch / "example.sh"
        script_file.write_text("\n".join(script) + "\n", encoding="utf-8")
        done = subprocess.run(["script", "-qec", f"bash '{script_file}'", "/dev/null"],
                              stdin=subprocess.DEVNULL, capture_output=True,
                              env=self.environment(), cwd=self.root, check=False)
        parts = terminal_text(done.stdout).split(f"\n{MARKER}\n")
        if len(parts) != len(commands) + 1:
            return None, parts[0]
        return [as_lines(part) for part in parts[1:]], parts[0]

    def run_python(self, sources):
        if self.python is None:
            self.python = self.start_python()
        request = json.dumps(sources) + "\n"
        self.python.stdin.write(request)
        self.python.stdin.flush()
        return json.loads(self.python.stdout.readline())

    def start_python(self):
        env = self.environment()
        env["PYTHONPATH"] = str(pathlib.Path(self.options.module).resolve())
        return subprocess.Popen([self.options.python, "-c", PYTHON_SESSION],
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                text=True, env=env, cwd=self.root)

    def compare(self, block, expected, actual, what):
        if expected == actual:
            return
        diff = difflib.unified_diff(expected, actual, "shown", "printed", lineterm="")
        self.mismatches.append(f"{self.where(block)}: {what} prints otherwise:\n"
                               + "\n".join(diff))

    def check_console(self, block, hidden):
        examples = parse_session(block.lines, "$ ", "> ")
        if not examples:
            return self.fail(block, "a console block without a `$ ` command")
        outputs, before = self.run_shell(hidden, [source for source, _ in examples])
        if outputs is None:
            return self.fail(block, "the hidden commands failed:\n" + before)
        new = []
        for (source, expected), actual in zip(examples, outputs):
            self.compare(block, expected, actual, "$ " + source.split("\n")[0])
            new += prompted(source, "$ ", "> ") + actual
        self.replacements[block.start] = new

    def check_pycon(self, block):
        if not self.options.python:
            print(f"{self.where(block)}: not run: the Python module is not built")
            return
        examples = parse_session(block.lines, ">>> ", "... ")
        outputs = self.run_python([source for source, _ in examples])
        new = []
        for (source, expected), actual in zip(examples, outputs):
            actual = as_lines(actual)
            self.compare(block, expected, actual, ">>> " + source.split("\n")[0])
            new += prompted(source, ">>> ", "... ") + actual
        self.replacements[block.start] = new

    def check_output(self, block, kind, value):
        if kind == "illustrative":
            if value not in illustrative_rows():
                self.fail(block, f"illustrative block '{value}' is not listed in docs/testing.md")
            return
        if kind != "doctest":
            return self.fail(block, "shows output that no test produces: give the commands "
                             "that print it (<!-- doctest: ... -->) or mark it illustrative")
        outputs, before = self.run_shell(value, [])
        if outputs is None:
            return self.fail(block, "the hidden commands failed:\n" + before)
        actual = as_lines(before)
        self.compare(block, block.lines, actual, "<!-- doctest -->")
        self.replacements[block.start] = actual

    def check(self):
        blocks = parse_blocks(self.lines)
        needs_cases = any(SHARED_CASES in "\n".join(b.lines + [b.comment or ""])
                          for b in blocks)
        if needs_cases and not (self.scratch / "shared").exists():
            skip(f"{self.path.name} runs the shared catchments, and {self.options.cases} "
                 "does not exist")
        for block in blocks:
            kind, value = block.kind_of_comment()
            if block.info == "console":
                self.check_console(block, value if kind == "doctest" else None)
            elif block.info == "pycon":
                self.check_pycon(block)
            elif block.info in OUTPUT_INFOS:
                self.check_output(block, kind, value)
            elif kind:
                self.fail(block, f"a {kind} comment before a block of {block.info}, "
                          "which is not run")
        self.check_page_lists()
        return blocks

    def check_page_lists(self):
        text = "\n".join(self.lines)
        if self.path.resolve() == (SOURCE / "README.md").resolve():
            for page in sorted((SOURCE / "docs").glob("*.md")):
                if f"(docs/{page.name})" not in text:
                    self.failures.append(f"README.md does not link docs/{page.name}")
        if self.path.resolve() == (SOURCE / "docs" / "testing.md").resolve():
            rows = illustrative_rows()
            if len(rows) > 5:
                self.failures.append(f"{len(rows)} illustrative blocks; at most 5 may be")
            for name, page in rows.items():
                marked = (SOURCE / "docs" / page).read_text(encoding="utf-8")
                if not re.search(rf"<!--\s*illustrative:\s*{re.escape(name)}\s*-->", marked):
                    self.failures.append(f"docs/{page} marks no block '{name}' illustrative")

    def rewrite(self, blocks):
        out, i = [], 0
        for block in blocks:
            if block.start not in self.replacements:
                continue
            out += self.lines[i:block.start + 1]
            out += [block.indent + line if line else line
                    for line in self.replacements[block.start]]
            i = block.end
        out += self.lines[i:]
        self.path.write_text("\n".join(out), encoding="utf-8")


def illustrative_rows():
    """The table of illustrative blocks in docs/testing.md: name -> page."""
    text = (SOURCE / "docs" / "testing.md").read_text(encoding="utf-8")
    return dict(re.findall(r"^\| `([a-z0-9-]+)` \| \[[^]]*\]\(([a-z0-9-]+\.md)\) \|", text, re.M))


def skip(reason):
    if os.environ.get("VELM_NO_SKIP"):
        print(f"FAIL: {reason} (VELM_NO_SKIP is set: nothing may skip)")
        sys.exit(1)
    print(f"skipped: {reason}")
    sys.exit(77)


# The Python session: each line on stdin is a JSON list of sources, run as
# the interactive interpreter runs them; each answer a JSON list of outputs.
PYTHON_SESSION = r"""
import contextlib, io, json, os, sys, traceback
# The answers go out on a copy of stdout; what C++ code prints goes to stderr.
answers = os.fdopen(os.dup(1), "w")
os.dup2(2, 1)
names = {"__name__": "__main__"}
for request in sys.stdin:
    outputs = []
    for source in json.loads(request):
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            try:
                exec(compile(source + "\n", "<doc>", "single"), names)
            except Exception as error:
                print("Traceback (most recent call last):\n  ...")
                print("".join(traceback.format_exception_only(error)), end="")
        outputs.append(out.getvalue())
    print(json.dumps(outputs), file=answers, flush=True)
"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--python")
    parser.add_argument("--module")
    parser.add_argument("--cases")
    parser.add_argument("page")
    options = parser.parse_args()
    if not shutil.which("script"):
        skip("script (util-linux) is not installed")
    page = Page(pathlib.Path(options.page), options)
    try:
        blocks = page.check()
        if os.environ.get("UPDATE_EXPECTED"):
            page.rewrite(blocks)
            print(f"updated {page.path}")
            page.mismatches = []
    finally:
        if page.python:
            page.python.stdin.close()
            page.python.wait()
        shutil.rmtree(page.scratch, ignore_errors=True)
    failures = page.failures + page.mismatches
    for failure in failures:
        print("FAIL: " + failure)
    print(f"{page.path.name}: {len(blocks)} blocks, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
