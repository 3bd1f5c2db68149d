#!/usr/bin/env bash
# Checks that the engine's includes run one way: each layer folder includes only
# itself, the layers below it and the vendor-style headers of include/.
# Prints every include that runs against that direction and fails if any does.
set -euo pipefail
engine=$(cd "$(dirname "$0")/../engine" && pwd)
layers=(oci7 oci plsql session sql store base)  # top to bottom
status=0
for ((i = 0; i < ${#layers[@]}; i++)); do
  allowed=" ${layers[*]:i} "
  for file in "$engine/${layers[i]}"/*; do
    while IFS= read -r target; do
      [[ $target == */* ]] || continue  # same folder or include/
      if [[ $allowed != *" ${target%%/*} "* ]]; then
        echo "${file#"$engine"/} includes $target"
        status=1
      fi
    done < <(sed -n 's/^#include "\(.*\)"/\1/p' "$file")
  done
done
exit $status
