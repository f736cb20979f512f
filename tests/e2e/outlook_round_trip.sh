#!/bin/bash
# Outlook Express and Outlook through nimbrel-accounts.exe on a sample Windows user: states, exact values
# written, and every original setting back after unconfiguring.
source "$(dirname "$0")/e2e-lib.bash"
e2e_user 110
OE='HKCU\Software\Microsoft\Internet Account Manager\Accounts'

# The seeder is a 64-bit program like ours: the client's machine-wide key must land in the 32-bit view.
wine_to_file "$WORK/reg32.txt" reg query 'HKLM\Software\Wow6432Node\Microsoft\Outlook Express' /v InstallRoot
check "install key in the 32-bit view" grep -q 'nimbrel-samples' "$WORK/reg32.txt"

tool list
check "list exits 0" test "$rc" -eq 0
L="$WORK/out.txt"
check "list header" has_line "$L" "$(printf 'client\taccount\tclient name\taccount name\te-mail\tsupported\tconfigured\tup to date\treason\tuser name\tserver\tport\tjournal')"
check "plain" has_line "$L" "$(printf '0\t0\tOutlook Express\tHome mail\tanna@mail.example\tYes\tNo\tNo\t\tanna\tpop.mail.example\t110\tNo')"
check "spa" has_line "$L" "$(printf '0\t1\tOutlook Express\tOffice (SPA)\tanna@office.example\tYes\tNo\tNo\t\tanna.k\tpop.office.example\t995\tNo')"
check "imap" has_line "$L" "$(printf '0\t2\tOutlook Express\tWork IMAP\tanna@work.example\tNo\tNo\tNo\tAccount configured to work by IMAP protocol.\tanna.work\t\t0\tNo')"
check "old port" has_line "$L" "$(printf '0\t3\tOutlook Express\tOld port\tbob@mail.example\tYes\tYes\tNo\t\tbob/pop.mail.example[APOP]/110\tlocalhost\t8110\tNo')"
check "doubtful" has_line "$L" "$(printf '0\t4\tOutlook Express\tDoubtful\tdom@mail.example\tYes\tYes\tNo\t\tdom/anna\tpop.mail.example\t110\tNo')"
check "slash" has_line "$L" "$(printf "0\t5\tOutlook Express\tSlash server\teve@mail.example\tNo\tNo\tNo\tAccount's username or servername originally contains slash symbol(s).\teve\tpop/mail.example\t110\tNo")"
check "missing value" has_line "$L" "$(printf '0\t6\tOutlook Express\tNo server\tfay@mail.example\tNo\tNo\tNo\tImpossible to read all necessary information from registry.\tfay\t\t0\tNo')"
check "configured" has_line "$L" "$(printf '0\t7\tOutlook Express\tConfigured\tgus@mail.example\tYes\tYes\tYes\t\tgus/pop.gus.example/110\tLocalHost\t110\tNo')"
check "outlook" has_line "$L" "$(printf '1\t1\tOutlook\tOutlook SPA\totto@corp.example\tYes\tNo\tNo\t\tCORP\\otto\tmail.corp.example\t110\tNo')"
check "eight oe rows" test "$(grep -c "^0	" "$L")" -eq 8

snapshot "$WORK/before.txt"

# Without --yes the doubtful account is left alone and reported; the exit code says not all was done.
tool configure --all
check "configure --all exits 1 for the doubtful account" test "$rc" -eq 1
check "doubtful reported" grep -q "^0	4	Outlook Express	Doubtful	left alone: doubtful" "$WORK/out.txt"
snapshot "$WORK/configured.txt"
S="$WORK/configured.txt"
check "user name" has_line "$S" 'REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000001|POP3 User Name|sz:anna/pop.mail.example/110'
check "server" has_line "$S" 'REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000001|POP3 Server|sz:localhost'
check "port" has_line "$S" 'REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000001|POP3 Port|dword:110'
check "spa name" has_line "$S" 'REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000002|POP3 User Name|sz:anna.k/pop.office.example[SPA]/995'
check "spa flag removed" bash -c "! grep -q 'Accounts.00000002|POP3 Use Sicily' '$S'"
check "old port updated" has_line "$S" 'REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000004|POP3 Port|dword:110'
check "outlook spa" has_line "$S" 'REG HKCU\Software\Microsoft\Office\Outlook\OMI Account Manager\Accounts\00000002|POP3 User Name|sz:CORP\otto/mail.corp.example[SPA]/110'

tool list
check "all configured but the doubtful" test "$(grep -c '^[01]	.*	Yes	Yes	Yes	' "$WORK/out.txt")" -eq 6

tool unconfigure --all
check "unconfigure --all exits 1 for the doubtful account" test "$rc" -eq 1
snapshot "$WORK/after.txt"
# Everything is as before but what may be added (a port value that was missing), and the accounts that were
# configured before, which now hold their real settings. The SPA flag that configuring removed is back as 1.
# (Outlook 2007 and later keeps its own accounts below Office's profiles: its own tests look at them.)
diff "$WORK/before.txt" "$WORK/after.txt" | grep '^[<>]' | grep -E 'Internet Account Manager|OMI Account Manager|Outlook Express|Office' | grep -vE 'Office.1[56]\.0.Outlook.Profiles' >"$WORK/diff.txt"
cat >"$WORK/expected-diff.txt" <<'X'
> REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000001|POP3 Port|dword:110
< REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000004|POP3 Port|dword:8110
< REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000004|POP3 Server|sz:localhost
< REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000004|POP3 User Name|sz:bob/pop.mail.example[APOP]/110
< REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000008|POP3 Server|sz:LocalHost
< REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000008|POP3 User Name|sz:gus/pop.gus.example/110
> REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000004|POP3 Port|dword:110
> REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000004|POP3 Server|sz:pop.mail.example
> REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000004|POP3 User Name|sz:bob
> REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000008|POP3 Server|sz:pop.gus.example
> REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000008|POP3 User Name|sz:gus
X
sort "$WORK/expected-diff.txt" -o "$WORK/expected-diff.txt"
sort "$WORK/diff.txt" -o "$WORK/diff.txt"
check "round trip changes nothing else" diff "$WORK/expected-diff.txt" "$WORK/diff.txt"

# With --yes the doubtful account is repaired into the canonical proxy form.
tool --yes configure 0 4
check "repair exits 0" test "$rc" -eq 0
snapshot "$WORK/repaired.txt"
check "repaired name" has_line "$WORK/repaired.txt" 'REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000005|POP3 User Name|sz:dom/anna/110'

# A running client is left alone unless forced: a program of our own under the client's name.
cp "$BIN/nimbrel-sample-user.exe" "$WORK/msimn.exe"
rm -f "$WORK/started"
/usr/lib/wine/wine64 "$WORK/msimn.exe" wait "Z:${WORK//\//\\}\\started" </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 300); do
    [ -f "$WORK/started" ] && break
    sleep 0.1
done
check "stand-in client started" test -f "$WORK/started"
snapshot "$WORK/before-forced.txt"
tool configure 0 0
check "running client left alone" grep -q 'left alone: msimn.exe is running' "$WORK/out.txt"
check "running client exit 1" test "$rc" -eq 1
snapshot "$WORK/left-alone.txt"
check "left alone means unchanged" diff "$WORK/before-forced.txt" "$WORK/left-alone.txt"
tool --force configure 0 0
check "forced" test "$rc" -eq 0
snapshot "$WORK/forced.txt"
check "forced configure written" has_line "$WORK/forced.txt" 'REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000001|POP3 Server|sz:localhost'
check "forced user name" has_line "$WORK/forced.txt" 'REG HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000001|POP3 User Name|sz:anna/pop.mail.example/110'
kill %1 2>/dev/null
/usr/lib/wine/wineserver -k >/dev/null 2>&1
finish
