#!/bin/sh
# Runs one fuzz target of fuzz/ for a set time. Its inputs: the corpus it has
# grown in earlier runs, the sample library's files of its kind, the seeds of
# fuzz/seeds/<reader> and every input kept in fuzz/regressions/<reader>, which
# are therefore run again each time. An input that breaks a property or
# crashes is written to <build>/findings/<reader>/ and fails the run.
# Usage: fuzz.sh BUILD READER SECONDS    (READER: catalog or bookdata)
set -eu
build=$(readlink -f "$1")
reader=$2
seconds=$3
root=$(cd "$(dirname "$0")/.." && pwd)
case $reader in
catalog) pattern='*.ini' ;;
bookdata) pattern='*.dat' ;;
*) echo "fuzz.sh: no fuzz target for $reader" >&2; exit 2 ;;
esac

corpus="$build/corpus/$reader"
samples="$build/samples/$reader"
findings="$build/findings/$reader"
mkdir -p "$corpus" "$samples" "$findings"
find "$root/examples/library" -name "$pattern" -type f -exec cp {} "$samples/" \;
set -- "$corpus" "$samples" "$root/fuzz/seeds/$reader"
if [ -d "$root/fuzz/regressions/$reader" ]; then
    set -- "$@" "$root/fuzz/regressions/$reader"
fi

echo "== fuzz-$reader for $seconds s (findings go to $findings)"
# -timeout: an input that takes longer is a hang, and a finding.
"$build/fuzz/fuzz-$reader" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -dict="$root/fuzz/$reader.dict" -artifact_prefix="$findings/" -print_final_stats=1 "$@"
