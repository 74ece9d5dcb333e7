#!/usr/bin/env bash
# Sets up each shared real catchment (*-1y) as a working directory with the
# sample's control and parameter files and the catchment's area, runs
# velm-many on all of them and one broken directory, and checks the CSV:
# one row per catchment, scores for the real ones, the failure marked.
#   velm_many_test.sh VELM_MANY BIN_DIR SAMPLE_DIR CASES_DIR
set -euo pipefail
many=$1 bin=$2 sample=$3 cases=$4
shopt -s nullglob
catchments=("$cases"/*-1y)
((${#catchments[@]})) || { echo "no shared catchments in $cases: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

dirs=()
for case in "${catchments[@]}"; do
  dir=$work/$(basename "$case")
  mkdir "$dir"
  cp "$sample"/{FILEINFO.dat,control.dat,parameters.dat} "$dir/"
  ln -s "$case"/{rain,ep,runoff}.csv "$dir/"
  area=$(awk '$1 == "area_km2" {print $2}' "$case/CASE.txt")
  sed -i "3s/.*/$area/" "$dir/control.dat"
  dirs+=("$dir")
done
mkdir "$work/broken"  # no FILEINFO.dat: velm fails

status=0
VELM=$bin/velm VELM_REPORT=$bin/velm-report "$many" -j 2 -o "$work/all.csv" \
  "${dirs[@]}" "$work/broken" || status=$?
cat "$work/all.csv"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$status" -eq 1 ] || fail "exit code $status with a broken catchment"
[ "$(wc -l <"$work/all.csv")" -eq $((${#dirs[@]} + 2)) ] || fail "rows"
head -n 1 "$work/all.csv" | grep -q '^catchment,status,fit_days,nse,kge,' || fail "header"
[ "$(grep -c ',ok,[1-9][0-9]*,[-0-9.e]*,' "$work/all.csv")" -eq ${#dirs[@]} ] || fail "scores"
grep -q "broken,velm exit 1" "$work/all.csv" || fail "failure not marked"
