#!/bin/bash
# The installer as a user runs it, under an X display: welcome page, folder page, install, finish page, and
# the wizard that the finish page opens; a screenshot of each in SHOTS (default build/installer-shots).
#   interactive_install.sh BIN [SHOTS]
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
    exec "$top/tools/with-xvfb.sh" bash "$0" "$@"
fi
source "$here/installer-lib.bash"
SHOTS=${2:-$(cd "$BIN/.." && pwd)/installer-shots}
mkdir -p "$SHOTS"
rm -f "$SHOTS"/*.png
e2e_user 110
DRIVER="$BIN/nimbrel-setup-driver.exe"
# A Wine desktop of its own, so that frames and captions are drawn without a window manager.
explorer='HKCU\Software\Wine\Explorer'
wine_to_file "$WORK/desk1.txt" reg add "$explorer" /v Desktop /d Nimbrel /f
wine_to_file "$WORK/desk2.txt" reg add "$explorer\\Desktops" /v Nimbrel /d 1000x700 /f

# page NAME TEXT: waits for the page showing TEXT, keeps its texts and its picture
page() {
    wine_to_file "$WORK/$1.txt" "$DRIVER" page "$2"
    local found=$?
    tr -d '\r' <"$WORK/$1.txt" >"$WORK/$1.texts"
    import -window root -trim +repage "$SHOTS/$1.png" 2>/dev/null
    return $found
}
click() { wine_to_file "$WORK/click.txt" "$DRIVER" click "$1"; }

/usr/lib/wine/wine64 "$BIN/nimbrel-setup.exe" </dev/null >"$WORK/setup.log" 2>&1 &
setup=$!
check "welcome page" page welcome "Welcome to Nimbrel Setup"
check "welcome page says what it installs" grep -q "guide you through the installation of Nimbrel" "$WORK/welcome.texts"
check "next" click "Next >"
check "folder page" page folder "Destination Folder"
check "default folder: Program Files" grep -qxF 'C:\Program Files\Nimbrel' "$WORK/folder.texts"
check "install" click "Install"
check "finish page" page finish "Completing Nimbrel Setup"
check "finish page offers the configurator" grep -qxF "Configure my e-mail accounts now" "$WORK/finish.texts"
check "installed" test -s "$(unix_path "$DEFAULT_DIR")/vantler.exe"
check "finish" click "Finish"
check "wizard opened" bash -c "'$(command -v /usr/lib/wine/wine64)' '$DRIVER' wizard </dev/null >'$WORK/wizard.txt' 2>&1"
tr -d '\r' <"$WORK/wizard.txt" >"$WORK/wizard.texts"
import -window root -trim +repage "$SHOTS/wizard.png" 2>/dev/null
check "wizard shows the first account" grep -q "Next >>" "$WORK/wizard.texts"
check "setup ended" wait_for 30 bash -c "! kill -0 $setup 2>/dev/null"
wine_to_file "$WORK/close.txt" "$DRIVER" close-wizard
for shot in welcome folder finish wizard; do
    check "screenshot $shot" test -s "$SHOTS/$shot.png"
done
echo "screenshots in $SHOTS"
/usr/lib/wine/wineserver -k >/dev/null 2>&1
finish
