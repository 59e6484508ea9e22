#!/usr/bin/env bash
# The printing chain without Vellum: a Windows program prints a multi-page text file to
# "Vellum PDF"; the monitor runs RedRun, RedRun runs a copy command with %1 replaced by the
# job file. The copy must be the driver's PostScript, which Ghostscript turns into a PDF
# holding every word of the text across several pages. The command sees RedMon's REDMON_*
# variables, and RedRun starts it with the line exactly as written. Then the failure paths: a port without a command fails the print job, and a
# command's exit code reaches RedRun's log while RedRun itself exits 0, as RedRun does.
#
# usage: print_chain_test.sh <bin folder of the Windows build>
set -euo pipefail
bin=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
# The prefix the test run set up; scripts/wine-run falls back to the same default.
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
wine_run() { "$root/scripts/wine-run" "$@"; }
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# A space in the folder proves the paths are quoted all along the chain.
work=$(mktemp -d "/tmp/vellum print chain.XXXXXX")
export VELLUM_REDMON_LOG
VELLUM_REDMON_LOG=$(winpath "$work/redmon.log")
cleanup() {
    wine_run "$bin/setup-printer.exe" --command "" --arguments "" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

redrun=$(winpath "$bin/redrun.exe")
# %%1: the monitor turns it into the %1 that RedRun replaces with the job file.
copy_to() { printf 'C:\\windows\\system32\\cmd.exe /c copy /b %%%%1 "%s"' "$(winpath "$1")"; }
temp_dir="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
leftovers() { find "$temp_dir" -maxdepth 1 \( -name 'vrm*' -o -name 'vrr*' \) 2>/dev/null | wc -l; }

# 150 numbered words over 150 lines, plus one long line that has to be wrapped.
text="$work/document.txt"
for i in $(seq -w 1 150); do
    printf 'Line %s of the chain test carries word%s and nothing else.\r\n' "$i" "$i"
done >"$text"
{
    printf 'Long:'
    for i in $(seq 1 40); do printf ' wrap%02d' "$i"; done
    printf '\r\n'
} >>"$text"

echo "== a text document reaches the command as PostScript"
wine_run "$bin/setup-printer.exe" --command "$redrun" --arguments "$(copy_to "$work/job.ps")"
before=$(leftovers)
if ! wine_run "$bin/printtext.exe" "Vellum PDF" "$(winpath "$text")"; then
    fail "printtext failed"
fi
if [ ! -s "$work/job.ps" ]; then
    fail "no job arrived"
elif [ "$(head -c 4 "$work/job.ps")" != "%!PS" ]; then
    fail "the job is not PostScript: $(head -c 40 "$work/job.ps" | od -c | head -2)"
else
    gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=pdfwrite -sOutputFile="$work/job.pdf" "$work/job.ps" ||
        fail "Ghostscript could not convert the job"
    pages=$(pdfinfo "$work/job.pdf" | awk '/^Pages:/ {print $2}')
    [ "${pages:-0}" -ge 3 ] || fail "expected several pages, got ${pages:-none}"
    words=$(pdftotext "$work/job.pdf" - | tr -s ' \r\n' '\n\n\n')
    for i in $(seq -w 1 150); do
        grep -qx "word$i" <<<"$words" || fail "word$i missing from the PDF"
    done
    for i in $(seq 1 40); do
        grep -qx "wrap$(printf %02d "$i")" <<<"$words" || fail "wrap$(printf %02d "$i") lost"
    done
fi
[ "$(leftovers)" -eq "$before" ] || fail "job files left in $temp_dir"

echo "== the command sees what RedMon tells about the job"
# RedRun appends the job file, which rem then ignores.
wine_run "$bin/setup-printer.exe" --command "$redrun" \
    --arguments "C:\\windows\\system32\\cmd.exe /c >\"$(winpath "$work/env.txt")\" set REDMON_& rem"
wine_run "$bin/printtext.exe" "Vellum PDF" "$(winpath "$text")" || fail "printtext failed"
for line in 'REDMON_PORT=RPT1:' 'REDMON_DOCNAME=document.txt' 'REDMON_BASENAME=document' \
    'REDMON_FILENAME='; do
    tr -d '\r' <"$work/env.txt" 2>/dev/null | grep -qx "$line" || fail "no $line for the command"
done

echo "== RedRun starts the command with the line exactly as written"
# Windows hands a child its line as the parent wrote it: the unquoted program path with blanks
# stays unquoted, and %1 becomes the job file in quotes.
cp "$bin/show_command_line.exe" "$work/"
shown=$(winpath "$work/show_command_line.exe")
wine_run "$bin/setup-printer.exe" --command "$redrun" --arguments "$shown  one \"two  three\" %%1"
wine_run "$bin/printtext.exe" "Vellum PDF" "$(winpath "$text")" || fail "printtext failed"
line=$(cat "$work/command-line.txt" 2>/dev/null || true)
case $line in
"$shown  one \"two  three\" \""*'\vrr'*'.tmp"') ;;
*) fail "RedRun's child got the line '$line'" ;;
esac

echo "== a port without a command fails the job and says why"
wine_run "$bin/setup-printer.exe" --command "" --arguments ""
if wine_run "$bin/printtext.exe" "Vellum PDF" "$(winpath "$text")" 2>/dev/null; then
    fail "printing to a port without a command reported success"
fi
grep -q "RPT1: has no Command" "$work/redmon.log" || fail "no log line for the missing command"

echo "== the command's exit code stops at RedRun"
wine_run "$bin/setup-printer.exe" --command "$redrun" \
    --arguments 'C:\windows\system32\cmd.exe /c exit 7'
wine_run "$bin/printtext.exe" "Vellum PDF" "$(winpath "$text")" 2>/dev/null ||
    fail "printtext failed"
grep -q "exited with code 7" "$work/redmon.log" || fail "RedRun did not log the exit code 7"
if grep -q "EndDocPort(RPT1:): the command exited" "$work/redmon.log"; then
    fail "RedRun passed the command's exit code on"
fi
[ "$(leftovers)" -eq "$before" ] || fail "job files left in $temp_dir"

if [ "$failures" -ne 0 ]; then
    echo "--- monitor log" >&2
    cat "$work/redmon.log" >&2 2>/dev/null || true
    exit 1
fi
echo "all passed"
