#!/usr/bin/env bash
# Runs the library guide's build instructions: installs a build into a fresh prefix,
# builds the guide's quick start against the installed files both ways (CMake
# package and pkg-config, and vordb73 through pkg-config) and runs each program and the installed vorrun, comparing
# with the guide's expected output. Then configures the guide's add_subdirectory
# project and checks that every include folder it names exists.
# Usage: check_install.sh <build dir> <work dir>
set -euo pipefail
build=$1; work=$2
samples=$(cd "$(dirname "$0")/../../docs/library" && pwd)
project=$(cd "$samples/../.." && pwd)
rm -rf "$work"; mkdir -p "$work"
prefix=$work/prefix
fail=0
run_client() { # <how> <program>
  local data=$work/data-$1; mkdir -p "$data"
  local status=0
  VOR_DATA_DIR=$data "$2" >"$work/$1.out" 2>&1 || status=$?
  if [[ $status != 1 ]] || ! cmp -s "$samples/quickstart.out" "$work/$1.out"; then
    echo "MISMATCH ($1, status $status):"; diff "$samples/quickstart.out" "$work/$1.out"; fail=1
  fi
}
# client_dir <name>: a copy of the guide's client sources to build in.
client_dir() {
  mkdir -p "$work/$1"; cp "$samples/quickstart.cpp" "$samples/CMakeLists.txt" "$work/$1/"; echo "$work/$1"
}
(source "$samples/install.sh") >/dev/null
(cd "$(client_dir cmake)" && source "$samples/build-with-cmake.sh") >/dev/null
run_client cmake "$work/cmake/build/quickstart"
(cd "$(client_dir pkg-config)" && PKG_CONFIG_PATH="$prefix/lib/pkgconfig" source "$samples/build-with-pkg-config.sh")
run_client pkg-config "$work/pkg-config/quickstart"
# The release-7 twin, whose package puts VORDB73 on the compile line.
(cd "$(client_dir pkg-config-73)" && PKG_CONFIG_PATH="$prefix/lib/pkgconfig" source "$samples/build-vordb73-with-pkg-config.sh")
run_client pkg-config-73 "$work/pkg-config-73/quickstart"
# The installed runner finds its libraries through its own RPATH.
printf 'PRINT "installed";\n' >"$work/hello.vrb"
(cd "$work" && "$prefix/bin/vorrun" -source hello -out hello -err hello_err >/dev/null)
grep -qx 'installed' "$work/hello.vro" || { echo "installed vorrun printed nothing"; fail=1; }
# add_subdirectory: configured only (building the project twice would double the
# suite's time); every include folder of every compile line must exist.
sub=$work/subproject; mkdir -p "$sub"
cp "$samples/subproject/CMakeLists.txt" "$samples/quickstart.cpp" "$sub/"; ln -s "$project" "$sub/vorrun"
cmake -S "$sub" -B "$sub/build" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
grep -q '"file": ".*quickstart.cpp"' "$sub/build/compile_commands.json" || { echo "no quickstart in the subproject"; fail=1; }
for dir in $(grep -o -- '-I[^ "]*\|-isystem [^ "]*' "$sub/build/compile_commands.json" | sed 's/^-I//; s/^-isystem //' | sort -u); do
  [[ -d $dir ]] || { echo "subproject names a missing include folder: $dir"; fail=1; }
done
exit $fail
