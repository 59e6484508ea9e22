# Installing Vellum into a Wine prefix as a user does: by running its setup program. Source it
# after scripts/lib/common.sh, with WINEPREFIX set (vellum_wine_up); it defines functions only.

VELLUM_UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Vellum'

# The setup program the Windows build made.
vellum_setup_exe() {
    local found
    found=$(ls "$VELLUM_WIN_BUILD"/installer/vellum-*-setup.exe 2>/dev/null | head -n 1)
    [ -n "$found" ] || { echo "no setup program in $VELLUM_WIN_BUILD/installer" >&2; return 1; }
    printf '%s\n' "$found"
}

# vellum_setup_install [switch...]: runs the setup program silently and returns when it is done.
# The switches reach it as one command line, unquoted, as NSIS wants /D= (last, with blanks):
#   vellum_setup_install '/DRIVER=Vellum PostScript' '/D=C:\Program Files\Vellum'
vellum_setup_install() {
    local setup
    setup=${VELLUM_SETUP_EXE:-$(vellum_setup_exe)} || return 1
    vellum_setup_run "$(vellum_winpath "$setup")" /S "$@"
    [ -n "$(vellum_reg_value "$VELLUM_UNINSTALL_KEY" DisplayVersion)" ] || {
        echo "the setup program left no Uninstall entry" >&2
        return 1
    }
}

# Runs a Windows command line as written (wine would quote every argument with a blank).
vellum_setup_run() {
    wine cmd /c "$*" </dev/null >/dev/null 2>&1
}

# Prints a registry value as "<type> <data>"; nothing when it is missing.
vellum_reg_value() {
    { wine reg query "$1" /v "$2" 2>/dev/null </dev/null || true; } | tr -d '\r' |
        sed -nE "s/^ +$2 +(REG_[A-Z_]+)( +(.*))?\$/\\1 \\3/p" | sed 's/ $//'
}

# vellum_setup_uninstall: runs the Uninstall entry's QuietUninstallString, as Windows' Apps
# list does, and waits until the uninstaller (which hands over to a copy of itself) is done.
vellum_setup_uninstall() {
    local quiet folder
    quiet=$(vellum_reg_value "$VELLUM_UNINSTALL_KEY" QuietUninstallString | sed 's/^REG_SZ //')
    [ -n "$quiet" ] || { echo "Vellum's Uninstall entry has no QuietUninstallString" >&2; return 1; }
    folder=$(vellum_reg_value "$VELLUM_UNINSTALL_KEY" InstallLocation | sed 's/^REG_SZ //')
    # "<uninstaller>" /S: the program between the quotes, its switches after them.
    local program=${quiet#\"}
    program=${program%%\"*}
    # shellcheck disable=SC2086
    wine "$program" ${quiet##*\"} </dev/null >/dev/null 2>&1
    local unix
    unix=$(winepath -u "$folder" 2>/dev/null)
    for _ in $(seq 600); do
        if [ ! -e "$unix/uninstall.exe" ] &&
            [ -z "$(vellum_reg_value "$VELLUM_UNINSTALL_KEY" DisplayName)" ]; then
            return 0
        fi
        sleep 0.2
    done
    echo "the uninstaller did not finish within two minutes" >&2
    return 1
}

# vellum_register_ghostscript <key> <version> [<folder>]: Ghostscript as its own installer leaves
# it (HKLM\SOFTWARE\<key>\<version>, GS_DLL and GS_LIB, under C:\Program Files\gs\gs<version>):
# the Windows Ghostscript in <folder> (scripts/build-ghostscript's layout) when one is given,
# else the testbed launcher that runs the machine's gs as its gswin64c.exe.
vellum_register_ghostscript() {
    local gs="C:\\Program Files\\gs\\gs$2"
    local unix="$WINEPREFIX/drive_c/Program Files/gs/gs$2"
    rm -rf "$unix"
    mkdir -p "$unix/bin" "$unix/lib" "$unix/fonts"
    if [ -n "${3:-}" ]; then
        cp -a "$3/bin" "$3/lib" "$3/Resource" "$3/iccprofiles" "$unix/"
    else
        cp "$VELLUM_WIN_BUILD/bin/gswin64c.exe" "$unix/bin/"
        : >"$unix/bin/gsdll64.dll"
    fi
    wine reg add "HKLM\\SOFTWARE\\$1\\$2" /v GS_DLL /d "$gs\\bin\\gsdll64.dll" /f \
        </dev/null >/dev/null 2>&1
    wine reg add "HKLM\\SOFTWARE\\$1\\$2" /v GS_LIB /d "$gs\\bin;$gs\\lib;$gs\\fonts" /f \
        </dev/null >/dev/null 2>&1
}

# vellum_unregister_ghostscript <key> <version>: removes what vellum_register_ghostscript made.
vellum_unregister_ghostscript() {
    wine reg delete "HKLM\\SOFTWARE\\$1\\$2" /f </dev/null >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX/drive_c/Program Files/gs/gs$2"
}

# vellum_setup_screenshots <folder> [switch...]: runs the setup program interactively (with
# the switches), takes a screenshot of every page and message it shows
# (setup-NN-<page>.png in <folder>) and answers each with its default button. Needs the
# Windows build's setup_driver.exe and ImageMagick's import.
vellum_setup_screenshots() {
    local out=$1 setup handshake driver
    shift
    setup=${VELLUM_SETUP_EXE:-$(vellum_setup_exe)} || return 1
    handshake=$(mktemp -d /tmp/vellum-setup-pages.XXXXXX)
    mkdir -p "$out"
    wine "$VELLUM_WIN_BUILD/bin/setup_driver.exe" pages "$(vellum_winpath "$setup")" \
        "$(vellum_winpath "$handshake")" "$@" </dev/null &
    driver=$!
    local step=1 name
    while kill -0 "$driver" 2>/dev/null; do
        local ready
        ready=$handshake/$(printf '%02d' "$step").ready
        if [ -e "$ready" ]; then
            sleep 0.5  # let the page finish drawing
            name=$(cat "$ready")
            import -window root -crop 600x460+212+154 +repage "$out/setup-$name.png"
            touch "${ready%.ready}.go"
            step=$((step + 1))
        fi
        sleep 0.1
    done
    local status=0
    wait "$driver" || status=$?
    rm -rf "$handshake"
    return $status
}
