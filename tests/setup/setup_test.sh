#!/usr/bin/env bash
# The setup program as users run it, under Wine, each case in a fresh prefix:
#  1. Ghostscript registered as its installer does, the "Redirected Port" monitor installed:
#     a silent install puts the files, Start Menu links, Uninstall entry, settings, port and
#     printer in place; a document printed from a Windows program to "Vellum PDF" becomes a
#     PDF; an upgrade keeps the user's edited settings and the port; a silent uninstall
#     leaves nothing of Vellum's (and leaves the PDF, the monitor and Ghostscript).
#  2. No Ghostscript, no monitor, another folder (/D=), a mistyped saving switch: everything
#     but the Ghostscript settings, the printer and the saving switches, which the log names;
#     the uninstall again leaves nothing.
#
# usage: setup_test.sh <Windows build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/lib/common.sh"
. "$root/scripts/lib/setup.sh"
. "$root/tests/setup/checks.sh"
VELLUM_WIN_BUILD=$build
bin=$build/bin
setup_exe=$(vellum_setup_exe)
version=$(basename "$setup_exe" | sed -E 's/^vellum-(.*)-setup\.exe$/\1/')

work=$(mktemp -d /tmp/vellum-setup.XXXXXX)
cleanup() {
    vellum_wine_down
    rm -rf "$work"
}
trap cleanup EXIT

settings='HKLM\SOFTWARE\Vellum'
ports='HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Redirected Port\Ports'
printers='HKLM\SYSTEM\CurrentControlSet\Control\Print\Printers'
links_in() { printf '%s' "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vellum"; }

expect_installed() {  # Windows folder, its Unix path
    local folder=$1 unix=$2
    for file in vellum.exe VellumRegistry.dll vellum-setup-helper.exe readme.txt LICENSE.txt \
        uninstall.exe; do
        [ -s "$unix/$file" ] || fail "$file missing from $folder"
    done
    for link in "Configure Vellum" "Send PDF by eMail" "Add Vellum PDF Printer" \
        "Uninstall Vellum"; do
        [ -s "$(links_in)/$link.lnk" ] || fail "Start Menu link \"$link\" missing"
    done
    local key=$VELLUM_UNINSTALL_KEY
    expect_value "$key" DisplayName "REG_SZ Vellum"
    expect_value "$key" DisplayVersion "REG_SZ $version"
    expect_value "$key" Publisher "REG_SZ Vellum"
    expect_value "$key" DisplayIcon "REG_SZ $folder\\vellum.exe,0"
    expect_value "$key" InstallLocation "REG_SZ $folder"
    expect_value "$key" UninstallString "REG_SZ \"$folder\\uninstall.exe\""
    expect_value "$key" QuietUninstallString "REG_SZ \"$folder\\uninstall.exe\" /S"
    expect_value "$key" NoModify "REG_DWORD 0x1"
    expect_value "$key" NoRepair "REG_DWORD 0x1"
    case $(vellum_reg_value "$key" EstimatedSize) in
    "REG_DWORD 0x0" | "") fail "EstimatedSize is missing or 0" ;;
    esac
    expect_value "$settings" defDir "REG_EXPAND_SZ %USERPROFILE%\\Documents"
    expect_value "$settings" sendMail "REG_SZ 0"
}

expect_uninstalled() {  # Unix path of the installation folder
    vellum_setup_uninstall || fail "the silent uninstall did not finish"
    [ ! -e "$1" ] || fail "$1 is left: $(ls -A "$1" | tr '\n' ' ')"
    [ ! -e "$(links_in)" ] || fail "the Start Menu folder is left"
    expect_no_key "$VELLUM_UNINSTALL_KEY"
    expect_no_key "$settings"
    expect_no_key "$printers\\Vellum PDF"
}

echo "== with Ghostscript and the Redirected Port monitor"
VELLUM_WINEPREFIX=$work/with-monitor vellum_wine_up
vellum_register_ghostscript "Artifex Ghostscript" 9.56.1
vellum_register_ghostscript "GPL Ghostscript" 10.02.1
# The monitor with one port of its own (RPT1:), and the PostScript driver Wine can print with.
wine "$bin/setup-printer.exe" --no-printer </dev/null
wine "$bin/setup-printer.exe" --driver-only </dev/null
vellum_setup_install '/DRIVER=Vellum PostScript' || fail "the silent install failed"

folder='C:\Program Files\Vellum'
unix_folder="$WINEPREFIX/drive_c/Program Files/Vellum"
expect_installed "$folder" "$unix_folder"
gs='C:\Program Files\gs\gs10.02.1'
expect_value "$settings" gsExe "REG_SZ $gs\\bin\\gswin64c.exe"
expect_value "$settings" gsLib "REG_SZ $gs\\lib"
expect_value "$settings" gsFonts "REG_SZ $gs\\fonts"
redrun=$(vellum_winpath "$bin/redrun.exe")
expect_value "$settings" rmExe "REG_SZ $redrun"
expect_value "$settings" rmPort "REG_SZ RPT2:"
expect_port RPT2: "$redrun" "$folder\\vellum.exe"
expect_value "$printers\\Vellum PDF" Port "REG_SZ RPT2:"

echo "== a document printed to \"Vellum PDF\" becomes a PDF"
pdf_folder="$WINEPREFIX/drive_c/users/Public/PDFs"
mkdir -p "$pdf_folder"
expect_printed_pdf "Vellum PDF" "$work" 'C:\users\Public\PDFs\printed.pdf'

echo "== an upgrade keeps the user's settings and the printer, and takes saving defaults"
wine reg add "$settings" /v defDir /d 'C:\users\Public\PDFs' /f </dev/null >/dev/null 2>&1
wine reg add "$settings" /v sendMail /d 1 /f </dev/null >/dev/null 2>&1
wine reg add "$settings" /v gsFonts /d '' /f </dev/null >/dev/null 2>&1
rm "$unix_folder/readme.txt"
# With a print server's saving defaults, which replace what is stored.
vellum_setup_install '/DRIVER=Vellum PostScript' /SAVEMODE=auto /AUTODIR=\\\\server\\pdf \
    /QUALITY=ebook /PDFA=2 || fail "the upgrade failed"
[ -s "$unix_folder/readme.txt" ] || fail "the upgrade did not put the files back"
expect_value "$settings" saveMode "REG_SZ auto"
expect_value "$settings" autoDir 'REG_SZ \\server\pdf'
expect_value "$settings" pdfQuality "REG_SZ ebook"
expect_value "$settings" pdfA "REG_SZ 2"
expect_value "$settings" defDir "REG_SZ C:\\users\\Public\\PDFs"
expect_value "$settings" sendMail "REG_SZ 1"
expect_value "$settings" gsFonts "REG_SZ"
expect_value "$settings" rmPort "REG_SZ RPT2:"
expect_value "$printers\\Vellum PDF" Port "REG_SZ RPT2:"
expect_no_key "$ports\\RPT3:"

echo "== the uninstall leaves nothing of Vellum's"
expect_uninstalled "$unix_folder"
expect_no_key "$ports\\RPT2:"
[ -s "$pdf_folder/printed.pdf" ] || fail "the uninstall removed the user's PDF"
expect_value "$ports\\RPT1:" Command "REG_SZ"  # the monitor's other port stays
expect_value 'HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Redirected Port' Driver \
    "REG_SZ $(vellum_winpath "$bin/vredmon.dll")"
expect_value "HKLM\\SOFTWARE\\GPL Ghostscript\\10.02.1" GS_DLL "REG_SZ $gs\\bin\\gsdll64.dll"
wineserver -k  # this prefix is done; the display stays for the next

echo "== without Ghostscript and RedMon, into another folder"
VELLUM_WINEPREFIX=$work/bare vellum_wine_up
# Protected print mode on: nothing is installed, and a silent run says so by its exit code.
wpp='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Print\WPP'
wine reg add "$wpp" /v WindowsProtectedPrintMode /t REG_DWORD /d 1 /f >/dev/null 2>&1
code=0
wine "$(vellum_winpath "$setup_exe")" /S </dev/null >/dev/null 2>&1 || code=$?
[ "$code" = 8 ] || fail "setup under protected print mode exited with $code, not 8"
expect_no_key "$VELLUM_UNINSTALL_KEY"
wine reg delete "$wpp" /f >/dev/null 2>&1
folder='C:\Vellum Apps'
unix_folder="$WINEPREFIX/drive_c/Vellum Apps"
# A mistyped saving switch: none of them is stored, everything else is, and the log says so.
vellum_setup_install /SAVEMODE=auto /QUALITY=best "/D=$folder" || fail "the silent install failed"
expect_installed "$folder" "$unix_folder"
for name in gsExe gsLib gsFonts rmExe rmPort saveMode pdfQuality; do
    expect_value "$settings" "$name" ""
done
grep -q $'\tmessage\tVellum setup: Setup stored none of the saving switches, because /QUALITY=best' \
    "$WINEPREFIX/drive_c/ProgramData/Vellum/vellum.log" || fail "the log does not name the switch"
expect_no_key "$settings\\Setup"
expect_uninstalled "$unix_folder"

checks_result
