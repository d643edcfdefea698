#!/bin/sh
# Whole runs of quillora-update.exe under Wine, one scenario per call, each in
# a folder and a Wine prefix of its own (a clone of the build's template prefix).
# Usage: process-test.sh SCENARIO EXE DLL TESTS_EXE TEMPLATE_PREFIX CLONE_SCRIPT WORK_DIR SOURCE_DIR
set -eu
scenario=$1 exe=$2 dll=$3 tests_exe=$4 template=$5 clone=$6 work=$7 source=$8

mkdir -p "$work"
dir=$(mktemp -d "$work/$scenario.XXXXXX")
export WINEPREFIX="$dir/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
sh "$clone" "$template" "$WINEPREFIX"

key='HKLM\Software\Tolvane Works\Quillora'
# The registry value names, as the resource library holds them.
value_name() { sed -n "s/^[[:space:]]*$1[[:space:]]*\"\([^\"]*\)\".*/\1/p" "$source/resources/KIVRes.rc"; }
home_value=$(value_name 10248)
local_value=$(value_name 10254)
cd_value=$(value_name 10264)

fail() {
    echo "FAIL ($scenario): $*" >&2
    for f in stdout stderr; do
        [ -f "$dir/$f" ] && { echo "--- $f of the run:" >&2; cat "$dir/$f" >&2; }
    done
    exit 1
}

set_value() { wine reg add "$key" /v "$1" /d "$2" /f >/dev/null </dev/null || fail "reg add $1"; }

# The program (and, unless told otherwise, its DLL) in app\bin; the run's
# folder is data, where the catalogue lives.
install_app() {
    mkdir -p "$dir/app/bin" "$dir/data"
    cp "$exe" "$dir/app/bin/"
    [ "${1:-}" = without-library ] || cp "$dll" "$dir/app/bin/"
}

# Runs the program in the data folder; sets status, writes stdout (without the
# CRs of the console's text mode) and stderr.
run_tool() {
    status=0
    (cd "$dir/data" && wine "$dir/app/bin/quillora-update.exe" "$@") \
        >"$dir/stdout.raw" 2>"$dir/stderr" </dev/null || status=$?
    tr -d '\r' <"$dir/stdout.raw" >"$dir/stdout"
}

expect_status() { [ "$status" -eq "$1" ] || fail "exit status $status, expected $1"; }

expect_stdout() {
    printf '%s\n' "$@" >"$dir/expected"
    diff -u "$dir/expected" "$dir/stdout" >&2 || fail "unexpected output"
}

case $scenario in
registry-values)
    # The resource library names the values; all three are read.
    install_app
    set_value "$home_value" 'C:\Quillora'
    set_value "$local_value" 'C:\Quillora\Local'
    set_value "$cd_value" 'R:'
    run_tool
    expect_stdout "Reading Quillora.ini" "Cannot find Quillora.ini"
    expect_status 1
    ;;
missing-key)
    install_app
    wine reg query "$key" >/dev/null 2>&1 </dev/null && fail "the key exists before the run"
    run_tool
    expect_stdout "Error reading registry. Update aborted."
    expect_status 1
    # Created, and empty.
    wine reg query "$key" >"$dir/query" 2>&1 </dev/null || fail "the key was not created"
    if grep -q REG_ "$dir/query"; then fail "the created key has values: $(cat "$dir/query")"; fi
    ;;
missing-library)
    install_app without-library
    set_value "$home_value" 'C:\Quillora'
    set_value "$local_value" 'C:\Quillora\Local'
    run_tool
    expect_stdout "Error reading registry. Update aborted."
    expect_status 1
    grep -q KIVRes "$dir/stderr" || fail "no word of the resource library on stderr"
    ;;
cd-drive)
    # d: an ordinary drive, e: a CD-ROM drive; mountmgr reads the drive types
    # when the prefix starts, so the prefix is restarted after the change.
    mkdir -p "$dir/disk" "$dir/cdrom"
    ln -s "$dir/disk" "$WINEPREFIX/dosdevices/d:"
    ln -s "$dir/cdrom" "$WINEPREFIX/dosdevices/e:"
    wine reg add 'HKLM\Software\Wine\Drives' /v d: /d hd /f >/dev/null </dev/null || fail "reg add d:"
    wine reg add 'HKLM\Software\Wine\Drives' /v e: /d cdrom /f >/dev/null </dev/null || fail "reg add e:"
    wineserver -w
    status=0
    QUILLORA_EXPECTED_CD_DRIVE=e: wine "$tests_exe" \
        --gtest_filter=WindowsDrives.FindsTheConfiguredCdRomDrive \
        >"$dir/stdout" 2>"$dir/stderr" </dev/null || status=$?
    expect_status 0
    grep -q '^\[       OK \] WindowsDrives.FindsTheConfiguredCdRomDrive' "$dir/stdout" ||
        fail "the drive test did not run"
    ;;
*)
    fail "no such scenario"
    ;;
esac
echo "PASS ($scenario)"
