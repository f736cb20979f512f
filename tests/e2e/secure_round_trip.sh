#!/bin/bash
# A secure Outlook Express account through nimbrel-accounts.exe: left alone while the proxy speaks plain POP3,
# carried with [SSL] once the package says it speaks TLS, repaired by update when the client turns SSL on again,
# and given back with its own setting (from the journal; from the proxy user name alone, the usual one).
source "$(dirname "$0")/e2e-lib.bash"
e2e_user 110
ACCOUNT='HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000001'
PACKAGE='HKCU\Software\Tarnwicke\Nimbrel'

reg_set() { wine_to_file "$WORK/reg.txt" reg add "$1" /v "$2" /t REG_DWORD /d "$3" /f; }
reg_value() { # reg_value KEY NAME: the value's data as reg query prints it
    wine_to_file "$WORK/query.raw" reg query "$1" /v "$2"
    tr -d '\r' <"$WORK/query.raw" | awk -v name="$2" 'index($0, name) { print $NF }'
}

reg_set "$ACCOUNT" "POP3 Secure Connection" 5
reg_set "$ACCOUNT" "POP3 Port" 995

tool list
check "refused with the reason" has_line "$WORK/out.txt" "$(printf '0\t0\tOutlook Express\tHome mail\tanna@mail.example\tNo\tNo\tNo\tAccount uses a secure connection (SSL/TLS), which the POP3 proxy cannot carry.\tanna\tpop.mail.example\t995\tNo')"
tool configure 0 0
check "configure refused (exit 1)" test "$rc" -eq 1
check "user name untouched" test "$(reg_value "$ACCOUNT" "POP3 User Name")" = "anna"
check "SSL untouched" test "$(reg_value "$ACCOUNT" "POP3 Secure Connection")" = "0x5"

reg_set "$PACKAGE" "POP3 proxy speaks TLS" 1
tool configure 0 0
check "configured (exit 0)" test "$rc" -eq 0
check "tagged proxy user name" test "$(reg_value "$ACCOUNT" "POP3 User Name")" = "anna/pop.mail.example[SSL]/995"
check "SSL off towards the proxy" test "$(reg_value "$ACCOUNT" "POP3 Secure Connection")" = "0x0"

reg_set "$ACCOUNT" "POP3 Secure Connection" 1
tool list
check "SSL on again: not up to date" has_line "$WORK/out.txt" "$(printf '0\t0\tOutlook Express\tHome mail\tanna@mail.example\tYes\tYes\tNo\t\tanna/pop.mail.example[SSL]/995\tlocalhost\t110\tYes')"
tool update
check "update repairs it" test "$(reg_value "$ACCOUNT" "POP3 Secure Connection")" = "0x0"

tool unconfigure 0 0
check "given back (exit 0)" test "$rc" -eq 0
check "user name back" test "$(reg_value "$ACCOUNT" "POP3 User Name")" = "anna"
check "port back" test "$(reg_value "$ACCOUNT" "POP3 Port")" = "0x3e3"
# The journal kept the setting as it was before configuring, so it comes back exactly, not as the usual 1.
check "SSL back on as stored" test "$(reg_value "$ACCOUNT" "POP3 Secure Connection")" = "0x5"

# Without the journal (an account configured elsewhere) only the proxy user name tells: the usual value.
tool configure 0 0
rm -f "$(find "$WINEPREFIX/drive_c/users" -path '*/Nimbrel/journal.json' | head -1)"
tool unconfigure 0 0
check "given back from its name alone (exit 0)" test "$rc" -eq 0
check "SSL back on with the usual value" test "$(reg_value "$ACCOUNT" "POP3 Secure Connection")" = "0x1"
finish
