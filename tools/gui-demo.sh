#!/bin/bash
# Opens the configurator for the sample user of the current Wine prefix (mode selection first), on this display
# or, where there is none, under Xvfb; goes on to the standard dialog as a user would, saves a screenshot of it
# (and, under Xvfb, one of the list's end beside it, PNG-end.png) and prints the PNG's path.
#   gui-demo.sh BIN [PNG]     BIN holds vantler.exe (and vantler-demo-driver.exe); the prefix is
#                             NIMBREL_WINEPREFIX, seeded beforehand with sample accounts
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
BIN=$(cd "${1:?usage: gui-demo.sh BIN [PNG]}" && pwd)
shot=${2:-$top/out/vantler-standard.png}
mkdir -p "$(dirname "$shot")"
shot=$(cd "$(dirname "$shot")" && pwd)/$(basename "$shot")
source "$here/wine-env.sh"
log=$(mktemp "${TMPDIR:-/tmp}/gui-demo.XXXXXX")

drive() { # drive COMMAND: the demo driver plays the user, if it was built
    [ -f "$BIN/vantler-demo-driver.exe" ] || { sleep 5; return 0; }
    "$@" "$BIN/vantler-demo-driver.exe" "$DEMO_COMMAND" </dev/null >>"$log" 2>&1
}

if [ -n "${DISPLAY:-}" ]; then
    # The user's own display: the program stays open for them afterwards.
    /usr/lib/wine/wine64 "$BIN/vantler.exe" </dev/null >>"$log" 2>&1 &
    DEMO_COMMAND=standard drive /usr/lib/wine/wine64 || { cat "$log"; exit 1; }
    sleep 1
    window=$(xdotool search --onlyvisible --name '^E-mail accounts configurator$' 2>/dev/null | tail -1)
    if [ -n "$window" ]; then
        import -window "$window" "$shot"
    else
        import -window root "$shot"
    fi
    echo "The configurator is open on $DISPLAY; close it when you are done."
else
    # No display: a private Xvfb, and for this run a Wine desktop of its own, so that frames and menus are drawn.
    export BIN shot log
    "$here/with-xvfb.sh" bash -c '
        wine=/usr/lib/wine/wine64
        explorer="HKCU\\Software\\Wine\\Explorer"
        $wine reg add "$explorer" /v Desktop /d Nimbrel /f </dev/null >>"$log" 2>&1
        $wine reg add "$explorer\\Desktops" /v Nimbrel /d 1000x700 /f </dev/null >>"$log" 2>&1
        $wine "$BIN/vantler.exe" </dev/null >>"$log" 2>&1 &
        if [ -f "$BIN/vantler-demo-driver.exe" ]; then
            $wine "$BIN/vantler-demo-driver.exe" standard </dev/null >>"$log" 2>&1
        else
            sleep 5
        fi
        sleep 1
        import -window root -trim +repage "$shot"
        # The end of the list too: today'"'"'s clients (Thunderbird to Windows Mail) are listed last.
        if [ -f "$BIN/vantler-demo-driver.exe" ] && $wine "$BIN/vantler-demo-driver.exe" end 12 </dev/null >>"$log" 2>&1; then
            sleep 1
            import -window root -trim +repage "${shot%.png}-end.png"
        fi
        [ -f "$BIN/vantler-demo-driver.exe" ] && $wine "$BIN/vantler-demo-driver.exe" close </dev/null >>"$log" 2>&1
        sleep 1
        $wine reg delete "$explorer" /v Desktop /f </dev/null >>"$log" 2>&1
        $wine reg delete "$explorer\\Desktops" /v Nimbrel /f </dev/null >>"$log" 2>&1
        exit 0'
fi
rm -f "$log"
[ -s "$shot" ] || { echo "no screenshot was taken" >&2; exit 1; }
echo "$shot"
