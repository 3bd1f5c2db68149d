#!/usr/bin/env bash
# Runs one script test: vorrun on <script>.vrb in a fresh work directory (which is
# also the database directory), then compares output, diagnostics and exit status
# with <script>.vro, <script>.vre and <script>.status. On a mismatch the actual
# files are left beside the expected ones as .actual.
set -u
vorrun=$1; script=$2; work=$3
base=${script%.vrb}
rm -rf "$work"; mkdir -p "$work"
export VOR_DATA_DIR="$work"
cd "$work"
if [[ -f $base.args ]]; then
  # The args file may name the script directory as @DIR@.
  args=$(sed "s#@DIR@#$(dirname "$script")#g" "$base.args")
  eval "set -- $args"
else
  set -- -source "$script" -out "$work/out.vro" -err "$work/err.vre"
fi
"$vorrun" "$@" >"$work/stdout.txt" 2>"$work/stderr.txt" </dev/null
status=$?
expected_status=0
[[ -f $base.status ]] && expected_status=$(tr -d '[:space:]' <"$base.status")
# exit status -1 reaches the shell as 255
[[ $expected_status == -1 ]] && expected_status=255
fail=0
compare() { # expected actual
  local expected=$1 actual=$2
  [[ -f $actual ]] || : >"$actual"
  if [[ -f $expected ]]; then
    if ! cmp -s "$expected" "$actual"; then
      echo "MISMATCH: $expected"; diff "$expected" "$actual" | head -40
      cp "$actual" "$expected.actual"; fail=1
    fi
  elif [[ -s $actual ]]; then
    echo "UNEXPECTED TEXT for $expected:"; head -40 "$actual"
    cp "$actual" "$expected.actual"; fail=1
  fi
}
compare "$base.vro" "$work/out.vro"
compare "$base.vre" "$work/err.vre"
[[ -f $base.stdout ]] && compare "$base.stdout" "$work/stdout.txt"
if [[ $status != "$expected_status" ]]; then
  echo "STATUS: expected $expected_status, got $status"; cat "$work/stderr.txt"; fail=1
fi
if grep -q 'Sanitizer' "$work/stderr.txt"; then cat "$work/stderr.txt"; fail=1; fi
exit $fail
