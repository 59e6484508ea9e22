#!/usr/bin/env bash
# Folders of src/ depend one way: a file may include its own folder and folders of a lower
# layer, never one of the same or a higher layer. Usage: check_layers.sh <src folder>
set -euo pipefail
src=${1:?usage: check_layers.sh <src folder>}

# Lowest first; folders on one line are peers and must not include each other.
layers=(
    "toolkit"
    "shell registry"
    "settings"
    "convert mail config"
    "startup setup"
)

declare -A rank
for i in "${!layers[@]}"; do
    for folder in ${layers[$i]}; do rank[$folder]=$i; done
done

status=0
while IFS= read -r file; do
    rel=${file#"$src"/}
    own=${rel%%/*}
    if [ -z "${rank[$own]+x}" ]; then
        echo "$rel: folder '$own' has no layer; add it to tests/layout/check_layers.sh"
        status=1
        continue
    fi
    while IFS= read -r target; do
        [ "$target" = "$own" ] && continue
        [ -z "${rank[$target]+x}" ] && continue  # generated or system headers
        if [ "${rank[$target]}" -ge "${rank[$own]}" ]; then
            echo "$rel includes $target/, which is not below $own/"
            status=1
        fi
    done < <(sed -nE 's|^[[:space:]]*#[[:space:]]*include[[:space:]]+"([a-z_0-9]+)/.*|\1|p' "$file")
done < <(find "$src" -mindepth 2 -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' -o -name '*.in' \))
exit $status
