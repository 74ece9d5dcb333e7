#!/usr/bin/env bash
# Runs velm-report on the sample's simulation (with and without observed
# runoff) and on a calibration result, then checks the pages:
#   check_pages.sh wellformed VELM VELM_REPORT SAMPLE_DIR DATA_DIR
#     each page parses as HTML without a complaint; bad input gets one line
#     and exit code 1
#   check_pages.sh render ...
#     headless Chromium loads each page without a script error and every
#     chart draws; exit 77 (skipped) when Chromium is not installed or the
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
pages=()
for result in "$work/sim1/result.csv" "$work/sim0/result.csv" "$work/cal/calibration.csv"; do
  (cd "$(dirname "$result")" && "$report" "$(basename "$result")" >/dev/null)
  pages+=("${result%.csv}.html")
done

fail() { echo "FAIL: $*" >&2; exit 1; }

if [ "$mode" = wellformed ]; then
  for page in "${pages[@]}"; do
    complaints=$(xmllint --html --noout "$page" 2>&1) || fail "xmllint: $page"
    [ -z "$complaints" ] || fail "$page: $complaints"
    # The script inlined is the packaged dygraphs itself; the rest of the
    # page (scores, tables, chart data) is pinned byte for byte.
    sed -n 's|.*base64,\([A-Za-z0-9+/=]*\).*|\1|p' "$page" | base64 -d |
      cmp -s - /usr/share/javascript/dygraphs/dygraph.min.js ||
      fail "$page: the inlined script is not dygraphs"
    expected="$data/expected/$(basename "$(dirname "$page")")-$(basename "$page")"
    sed 's|base64,[A-Za-z0-9+/=]*|base64,|; /^\.dygraph-/d' "$page" >"$page.stripped"
    [ -n "${UPDATE_EXPECTED:-}" ] && cp "$page.stripped" "$expected"
    cmp -s "$page.stripped" "$expected" ||
      fail "$page differs from $expected: $(diff "$expected" "$page.stripped" | head -5)"
  done
  "$report" --csv "$work/cal/calibration.csv" >"$work/scores.csv"
  [ -n "${UPDATE_EXPECTED:-}" ] && cp "$work/scores.csv" "$data/expected/scores.csv"
  cmp -s "$work/scores.csv" "$data/expected/scores.csv" || fail "--csv output"
  "$report" "$sample/rain.csv" >"$work/out" 2>"$work/err" && fail "accepted rain.csv"
  [ $? -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] && [ ! -s "$work/out" ] ||
    fail "bad input: $(cat "$work/err")"
  grep -q "is not a velm result file (line 1" "$work/err" || fail "$(cat "$work/err")"
  "$report" --help | grep -q Usage || fail "--help"
  "$report" --version | grep -q velm-report || fail "--version"
  exit 0
fi

browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "chromium is not installed: skipped"; exit 77; }
# Chromium reserves far more address space than a capped process may have
# (mutation testing caps each test at 4 GiB).
[ "$(ulimit -v)" = unlimited ] || { echo "address space capped: skipped"; exit 77; }
for page in "${pages[@]}"; do
  profile=$(mktemp -d -p "$work")
  dom=$("$browser" --headless --no-sandbox --disable-gpu --disable-quic \
    --no-first-run --disable-background-networking --disable-component-update \
    --disable-sync --user-data-dir="$profile" --virtual-time-budget=5000 \
    --dump-dom "file://$page" 2>/dev/null)
  grep -q 'data-script-error' <<<"$dom" && fail "$page: script error: $(grep -o 'data-script-error="[^"]*"' <<<"$dom")"
  grep -q 'data-charts-drawn="3"' <<<"$dom" || fail "$page: charts not drawn"
  [ "$(grep -o '<canvas' <<<"$dom" | wc -l)" -ge 3 ] || fail "$page: no canvas"
done
echo "all pages drew their charts"
