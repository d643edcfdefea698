#!/bin/sh
# Checks the packages of `make package` the way an administrator uses them.
# The .deb is unpacked (never installed): its program must give over the sample
# library exactly what `make demo` gives, its manual pages must format without a
# warning, and lintian must find no error. The Windows zip is unpacked, its
# README must be the Windows one with CR LF line ends, and its program runs
# under Wine over a golden case.
# Usage: check-package.sh PACKAGE_DIR NATIVE_BUILD WINDOWS_BUILD
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
packages=$(readlink -f "$1")
build=$(readlink -f "$2")
windows=$(readlink -f "$3")
work="$root/scratch/package-check"

fail() {
    echo "check-package: $*" >&2
    exit 1
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$packages/native/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $packages/native/CMakeCache.txt"
deb="$packages/quillora-update_${version}_amd64.deb"
zip="$packages/quillora-update-$version-win64.zip"
rm -rf "$work"
mkdir -p "$work"

echo "== $deb"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package is not version $version"
dpkg-deb -x "$deb" "$work/deb"
for file in usr/bin/quillora-update usr/share/quillora/KIVRes.rc \
    usr/share/man/man1/quillora-update.1.gz usr/share/man/man5/quillora-update.5.gz \
    usr/share/doc/quillora-update/README.md \
    usr/share/doc/quillora-update/copyright usr/share/doc/quillora-update/changelog.gz; do
    [ -f "$work/deb/$file" ] || fail "$file is missing from the package"
done
[ -f "$work/deb/etc/quillora/registry.reg.example" ] ||
    fail "etc/quillora/registry.reg.example is missing from the package"
[ ! -e "$work/deb/etc/quillora/registry.reg" ] || fail "the package holds a live store"
# Else the program would find its resource script beside itself, not in share/.
[ ! -e "$work/deb/usr/bin/KIVRes.rc" ] || fail "usr/bin/KIVRes.rc is in the package"

echo "== its manual pages"
for page in "$work/deb/usr/share/man/man1/quillora-update.1.gz" \
    "$work/deb/usr/share/man/man5/quillora-update.5.gz"; do
    man --warnings -E UTF-8 -l "$page" >/dev/null 2>"$work/man-warnings"
    if [ -s "$work/man-warnings" ]; then
        cat "$work/man-warnings" >&2
        fail "$(basename "$page") has warnings"
    fi
    zcat "$page" | grep -qF "quillora\\-update $version" || fail "$(basename "$page") is not of $version"
done

echo "== lintian"
lintian "$deb" >"$work/lintian.txt" 2>&1 || {
    cat "$work/lintian.txt"
    fail "lintian found errors"
}
grep -v "running with root privileges" "$work/lintian.txt" || true

echo "== the packaged program against make demo"
# The demo's diff shows file times; everything else must be the same.
demo() {
    (cd "$root" && env -u QUILLORA_RESOURCE_PATH sh scripts/demo.sh "$1") >"$work/$2.out" 2>&1 ||
        fail "the demo with $1 failed: $(cat "$work/$2.out")"
    sed -E 's/^((---|\+\+\+) [^\t]*)\t.*/\1/' "$work/$2.out" >"$work/$2.txt"
    mv "$root/scratch/demo" "$work/$2"
}
demo "$build/quillora-update" demo-build
demo "$work/deb/usr/bin/quillora-update" demo-package
diff -u "$work/demo-build.txt" "$work/demo-package.txt" || fail "the output differs"
diff -r "$work/demo-build/after" "$work/demo-package/after" || fail "the files differ"

echo "== $zip"
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$zip")
folder="$work/zip/quillora-update-$version-win64"
for file in quillora-update.exe KIVRes.dll README.txt LICENSE.txt; do
    [ -f "$folder/$file" ] || fail "$file is missing from the zip"
done
for file in README.txt LICENSE.txt; do
    if grep -q -v "$(printf '\r')\$" "$folder/$file"; then
        fail "$file has a line without CR LF"
    fi
done
# The Windows users' README, not the developers' one.
grep -q "^QUILLORA-UPDATE FOR WINDOWS" "$folder/README.txt" || fail "README.txt is not the Windows README"
! grep -q "make check" "$folder/README.txt" || fail "README.txt speaks of building the tool"

echo "== the zipped program under Wine, golden case all-options"
QUILLORA_GOLDEN_PROGRAM="$folder/quillora-update.exe" sh \
    "$root/tests/run/windows/golden-test.sh" all-options \
    "$windows/tests/quillora_tests.exe" "$windows/wineprefix-template" \
    "$root/cmake/clone-wineprefix.sh" "$work/wine" >"$work/wine.log" 2>&1 || {
    cat "$work/wine.log"
    fail "the golden case failed"
}
grep -qF "program: Z:$folder/quillora-update.exe" "$work/wine.log" ||
    fail "the golden case did not run the zipped program: $(cat "$work/wine.log")"

echo "check-package: both packages of $version pass"
