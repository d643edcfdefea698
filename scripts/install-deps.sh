#!/bin/sh
# Installs the Debian packages the build needs, when they are missing.
# Usage: install-deps.sh PACKAGE...
set -eu
missing=""
for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $pkg"
    fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages:$missing" >&2
    echo "Install them with:  sudo apt-get update && sudo apt-get install -y$missing" >&2
    exit 1
fi
echo "Installing Debian packages:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing
