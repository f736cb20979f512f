#!/bin/bash
# A user named "Łukasz" (application data under C:\users\Łukasz) with accounts whose user names, servers and
# folders are "Łukasz", "李雷", "Zoë" and U+1F600: every registry client lists them as stored, configures
# them and gives them back exactly; the Mozilla profile folder and The Bat! account folders of those names
# are found and written. Full-width options are not options: a usage error, and nothing changes.
source "$(dirname "$0")/e2e-lib.bash"
# Wine reads the Unix command line in the locale's charset: UTF-8, so that full-width letters arrive whole.
export LANG=C.UTF-8
names=("Łukasz" "李雷" "Zoë" "😀")

wine_prefix_clone "$WORK/prefix" || { echo "no wine prefix"; exit 1; }
wine_to_file "$WORK/seed.txt" "$BIN/nimbrel-sample-user.exe" seed-unicode "$SAMPLES" 110 ||
    { cat "$WORK/seed.txt"; echo "seeding failed"; exit 1; }

# field FILE CLIENT ACCOUNTNAME COLUMN: a column of the row of that account
field() { awk -F'\t' -v c="$2" -v n="$3" -v k="$4" 'NR > 1 && $1 == c && $4 == n { print $k; exit }' "$1"; }

tool list
check "list exits 0" test "$rc" -eq 0
cp "$WORK/out.txt" "$WORK/list0.txt"
snapshot "$WORK/snap0.txt"
# The stores under the application-data folder are found: Mozilla, Opera 7 and Netscape.
for client in 5 7 8; do
    check "client $client has accounts under C:\\users\\Łukasz" grep -q "^$client	" "$WORK/list0.txt"
done
for name in "${names[@]}"; do
    # Outlook Express, Outlook, IncrediMail: the registry's own text.
    for client in 0 1 2; do
        check "$client $name: listed as stored" has_line <(awk -F'\t' -v c=$client -v n="$name" \
            'NR > 1 && $1 == c && $4 == n { print $6 "|" $7 "|" $10 "|" $11 "|" $12 }' "$WORK/list0.txt") \
            "Yes|No|$name|pop.$name.example|110"
    done
    # Mozilla and Netscape: the profile folder "Łukasz", prefs.js in UTF-8.
    for client in 5 8; do
        check "$client $name: Mozilla profile folder read" has_line <(awk -F'\t' -v c=$client -v n="$name" \
            'NR > 1 && $1 == c && $10 == n { print $6 "|" $7 "|" $11 }' "$WORK/list0.txt") \
            "Yes|No|pop.$name.example"
    done
    # The Bat!: the depot's name and the account folder "Mail\<name>".
    check "4 $name: The Bat! account folder read" test "$(field "$WORK/list0.txt" 4 "$name" 6)" = "Yes"
done

tool configure --all
check "configure --all: only doubtful accounts left alone (exit 1)" test "$rc" -eq 1
check "nothing failed while configuring" bash -c "! grep -q 'failed:' '$WORK/out.txt'"
tool list
cp "$WORK/out.txt" "$WORK/list1.txt"
for name in "${names[@]}"; do
    for client in 0 1 2; do
        check "$client $name: configured exactly" has_line <(awk -F'\t' -v c=$client -v n="$name" \
            'NR > 1 && $1 == c && $4 == n { print $7 "|" $8 "|" $10 "|" $11 }' "$WORK/list1.txt") \
            "Yes|Yes|$name/pop.$name.example/110|localhost"
    done
    for client in 5 8; do
        check "$client $name: configured exactly in prefs.js" has_line <(awk -F'\t' -v c=$client \
            'NR > 1 && $1 == c { print $7 "|" $8 "|" $10 "|" $11 }' "$WORK/list1.txt") \
            "Yes|Yes|$name/pop.$name.example/110|localhost"
    done
    check "4 $name: The Bat! account configured" test "$(field "$WORK/list1.txt" 4 "$name" 8)" = "Yes"
done
# The registry holds the names themselves (UTF-16), not best-fit look-alikes.
check "registry holds the proxy form of Łukasz" grep -qF "|POP3 User Name|sz:Łukasz/pop.Łukasz.example/110" \
    <(tr -d '\r' <"$WORK/snap.raw"; snapshot "$WORK/snap1.txt"; cat "$WORK/snap1.txt")

tool unconfigure --all
check "unconfigure --all: only doubtful accounts left alone (exit 1)" test "$rc" -eq 1
tool list
cp "$WORK/out.txt" "$WORK/list2.txt"
awk -F'\t' 'NR > 1 && $6 == "Yes" && $7 == "No"' "$WORK/list0.txt" | sort >"$WORK/plain0.txt"
check "plain accounts back as they were" bash -c "comm -23 '$WORK/plain0.txt' <(sort '$WORK/list2.txt') | (! grep -q .)"
snapshot "$WORK/snap2.txt"
# What carries the names (registry values, the profile folder, The Bat! folders) is back byte for byte; the
# application-data path itself does not count.
named() { sed 's/^FILE C:\\users\\Łukasz\\AppData\\Roaming\\/FILE APPDATA\\/' "$1" | grep -F -e 'Łukasz' -e '李雷' -e 'Zoë' -e '😀'; }
check "some stores carry the names" test "$(named "$WORK/snap0.txt" | wc -l)" -ge 30
check "the named stores are back byte for byte" diff <(named "$WORK/snap0.txt") <(named "$WORK/snap2.txt")

# Full-width letters are not the ASCII options they look like.
for args in "configure －－ａｌｌ" "unconfigure －－ａｌｌ" "ｌｉｓｔ" "--yes configure －－ａｌｌ"; do
    # shellcheck disable=SC2086
    tool $args
    check "'$args' is a usage error (exit 2)" test "$rc" -eq 2
    check "'$args' shows the usage" grep -q "^usage: nimbrel-accounts" "$WORK/out.txt"
done
snapshot "$WORK/snap3.txt"
check "full-width arguments changed nothing" diff "$WORK/snap2.txt" "$WORK/snap3.txt"
/usr/lib/wine/wineserver -k >/dev/null 2>&1
finish
