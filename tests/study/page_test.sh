#!/usr/bin/env bash
# study.html from the recorded outputs of two catchments (data/recorded, as
# study_test.sh records them), driven in headless Chromium by
# tests/report/study_page_test.mjs; exit 77 (skipped) without Chromium or the
# test's node_modules (npm ci in tests/report), or with the address space
# capped.
#   page_test.sh VELM_STUDY
set -euo pipefail
study=$1
here=$(cd "$(dirname "$0")" && pwd)
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "chromium is not installed: skipped"; exit 77; }
[ "$(ulimit -v)" = unlimited ] || { echo "address space capped: skipped"; exit 77; }
[ -d "$here/../report/node_modules/puppeteer-core" ] ||
  { echo "no node_modules (run npm ci in tests/report): skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$here/data/recorded" "$work/out"
"$study" --collect-only --run recorded -o "$work/out" small small-wet >/dev/null
node "$here/../report/study_page_test.mjs" "$work/out" "$browser"
