#!/bin/bash
# nimbrel-accounts list --json read by a real JSON parser on the sample user, against the tab-separated list;
# --dry-run writes nothing and prints what the real run then writes.
source "$(dirname "$0")/e2e-lib.bash"
e2e_user 110

tool list
check "list exits 0" test "$rc" -eq 0
cp "$WORK/out.txt" "$WORK/list.txt"
tool list --json
check "list --json exits 0" test "$rc" -eq 0
cp "$WORK/out" "$WORK/list.json"
# The JSON, typed, turned back into the tab-separated lines: the same accounts with the same values.
check "json parses and matches the list" python3 - "$WORK/list.json" "$WORK/list.txt" <<'PY'
import json, sys
accounts = json.load(open(sys.argv[1], encoding="utf-8"))
lines = open(sys.argv[2], encoding="cp1252").read().splitlines()[1:]
assert isinstance(accounts, list) and len(accounts) == len(lines), (len(accounts), len(lines))
yes = lambda value: "Yes" if value else "No"
for account, line in zip(accounts, lines):
    for name in ("client", "account", "port"):
        assert type(account[name]) is int, (name, account)
    for name in ("supported", "configured", "upToDate", "journal"):
        assert type(account[name]) is bool, (name, account)
    assert account["reason"] is None or (type(account["reason"]) is str and account["reason"]), account
    fields = [str(account["client"]), str(account["account"]), account["clientName"], account["accountName"],
              account["email"], yes(account["supported"]), yes(account["configured"]), yes(account["upToDate"]),
              account["reason"] or "", account["userName"], account["server"], str(account["port"]),
              yes(account["journal"])]
    assert "\t".join(fields) == line, ("\t".join(fields), line)
assert len({a["client"] for a in accounts}) >= 5
PY
tool --client 'the bat!' list
check "--client by name lists only that client" test "$(cut -f1 "$WORK/out.txt" | sort -u | tr '\n' ' ')" = "4 client "

snapshot "$WORK/before.txt"
tool --dry-run --yes configure --all
dry_rc=$rc
cp "$WORK/out.txt" "$WORK/dry.txt"
snapshot "$WORK/after-dry.txt"
check "dry run writes nothing" diff "$WORK/before.txt" "$WORK/after-dry.txt"
check "dry run names accounts" test "$(grep -c $'\twould write\t' "$WORK/dry.txt")" -ge 10
tool --yes configure --all
check "the real run's exit code is the dry run's" test "$rc" -eq "$dry_rc"
tool list
# Every value the dry run printed is what the account holds now.
missing=0
while IFS=$'\t' read -r c a client account what user server port; do
    [ "$what" = "would write" ] || continue
    grep -qF -- "$(printf '%s\t%s\t%s\t%s\t' "$c" "$a" "$client" "$account")" "$WORK/out.txt" &&
        # User and server through the environment: awk -v would read a backslash in them as an escape.
        U="$user" S="$server" awk -F'\t' -v c="$c" -v a="$a" -v p="$port" \
            '$1 == c && $2 == a && $10 == ENVIRON["U"] && $11 == ENVIRON["S"] && $12 == p { found = 1 } END { exit !found }' "$WORK/out.txt" ||
        { echo "  not written as printed: $c $a $user $server $port"; missing=$((missing + 1)); }
done <"$WORK/dry.txt"
check "the real run wrote what the dry run printed" test "$missing" -eq 0
/usr/lib/wine/wineserver -k >/dev/null 2>&1
finish
