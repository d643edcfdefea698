# Sourced by the scripts that run programs under Wine: each test gets a folder
# and a Wine prefix of its own, a clone of the build's template prefix. The
# sourcing script defines fail MESSAGE.

# own_prefix NAME WORK_DIR TEMPLATE_PREFIX CLONE_SCRIPT: a new folder $dir in
# WORK_DIR with the prefix in it; both go when the script ends.
own_prefix() {
    mkdir -p "$2"
    dir=$(mktemp -d "$2/$1.XXXXXX")
    export WINEPREFIX="$dir/prefix" WINEDEBUG=-all
    unset DISPLAY WAYLAND_DISPLAY
    trap remove_prefix EXIT
    sh "$4" "$3" "$WINEPREFIX"
}

remove_prefix() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$dir"
}

# Declares drives of the prefix (letter, type, folder...), then restarts the
# prefix: mountmgr reads the drive types only when the prefix starts.
configure_drives() {
    while [ $# -ge 3 ]; do
        mkdir -p "$3"
        ln -s "$3" "$WINEPREFIX/dosdevices/$1"
        wine reg add 'HKLM\Software\Wine\Drives' /v "$1" /d "$2" /f >/dev/null </dev/null ||
            fail "reg add $1"
        shift 3
    done
    wineserver -w
}
