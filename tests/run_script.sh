#!/usr/bin/env bash
# Runs one script test: vorrun on <script>.vrb in a fresh work directory (which is
# also the database directory), then compares output, diagnostics and exit status
# with <script>.vro, <script>.vre and <script>.status. On a mismatch the actual
# files are left beside the expected ones as .actual.
#
# Optional companions of <name>.vrb:
#   <name>.args    command line instead of "-source <name>.vrb -out out.vro -err err.vre";
#                  @DIR@ stands for the script's directory. The run's own directory is
#                  the current one, so "-out out -err err" still lands in out.vro/err.vre.
#   <name>.gen     bash snippet run in the work directory before vorrun, with the script
#                  path as $1; it writes generated inputs (huge or binary scripts).
#   <name>.stdout  expected standard output (banner included).
#   <name>.stderr  expected standard error.
#   <name>.absent  files (one a line) that must not exist in the work dir after the run.
#   <name>.files   lines "<file in work dir> [<expected file beside the script>]": the
#                  file must exist after the run and hold the expected text (or nothing).
set -u
vorrun=$1; script=$2; work=$3
base=${script%.vrb}
dir=$(dirname "$script")
rm -rf "$work"; mkdir -p "$work"
export VOR_DATA_DIR="$work"
cd "$work"
if [[ -f $base.gen ]]; then
  bash "$base.gen" "$script" || { echo "GENERATOR FAILED: $base.gen"; exit 1; }
fi
if [[ -f $base.args ]]; then
  args=$(sed "s#@DIR@#$dir#g" "$base.args")
  eval "set -- $args"
else
  set -- -source "$script" -out "$work/out.vro" -err "$work/err.vre"
fi
# A hang is a failure of its own, told apart from a crash.
timeout 60 "$vorrun" "$@" >"$work/stdout.txt" 2>"$work/stderr.txt" </dev/null
status=$?
if [[ $status == 124 ]]; then echo "HANG: vorrun did not end"; exit 1; fi
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
      echo "MISMATCH: $expected"; diff -a "$expected" "$actual" | head -40
      cp "$actual" "$expected.actual"; fail=1
    fi
  elif [[ -s $actual ]]; then
    echo "UNEXPECTED TEXT for $expected:"; head -c 2000 "$actual"; echo
    cp "$actual" "$expected.actual"; fail=1
  fi
}
if [[ -f $base.files ]]; then
  while read -r produced expected; do
    [[ -z $produced ]] && continue
    if [[ ! -f $work/$produced ]]; then echo "MISSING FILE: $produced"; fail=1; continue; fi
    if [[ -n $expected ]]; then compare "$dir/$expected" "$work/$produced"
    elif [[ -s $work/$produced ]]; then echo "NOT EMPTY: $produced"; fail=1; fi
  done <"$base.files"
fi
if [[ -f $base.absent ]]; then
  while read -r unwanted; do
    [[ -n $unwanted && -e $work/$unwanted ]] && { echo "UNEXPECTED FILE: $unwanted"; fail=1; }
  done <"$base.absent"
fi
compare "$base.vro" "$work/out.vro"
compare "$base.vre" "$work/err.vre"
[[ -f $base.stdout ]] && compare "$base.stdout" "$work/stdout.txt"
[[ -f $base.stderr ]] && compare "$base.stderr" "$work/stderr.txt"
if [[ $status != "$expected_status" ]]; then
  echo "STATUS: expected $expected_status, got $status"; head -c 4000 "$work/stderr.txt"; fail=1
fi
if grep -aq 'Sanitizer' "$work/stderr.txt"; then head -c 8000 "$work/stderr.txt"; fail=1; fi
exit $fail
