#!/bin/sh
# clone-wineprefix.sh FROM TO: a copy of a Wine prefix that costs next to
# nothing. The Windows files are hard links (Wine never writes them in place);
# the registry files are real copies, because wineserver rewrites a registry
# file in place when it has more than one link.
set -eu
from=$1
to=$2
rm -rf "$to"
mkdir -p "$to"
cp -al "$from/drive_c" "$to/drive_c" 2>/dev/null || cp -a "$from/drive_c" "$to/drive_c"
cp -a "$from/dosdevices" "$to/dosdevices"
cp -p "$from"/*.reg "$from/.update-timestamp" "$to/"
