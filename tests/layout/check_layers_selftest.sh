#!/usr/bin/env bash
# The layer check must accept the real tree and reject a back-include and a peer include.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=${1:?usage: check_layers_selftest.sh <src folder>}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$here/check_layers.sh" "$src"

mkdir -p "$tmp/toolkit" "$tmp/config" "$tmp/mail"
printf '#include "toolkit/a.h"\n' >"$tmp/config/ok.cpp"
"$here/check_layers.sh" "$tmp" >/dev/null || { echo "a downward include was rejected"; exit 1; }

printf '#include "config/x.h"\n' >"$tmp/toolkit/up.h"
if "$here/check_layers.sh" "$tmp" >/dev/null; then echo "a back-include passed"; exit 1; fi
rm "$tmp/toolkit/up.h"

printf '#include "mail/y.h"\n' >"$tmp/config/peer.cpp"
if "$here/check_layers.sh" "$tmp" >/dev/null; then echo "a peer include passed"; exit 1; fi
echo "layer check: real tree clean, back-include and peer include caught"
