#!/bin/bash
# Stores behind links: a Mozilla profile folder and a The Bat! account folder moved elsewhere and replaced by
# Unix links in the prefix's drive_c (which Wine lists as reparse points), plus a link from a profile back up
# the tree. The accounts are listed as before the move, configure --all and unconfigure --all reach them
# through the links, and the stores come back byte for byte; the loop ends the search.
source "$(dirname "$0")/e2e-lib.bash"
e2e_user 110
# Some samples start out configured; one round trip first, so that the one through the links must give every
# store back exactly.
tool configure --all
tool unconfigure --all

tool list
check "list exits 0" test "$rc" -eq 0
cp "$WORK/out.txt" "$WORK/list0.txt"

drive="$WINEPREFIX/drive_c"
profiles=$(find "$drive/users" -type d -path '*/Mozilla/Profiles' | head -1)
check "the seeded Mozilla profiles are there" test -d "$profiles/default" -a -d "$profiles/work/z9y8x7w6.slt"
check "the seeded The Bat! account folder is there" test -f "$drive/nimbrel-samples/TheBat/Mail/Home/account.cfg"
# The moved folders stay under the sample root, so that the snapshot dumps them where they are now.
moved="$drive/nimbrel-samples/moved"
mkdir -p "$moved"
mv "$profiles/default" "$moved/default" && ln -s "$moved/default" "$profiles/default"
mv "$drive/nimbrel-samples/TheBat/Mail/Home" "$moved/Home" && ln -s ../../moved/Home "$drive/nimbrel-samples/TheBat/Mail/Home"
ln -s ../.. "$profiles/work/z9y8x7w6.slt/up"

tool list
check "list through links exits 0" test "$rc" -eq 0
cp "$WORK/out.txt" "$WORK/list1.txt"
check "the same accounts as before the move, each once" diff "$WORK/list0.txt" "$WORK/list1.txt"
check "Mozilla accounts listed" grep -q "^5	" "$WORK/list1.txt"
check "The Bat! account Home listed and supported" test "$(awk -F'\t' '$1 == 4 && $4 == "Home" { print $6 }' "$WORK/list1.txt")" = "Yes"
snapshot "$WORK/snap0.txt"
check "the snapshot notes the links" test "$(grep -c '^LINK ' "$WORK/snap0.txt")" -eq 3
check "the moved stores are in the snapshot" grep -q '^FILE C:\\nimbrel-samples\\moved\\default\\k2l8x0f3.slt\\prefs.js|' "$WORK/snap0.txt"

tool configure --all
check "configure --all: only doubtful accounts left alone (exit 1)" test "$rc" -eq 1
check "nothing failed while configuring" bash -c "! grep -q 'failed:' '$WORK/out.txt'"
snapshot "$WORK/snap1.txt"
check "the moved prefs.js was configured" bash -c "! diff -q <(grep 'moved\\\\default' '$WORK/snap0.txt') <(grep 'moved\\\\default' '$WORK/snap1.txt') >/dev/null"
check "the moved The Bat! account was configured" bash -c "! diff -q <(grep 'moved\\\\Home' '$WORK/snap0.txt') <(grep 'moved\\\\Home' '$WORK/snap1.txt') >/dev/null"
check "the links are still links" test -L "$profiles/default" -a -L "$drive/nimbrel-samples/TheBat/Mail/Home"

tool unconfigure --all
check "unconfigure --all: only doubtful accounts left alone (exit 1)" test "$rc" -eq 1
check "nothing failed while unconfiguring" bash -c "! grep -q 'failed:' '$WORK/out.txt'"
snapshot "$WORK/snap2.txt"
check "every store back byte for byte" diff "$WORK/snap0.txt" "$WORK/snap2.txt"
check "the links are still links after the round trip" test -L "$profiles/default" -a -L "$drive/nimbrel-samples/TheBat/Mail/Home"
/usr/lib/wine/wineserver -k >/dev/null 2>&1
finish
