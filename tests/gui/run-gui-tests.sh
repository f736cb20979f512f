#!/bin/bash
# Runs one group of the dialog tests under Wine with an X display, in a throwaway copy of the test prefix.
#   run-gui-tests.sh BIN FILTER
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/../.." && pwd)
BIN=$1
FILTER=$2
source "$top/tools/wine-env.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/nimbrel-gui.XXXXXX")
trap 'rm -rf "$work"' EXIT
wine_prefix_clone "$work/prefix" || { echo "could not make a Wine prefix"; exit 1; }
"$top/tools/with-xvfb.sh" bash -c '
    /usr/lib/wine/wine64 "$1/gui_tests.exe" --gtest_filter="$2" --gtest_brief=1 </dev/null >"$3/out" 2>&1
    rc=$?
    tr -d "\r" <"$3/out"
    exit $rc' run "$BIN" "$FILTER" "$work"
