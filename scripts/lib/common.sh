# Shared by scripts/demo, scripts/test and scripts/bench: packages, builds and the Wine rig.
# Source it; it defines functions and VELLUM_ROOT and changes nothing else.

VELLUM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
VELLUM_NATIVE_BUILD=${VELLUM_NATIVE_BUILD:-$VELLUM_ROOT/build/native}
VELLUM_WIN_BUILD=${VELLUM_WIN_BUILD:-$VELLUM_ROOT/build/win}
VELLUM_PACKAGES="cmake make g++ g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 wine64-tools
    libwine-dev ghostscript poppler-utils xvfb xauth x11-apps imagemagick googletest nsis
    clang-format"

vellum_log() { printf '==> %s\n' "$*" >&2; }

vellum_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the Debian packages the build, the tests and the demo need, when any is missing.
vellum_install_packages() {
    local missing=""
    for p in $VELLUM_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    vellum_log "installing:$missing"
    vellum_as_root apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive vellum_as_root apt-get install -y -q $missing
}

# Checks that every C++ file of src/, tests/ and testbed/ is as the committed .clang-format
# writes it; names the files that are not. `clang-format -i FILE` fixes one.
vellum_check_format() {
    local files
    files=$(cd "$VELLUM_ROOT" && git ls-files 'src/*.h' 'src/*.cpp' 'tests/*.h' 'tests/*.cpp' \
        'testbed/*.h' 'testbed/*.cpp' 2>/dev/null) || true
    if [ -z "$files" ]; then
        files=$(cd "$VELLUM_ROOT" && find src tests testbed -name '*.h' -o -name '*.cpp')
    fi
    # shellcheck disable=SC2086
    (cd "$VELLUM_ROOT" && clang-format --dry-run -Werror $files)
}

vellum_jobs() { nproc 2>/dev/null || echo 2; }

vellum_build_native() {
    cmake -S "$VELLUM_ROOT" -B "$VELLUM_NATIVE_BUILD" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$VELLUM_NATIVE_BUILD" -j "$(vellum_jobs)"
}

vellum_build_win() {
    cmake -S "$VELLUM_ROOT" -B "$VELLUM_WIN_BUILD" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$VELLUM_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$VELLUM_WIN_BUILD" -j "$(vellum_jobs)"
}

# Starts what Wine needs for a run: an X display (our own Xvfb unless one is given), a fresh
# prefix, and one wineserver kept alive so that every Wine start in the run is fast.
# Sets WINEPREFIX, DISPLAY, WINEDEBUG; call vellum_wine_down when done.
vellum_wine_up() {
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEPREFIX=${VELLUM_WINEPREFIX:-$VELLUM_ROOT/build/wineprefix}
    # No Mono or Gecko installer prompts in a test prefix.
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
    if [ -z "${DISPLAY:-}" ]; then
        local n=97
        while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        VELLUM_XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    fi
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    vellum_log "making Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    wineserver -p >/dev/null 2>&1
    # Unmanaged windows: with no window manager on Xvfb, a closed dialog is then gone at once
    # instead of about two seconds later.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
    # Start Wine's own services now: started by a test, they would hold its output open.
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

vellum_wine_down() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${VELLUM_XVFB_PID:-}" ]; then
        kill "$VELLUM_XVFB_PID" 2>/dev/null || true
        wait "$VELLUM_XVFB_PID" 2>/dev/null || true
        unset VELLUM_XVFB_PID
    fi
}

# The Windows path of a Unix path inside the prefix (Z: maps /).
vellum_winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

# The folder of Ghostscript's source, for the Windows Ghostscript the tests run: VELLUM_GS_SRC,
# else ../shared/ghostscript-src beside the repository, else /work/shared/ghostscript-src.
# Fails when none holds it.
vellum_ghostscript_src() {
    local dir
    for dir in ${VELLUM_GS_SRC:+"$VELLUM_GS_SRC"} "$VELLUM_ROOT/../shared/ghostscript-src" \
        /work/shared/ghostscript-src; do
        if [ -f "$dir/base/gp_utf8.c" ] && [ -f "$dir/psi/dwmainc.c" ]; then
            (cd "$dir" && pwd)
            return 0
        fi
        [ -n "${VELLUM_GS_SRC:-}" ] && return 1  # a folder named is the only one tried
    done
    return 1
}

# Where the Windows Ghostscript built from the source in $1 is cached: outside the clone, keyed
# by a hash of the source's file names and contents (a second or two; a copy of the same source,
# whatever its files' times, finds the same build).
vellum_ghostscript_cache() {
    local hash
    hash=$(cd "$1" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum |
        sha256sum | cut -c1-16)
    printf '%s/vellum/ghostscript-%s\n' "${XDG_CACHE_HOME:-$HOME/.cache}" "$hash"
}

# Prints the folder of the Windows Ghostscript (bin\gswin64c.exe, lib\, Resource\,
# iccprofiles\), building it when it is not cached; fails when there is no source.
vellum_windows_ghostscript() {
    "$VELLUM_ROOT/scripts/build-ghostscript"
}
