#!/bin/bash
# The installer as a user runs it, under an X display: welcome page, folder page, install, finish page, and
# the wizard that the finish page opens; then the uninstaller, which asks through the configurator and gives
# every account back. A screenshot of each page in SHOTS (default build/windows/installer-shots).
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

# An account whose store cannot be written: the uninstaller names it and keeps everything.
STORE='C:\nimbrel-samples\TheBat\Mail\Home\account.cfg'
tool configure 4 0
wine_to_file "$WORK/attrib.txt" cmd /c attrib +r "$STORE"
/usr/lib/wine/wine64 "$(unix_path "$DEFAULT_DIR")/uninstall.exe" </dev/null >"$WORK/uninstall.log" 2>&1 &
check "uninstall page (read-only store)" page uninstall "Uninstall Nimbrel"
check "uninstall (read-only store)" click "Uninstall"
wine_to_file "$WORK/answers.raw" "$DRIVER" answer-until "Uninstallation Complete" ""
tr -d '\r' <"$WORK/answers.raw" >"$WORK/failed-answers.txt"
check "the configurator asked about doubtful accounts" grep -q '^Confirm action for Doubtful' "$WORK/failed-answers.txt"
check "the uninstaller says so" grep -q '^Nimbrel Uninstall: Not every e-mail account could be given back' "$WORK/failed-answers.txt"
check "its line is in the message" grep -q $'^4\t0\tThe Bat!\tHome\tfailed' "$WORK/failed-answers.txt"
check "uninstaller ended without the last page" grep -qxF '(the installer ended)' "$WORK/failed-answers.txt"
check "programs kept" test -s "$(unix_path "$DEFAULT_DIR")/vantler.exe"
check "Uninstall entry kept" test -n "$(reg_value "$UNINSTALL_KEY" UninstallString)"
wine_to_file "$WORK/attrib.txt" cmd /c attrib -r "$STORE"

# The uninstaller: its confirmation page, then the configurator's question and its doubtful accounts.
check "configured accounts before" grep -q $'\tYes\tYes\tYes\t' <(wine_to_file "$WORK/l.raw" "$BIN/nimbrel-accounts.exe" list; tr -d '\r' <"$WORK/l.raw")
/usr/lib/wine/wine64 "$(unix_path "$DEFAULT_DIR")/uninstall.exe" </dev/null >"$WORK/uninstall.log" 2>&1 &
check "uninstall page" page uninstall "Uninstall Nimbrel"
check "uninstall" click "Uninstall"
# Every question answered Yes (or OK) until the uninstaller's last page comes.
wine_to_file "$WORK/answers.raw" "$DRIVER" answer-until "Uninstallation Complete" ""
tr -d '\r' <"$WORK/answers.raw" >"$WORK/answers.txt"
check "the configurator asked to restore" grep -qxF 'E-mail accounts configurator: Restore original settings of all e-mail accounts?' "$WORK/answers.txt"
check "uninstall complete page" page uninstalled "Uninstallation Complete"
check "close" click "Close"
check "programs removed" wait_for 60 bash -c "! test -e '$(unix_path "$DEFAULT_DIR")'"
tool list
check "every account given back" test "$(awk -F'\t' 'NR > 1 && $7 == "Yes"' "$WORK/out.txt" | wc -l)" -eq 0
check "no Uninstall key left" no_key "$UNINSTALL_KEY"

for shot in welcome folder finish wizard uninstall uninstalled; do
    check "screenshot $shot" test -s "$SHOTS/$shot.png"
done
echo "screenshots in $SHOTS"
/usr/lib/wine/wineserver -k >/dev/null 2>&1
finish
