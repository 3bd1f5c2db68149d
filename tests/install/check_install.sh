#!/usr/bin/env bash
# Installs a build into a fresh prefix, then builds the library guide's quick start
# against the installed files both ways (CMake package and pkg-config) and runs
# each program and the installed vorrun, comparing with the guide's expected output.
# Usage: check_install.sh <build dir> <work dir>
set -euo pipefail
build=$1; work=$2
samples=$(cd "$(dirname "$0")/../../docs/library" && pwd)
rm -rf "$work"; mkdir -p "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
fail=0
run_client() { # <how> <program>
  local data=$work/data-$1; mkdir -p "$data"
  local status=0
  VOR_DATA_DIR=$data "$2" >"$work/$1.out" 2>&1 || status=$?
  if [[ $status != 1 ]] || ! cmp -s "$samples/quickstart.out" "$work/$1.out"; then
    echo "MISMATCH ($1, status $status):"; diff "$samples/quickstart.out" "$work/$1.out"; fail=1
  fi
}
# CMake: the guide's client project, found through CMAKE_PREFIX_PATH.
cmake -S "$samples" -B "$work/cmake-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
run_client cmake "$work/cmake-build/quickstart"
# pkg-config: the guide's command line, run in a copy of the sample folder.
mkdir -p "$work/pc-build"; cp "$samples/quickstart.cpp" "$work/pc-build/"
(cd "$work/pc-build" && PKG_CONFIG_PATH="$prefix/lib/pkgconfig" bash "$samples/build-with-pkg-config.sh")
run_client pkg-config "$work/pc-build/quickstart"
# The installed runner finds its libraries through its own RPATH.
printf 'PRINT "installed";\n' >"$work/hello.vrb"
(cd "$work" && "$prefix/bin/vorrun" -source hello -out hello -err hello_err >/dev/null)
grep -qx 'installed' "$work/hello.vro" || { echo "installed vorrun printed nothing"; fail=1; }
exit $fail
