# Sourced: the Wine environment of our scripts, and wine_prefix_ready to make a prefix once.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX="${NIMBREL_WINEPREFIX:-${TMPDIR:-/tmp}/nimbrel-wine-$(id -u)}"
export WINEARCH=win64

wine_prefix_ready() {
    mkdir -p "$WINEPREFIX.lock.d" 2>/dev/null
    (
        flock 9
        # A prefix whose making was cut short has its registry but not its system files: make it again.
        if [ ! -f "$WINEPREFIX/.nimbrel-ready" ] || [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
            /usr/lib/wine/wineserver -k >/dev/null 2>&1 9>&-
            rm -rf "$WINEPREFIX"
            /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1 9>&-
            # Keys reach windows under Xvfb without a window manager only when Wine does not wait for focus.
            /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v UseTakeFocus /d N /f \
                </dev/null >/dev/null 2>&1 9>&-
            /usr/lib/wine/wineserver -w 9>&-
            # Wine links the user's shell folders to $HOME; a throwaway user keeps its own, empty ones.
            find "$WINEPREFIX/drive_c/users" -type l 2>/dev/null | while read -r link; do
                rm -f "$link" && mkdir -p "$link"
            done
            [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] ||
                { echo "wine prefix could not be made: $WINEPREFIX" >&2; exit 1; }
            touch "$WINEPREFIX/.nimbrel-ready"
        fi
        # A server that lingers keeps later starts quick; it is started here, on no pipe of the caller's.
        /usr/lib/wine/wineserver -p60 </dev/null >/dev/null 2>&1 9>&-
        exit 0
    ) 9>"$WINEPREFIX.lock.d/lock"
}

# Makes $1 a fresh copy of the ready base prefix and points WINEPREFIX at it: a throwaway Windows user.
wine_prefix_clone() {
    wine_prefix_ready || return 1
    /usr/lib/wine/wineserver -k >/dev/null 2>&1
    /usr/lib/wine/wineserver -w >/dev/null 2>&1
    rm -rf "$1"
    cp -a "$WINEPREFIX" "$1" || return 1
    export WINEPREFIX="$1"
    export NIMBREL_WINEPREFIX="$1"
    /usr/lib/wine/wineserver -p60 </dev/null >/dev/null 2>&1
}

# Runs a Windows program in the current prefix; its output goes to the file $1.
wine_to_file() {
    local out=$1
    shift
    /usr/lib/wine/wine64 "$@" </dev/null >"$out" 2>&1
}
