#!/bin/sh
# One golden case of tests/golden under Wine, in a Wine prefix of its own whose
# D: is a CD-ROM drive: the test program lays the case out in the prefix, runs
# quillora-update.exe twice and compares (GoldenRunTest.cpp).
# Usage: golden-test.sh CASE TESTS_EXE TEMPLATE_PREFIX CLONE_SCRIPT WORK_DIR
# With QUILLORA_GOLDEN_PROGRAM set (a host path to a quillora-update.exe with
# its KIVRes.dll beside it), that program runs instead of the build's.
set -eu
case_name=$1 tests=$2 template=$3 clone=$4 work=$5

fail() {
    echo "FAIL ($case_name): $*" >&2
    exit 1
}

. "$(dirname "$0")/wine-prefix.sh"
own_prefix "$case_name" "$work" "$template" "$clone"
configure_drives d: cdrom "$dir/cdrom"

status=0
QUILLORA_GOLDEN_CASE=$case_name wine "$tests" --gtest_filter=GoldenRun.CaseOfThisWinePrefix \
    >"$dir/log" 2>&1 </dev/null || status=$?
cat "$dir/log"
[ "$status" -eq 0 ] || fail "the test program ended with status $status"
# A filter that matches nothing, or a skipped test, passes no test.
grep -q '^\[  PASSED  \] 1 test\.' "$dir/log" || fail "the golden test did not run"
