#!/bin/sh
# Runs the tool over a scratch copy of the sample library and shows what it
# changed. The repository's copy is never touched.
set -eu
tool=$(readlink -f "$1")
root=$(pwd)
scratch="$root/scratch/demo"
rm -rf "$scratch"
mkdir -p "$scratch"
cp -R examples/library "$scratch/before"
cp -R examples/library "$scratch/after"
for copy in before after; do
    sed "s|@LIBRARY@|$scratch/after|g" examples/library/registry.reg.in > "$scratch/$copy/registry.reg"
    rm -f "$scratch/$copy/registry.reg.in"
done

echo "== The sample library: catalogue in drive_c/Quillora/Data, drive table and"
echo "== installation directories in registry.reg (C: and the CD-ROM drive D: are folders)"
echo
echo "\$ cd drive_c/Quillora/Data && quillora-update updatedir"
status=0
(cd "$scratch/after/drive_c/Quillora/Data" &&
    QUILLORA_REGISTRY="$scratch/after/registry.reg" "$tool" updatedir) || status=$?
echo "(exit status $status)"
echo
echo "== What changed (before -> after):"
(cd "$scratch" && diff -ru --strip-trailing-cr before after) || true
echo
echo "The scratch copy is in $scratch"
exit "$status"
