#!/bin/bash
# Every client with samples on one sample user through nimbrel-accounts.exe: every client is listed,
# configure --all configures every supported account, unconfigure --all gives every plain account back
# exactly, and a second round trip leaves every store byte for byte as the first one did.
source "$(dirname "$0")/e2e-lib.bash"
e2e_user 110

tool list
check "list exits 0" test "$rc" -eq 0
cp "$WORK/out.txt" "$WORK/list0.txt"
for client in 0 1 2 3 4 5 6 7 8 9 10 11 12 13; do
    check "client $client listed" grep -q "^$client	" "$WORK/list0.txt"
done
snapshot "$WORK/snap0.txt"

tool configure --all
check "configure --all leaves only doubtful accounts (exit 1)" test "$rc" -eq 1
check "nothing failed while configuring" bash -c "! grep -q 'failed:' '$WORK/out.txt'"
cp "$WORK/out.txt" "$WORK/configure.txt"
tool list
cp "$WORK/out.txt" "$WORK/list1.txt"
# Every supported account that was not doubtful is now configured and up to date.
awk -F'\t' 'NR > 1 && $6 == "Yes" && !($7 == "Yes" && $8 == "No" && $11 != "localhost" && $11 != "LocalHost" && $11 != "127.0.0.1") { print $1 "\t" $2 }' \
    "$WORK/list0.txt" | sort >"$WORK/expected-configured.txt"
awk -F'\t' 'NR > 1 && $6 == "Yes" && $7 == "Yes" && $8 == "Yes" { print $1 "\t" $2 }' "$WORK/list1.txt" |
    sort >"$WORK/configured.txt"
check "every plain supported account configured" bash -c "comm -23 '$WORK/expected-configured.txt' '$WORK/configured.txt' | (! grep -q .)"

tool unconfigure --all
check "unconfigure --all leaves only doubtful accounts (exit 1)" test "$rc" -eq 1
check "nothing failed while unconfiguring" bash -c "! grep -q 'failed:' '$WORK/out.txt'"
tool list
cp "$WORK/out.txt" "$WORK/list2.txt"
snapshot "$WORK/snap2.txt"
# Accounts that were plain before are listed exactly as before: user name, server and port came back.
awk -F'\t' 'NR > 1 && $6 == "Yes" && $7 == "No"' "$WORK/list0.txt" | sort >"$WORK/plain0.txt"
check "some plain accounts" test "$(wc -l <"$WORK/plain0.txt")" -ge 10
check "plain accounts back as they were" bash -c "comm -23 '$WORK/plain0.txt' <(sort '$WORK/list2.txt') | (! grep -q .)"
# Nothing disappears from any store: every registry value and every file is still there.
cut -d'|' -f1,2 "$WORK/snap0.txt" | sed -E 's/^(FILE [^|]*)\|.*/\1/' | sort -u >"$WORK/names0.txt"
cut -d'|' -f1,2 "$WORK/snap2.txt" | sed -E 's/^(FILE [^|]*)\|.*/\1/' | sort -u >"$WORK/names2.txt"
check "no value or file lost" bash -c "comm -23 '$WORK/names0.txt' '$WORK/names2.txt' | (! grep -q .)"

# A second round trip changes nothing at all: no drift, no line or value added twice.
tool configure --all
tool unconfigure --all
snapshot "$WORK/snap3.txt"
check "second round trip is byte for byte the first" diff "$WORK/snap2.txt" "$WORK/snap3.txt"
/usr/lib/wine/wineserver -k >/dev/null 2>&1
finish
