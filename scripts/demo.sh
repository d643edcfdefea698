#!/bin/sh
# Runs the tool over a scratch copy of the sample library.
set -eu
tool=$(readlink -f "$1")
echo "(no sample library yet: running $tool in an empty scratch folder)"
rm -rf scratch/demo && mkdir -p scratch/demo && cd scratch/demo
"$tool" updatedir || true
