#!/bin/bash
# Runs a command with an X display: the caller's when DISPLAY is set, otherwise a private Xvfb for the command's
# lifetime. Wine programs started under the private display are ended with it (the prefix's wineserver is told
# to stop), so that a later run does not find them bound to a display that is gone.
set -u
if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# A display number that no other X server holds; Xvfb itself refuses one that is taken, so retry on failure.
xvfb_pid=""
for number in $(seq 90 140); do
    [ -e "/tmp/.X${number}-lock" ] && continue
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -ac >/dev/null 2>&1 </dev/null &
    xvfb_pid=$!
    for _ in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$number" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$number" ]; then
        export DISPLAY=":$number"
        break
    fi
    xvfb_pid=""
done
if [ -z "$xvfb_pid" ]; then
    echo "with-xvfb: no X display could be started" >&2
    exit 1
fi

"$@"
rc=$?

# The prefix's programs hold the display; stop them before it goes away.
source "$here/wine-env.sh"
if [ -d "$WINEPREFIX" ]; then
    /usr/lib/wine/wineserver -k >/dev/null 2>&1
    /usr/lib/wine/wineserver -w >/dev/null 2>&1
fi
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
exit $rc
