#!/usr/bin/env bash
# Builds vorrun and runs the example script, printing what it wrote.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh" "$root/build" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
status=0
VOR_DATA_DIR="$work" "$root/build/runner/vorrun" -source "$root/examples/example.vrb" \
  -out example.vro -err example.vre >/dev/null || status=$?
cat example.vro
if [[ -s example.vre ]]; then cat example.vre >&2; fi
exit $status
