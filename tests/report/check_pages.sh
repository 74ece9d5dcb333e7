#!/usr/bin/env bash
# Runs velm-report on the sample's simulation (with and without observed
# runoff) and on a calibration result, then checks the pages:
#   check_pages.sh wellformed VELM VELM_REPORT SAMPLE_DIR DATA_DIR
#     each page parses as HTML without a complaint, and its data and tables
#     are pinned byte for byte (its stylesheet and script, which
#     page_test.mjs drives, are not); the --series file is a clean CSV; a
#     calibration that velm ends without a valid parameter set is flagged as
#     velm flags it; bad input gets one line and exit code 1
#   check_pages.sh browser ...
#     page_test.mjs drives the pages in headless Chromium; exit 77 (skipped)
#     when Chromium or the test's node_modules (npm ci) are missing, or the
#     address space is capped
set -euo pipefail
mode=$1 velm=$2 report=$3 sample=$4 data=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for observed in 1 0; do
  mkdir "$work/sim$observed"
  cp "$sample"/* "$work/sim$observed/"
  sed -i "7s/.*/$observed/" "$work/sim$observed/control.dat"
  (cd "$work/sim$observed" && "$velm" >/dev/null)
done
mkdir "$work/cal"
cp "$data/calibration.csv" "$work/cal/calibration.csv"
# velm-check's findings beside the calibration; beside the simulation without
# observed runoff a file that is no JSON.
cp "$data/velm-check.json" "$work/cal/"
echo '{"findings": [' >"$work/sim0/velm-check.json"
pages=()
for result in "$work/sim1/result.csv" "$work/sim0/result.csv" "$work/cal/calibration.csv"; do
  (cd "$(dirname "$result")" && "$report" --series daily.csv "$(basename "$result")" >/dev/null)
  pages+=("${result%.csv}.html")
done

fail() { echo "FAIL: $*" >&2; exit 1; }

if [ "$mode" = wellformed ]; then
  carries_model=$("$report" --version | grep -c WebAssembly || true)
  for page in "${pages[@]}"; do
    complaints=$(xmllint --html --noout "$page" 2>&1) || fail "xmllint: $page"
    [ -z "$complaints" ] || fail "$page: $complaints"
    # The script inlined is the packaged dygraphs itself; the page's data and
    # tables (the scores, the chart data, the parameters) are pinned byte for
    # byte, its own stylesheet and script are not.
    sed -n 's|.*base64,\([A-Za-z0-9+/=]*\).*|\1|p' "$page" | base64 -d |
      cmp -s - /usr/share/javascript/dygraphs/dygraph.min.js ||
      fail "$page: the inlined script is not dygraphs"
    expected="$data/expected/$(basename "$(dirname "$page")")-$(basename "$page")"
    # velm's model, when velm-report carries it, is one block at the end; the
    # rest of the page is the same with it and without it.
    [ "$(grep -c '^<div id="velm-model-block">$' "$page")" -eq "$carries_model" ] ||
      fail "$page: the model's block and velm-report --version disagree"
    sed 's|base64,[A-Za-z0-9+/=]*|base64,|; /^<style>$/,/^<\/style>$/d
      /^<script>$/,/^<\/script>$/d
      /^<div id="velm-model-block">$/,/^<\/div><!-- velm-model-block -->$/d' "$page" >"$page.stripped"
    [ -n "${UPDATE_EXPECTED:-}" ] && cp "$page.stripped" "$expected"
    cmp -s "$page.stripped" "$expected" ||
      fail "$page differs from $expected: $(diff "$expected" "$page.stripped" | head -5)"
    # The daily series: UTF-8, one header line, ISO dates, every row as long
    # as the header, one row per day of the result file.
    csv="$(dirname "$page")/daily.csv"
    iconv -f UTF-8 -t UTF-8 "$csv" >/dev/null || fail "$csv: not UTF-8"
    awk -F, -v RS='\r\n' 'NR == 1 { n = NF; next }
      NF != n || $1 !~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/ { exit 1 }' "$csv" ||
      fail "$csv: a bad row"
    [ "$(grep -c '^[0-9]*,[0-9]*,[0-9]*,[0-9]*,' "${page%.html}.csv")" -eq "$(($(wc -l <"$csv") - 1))" ] ||
      fail "$csv: not one row per day"
  done
  grep -q '^2001-01-01,[^,]*,,[0-9]' "$work/sim0/daily.csv" || fail "sim0: no empty observed field"
  "$report" --csv "$work/cal/calibration.csv" >"$work/scores.csv"
  [ -n "${UPDATE_EXPECTED:-}" ] && cp "$work/scores.csv" "$data/expected/scores.csv"
  cmp -s "$work/scores.csv" "$data/expected/scores.csv" || fail "--csv output"
  # A calibration that found no valid set: a gene below 0 and a NaN f.
  sed 's/^X\[3\]=.*/X[3]=-0.0123\r/; s/\(f=\)0.537435/\1nan/' "$data/calibration.csv" >"$work/cal/failed.csv"
  "$report" "$work/cal/failed.csv" >/dev/null 2>"$work/err" || fail "failed calibration: exit $?"
  printf '%s\n' "velm-report: $work/cal/failed.csv: the calibration ended without a valid parameter set:" \
    "velm-report:   gene X[3] = -0.0123 is outside [0, 1]" \
    "velm-report:   the final f is not a number" | cmp -s - "$work/err" ||
    fail "failed calibration: $(cat "$work/err")"
  grep -q 'class="warning" role="alert"' "$work/cal/failed.html" || fail "no warning box"
  # Genes in [0, 1] (none at all) whose set breaks an ordering rule, which the
  # parameter file beside the result breaks: velm ends with exit code 2, and
  # the page and velm-report say what velm says, with the control file and
  # without it.
  mkdir "$work/rule"
  cp "$sample"/* "$work/rule/"
  sed -i '5s/^[^\r]*/1/; 9s/^[^\r]*/2/; 15s/^[^\r]*/20/; 19s/^[^\r]*/0/' "$work/rule/control.dat"
  sed -i '33s/^[^\r]*/0.01/' "$work/rule/parameters.dat"
  (cd "$work/rule" && "$velm" >/dev/null 2>"$work/velm-err") && fail "velm accepted the broken rule"
  rule='CoeffTank[2] 0.005 < CoeffTank[3] 0.01'
  grep -qxF "velm:   $rule" "$work/velm-err" || fail "velm: $(cat "$work/velm-err")"
  for beside in with without; do
    [ $beside = with ] || rm "$work/rule/FILEINFO.dat"
    (cd "$work/rule" && "$report" result.csv >/dev/null 2>"$work/err") || fail "rule: exit $?"
    grep -qxF "velm-report:   $rule" "$work/err" || fail "rule $beside: $(cat "$work/err")"
    grep -qF "<li>CoeffTank[2] 0.005 &lt; CoeffTank[3] 0.01</li>" "$work/rule/result.html" ||
      fail "rule $beside: no warning box"
  done
  "$report" "$sample/rain.csv" >"$work/out" 2>"$work/err" && fail "accepted rain.csv"
  [ $? -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] && [ ! -s "$work/out" ] ||
    fail "bad input: $(cat "$work/err")"
  grep -q "is not a velm result file (line 1" "$work/err" || fail "$(cat "$work/err")"
  # A missing directory, and a full disk that only the close finds.
  for series in /nonexistent/daily.csv /dev/full; do
    "$report" --series "$series" "$work/cal/calibration.csv" >/dev/null 2>"$work/err" &&
      fail "wrote $series"
    grep -q "cannot write $series" "$work/err" || fail "$(cat "$work/err")"
  done
  "$report" -o "$work/other.html" "$work/cal/calibration.csv" >/dev/null &&
    cmp -s "$work/other.html" "$work/cal/calibration.html" || fail "-o PAGE"
  "$report" --help | grep -q Usage || fail "--help"
  "$report" --version | grep -q velm-report || fail "--version"
  exit 0
fi

browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "chromium is not installed: skipped"; exit 77; }
# Chromium reserves far more address space than a capped process may have
# (mutation testing caps each test at 4 GiB).
[ "$(ulimit -v)" = unlimited ] || { echo "address space capped: skipped"; exit 77; }
here=$(dirname "$0")
[ -d "$here/node_modules/puppeteer-core" ] ||
  { echo "no node_modules (run npm ci in tests/report): skipped"; exit 77; }
node "$here/page_test.mjs" "$work" "$browser"
