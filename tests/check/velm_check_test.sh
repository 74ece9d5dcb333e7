#!/usr/bin/env bash
# The samples, and each shared real catchment set up as the velm-many test
# sets them up, check clean (exit code 0), with the note on the starting
# state for a record of three years and not for one of a year; then
# velm-check's answers to bad usage and to a directory it cannot check.
#   velm_check_test.sh VELM_CHECK EXAMPLES_DIR CASES_DIR
set -euo pipefail
shopt -s nullglob
check=$1 examples=$2 cases=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; failed=1; }
failed=0

dirs=("$examples/falling-river" "$examples/falling-river-calibration")
# Without the shared catchments the samples are checked alone, unless
# VELM_NO_SKIP asks for every part.
compgen -G "$cases/*/" >/dev/null || [ -z "${VELM_NO_SKIP:-}" ] ||
  { echo "FAIL: no shared catchments in $cases (VELM_NO_SKIP is set)"; exit 1; }
for case in "$cases"/*/; do
  dir=$work/$(basename "$case")
  mkdir "$dir"
  cp "$examples"/falling-river/{FILEINFO.dat,control.dat,parameters.dat} "$case"/{rain,ep,runoff}.csv "$dir/"
  sed -i "3s/.*/$(awk '$1 == "area_km2" {print $2}' "$case/CASE.txt")/" "$dir/control.dat"
  dirs+=("$dir")
done
for dir in "${dirs[@]}"; do
  status=0
  "$check" "$dir" >"$work/report" || status=$?
  [ "$status" -eq 0 ] || fail "$dir: exit code $status: $(cat "$work/report")"
  noted=no
  grep -q 'note: the warm-up pass runs over the first sixth of the record' "$work/report" && noted=yes
  case $dir in
    *-3y) [ $noted = yes ] || fail "$dir: no note on the starting state: $(cat "$work/report")" ;;
    *) [ $noted = no ] || fail "$dir: a note on the starting state: $(cat "$work/report")" ;;
  esac
done

while IFS='|' read -r code arguments message; do
  status=0
  # shellcheck disable=SC2086 # the table's fields are split at blanks
  out=$("$check" $arguments 2>&1) || status=$?
  [[ $status == "$code" && $out == *"$message"* ]] || fail "velm-check $arguments: $status $out"
done <<'TABLE'
0|--help|usage: velm-check [--json] [DIR]
3|--bogus|unknown option --bogus
3|a b|one directory at a time; b is one too many
3|/nonexistent|/nonexistent: error: there is no such directory
3|--json /dev/null|"exit_code": 3, "verdict": "unchecked"
TABLE
echo "velm-check: ${#dirs[@]} directories clean, usage answered"
exit "$failed"
