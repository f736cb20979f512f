#!/bin/bash
# Runs a command with an X display: the caller's when DISPLAY is set, otherwise a private Xvfb for the command's
# lifetime. Wine programs started under the private display are ended with it (the prefix's wineserver is told
# to stop), so that a later run does not find them bound to a display that is gone.
set -u
if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Xvfb picks a display number that no other X server holds and tells it through a file.
numberfile=$(mktemp "${TMPDIR:-/tmp}/with-xvfb.XXXXXX")
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 </dev/null &
xvfb_pid=$!
for _ in $(seq 1 100); do
    [ -s "$numberfile" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
number=$(tr -dc '0-9' <"$numberfile")
rm -f "$numberfile"
if [ -z "$number" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "with-xvfb: no X display could be started" >&2
    exit 1
fi
export DISPLAY=":$number"

# Wine's desktop process binds to the display it first saw: a server left by a run without one must go first.
source "$here/wine-env.sh"
if [ -d "$WINEPREFIX" ]; then
    /usr/lib/wine/wineserver -k >/dev/null 2>&1
    /usr/lib/wine/wineserver -w >/dev/null 2>&1
fi

"$@"
rc=$?

# The prefix's programs hold the display; stop them before it goes away.
if [ -d "$WINEPREFIX" ]; then
    /usr/lib/wine/wineserver -k >/dev/null 2>&1
    /usr/lib/wine/wineserver -w >/dev/null 2>&1
fi
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
exit $rc
