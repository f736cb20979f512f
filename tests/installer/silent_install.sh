#!/bin/bash
# The installer run silently on a sample user: what it puts in place, the installed tool, /CONFIGURE, and an
# uninstall that gives every account back exactly, or keeps everything when one cannot be.
source "$(dirname "$0")/installer-lib.bash"
e2e_user 110
SETUP="$BIN/nimbrel-setup.exe"
# The Bat! keeps each account in a file of its own: one of them read-only stands for a store that cannot be
# written.
READ_ONLY_STORE='C:\nimbrel-samples\TheBat\Mail\Home\account.cfg'
READ_ONLY_ACCOUNT=$'4\t0\tThe Bat!\tHome'

# The user as a round trip leaves it (a missing port value added, an SPA flag made 1): what an uninstall
# after a configure must give back byte for byte.
tool --yes configure --all
tool --yes unconfigure --all
check "user prepared" test "$rc" -eq 0
snapshot "$WORK/before.txt"
tool list
cp "$WORK/out.txt" "$WORK/list-before.txt"

# --- a silent install into the default folder touches no account
run_line "$WORK/setup.log" "\"$(winepath -w "$SETUP" 2>/dev/null)\" /S"
check "silent install exits 0" test "$rc" -eq 0
DIR=$(unix_path "$DEFAULT_DIR")
for file in vantler.exe nimbrel-accounts.exe; do
    check "$file installed as built" cmp -s "$BIN/$file" "$DIR/$file"
done
check "uninstaller installed" test -s "$DIR/uninstall.exe"
LNK=$(shortcut_path)
check "start-menu shortcut" test -n "$LNK"
check "shortcut to vantler.exe" grep -qa 'vantler.exe' "${LNK:-/dev/null}"
check "installation directory with its backslash" test "$(reg_value "$PACKAGE_KEY" 'Installation Directory')" = 'REG_SZ|C:\Program Files\Nimbrel\'
check "proxy port left to the proxy" test "$(reg_value "$PACKAGE_KEY" 'POP3 proxy uses port')" = 'REG_DWORD|0x6e'
expect_uninstall_value() { check "Uninstall $1" test "$(reg_value "$UNINSTALL_KEY" "$1")" = "$2"; }
expect_uninstall_value DisplayName 'REG_SZ|Tarnwicke Nimbrel'
expect_uninstall_value DisplayVersion "REG_SZ|$NIMBREL_VERSION"
expect_uninstall_value Publisher 'REG_SZ|Tarnwicke'
expect_uninstall_value DisplayIcon 'REG_SZ|C:\Program Files\Nimbrel\vantler.exe,0'
expect_uninstall_value InstallLocation 'REG_SZ|C:\Program Files\Nimbrel'
expect_uninstall_value UninstallString 'REG_SZ|"C:\Program Files\Nimbrel\uninstall.exe"'
expect_uninstall_value QuietUninstallString 'REG_SZ|"C:\Program Files\Nimbrel\uninstall.exe" /S'
expect_uninstall_value NoModify 'REG_DWORD|0x1'
expect_uninstall_value NoRepair 'REG_DWORD|0x1'
size=$(reg_value "$UNINSTALL_KEY" EstimatedSize)
kb=$(( $(du -sk "$DIR" | cut -f1) ))
check "EstimatedSize near the folder's size (${size#*|} for ${kb} KB)" \
    bash -c "v=\$(( ${size#*|} )); [ \$v -gt 0 ] && [ \$v -le $((kb + 64)) ] && [ \$v -ge $((kb / 2)) ]"
snapshot "$WORK/installed.txt"
# The shortcut is the user's only file of ours; it was checked above.
diff "$WORK/before.txt" "$WORK/installed.txt" | grep '^[<>]' | grep -v 'Start Menu' >"$WORK/install-diff.txt"
check "install changed no account, only added its folder value" \
    test "$(cat "$WORK/install-diff.txt")" = '> REG HKCU\Software\Tarnwicke\Nimbrel|Installation Directory|sz:C:\Program Files\Nimbrel\'

# The installed tool sees the seeded accounts as the built one does.
wine_to_file "$WORK/installed-list.raw" "$DIR/nimbrel-accounts.exe" list
tr -d '\r' <"$WORK/installed-list.raw" >"$WORK/installed-list.txt"
check "installed tool lists the seeded accounts" diff "$WORK/list-before.txt" "$WORK/installed-list.txt"
check "accounts of several clients" test "$(cut -f1 "$WORK/installed-list.txt" | sort -u | wc -l)" -ge 5

# --- an upgrade over it with /CONFIGURE, into the same folder: every account configured, the log kept
echo stale >"$DIR/vantler.exe"
run_line "$WORK/setup2.log" "\"$(winepath -w "$SETUP" 2>/dev/null)\" /S /CONFIGURE /D=$DEFAULT_DIR"
check "install /CONFIGURE exits 0" test "$rc" -eq 0
check "upgrade replaced the program" cmp -s "$BIN/vantler.exe" "$DIR/vantler.exe"
tr -d '\r' <"$DIR/configure.log" >"$WORK/configure.txt" 2>/dev/null
check "configure.log names what was configured" grep -q $'^0\t0\tOutlook Express\tHome mail\tconfigured$' "$WORK/configure.txt"
tool list
configured=$(grep -c $'\tYes\tYes\tYes\t' "$WORK/out.txt")
supported=$(awk -F'\t' 'NR > 1 && $6 == "Yes"' "$WORK/out.txt" | wc -l)
check "every supported account configured ($configured of $supported)" test "$configured" -eq "$supported"
check "configured through the proxy" grep -q $'^0\t0\tOutlook Express\tHome mail\t.*\tanna/pop.mail.example/110\tlocalhost\t110\tYes$' "$WORK/out.txt"
snapshot "$WORK/configured.txt"

# An upgrade keeps the accounts as they are: no /CONFIGURE, and nothing is given back either.
run_line "$WORK/setup3.log" "\"$(winepath -w "$SETUP" 2>/dev/null)\" /S"
snapshot "$WORK/upgraded.txt"
check "upgrade keeps the accounts" diff <(grep -v 'Start Menu' "$WORK/configured.txt") <(grep -v 'Start Menu' "$WORK/upgraded.txt")

# --- a store that cannot be written: the silent uninstall keeps everything, says so and names the account
RO=$(unix_path "$READ_ONLY_STORE")
wine_to_file "$WORK/attrib.txt" cmd /c attrib +r "$READ_ONLY_STORE"
run_line "$WORK/uninstall1.log" "\"$DEFAULT_DIR\\uninstall.exe\" /S _?=$DEFAULT_DIR"
check "uninstall with a read-only store exits non-zero" test "$rc" -ne 0
for file in vantler.exe nimbrel-accounts.exe uninstall.exe; do
    check "$file kept" test -s "$DIR/$file"
done
check "shortcut kept" test -n "$(shortcut_path)"
check "Uninstall entry kept" test -n "$(reg_value "$UNINSTALL_KEY" UninstallString)"
check "installation directory kept" test -n "$(reg_value "$PACKAGE_KEY" 'Installation Directory')"
tr -d '\r' <"$DIR/uninstall.log" >"$WORK/uninstall.txt" 2>/dev/null
check "log names the account" grep -q "$READ_ONLY_ACCOUNT"$'\tfailed' "$WORK/uninstall.txt"
tool list
check "that account still configured" grep -q "$READ_ONLY_ACCOUNT"$'\t.*\tYes\tYes\tYes\t' "$WORK/out.txt"

# --- writable again: the uninstall, run as Add/Remove Programs runs it, completes
wine_to_file "$WORK/attrib.txt" cmd /c attrib -r "$READ_ONLY_STORE"
run_line "$WORK/uninstall2.log" "\"$DEFAULT_DIR\\uninstall.exe\" /S"
check "uninstaller started" test "$rc" -eq 0
# It copies itself away and returns at once: done when the folder is gone.
check "uninstall removes the folder" wait_for 120 bash -c "! test -e '$DIR'"
check "no shortcut left" test -z "$(shortcut_path)"
check "no Start-menu folder left" test -z "$(find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Nimbrel' 2>/dev/null)"
check "no Uninstall key left" no_key "$UNINSTALL_KEY"
check "no installation directory value left" test -z "$(reg_value "$PACKAGE_KEY" 'Installation Directory')"
check "proxy port kept" test "$(reg_value "$PACKAGE_KEY" 'POP3 proxy uses port')" = 'REG_DWORD|0x6e'
snapshot "$WORK/after.txt"
check "every account given back exactly" diff "$WORK/before.txt" "$WORK/after.txt"
/usr/lib/wine/wineserver -k >/dev/null 2>&1
finish
