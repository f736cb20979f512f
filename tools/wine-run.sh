#!/bin/bash
# Runs a Windows program under the 64-bit Wine loader in a throwaway prefix.
# Output goes through a file: a wineserver started on our pipes would hold them open after the program ends.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
wine_prefix_ready || exit 1
# A folder with a link to itself, for the tests of folder walks: under Wine a Windows program cannot make
# one (CreateSymbolicLink succeeds and makes nothing), and Wine lists a Unix link as a reparse point.
walk="$WINEPREFIX/drive_c/nimbrel-links/walk"
[ -L "$walk/loop" ] && [ -f "$walk/prefs.js" ] || { mkdir -p "$walk" && echo found >"$walk/prefs.js" && ln -sfn ../walk "$walk/loop"; }
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
/usr/lib/wine/wine64 "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
