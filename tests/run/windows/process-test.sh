#!/bin/sh
# Whole runs of quillora-update.exe under Wine, one scenario per call, each in
# a folder and a Wine prefix of its own (a clone of the build's template prefix).
# Usage: process-test.sh SCENARIO EXE DLL TEMPLATE_PREFIX CLONE_SCRIPT WORK_DIR SOURCE_DIR
set -eu
scenario=$1 exe=$2 dll=$3 template=$4 clone=$5 work=$6 source=$7

. "$(dirname "$0")/wine-prefix.sh"
own_prefix "$scenario" "$work" "$template" "$clone"

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

# Standard input with every line ended by CR LF.
crlf() { sed 's/$/\r/'; }

# A file must hold exactly standard input, every line ended by CR LF.
expect_file() {
    crlf >"$dir/expected"
    cmp -s "$dir/expected" "$1" || {
        diff -u "$dir/expected" "$1" | cat -A >&2
        fail "unexpected content of $1"
    }
}

# A version 7 catalogue whose paths lie in the installation's folders.
write_catalogue() {
    crlf >"$dir/data/Quillora.ini" <<'INI'
Version 7
MODE=standard
[Categories]
1	16	Manuals|User guides|1 0 0|

[Manuals:Core]
C:\Quillora\Books\manuals.dat
C:\Quillora\Books\Manuals
1	active
5	R:\Manuals
6	C:\Library\Notes
7	D:\Elsewhere
8	E:\Tutorials
INI
}

# A version 8 book data file for the package of that catalogue, on C:.
books="$WINEPREFIX/drive_c/Quillora/Books/manuals.dat"
write_book_data() {
    mkdir -p "$(dirname "$books")"
    crlf >"$books" <<'DAT'
zobooksdatafile 8
B	2	0	8	Getting Started|Quillora basics|||||en|16	1	-1	0	1	0	
B	4	0	6	Scripting|Automation|||||en|32	1	-1	0	1	0	
DAT
}

# The program, the three directories in the registry, the catalogue and the
# book data file.
install_library() {
    install_app
    set_value "$home_value" 'C:\Quillora'
    set_value "$local_value" 'C:\Library'
    set_value "$cd_value" 'R:'
    write_catalogue
    write_book_data
}

case $scenario in
registry-values)
    # The resource library names the values; the three directories read from
    # the registry are what the paths are abbreviated to. Both files are
    # written back in version 9, with CR LF.
    install_library
    run_tool maintain=n
    expect_stdout "Will set maintain flag to false" "Reading Quillora.ini" "	Loading Manuals" \
        "	Saving" "Saving Quillora.ini"
    expect_status 0
    expect_file "$dir/data/Quillora.ini" <<'INI'
Version 9
MODE=standard
[Categories]
1	16	Manuals|User guides|1 0 0|
[Manuals:Core]
$+HOME.\Books\manuals.dat
$+HOME.\Books\Manuals
1	active
D	5	$+CD.\Manuals
D	6	$+LOCAL.\Notes
D	7	D:\Elsewhere
D	8	E:\Tutorials

INI
    expect_file "$books" <<'DAT'
zobooksdatafile 9
B	2	0	8	Getting Started|Quillora basics|||||en|16	0	0	1	-1	0	0	0	
B	4	0	6	Scripting|Automation|||||en|32	0	0	1	-1	0	0	0	
DAT
    ;;
missing-key)
    install_app
    wine reg query "$key" >/dev/null 2>&1 </dev/null && fail "the key exists before the run"
    write_catalogue
    cp "$dir/data/Quillora.ini" "$dir/catalogue.before"
    run_tool
    expect_stdout "Error reading registry. Update aborted."
    expect_status 1
    # Created, and empty; the catalogue untouched.
    wine reg query "$key" >"$dir/query" 2>&1 </dev/null || fail "the key was not created"
    if grep -q REG_ "$dir/query"; then fail "the created key has values: $(cat "$dir/query")"; fi
    cmp -s "$dir/catalogue.before" "$dir/data/Quillora.ini" || fail "the catalogue was changed"
    ;;
missing-library)
    install_app without-library
    set_value "$home_value" 'C:\Quillora'
    set_value "$local_value" 'C:\Library'
    write_catalogue
    run_tool
    expect_stdout "Error reading registry. Update aborted."
    expect_status 1
    grep -q KIVRes "$dir/stderr" || fail "no word of the resource library on stderr"
    ;;
cd-drive)
    # No CD directory in the registry: the first CD-ROM drive stands in for it,
    # and a book whose directory is not on it is renumbered. d: is an ordinary
    # drive, e: a CD-ROM drive.
    configure_drives d: hd "$dir/disk" e: cdrom "$dir/cdrom"
    install_app
    set_value "$home_value" 'C:\Quillora'
    set_value "$local_value" 'C:\Library'
    write_catalogue
    write_book_data
    run_tool updatedir
    expect_stdout "Will update directory entries for copied books." "Reading Quillora.ini" \
        "	Loading Manuals" "Updating Scripting id 6 to 101" "	Saving" "Saving Quillora.ini"
    expect_status 0
    expect_file "$dir/data/Quillora.ini" <<'INI'
Version 9
MODE=standard
[Categories]
1	16	Manuals|User guides|1 0 0|
[Manuals:Core]
$+HOME.\Books\manuals.dat
$+HOME.\Books\Manuals
1	active
D	5	R:\Manuals
D	101	$+LOCAL.\Notes
D	7	D:\Elsewhere
D	8	$+CD.\Tutorials

INI
    expect_file "$books" <<'DAT'
zobooksdatafile 9
B	2	0	8	Getting Started|Quillora basics|||||en|16	0	0	1	-1	0	1	0	
B	4	0	101	Scripting|Automation|||||en|32	0	0	1	-1	0	1	0	
DAT
    ;;
two-runs)
    # Two runs with different options started together: the second waits for
    # the first (the library's lock), so the files end as one order or the
    # other gives, never a mix.
    install_library
    # Enough books that a run outlasts the start of the other one.
    awk 'BEGIN { for (i = 10; i < 20010; ++i)
        printf "B\t%d\t0\t6\tBook %d|||||||16\t1\t-1\t0\t1\t0\t\r\n", i, i }' >>"$books"
    cp "$dir/data/Quillora.ini" "$dir/ini.before"
    cp "$books" "$dir/books.before"
    restore() { cp "$dir/ini.before" "$dir/data/Quillora.ini"; cp "$dir/books.before" "$books"; }
    run_tool updatedir maintain=n && run_tool active=n maintain=y
    cat "$dir/data/Quillora.ini" "$books" >"$dir/a-then-b"
    restore
    run_tool active=n maintain=y && run_tool updatedir maintain=n
    cat "$dir/data/Quillora.ini" "$books" >"$dir/b-then-a"
    cmp -s "$dir/a-then-b" "$dir/b-then-a" && fail "the two orders give the same files"
    met=0
    for round in 1 2 3 4 5; do
        restore
        (cd "$dir/data" && wine "$dir/app/bin/quillora-update.exe" updatedir maintain=n) \
            >"$dir/a.out" 2>"$dir/a.err" </dev/null &
        (cd "$dir/data" && wine "$dir/app/bin/quillora-update.exe" active=n maintain=y) \
            >"$dir/b.out" 2>"$dir/b.err" </dev/null &
        wait
        cat "$dir/data/Quillora.ini" "$books" >"$dir/now"
        cmp -s "$dir/now" "$dir/a-then-b" || cmp -s "$dir/now" "$dir/b-then-a" ||
            fail "round $round: a mix of the two runs"
        { ls "$dir/data"; ls "$(dirname "$books")"; } | grep -q 'quillora-\|Quillora.commit' &&
            fail "round $round: a staged file or the commit record was left"
        cat "$dir/a.err" "$dir/b.err" | grep -q 'waiting for another run' && met=$((met + 1))
    done
    echo "the two runs met in $met of 5 rounds"
    ;;
*)
    fail "no such scenario"
    ;;
esac
echo "PASS ($scenario)"
