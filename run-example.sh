#!/usr/bin/env bash
# Builds vorrun and runs the example script, printing what it wrote.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh" "$root/build" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
VOR_DATA_DIR="$work" "$root/build/runner/vorrun" -source "$root/examples/example.vrb" -out example.vro -err example.vre
cat example.vro
[[ -s example.vre ]] && cat example.vre
exit 0
