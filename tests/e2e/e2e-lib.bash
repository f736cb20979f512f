# Sourced by the end-to-end scripts: a throwaway Wine user with the sample accounts, and checks that count.
set -u
e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$e2e_here/../../tools/wine-env.sh"
BIN=$1
WORK=$(mktemp -d "${TMPDIR:-/tmp}/nimbrel-e2e.XXXXXX")
SAMPLES='C:\nimbrel-samples'
passed=0
failed=0
trap 'rm -rf "$WORK"' EXIT

check() { # check NAME COMMAND...: one assertion
    local name=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $name"
    fi
}

# tool ARGS...: runs nimbrel-accounts, output in $WORK/out, exit code in $rc
tool() {
    wine_to_file "$WORK/out" "$BIN/nimbrel-accounts.exe" "$@"
    rc=$?
    tr -d '\r' <"$WORK/out" >"$WORK/out.txt"
}

snapshot() {
    wine_to_file "$WORK/snap.raw" "$BIN/nimbrel-sample-user.exe" snapshot "$SAMPLES"
    tr -d '\r' <"$WORK/snap.raw" | sort >"$1"
}

has_line() { grep -qxF -- "$2" "$1" || { echo "  missing in $(basename "$1"): $2"; return 1; }; }

finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

e2e_user() { # a fresh user seeded with every client's samples for proxy port $1
    wine_prefix_clone "$WORK/prefix" || { echo "no wine prefix"; exit 1; }
    wine_to_file "$WORK/seed.txt" "$BIN/nimbrel-sample-user.exe" seed "$SAMPLES" "$1" ||
        { cat "$WORK/seed.txt"; echo "seeding failed"; exit 1; }
}
