#!/usr/bin/env bash
# The launcher turns the sample job into a real PDF: a job and an output folder with spaces,
# a search path with a folder that does not exist, then pdfinfo and pdftotext read it back.
# Usage: launcher_sample.sh <wine-run> <bin folder> <scratch folder>
set -euo pipefail
wine_run=$1 bin=$2 work=$3

fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

rm -rf "$work"
mkdir -p "$work/spool folder" "$work/My PDFs"
cp "$bin/jobs/sample.ps" "$work/spool folder/job 12.ps"
pdf="$work/My PDFs/report.pdf"

status=0
"$wine_run" "$bin/gswin64c.exe" \
    "-I$(winpath "$work/spool folder");$(winpath "$work/no such folder/fonts")\\" \
    -sDEVICE=pdfwrite -r300 -q -dBATCH -dNOPAUSE -dSAFER -sPAPERSIZE=a4 \
    "-sOutputFile=$(winpath "$pdf")" -c save pop -f "$(winpath "$work/spool folder/job 12.ps")" ||
    status=$?
[ "$status" -eq 0 ] || fail "launcher exit code $status"
[ -s "$pdf" ] || fail "no PDF at $pdf"

info=$(pdfinfo "$pdf")
grep -q '^Pages: *3$' <<<"$info" || fail "not 3 pages: $info"
grep -q '^Page size: *595 x 842 pts (A4)' <<<"$info" || fail "not A4: $info"
words=(Quillwort Marram Samphire)
for page in 1 2 3; do
    text=$(pdftotext -f "$page" -l "$page" "$pdf" -)
    grep -q "Vellum sample page $page of 3" <<<"$text" || fail "page $page heading missing: $text"
    grep -q "${words[page - 1]}" <<<"$text" || fail "page $page lacks ${words[page - 1]}"
done
echo "PASS: $pdf"
