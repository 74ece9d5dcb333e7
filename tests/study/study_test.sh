#!/usr/bin/env bash
# velm-study on small catchments cut from the calibration sample (its first
# 120 days; a second with another area) beside four it must refuse: the
# study.csv, times left out, the console and the page's data are pinned in
# data/; each start's console, the best start's result file and the
# validation's are velm's own on the directories it prepares; another -j, the
# search DDS on KGE, the refusals of periods and of usage, and a foreign run
# token. With --slurm the two catchments run as a Slurm job array (on the
# cluster SLURM_CONF names) and must give the local study.csv.
#   study_test.sh VELM_STUDY VELM SAMPLE_DIR [--slurm]
set -euo pipefail
study=$(realpath "$1") velm=$(realpath "$2") sample=$3 slurm=${4:-}
data=$(cd "$(dirname "$0")/data" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
periods=(--calibration 2001-01-01:2001-02-28 --validation 2001-03-01:2001-04-30)

# catchment NAME [DAYS]: the sample's first DAYS days (default 120).
catchment() {
  local dir=$work/$1 days=${2:-120}
  mkdir "$dir"
  cp "$sample"/{FILEINFO.dat,control.dat,parameters.dat} "$dir/"
  head -n $((days * 24)) "$sample/rain.csv" >"$dir/rain.csv"
  head -n $((days * 24)) "$sample/runoff.csv" >"$dir/runoff.csv"
  head -n "$days" "$sample/ep.csv" >"$dir/ep.csv"
}
set_line() { sed -i "$2s/^[^\r]*/$3/" "$1"; }
catchment small
catchment small-wet && set_line "$work/small-wet/control.dat" 3 300
catchment simulation && set_line "$work/simulation/control.dat" 5 0
catchment broken && set_line "$work/broken/control.dat" 19 15
catchment dry && sed -i '1417,$s/,[^,]*$/,0/' "$work/dry/runoff.csv"
catchment short 100
printf '%s\n' "$work"/{small,simulation,broken,small-wet,dry,short} >"$work/list"

# compare EXPECTED FILE: FILE with the work folder's path and study.csv's
# times left out.
compare() {
  sed -E "s|$work/||g; s/^(([^,]*,){19})[0-9.]*,/\1,/" "$2" >"$2.cut"
  [ -z "${UPDATE_EXPECTED:-}" ] || cp "$2.cut" "$data/$1"
  diff "$data/$1" "$2.cut" || fail "$2 differs from $1"
}
status=0
"$study" "${periods[@]}" --starts 2 --keep -j 2 -o "$work/out" --list "$work/list" \
  >"$work/console" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "exit code $status with refused catchments"
compare study.csv "$work/out/study.csv"
compare console.txt "$work/console"

# Start k is VELM_SEED=1+k velm in the prepared directory, byte for byte;
# so are the best start's result file and the validation's simulation.
for seed in 1 2; do
  (cd "$work/out/small/calibration" && VELM_SEED=$seed "$velm" >"$work/velm-$seed" 2>&1)
  cmp "$work/velm-$seed" "$work/out/small/calibration/console-$seed.txt" ||
    fail "start with seed $seed is not velm's"
  [ "$seed" != "$(awk -F, '$1 == "small" && $2 == "calibration" && $12 == "yes" {print $11, $4}' \
    "$work/out/study.csv" | sort -g | head -n 1 | cut -d' ' -f2)" ] ||
    cmp "$work/out/small/calibration/result.csv" "$work/out/small/calibration.csv" ||
    fail "the best start's result file is not velm's"
done
(cd "$work/out/small/validation" && "$velm" >/dev/null)
cmp "$work/out/small/validation/result.csv" "$work/out/small/validation.csv" ||
  fail "the validation's result file is not velm's with the parameter file"
complaints=$(xmllint --html --noout "$work/out/study.html" 2>&1) || fail "xmllint: $complaints"
[ -z "$complaints" ] || fail "study.html: $complaints"
[ -n "${UPDATE_EXPECTED:-}" ] && for name in small small-wet; do
  mkdir -p "$data/recorded/$name"
  for file in starts.csv validation-band.csv; do
    cp "$work/out/$name/$file" "$data/recorded/$name/"
  done
  printf 'run=recorded\nstate=done\n' >"$data/recorded/$name/study-status.txt"
done
# The page's data from the recorded outputs that page_test.sh drives: each
# start's seed, f, scores and parameters, and the validation band.
cp -R "$data/recorded" "$work/recorded"
"$study" --collect-only --run recorded -o "$work/recorded" small small-wet >/dev/null
sed -n '/id="study-data"/,/<\/script>/p' "$work/recorded/study.html" >"$work/study-data"
[ -z "${UPDATE_EXPECTED:-}" ] || cp "$work/study-data" "$data/study-data.json"
diff "$data/study-data.json" "$work/study-data" || fail "the page's data differs"

# One job of two threads gives what two jobs of one thread gave.
"$study" "${periods[@]}" --starts 2 -j 1 -o "$work/one" "$work/small" >/dev/null
grep '^small,' "$work/out/study.csv.cut" >"$work/two-jobs"
sed -E 's/^(([^,]*,){19})[0-9.]*,/\1,/' "$work/one/study.csv" | grep '^small,' |
  diff "$work/two-jobs" - || fail "-j 1 and -j 2 differ"
[ ! -e "$work/one/small/calibration" ] || fail "prepared directories kept without --keep"

"$study" "${periods[@]}" --search dds --objective kge --warmup 20 --starts 1 \
  -o "$work/dds" "$work/small" >/dev/null
compare dds.csv "$work/dds/study.csv"

if [ "$slurm" = --slurm ]; then
  printf '%s\n' "$work"/{small,small-wet} >"$work/pair"
  job=$(sbatch --parsable --array=0-1 --output="$work/slurm-%a.out" \
    "$(dirname "$0")/../../tools/velm-study.sbatch" "${periods[@]}" --starts 2 \
    -o "$work/slurm" --list "$work/pair")
  sbatch --wait --dependency=afterany:"$job" --output="$work/collect.out" --wrap \
    "$study --collect-only --run $job -o $work/slurm --list $work/pair" ||
    { cat "$work"/*.out; fail "the collecting job"; }
  grep -E '^small(-wet)?,' "$work/out/study.csv.cut" >"$work/local-pair"
  sed -E 's/^(([^,]*,){19})[0-9.]*,/\1,/' "$work/slurm/study.csv" |
    grep -E '^small(-wet)?,' | diff "$work/local-pair" - ||
    fail "Slurm's study.csv is not the local one"
fi

# Periods that cannot be studied, and bad usage.
while IFS='|' read -r code arguments message; do
  status=0
  # shellcheck disable=SC2086 # the table's fields are split at blanks
  out=$("$study" $arguments -o "$work/refused" "$work/small" 2>&1) || status=$?
  [ "$status" = "$code" ] && [[ $out == *"$message"* ]] || fail "velm-study $arguments: $status $out"
done <<'TABLE'
1||small: its record, 2001-01-01 to 2001-04-30, holds 0 whole hydrological years (from 10-01), and the default split needs 2: give --calibration and --validation
1|--year-start 01-01|holds 0 whole hydrological years (from 01-01)
1|--calibration 2001-01-01:2001-03-31 --validation 2001-03-01:2001-04-30|share days: give periods that do not overlap
1|--calibration 2001-02-28:2001-01-01 --validation 2001-03-01:2001-04-30|ends before it begins
2|--calibration 2001-01-01:2001-02-28|--calibration and --validation go together;
2|--warmup -1|--warmup needs a whole number from 0
TABLE
status=0
out=$("$study" -o "$work/x" "$work/small" "$work/one/small" 2>&1) || status=$?
[ "$status" = 2 ] && [[ $out == *"share the name small"* ]] || fail "two folders of one name: $out"
status=0
"$study" --collect-only --run other -o "$work/out" --list "$work/list" >"$work/other" || status=$?
[ "$status" -eq 1 ] && [ "$(grep -c ': not run: no output of run other' "$work/other")" -eq 6 ] ||
  fail "outputs of another run counted"
echo "velm-study: studies, velm's bytes and refusals as expected"
