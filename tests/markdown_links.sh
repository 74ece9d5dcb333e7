#!/usr/bin/env bash
# Every link of the given Markdown files resolves: a relative path to a file
# or folder of the checkout, an anchor to a heading of the file it names
# (its own for `#anchor`, another page's for `page.md#anchor`).
#   markdown_links.sh FILE.md...
set -euo pipefail
failed=0

# The anchors of a file's headings, as GitHub makes them.
anchors() {
  sed -n 's/^#\{1,6\} //p' "$1" | tr 'A-Z' 'a-z' | sed 's/[^a-z0-9 _-]//g; s/ /-/g'
}

for doc in "$@"; do
  dir=$(dirname "$doc")
  while IFS= read -r target; do
    file=${target%%#*} anchor=""
    [[ $target != *"#"* ]] || anchor=${target#*#}
    case $target in
      http://* | https://*) continue ;;
      \#*) file=$doc ;;
      *) file=$dir/$file ;;
    esac
    if [ ! -e "$file" ]; then
      echo "FAIL: $doc: $target does not exist"
      failed=1
    elif [ -n "$anchor" ] && ! anchors "$file" | grep -qxF -- "$anchor"; then
      echo "FAIL: $doc: no heading for $target"
      failed=1
    fi
  done < <(grep -oE '\]\([^) ]+\)' "$doc" | sed 's/^](//; s/)$//')
done
exit "$failed"
