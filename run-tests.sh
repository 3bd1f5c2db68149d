#!/usr/bin/env bash
# Builds with warnings as errors and runs the whole suite, then again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/tools/setup.sh"
status=0
run_suite() { # <build dir> [cmake options...]
  local dir=$1; shift
  "$root/tools/build.sh" "$dir" "$@"
  (cd "$dir" && ctest --output-on-failure -j "$(nproc)" --timeout 300) || status=1
}
run_suite "$root/build"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite "$root/build-asan" -DVOR_SANITIZE=ON -DVOR_BUILD_BENCH=OFF
exit $status
