#!/usr/bin/env bash
# tools/fuzz.sh <build dir> [seconds]: runs both fuzz drivers against the programs
# of <build dir> (CI: the sanitizer build), each for [seconds] of new inputs after
# its kept regression cases. Each prints its seed first (from the date; set
# VOR_FUZZ_SEED to replay one). New failing inputs land in tests/fuzz/regressions/,
# to be committed with their fix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(cd "$1" && pwd); seconds=${2:-50}
regressions=$root/tests/fuzz/regressions
status=0
python3 "$root/tests/fuzz/fuzz_scripts.py" --seconds "$seconds" --regressions "$regressions/scripts" \
  "$dir/runner/vorrun" || status=1
python3 "$root/tests/fuzz/fuzz_engine.py" --seconds "$seconds" --regressions "$regressions/engine" \
  "$dir/tests/fuzz/engine_fuzz_target" || status=1
exit $status
