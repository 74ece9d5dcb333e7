#!/bin/sh
# installed.sh BUILD_DIR PREFIX MODULE_DIR PYTHON EXAMPLE_DIR: one cmake
# --install puts the programs and the module under PREFIX, and the module,
# found through PYTHONPATH as docs/python.md says, prints velm's relative error.
set -eu
build=$1 prefix=$2 module_dir=$3 python=$4 example=$5
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
for program in velm velm-check velm-report velm-many velm-import; do
  [ -x "$prefix/bin/$program" ] || { echo "FAIL: no bin/$program"; exit 1; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$example"/* "$scratch"
expected=$(cd "$scratch" && VELM_CONSOLE=cp932 "$prefix/bin/velm" | iconv -f CP932 -t UTF-8 | sed -n 's/.*相対誤差=//p')
got=$(cd "$scratch" && PYTHONPATH="$prefix/$module_dir" "$python" -c \
  "import velm; print(f\"{velm.Catchment('.').simulate().re:.6g}\")")
[ "$got" = "$expected" ] || { echo "FAIL: the module prints $got, velm $expected"; exit 1; }
# velm-import finds the installed package without PYTHONPATH.
"$prefix/bin/velm-import" --help >/dev/null || { echo "FAIL: velm-import --help"; exit 1; }
echo "installed module prints velm's relative error $got"
