#!/bin/bash
# The journal of original settings through nimbrel-accounts.exe: an Outlook Express account and a Mozilla
# account whose proxy user names were spoiled in their stores come back exactly from it; an SPA flag of 2 comes
# back as 2 in a later run; a damaged journal is set aside and stops nothing; no journal is left at the end.
source "$(dirname "$0")/e2e-lib.bash"
e2e_user 110
ACCOUNT='HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000001'
SPA_ACCOUNT='HKCU\Software\Microsoft\Internet Account Manager\Accounts\00000002'

reg_value() { # reg_value KEY NAME: the value's data as reg query prints it
    wine_to_file "$WORK/query.raw" reg query "$1" /v "$2"
    tr -d '\r' <"$WORK/query.raw" | awk -v name="$2" 'index($0, name) { print $NF }'
}
journal_file() { find "$WINEPREFIX/drive_c/users" -path '*/Nimbrel/journal.json' 2>/dev/null | head -1; }
row() { awk -F'\t' -v c="$1" -v a="$2" '$1 == c && $2 == a' "$WORK/out.txt"; }

tool list
cp "$WORK/out.txt" "$WORK/list0.txt"
check "no journal at first" test -z "$(journal_file)"
MOZ=$(awk -F'\t' '$1 == 5 && $10 == "m.novak" && $7 == "No" { print $2; exit }' "$WORK/list0.txt")
check "the Mozilla sample account is there" test -n "$MOZ"
# A round trip through the proxy user names first: a store's own rewrite may add a value it leaves out (a
# default port) or end its last line, and the round trip through the journal must then change nothing more.
tool configure 0 0
tool configure 5 "$MOZ"
tool unconfigure 0 0
tool unconfigure 5 "$MOZ"
check "no journal after a plain round trip" test -z "$(journal_file)"
snapshot "$WORK/snap0.txt"

tool configure 0 0
check "configured (exit 0)" test "$rc" -eq 0
tool configure 5 "$MOZ"
check "Mozilla account configured (exit 0)" test "$rc" -eq 0
check "journal written" test -s "$(journal_file)"
tool list
check "listed with its entry" test "$(row 0 0 | cut -f13)" = "Yes"
check "Mozilla account listed with its entry" test "$(row 5 "$MOZ" | cut -f13)" = "Yes"
check "another account without one" test "$(row 0 7 | cut -f13)" = "No"
tool list --json
check "the JSON form says so" grep -q '"journal": true' "$WORK/out.txt"

# The user edits the proxy user names away in the clients.
wine_to_file "$WORK/reg.txt" reg add "$ACCOUNT" /v "POP3 User Name" /t REG_SZ /d "anna-edited" /f
PREFS=$(grep -rl --include=prefs.js 'm.novak/pop.work.example/110' "$WINEPREFIX/drive_c" | head -1)
check "the Mozilla proxy user name is in a prefs.js" test -n "$PREFS"
sed -i 's#"m.novak/pop.work.example/110"#"m.novak-edited"#' "$PREFS"
tool list
check "still configured, not up to date" test "$(row 0 0 | cut -f7,8,10,13)" = "$(printf 'Yes\tNo\tanna-edited\tYes')"
check "Mozilla still configured" test "$(row 5 "$MOZ" | cut -f7,10,13)" = "$(printf 'Yes\tm.novak-edited\tYes')"

tool unconfigure 0 0
check "given back (exit 0)" test "$rc" -eq 0
check "the result says where from" has_line "$WORK/out.txt" "$(printf '0\t0\tOutlook Express\tHome mail\tunconfigured (settings from the journal)')"
check "user name back" test "$(reg_value "$ACCOUNT" "POP3 User Name")" = "anna"
check "server back" test "$(reg_value "$ACCOUNT" "POP3 Server")" = "pop.mail.example"
tool unconfigure 5 "$MOZ"
check "Mozilla account given back (exit 0)" test "$rc" -eq 0
check "its result says where from" grep -q "unconfigured (settings from the journal)" "$WORK/out.txt"
check "no journal once all is given back" test -z "$(journal_file)"
tool list
check "listed as before" diff "$WORK/list0.txt" "$WORK/out.txt"
snapshot "$WORK/snap1.txt"
check "every store back byte for byte" diff "$WORK/snap0.txt" "$WORK/snap1.txt"

# SPA flag 2: the proxy user name says only [SPA]; a later run gives back 2, not 1.
wine_to_file "$WORK/reg.txt" reg add "$SPA_ACCOUNT" /v "POP3 Use Sicily" /t REG_DWORD /d 2 /f
tool configure 0 1
check "SPA account configured" test "$rc" -eq 0
check "SPA tag in the name" test "$(reg_value "$SPA_ACCOUNT" "POP3 User Name")" = "anna.k/pop.office.example[SPA]/995"
tool unconfigure 0 1
check "SPA account given back" test "$rc" -eq 0
check "SPA flag 2 again" test "$(reg_value "$SPA_ACCOUNT" "POP3 Use Sicily")" = "0x2"

# A damaged journal: told of on stderr, set aside, and configuring and giving back go on.
tool configure 0 0
printf '{"format": 1, "entries": [{"cli' >"$(journal_file)"
tool configure 0 1
check "configure with a damaged journal (exit 0)" test "$rc" -eq 0
check "the damage is told" grep -q '^nimbrel-accounts: the journal of original settings was damaged; it was set aside as .*journal.json.damaged-' "$WORK/out.txt"
check "set aside beside it" test -n "$(find "$WINEPREFIX/drive_c/users" -path '*/Nimbrel/journal.json.damaged-*')"
tool unconfigure 0 0
check "given back from its name (exit 0)" test "$rc" -eq 0
check "user name back from its name" test "$(reg_value "$ACCOUNT" "POP3 User Name")" = "anna"
tool unconfigure 0 1
check "SPA account given back after the damage" test "$rc" -eq 0
check "SPA flag still 2" test "$(reg_value "$SPA_ACCOUNT" "POP3 Use Sicily")" = "0x2"
/usr/lib/wine/wineserver -k >/dev/null 2>&1
finish
