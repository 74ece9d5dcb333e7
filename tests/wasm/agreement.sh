#!/usr/bin/env bash
# The WebAssembly module against the core compiled natively: every recorded
# case whose control file runs a simulation, laid out as run_case lays it
# out, and random valid parameter sets over the sample's year.
#   agreement.sh HARNESS LOADER.js MODULE.wasm AGREEMENT.txt CASES_DIR SAMPLE_DIR [RANDOM_SETS]
set -euo pipefail
harness=$1 loader=$2 module=$3 agreement=$4 cases=$5 sample=$6 sets=${7:-300}
work=$(mktemp -d)
trap 'chmod -R u+rwX "$work" 2>/dev/null; rm -rf "$work"' EXIT

# Without the harness a case's background writer (a FIFO's) would wait for
# a reader for ever.
[[ -x "$harness" ]] || { echo "FAIL: no harness $harness"; exit 1; }
skip() { exit 77; }
# shellcheck source=../cases/lay_out_case
source "$cases/lay_out_case"
pairs=()
for case_dir in "$cases"/runs/*/; do
  name=$(basename "$case_dir")
  mkdir "$work/$name"
  (lay_out_case "$case_dir" "$work/$name") || continue
  result="-"
  [[ -f "$case_dir/expected/result.csv" ]] && result="$case_dir/expected/result.csv"
  pairs+=("$work/$name" "$result")
done
{
  "$harness" cases "${pairs[@]}"
  "$harness" random "$sets" "$sample"
} >"$work/tests.jsonl"
# Explicit bounds checks instead of V8's guard regions, whose reservation of
# about 10 GB fails under an address-space limit (ulimit -v).
node --disable-wasm-trap-handler "$(dirname "$0")/agreement.mjs" "$loader" "$module" "$agreement" <"$work/tests.jsonl"
# The docs quote the figures too.
docs="$(dirname "$agreement")/../../docs/webassembly.md"
grep -qxF "$(cat "$agreement")" "$docs" || { echo "FAIL: $docs does not quote $agreement"; exit 1; }
