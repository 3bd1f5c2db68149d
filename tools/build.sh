#!/usr/bin/env bash
# tools/build.sh <build dir> [cmake options...]: configures and builds everything,
# or only the target named by VOR_BUILD_TARGET.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)" ${VOR_BUILD_TARGET:+--target "$VOR_BUILD_TARGET"}
