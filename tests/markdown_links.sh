#!/usr/bin/env bash
# Every link of the given Markdown files resolves: a relative path to a file
# or folder of the checkout, an anchor to one of the file's headings.
#   markdown_links.sh FILE.md...
set -euo pipefail
failed=0
for doc in "$@"; do
  dir=$(dirname "$doc")
  anchors=$(sed -n 's/^#\{1,6\} //p' "$doc" | tr 'A-Z' 'a-z' |
    sed 's/[^a-z0-9 _-]//g; s/ /-/g')
  while IFS= read -r target; do
    case $target in
      http://* | https://*) ;;
      \#*) grep -qxF -- "${target#\#}" <<<"$anchors" ||
        { echo "FAIL: $doc: no heading for $target"; failed=1; } ;;
      *) [ -e "$dir/${target%%#*}" ] ||
        { echo "FAIL: $doc: $target does not exist"; failed=1; } ;;
    esac
  done < <(grep -oE '\]\([^) ]+\)' "$doc" | sed 's/^](//; s/)$//')
done
exit "$failed"
