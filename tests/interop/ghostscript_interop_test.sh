#!/usr/bin/env bash
# Conversions through vellum.exe with the Windows Ghostscript built from Ghostscript's source
# (scripts/build-ghostscript; cached, so that only the first run on a machine builds it),
# installed in the test prefix as its installer installs it. Run by CTest in the prefix that
# vellum_wine_up made; the registration is removed again at the end.
#
# usage: ghostscript_interop_test.sh <Windows build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/lib/common.sh"
. "$root/scripts/lib/setup.sh"
VELLUM_WIN_BUILD=$build

gs=$(vellum_windows_ghostscript)
version=$(cat "$gs/VERSION")
trap 'vellum_unregister_ghostscript "GPL Ghostscript" "$version"' EXIT
vellum_register_ghostscript "GPL Ghostscript" "$version" "$gs"
export VELLUM_GS_INSTALLED="C:\\Program Files\\gs\\gs$version"
export WINEDEBUG=${WINEDEBUG:--all}
wine "$build/bin/ghostscript_interop_tests.exe" "$@" </dev/null
