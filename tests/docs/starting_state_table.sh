#!/usr/bin/env bash
# The table of docs/model-starting-state.md is bench/starting-state's, row
# for row: the sample's year simulated as records of 1, 3 and 10 years; its
# balance of the sample's year is the pinned page's.
#   starting_state_table.sh VELM SOURCE_DIR
set -euo pipefail
velm=$1 source=$2
rows=$("$source/bench/starting-state" "$velm")
[ "$(wc -l <<<"$rows")" -eq 5 ] || { echo "FAIL: bench/starting-state printed: $rows"; exit 1; }
failed=0
while IFS= read -r row; do
  grep -qxF -- "$row" "$source/docs/model-starting-state.md" ||
    { echo "FAIL: docs/model-starting-state.md lacks: $row"; failed=1; }
done <<<"$rows"
page="$source/tests/report/data/expected/sim1-result.html"
while IFS='|' read -r _ name value _; do
  name=$(echo $name) value=$(echo $value)
  grep -qF "<td>$name</td><td class=\"num\">$value</td>" "$page" ||
    { echo "FAIL: the page of the sample has no row $name $value"; failed=1; }
done < <(sed -n '/^## The balance of the sample/,$p' "$source/docs/model-starting-state.md" | grep '^| [A-Za-z]')
exit "$failed"
