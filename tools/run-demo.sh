#!/bin/bash
# The main job: builds the program, prepares a throwaway Windows user (Wine prefix) with sample accounts of the
# e-mail clients, and opens the configurator there: on this display, or under Xvfb with a screenshot.
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
bash tools/setup.sh || exit 1
cmake --preset windows >/dev/null && cmake --build --preset windows || exit 1
BIN="$top/build/windows/bin"

source tools/wine-env.sh
demo="${TMPDIR:-/tmp}/nimbrel-demo-user"
wine_prefix_clone "$demo" || { echo "could not make a Wine prefix"; exit 1; }
samples='C:\nimbrel-samples'
out=$(mktemp)
wine_to_file "$out" "$BIN/nimbrel-sample-user.exe" seed "$samples" 110 || { cat "$out"; exit 1; }
echo "Throwaway Windows user: WINEPREFIX=$WINEPREFIX (sample stores in $samples)"

if [ -x tools/gui-demo.sh ] && [ -f "$BIN/vantler.exe" ]; then
    exec bash tools/gui-demo.sh "$BIN"
fi
# Without the dialogs: what the console tool sees for this user.
wine_to_file "$out" "$BIN/nimbrel-accounts.exe" list
rc=$?
tr -d '\r' <"$out" | column -t -s $'\t'
rm -f "$out"
exit $rc
