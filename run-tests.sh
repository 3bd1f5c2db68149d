#!/usr/bin/env bash
# Builds with warnings as errors and runs the whole suite, then again under
# AddressSanitizer and UndefinedBehaviorSanitizer; fuzzes under those for about
# two minutes; runs the tests that use threads and locks under ThreadSanitizer.
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
ASAN_OPTIONS=detect_leaks=1 "$root/tools/fuzz.sh" "$root/build-asan" || status=1
threaded='^(Thread|Mutex|RefCount.*|ThreadManagerTest|TimedExecutionTest|OraProcTest|SharedConnectionTest|Break|Concurrency|Sequence|CatalogSequences)\.|^script/database/(timeout|parallel|many_items)|^process/'
"$root/tools/build.sh" "$root/build-tsan" -DVOR_TSAN=ON -DVOR_BUILD_BENCH=OFF
(cd "$root/build-tsan" && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j "$(nproc)" --timeout 300 \
  -R "$threaded") || status=1
exit $status
