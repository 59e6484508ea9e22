# Checks shared by the tests that run the setup program (tests/setup, tests/interop). Source it
# after scripts/lib/setup.sh; a failed check is reported at once and counted in $failures, and
# checks_result ends the run with its verdict.

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

expect_value() {  # key, value name, expected "<type> <data>" ("" for none)
    local got
    got=$(vellum_reg_value "$1" "$2")
    [ "$got" = "$3" ] || fail "$1\\$2 is '${got:-<missing>}', expected '${3:-<missing>}'"
}

expect_no_key() {
    if wine reg query "$1" </dev/null >/dev/null 2>&1; then fail "$1 is still there"; fi
}

# expect_port <port> <RedRun> <vellum.exe>: the "Redirected Port" port as setup configures it:
# RedRun runs Vellum (quoted, %%1 for RedMon to leave RedRun its %1), which makes its own
# output, hidden, as the printing user, waited for up to 300 s.
expect_port() {
    local key="HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Redirected Port\\Ports\\$1"
    expect_value "$key" Command "REG_SZ $2"
    expect_value "$key" Arguments "REG_SZ \"$3\" %%1"
    expect_value "$key" Output "REG_DWORD 0x0"
    expect_value "$key" ShowWindow "REG_DWORD 0x2"
    expect_value "$key" RunUser "REG_DWORD 0x1"
    expect_value "$key" Delay "REG_DWORD 0x12c"
}

# expect_printed_pdf <printer> <folder for the document> <pdf, Windows path>: prints a
# 60-line document from a Windows program to the printer, answers the Save As of the Vellum
# its port starts (setup_driver.exe of $VELLUM_WIN_BUILD), and checks that the PDF holds every
# word. The PDF's folder must exist.
expect_printed_pdf() {
    local document=$2/document.txt pdf words
    for i in $(seq -w 1 60); do printf 'Line %s of the installed printer test: word%s.\r\n' "$i" "$i"; done \
        >"$document"
    if ! wine "$VELLUM_WIN_BUILD/bin/setup_driver.exe" print "$1" "$(vellum_winpath "$document")" \
        "$3" </dev/null; then
        fail "printing to \"$1\" did not end well"
        return
    fi
    pdf=$(winepath -u "$3" 2>/dev/null)
    words=$(pdftotext "$pdf" - 2>/dev/null | tr -s ' \r\n.' '\n\n\n\n')
    for i in $(seq -w 1 60); do
        grep -qx "word$i" <<<"$words" || {
            fail "word$i is missing from the PDF printed to \"$1\""
            return
        }
    done
}

checks_result() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all passed"
}
