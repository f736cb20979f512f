# Sourced by the installer's tests: the end-to-end user, and runs of the installer and its uninstaller.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/e2e-lib.bash"
DEFAULT_DIR='C:\Program Files\Nimbrel'
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel'
PACKAGE_KEY='HKCU\Software\Tarnwicke\Nimbrel'

# unix_path 'C:\x\y': the file's place in the prefix.
unix_path() {
    local rest=${1#?:\\}
    echo "$WINEPREFIX/drive_c/${rest//\\//}"
}

# run_line LOG 'COMMAND LINE': runs the line as written, through a batch file: the installer's /D= and the
# uninstaller's _?= must be unquoted even with spaces, which no argument list can say. Exit code in $rc.
run_line() {
    local log=$1
    printf '@%s\r\nexit /b %%errorlevel%%\r\n' "$2" >"$WINEPREFIX/drive_c/nimbrel-run.bat"
    wine_to_file "$log" cmd /c 'C:\nimbrel-run.bat'
    rc=$?
    rm -f "$WINEPREFIX/drive_c/nimbrel-run.bat"
}

# reg_value KEY NAME: the value's data as reg query prints it (type, then data); empty when there is none.
reg_value() {
    # Wine's reg.exe now and then fails to start on a busy machine: a value not found is asked for again.
    local try value
    for try in 1 2 3; do
        wine_to_file "$WORK/reg.txt" reg query "$1" /v "$2" || { : >"$WORK/reg.txt"; }
        value=$(tr -d '\r' <"$WORK/reg.txt" | awk -v name="$2" 'BEGIN { FS = "    " }
            $2 == name { print $3 "|" $4 }')
        [ -n "$value" ] && break
    done
    printf '%s\n' "$value"
}

no_key() { ! wine_to_file "$WORK/reg.txt" reg query "$1"; }

# The Start-menu shortcut of the current user, wherever Wine keeps the user's folders.
shortcut_path() {
    find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Nimbrel/E-mail accounts configurator.lnk' \
        2>/dev/null | head -1
}

# wait_for SECONDS COMMAND...: until the condition holds, or the time is up.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.5
    done
}
