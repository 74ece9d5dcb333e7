#!/usr/bin/env bash
# Holds a CI step's skipped tests (one name a line on standard input) to
# docs/testing.md's list of tests allowed to skip in CI for that step: a
# test that skipped without being listed fails, and so does a listed test
# that ran, so that the list says what CI does.
#   allowed_skips.sh RUNNER < SKIPPED      (RUNNER: ctest or .ci/windows)
set -euo pipefail
runner=$1
page=$(dirname "$0")/../docs/testing.md
allowed=$(awk -F' [|] ' -v runner="\`$runner\`" \
  '$2 == runner { sub(/^[|] `/, "", $1); sub(/`$/, "", $1); print $1 }' "$page" | sort)
skipped=$(grep -v '^$' | sort || true)
failed=0
while IFS= read -r name; do
  [ -z "$name" ] || { echo "FAIL: $name skipped, and docs/testing.md does not allow it for $runner"; failed=1; }
done < <(comm -13 <(echo "$allowed") <(echo "$skipped"))
while IFS= read -r name; do
  [ -z "$name" ] || { echo "FAIL: $name ran, but docs/testing.md lists it as skipping under $runner"; failed=1; }
done < <(comm -23 <(echo "$allowed") <(echo "$skipped"))
((failed)) || echo "$runner: $(grep -c . <<<"$skipped" || true) skipped, as docs/testing.md allows"
exit "$failed"
