#!/bin/bash
# Stores that another program holds open (nimbrel-hold-file.exe, which lets others read but not write): a
# Mozilla prefs.js and an Opera 7 accounts file. configure and unconfigure through nimbrel-accounts.exe fail
# with the in-use text and the exit code of a failed write, leave the file byte for byte as it was and no
# temporary file beside it; once the holder has stopped, the same commands succeed.
source "$(dirname "$0")/e2e-lib.bash"
e2e_user 110
drive="$WINEPREFIX/drive_c"
IN_USE="Account's settings file is in use by another program; close that program and try again."

winpath() { printf 'Z:%s' "${1//\//\\}"; }
# account_of CLIENT NAME: the account's number in the last list
account_of() { awk -F'\t' -v c="$1" -v n="$2" '$1 == c && $4 == n { print $2; exit }' "$WORK/out.txt"; }
# result_of CLIENT ACCOUNT: the result column of the last action's line for the account
result_of() { awk -F'\t' -v c="$1" -v a="$2" '$1 == c && $2 == a { print $5; exit }' "$WORK/out.txt"; }
# A file's bytes and its folder's names, to compare.
state_of() { { sha256sum <"$1"; ls -a "$(dirname "$1")"; } }

hold() { # hold FILE: until release, another program holds FILE open
    rm -f "$WORK/ready" "$WORK/stop"
    /usr/lib/wine/wine64 "$BIN/nimbrel-hold-file.exe" "$(winpath "$1")" "$(winpath "$WORK/ready")" \
        "$(winpath "$WORK/stop")" </dev/null >"$WORK/hold.txt" 2>&1 &
    holder=$!
    for _ in $(seq 300); do
        [ -f "$WORK/ready" ] && return 0
        kill -0 "$holder" 2>/dev/null || break
        sleep 0.1
    done
    cat "$WORK/hold.txt"
    return 1
}
release() {
    touch "$WORK/stop"
    wait "$holder"
    holder_rc=$?
}

# held_round CLIENT NAME FILE: configure refused while FILE is held, then done; unconfigure likewise
held_round() {
    local client=$1 name=$2 file=$3 what=$4
    tool list
    local account
    account=$(account_of "$client" "$name")
    check "$what: the account is listed" test -n "$account"
    local before configured
    before=$(state_of "$file")

    check "$what: the holder holds the file" hold "$file"
    tool configure "$client" "$account"
    check "$what: configure while held exits as a failed write (1)" test "$rc" -eq 1
    check "$what: configure says the file is in use" test "$(result_of "$client" "$account")" = "failed: $IN_USE"
    check "$what: the held file is as before, nothing beside it" test "$(state_of "$file")" = "$before"
    release
    check "$what: the holder stopped when asked" test "$holder_rc" -eq 0

    tool configure "$client" "$account"
    check "$what: configure once free (exit 0)" test "$rc" -eq 0
    check "$what: configured" test "$(result_of "$client" "$account")" = "configured"
    configured=$(state_of "$file")
    check "$what: the file was written" test "$configured" != "$before"

    check "$what: the holder holds the file again" hold "$file"
    tool unconfigure "$client" "$account"
    check "$what: unconfigure while held exits as a failed write (1)" test "$rc" -eq 1
    check "$what: unconfigure says the file is in use" test "$(result_of "$client" "$account")" = "failed: $IN_USE"
    check "$what: the held file is still configured, nothing beside it" test "$(state_of "$file")" = "$configured"
    release
    tool unconfigure "$client" "$account"
    check "$what: unconfigure once free (exit 0)" test "$rc" -eq 0
    check "$what: back byte for byte" test "$(state_of "$file")" = "$before"
}

prefs=$(find "$drive/users" -path '*/Mozilla/Profiles/default/k2l8x0f3.slt/prefs.js' | head -1)
opera7=$(find "$drive/users" -path '*/Opera/Opera7/Mail/accounts.ini' | head -1)
check "the seeded prefs.js is there" test -f "$prefs"
check "the seeded Opera 7 accounts file is there" test -f "$opera7"
held_round 5 "mila@mail.example" "$prefs" "Mozilla"
held_round 7 "Mail at home" "$opera7" "Opera 7"

/usr/lib/wine/wineserver -k >/dev/null 2>&1
finish
