#!/usr/bin/env bash
# Builds vorrun and runs the example script, printing what it wrote.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/tools/setup.sh"
# The build's progress goes to standard error, so standard output holds only what
# the example prints; the first build takes a few minutes.
echo "building vorrun in $root/build ..." >&2
VOR_BUILD_TARGET=vorrun "$root/tools/build.sh" "$root/build" >&2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
status=0
VOR_DATA_DIR="$work" "$root/build/runner/vorrun" -source "$root/examples/example.vrb" \
  -out example.vro -err example.vre >/dev/null || status=$?
cat example.vro
if [[ -s example.vre ]]; then cat example.vre >&2; fi
exit $status
