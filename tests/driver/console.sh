#!/usr/bin/env bash
# What each console stream gets: UTF-8 on a terminal whose locale is UTF-8,
# code page 932 on any other terminal, file or pipe, and what VELM_CONSOLE
# says whatever the stream. script(1) gives velm a pseudo-terminal. The
# sample writes its result into a folder that does not exist, named in
# UTF-8, so that standard error holds a code-page-932 text and a UTF-8 name.
#   console.sh VELM SAMPLE_DIR
set -euo pipefail
. "$(dirname "$0")/../support/skip.sh"
velm=$(realpath "$1") sample=$2
command -v script >/dev/null || skip "script (util-linux) is not installed"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$sample"/{FILEINFO.dat,control.dat,parameters.dat,rain.csv,ep.csv,runoff.csv} "$work"
sed -i 's|,result.csv|,結果/result.csv|' "$work/FILEINFO.dat"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

status=0
(cd "$work" && "$velm" >cp932-out 2>cp932-err) || status=$?
[ "$status" -eq 1 ] || fail "exit code $status with an unwritable result file"
iconv -f CP932 -t UTF-8 "$work/cp932-out" >"$work/utf8-out"
printf '結果ファイルに書き込めません: 結果/result.csv\n' >"$work/utf8-err"
{ printf '結果ファイルに書き込めません: ' | iconv -t CP932; printf '結果/result.csv\n'; } >"$work/expected"
cmp -s "$work/cp932-err" "$work/expected" || fail "standard error, redirected: $(cat "$work/cp932-err")"

# locale | VELM_CONSOLE | on the terminal (stdout and stderr, or stderr alone
# when stdout goes to a file) | what the terminal must show, and the file
while IFS='|' read -r locale setting shown out err file; do
  command="cd '$work' && LC_ALL=$locale ${setting:+VELM_CONSOLE=$setting} '$velm'"
  [ "$shown" = both ] || command+=" >file"
  script -qec "$command" /dev/null </dev/null | tr -d '\r' >"$work/terminal" || true
  cat ${out:+"$work/$out"} "$work/$err" >"$work/expected"
  cmp -s "$work/terminal" "$work/expected" ||
    fail "$locale, VELM_CONSOLE=$setting, $shown: $(head -c 300 "$work/terminal")"
  [ -z "$file" ] || cmp -s "$work/file" "$work/$file" || fail "$locale, $setting: the file"
done <<'TABLE'
C.UTF-8||both|utf8-out|utf8-err|
C||both|cp932-out|cp932-err|
C.UTF-8||stderr||utf8-err|cp932-out
C.UTF-8|cp932|both|cp932-out|cp932-err|
C|utf-8|both|utf8-out|utf8-err|
C|utf-8|stderr||utf8-err|utf8-out
TABLE

status=0
(cd "$work" && VELM_CONSOLE=utf8 "$velm" >out 2>err) || status=$?
[ "$status" -eq 1 ] && [ ! -s "$work/out" ] &&
  [ "$(cat "$work/err")" = "velm: VELM_CONSOLE must be cp932 or utf-8; it is 'utf8'" ] ||
  fail "VELM_CONSOLE=utf8: exit code $status, $(cat "$work/err")"
exit "$failed"
