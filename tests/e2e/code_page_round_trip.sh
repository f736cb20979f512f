#!/bin/bash
# Opera 7's accounts.ini in the ANSI code page through nimbrel-accounts.exe: "Zoë" (the byte 0xEB) as user
# name and server is listed as "Zoë", configured with the proxy user name in code-page bytes and given back
# byte for byte; an account holding a byte the code page leaves undefined (0x81) is refused with its reason,
# and its file stays as it was.
source "$(dirname "$0")/e2e-lib.bash"
export LANG=C.UTF-8
e2e_user 110
ini=$(find "$WINEPREFIX/drive_c/users" -path '*/Opera/Opera7/Mail/accounts.ini' | head -1)
check "Opera 7's accounts.ini seeded" test -f "$ini"
LC_ALL=C sed -i -e '0,/^Incoming Username=petra\r$/s//Incoming Username=Zo\xeb\r/' \
    -e 's/^Incoming Servername=pop\.mail\.example\r$/Incoming Servername=pop.zo\xeb.example\r/' "$ini"
cp "$ini" "$WORK/plain.ini"
# holds FILE BYTES: the file holds that line, compared as bytes
holds() { LC_ALL=C grep -qF -- "$(printf "$2")" "$1"; }
check "Zoë stored as its code-page byte" holds "$ini" 'Incoming Username=Zo\353\r'

tool list
check "listed as Zoë" has_line "$WORK/out.txt" "$(printf '7\t0\tOpera 7\tMail at home\tpetra@mail.example\tYes\tNo\tNo\t\tZoë\tpop.zoë.example\t110\tNo')"
tool configure 7 0
check "configured (exit 0)" test "$rc" -eq 0
check "proxy user name in code-page bytes" holds "$ini" 'Incoming Username=Zo\353/pop.zo\353.example/110\r'
check "server is the proxy's" holds "$ini" 'Incoming Servername=localhost\r'
tool list
check "configured and up to date" has_line "$WORK/out.txt" "$(printf '7\t0\tOpera 7\tMail at home\tpetra@mail.example\tYes\tYes\tYes\t\tZoë/pop.zoë.example/110\tlocalhost\t110\tYes')"
tool unconfigure 7 0
check "given back (exit 0)" test "$rc" -eq 0
check "file byte for byte as before" cmp "$ini" "$WORK/plain.ini"

# A byte Windows-1252 does not define cannot be written back as it was: left alone, file untouched.
LC_ALL=C sed -i 's/^Incoming Username=Zo\xeb\r$/Incoming Username=Zo\x81\r/' "$ini"
cp "$ini" "$WORK/hole.ini"
tool list
check "refused with the reason" grep -qF "$(printf '7\t0\tOpera 7\tMail at home\tpetra@mail.example\tNo\tNo\tNo\tAccount'"'"'s settings hold characters that the e-mail client'"'"'s file cannot store exactly.')" "$WORK/out.txt"
tool configure 7 0
check "configure refused (exit 1)" test "$rc" -eq 1
check "file untouched" cmp "$ini" "$WORK/hole.ini"
# configure --all leaves it too, while it configures the file's other accounts.
section1() { LC_ALL=C awk '/^\[Account1\]/ { on = 1; print; next } /^\[/ { on = 0 } on' "$1"; }
tool configure --all --client 7
check "configure --all changed other accounts" bash -c "! cmp -s '$ini' '$WORK/hole.ini'"
check "configure --all left it alone" diff <(section1 "$ini") <(section1 "$WORK/hole.ini")
check "its user name still holds the byte" holds "$ini" 'Incoming Username=Zo\201\r'
/usr/lib/wine/wineserver -k >/dev/null 2>&1
finish
