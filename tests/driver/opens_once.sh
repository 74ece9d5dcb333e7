#!/usr/bin/env bash
# Each input file is opened once in a simulation and in a calibration of the
# sample, as strace sees the program's opens.
#   opens_once.sh VELM SAMPLE_DIR     (exit 77: strace missing or not allowed)
set -euo pipefail
. "$(dirname "$0")/../support/skip.sh"
velm=$(realpath "$1") sample=$2
command -v strace >/dev/null || skip "strace is not installed"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$sample"/{FILEINFO.dat,control.dat,parameters.dat,rain.csv,ep.csv,runoff.csv} "$work"
strace -o /dev/null true 2>/dev/null || skip "ptrace is not allowed"

failed=0
# A simulation with output, and a calibration that scores the ordering rules
# only (quick, and it still reads the observed runoff for its result).
for mode in "0 1" "1 2"; do
  read -r run output <<<"$mode"
  sed -i "5s/^[^\r]*/$run/; 9s/^[^\r]*/$output/" "$work/control.dat"
  (cd "$work" && VELM_SEED=1 strace -f -e trace=open,openat -o trace.log \
    "$velm" >/dev/null 2>&1) || true
  for file in FILEINFO.dat control.dat parameters.dat rain.csv ep.csv runoff.csv; do
    opens=$(grep -cE "open(at)?\(.*\"$file\", O_RDONLY" "$work/trace.log" || true)
    [ "$opens" = 1 ] || { echo "FAIL: run mode $run opens $file $opens times"; failed=1; }
  done
done
exit "$failed"
