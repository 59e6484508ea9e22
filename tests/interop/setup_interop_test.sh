#!/usr/bin/env bash
# The setup program with the real RedMon, in a fresh prefix: RedMon installed in
# C:\Program Files\RedMon (its DLL hosted, as Wine's spooler needs, RedRun beside it) with a
# port of its own made through its Add Port. A silent install must make its own port through
# RedMon's XcvData AddPort and SetConfig, with the values RedMon stores checked, and the printer
# "Vellum PDF" on it; a document printed from a Windows program must become a PDF with every
# word; a silent uninstall must remove the printer and that port and leave RedMon's other port.
#
# usage: setup_interop_test.sh <Windows build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/lib/common.sh"
. "$root/scripts/lib/setup.sh"
. "$root/tests/setup/checks.sh"
VELLUM_WIN_BUILD=$build
bin=$build/bin

work=$(mktemp -d /tmp/vellum-interop-setup.XXXXXX)
cleanup() {
    vellum_wine_down
    rm -rf "$work"
}
trap cleanup EXIT

monitor='HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Redirected Port'
settings='HKLM\SOFTWARE\Vellum'

VELLUM_WINEPREFIX=$work/prefix vellum_wine_up
vellum_register_ghostscript "GPL Ghostscript" 10.02.1

echo "== RedMon installed, with a port of its own (RPT1:)"
redmon='C:\Program Files\RedMon'
unix_redmon="$WINEPREFIX/drive_c/Program Files/RedMon"
mkdir -p "$unix_redmon"
cp "$bin/redmon/redmon-host.dll" "$bin/redmon/redmon64.dll" "$bin/redmon/redrun.exe" "$unix_redmon/"
other='C:\Other\program.exe'
wine "$bin/setup-printer.exe" --monitor-dll "$redmon\\redmon-host.dll" --through-monitor \
    --port RPT1: --command "$other" --no-printer </dev/null
# The PostScript driver Wine prints with, which setup is told to use.
wine "$bin/setup-printer.exe" --driver-only </dev/null

echo "== a silent install makes the port through RedMon, and the printer"
vellum_setup_install '/DRIVER=Vellum PostScript' || fail "the silent install failed"
folder='C:\Program Files\Vellum'
redrun="$redmon\\redrun.exe"
expect_value "$settings" rmExe "REG_SZ $redrun"
expect_value "$settings" rmPort "REG_SZ RPT2:"
expect_port RPT2: "$redrun" "$folder\\vellum.exe"
# Written by RedMon itself: AddPort its description, SetConfig the rest.
expect_value "$monitor\\Ports\\RPT2:" Description "REG_SZ Redirected Port"
expect_value "$monitor\\Ports\\RPT2:" LogFileUse "REG_DWORD 0x0"
expect_value 'HKLM\SYSTEM\CurrentControlSet\Control\Print\Printers\Vellum PDF' Port \
    "REG_SZ RPT2:"

echo "== a document printed to \"Vellum PDF\" becomes a PDF"
mkdir -p "$WINEPREFIX/drive_c/users/Public/PDFs"
expect_printed_pdf "Vellum PDF" "$work" 'C:\users\Public\PDFs\printed.pdf'

echo "== the uninstall removes the printer and its port, and leaves RedMon's"
vellum_setup_uninstall || fail "the silent uninstall did not finish"
expect_no_key 'HKLM\SYSTEM\CurrentControlSet\Control\Print\Printers\Vellum PDF'
expect_no_key "$monitor\\Ports\\RPT2:"
expect_no_key "$settings"
expect_value "$monitor\\Ports\\RPT1:" Command "REG_SZ $other"
expect_value "$monitor" Driver "REG_SZ $redmon\\redmon-host.dll"
[ -s "$unix_redmon/redrun.exe" ] || fail "the uninstall removed RedRun"

checks_result
