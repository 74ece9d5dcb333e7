#!/usr/bin/env bash
# Sets up each shared real catchment (*-1y) as a working directory with the
# sample's files and the catchment's area, plus one whose calibration result
# is invalid, a broken one and a stale one (it ran once, then lost its rain
# file), runs velm-many on them with the velm-check built beside velm, and
# compares the summary, times left out, with data/velm-many-summary.csv; with
# --slurm the same directories run as a Slurm job array (on the cluster
# SLURM_CONF names) and must give that summary too. Then bad usage, a foreign run token and the lookup in a build tree.
#   velm_many_test.sh VELM_MANY VELM VELM_REPORT SAMPLE_DIR CASES_DIR [--slurm]
set -euo pipefail
many=$1 velm=$2 report=$3 sample=$4 cases=$5 slurm=${6:-}
data=$(cd "$(dirname "$0")/data" && pwd)
shopt -s nullglob
catchments=("$cases"/*-1y)
. "$(dirname "$0")/../support/skip.sh"
((${#catchments[@]})) || skip "no shared catchments in $cases"
for tool in parallel jq; do command -v $tool >/dev/null || skip "$tool is not installed"; done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

dirs=()
for case in "${catchments[@]}" "${catchments[0]}"; do
  dir=$work/$(basename "$case")
  [ ! -d "$dir" ] || dir=$work/invalid
  mkdir "$dir"
  cp "$sample"/{FILEINFO.dat,control.dat,parameters.dat} "$case"/{rain,ep,runoff}.csv "$dir/"
  sed -i "3s/.*/$(awk '$1 == "area_km2" {print $2}' "$case/CASE.txt")/" "$dir/control.dat"
  dirs+=("$dir")
done
export VELM=$data/velm VELM_TEST_PROGRAM=$velm VELM_REPORT=$report
export VELM_CHECK=$(dirname "$velm")/velm-check
touch "$work/invalid/invalid"
mkdir "$work/broken"
cp -r "${dirs[0]}" "$work/stale"
"$many" -o "$work/once.csv" "$work/stale" >/dev/null
rm "$work/stale/rain.csv"
dirs+=("$work/broken" "$work/stale")
printf '%s\n' "${dirs[@]}" >"$work/list"
n=${#dirs[@]}

compare() {  # summary, what ran it
  sed -E "s|$work/||g; s/,[0-9TZ:-]{20},[0-9TZ:-]{20},/,,,/" "$1" >"$1.cut"
  [ -z "${UPDATE_EXPECTED:-}" ] || cp "$1.cut" "$data/velm-many-summary.csv"
  diff "$data/velm-many-summary.csv" "$1.cut" || fail "$2: summary"
}
status=0
"$many" -j 2 --seed 65534 -o "$work/local.csv" --list "$work/list" || status=$?
[ "$status" -eq 1 ] || fail "exit code $status with failed rows"
compare "$work/local.csv" "velm-many"
status=0
"$many" --collect-only --run other -o "$work/other.csv" --list "$work/list" || status=$?
[ "$status" -eq 1 ] && [ "$(grep -c ',not run,,,,,,no status of this run,$' "$work/other.csv")" -eq "$n" ] ||
  fail "statuses of another run counted"

if [ "$slurm" = --slurm ]; then
  status=0
  job=$(sbatch --parsable --array=0-$((n - 1)) --output="$work/slurm-%a.out" \
    "$(dirname "$many")/velm-many.sbatch" --seed 65534 --list "$work/list")
  sbatch --wait --dependency=afterany:"$job" --output="$work/collect.out" --wrap \
    "$many --collect-only --run $job -o $work/slurm.csv --list $work/list" || status=$?
  cat "$work"/*.out
  [ "$status" -eq 1 ] || fail "collector's exit code $status with failed rows"
  compare "$work/slurm.csv" "Slurm job $job"
  [ "$(cat "$work"/*/velm-status.txt | grep -c "^job=[0-9]")" -eq "$n" ] || fail "Slurm job ids"
fi

while IFS='|' read -r code environment arguments message; do
  status=0
  # shellcheck disable=SC2086 # the table's fields are split at blanks
  out=$(env $environment "$many" $arguments 2>&1) || status=$?
  [ "$status" = "$code" ] && [[ $out == *"$message"* ]] || fail "velm-many $arguments: $status $out"
done <<'TABLE'
2|||no catchment directory given
2||--bogus x|unknown option --bogus
2||-j 0 x|-j needs a number of jobs above 0
2||--seed 65536 x|--seed needs a number from 0 to 65535
2||--seed|--seed needs a value
2||--collect-only x|--collect-only and --task need --run TOKEN
2||--task 1 --run t x|--task needs an index from 0 to 0
2||x ./x|./x is given twice
2||--list /nonexistent|cannot read the list /nonexistent
2|VELM_CHECK=/nonexistent|x|VELM_CHECK=/nonexistent is not a program
TABLE

# From a checkout, velm-many finds the programs in its build tree.
mkdir -p "$work/checkout/tools" "$work/checkout/build/src"
cp "$many" "$work/checkout/tools/"
for program in "$velm" "$VELM_CHECK" "$report"; do
  ln -s "$program" "$work/checkout/build/src/$(basename "$program")"
done
found=$(env -u VELM -u VELM_CHECK -u VELM_REPORT PATH=/usr/bin:/bin \
  "$work/checkout/tools/velm-many" --version)
[ "$found" = "velm-many 1.0
velm:        $work/checkout/build/src/velm
velm-check:  $work/checkout/build/src/velm-check
velm-report: $work/checkout/build/src/velm-report" ] || fail "lookup: $found"
echo "velm-many: summaries and exit codes as expected"
