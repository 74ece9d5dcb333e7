#!/usr/bin/env bash
# No layer of src/ includes one above it, and the results layer reads no
# files: it includes the input layer's types, never its readers.
#   source_layers.sh SRC_DIR
set -euo pipefail
src=$1
declare -A may=(
  [common]="common" [model]="model" [input]="common model input"
  [results]="common model input results"
  [optimizer]="common model input results optimizer"
  [run]="common model input results optimizer run"
  [driver]="common model input results optimizer run driver"
  [report]="common model input results optimizer run report"
  [check]="common model input results optimizer run check"
  # The module explains a refusal as velm-check does, with its code.
  [python]="common model input results optimizer run check python"
  [wasm]="common model input results optimizer run wasm"
  [study]="common model input results optimizer run check report study")
failed=0
for dir in "$src"/*/; do
  layer=$(basename "$dir")
  [ -n "${may[$layer]+set}" ] || { echo "FAIL: $layer is in no layer"; failed=1; continue; }
  while IFS= read -r line; do
    used=${line#*#include \"} used=${used%%/*}
    [[ " ${may[$layer]} " == *" $used "* ]] || { echo "FAIL: $line"; failed=1; }
  done < <(grep -rHE '^#include "[a-z_]+/' "$dir" || true)
done
if grep -rHE '#include "input/(run_inputs|hydro_series|parameter_file)\.h"' "$src/results"; then
  echo "FAIL: the results layer includes a reader"; failed=1
fi
exit "$failed"
