#!/bin/bash
# Seeds the Wine user of $NIMBREL_WINEPREFIX with one big store for the whole-process timings under Wine:
#   make-user.sh prefs N BYTES   Mozilla alone, N POP3 accounts in one prefs.js padded to BYTES
#   make-user.sh opera7 N        Opera 7 alone, N POP3 accounts in its one accounts.ini
# Prints the store's Windows path. The accounts are those of the native benchmark's generated user.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wine-env.sh"
# A server already running makes its start-up fail; the prefix is ready all the same.
wine_prefix_ready || true
kind=$1
count=$2
roaming="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
programs="$WINEPREFIX/drive_c/nimbrel-bench"
rm -rf "$roaming/Mozilla" "$roaming/Opera" "$programs"
mkdir -p "$programs"
reg() { /usr/lib/wine/wine64 reg "$@" </dev/null >/dev/null 2>&1; }
reg delete 'HKCU\Software\Mozilla' /f || true
reg delete 'HKCU\Software\Opera Software' /f || true
case $kind in
prefs)
    bytes=$3
    printf 'MZ' >"$programs/mozilla.exe"
    reg add 'HKCU\Software\Mozilla\Mozilla 1.7\bin' /v PathToExe /d 'C:\nimbrel-bench\mozilla.exe' /f
    profile="$roaming/Mozilla/Profiles/default/x1y2z3.slt"
    mkdir -p "$profile"
    awk -v n="$count" -v size="$bytes" 'BEGIN {
        ORS = "\r\n"; q = "\""
        print "# Mozilla User Preferences"; print ""
        out = 0; list = ""
        for (i = 1; i <= n; i++) {
            a = a "user_pref(" q "mail.account.account" i ".identities" q ", " q "id" i q ");" ORS
            a = a "user_pref(" q "mail.account.account" i ".server" q ", " q "server" i q ");" ORS
            list = list (i > 1 ? "," : "") "account" i
            d = d "user_pref(" q "mail.identity.id" i ".fullName" q ", " q "User " i q ");" ORS
            d = d "user_pref(" q "mail.identity.id" i ".useremail" q ", " q "user" i "@mail.example" q ");" ORS
            s = "mail.server.server" i "."
            v = v "user_pref(" q s "check_new_mail" q ", true);" ORS
            v = v "user_pref(" q s "hostname" q ", " q "pop" i ".mail.example" q ");" ORS
            v = v "user_pref(" q s "login_at_startup" q ", true);" ORS
            v = v "user_pref(" q s "name" q ", " q "Account " i q ");" ORS
            if (i % 2) v = v "user_pref(" q s "port" q ", 110);" ORS
            v = v "user_pref(" q s "type" q ", " q "pop3" q ");" ORS
            v = v "user_pref(" q s "userName" q ", " q "user" i q ");" ORS
        }
        text = a "user_pref(" q "mail.accountmanager.accounts" q ", " q list q ");" ORS d v
        printf "%s", text
        total = length(text) + 30
        for (k = 0; total < size; k++) {
            line = "user_pref(" q "browser.history.entry" k q ", " q "http://www.example.com/some/page/visited/long/ago/" k q ");"
            print line
            total += length(line) + 2
        }
    }' >"$profile/prefs.js"
    echo "C:\\users\\$(id -un)\\AppData\\Roaming\\Mozilla\\Profiles\\default\\x1y2z3.slt\\prefs.js"
    ;;
opera7)
    printf 'MZ' >"$programs/Opera.exe"
    reg add 'HKCU\Software\Opera Software' /v 'Last CommandLine v2' /d 'C:\nimbrel-bench\Opera.exe' /f
    mkdir -p "$roaming/Opera/Opera7/Mail"
    awk -v n="$count" 'BEGIN {
        ORS = "\r\n"
        print "[Accounts]"; print "Count=" n
        for (i = 1; i <= n; i++) {
            print "[Account" i "]"; print "Account Name=Account " i; print "Email=user" i "@mail.example"
            print "Incoming Protocol=POP"; print "Incoming Username=user" i
            print "Incoming Servername=pop" i ".mail.example"; print "Incoming Port=110"
            print "Outgoing Servername=smtp.mail.example"; print "Outgoing Port=25"
        }
    }' >"$roaming/Opera/Opera7/Mail/accounts.ini"
    echo "C:\\users\\$(id -un)\\AppData\\Roaming\\Opera\\Opera7\\Mail\\accounts.ini"
    ;;
*)
    echo "usage: make-user.sh prefs N BYTES | opera7 N" >&2
    exit 2
    ;;
esac
# Stores as a user has them: older than the file system's time grain.
sleep 1.1
