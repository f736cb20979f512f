#!/bin/bash
# Every test: native (portable backend, sanitizers), then cross-built under Wine (contract, unit, end-to-end,
# and the dialogs under Xvfb). Prints one closing line with the totals.
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
bash tools/setup.sh || exit 1
export NIMBREL_WINEPREFIX="${NIMBREL_WINEPREFIX:-${TMPDIR:-/tmp}/nimbrel-wine-test-$$}"
logs=$(mktemp -d)
status=0
total_passed=0
total_failed=0

run_ctest() { # run_ctest PRESET
    ctest --preset "$1" 2>&1 | tee "$logs/$1.log"
    local rc=${PIPESTATUS[0]}
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$logs/$1.log" | tail -1)
    local failed out_of
    failed=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
    out_of=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/')
    if [ -z "$line" ]; then
        echo "ctest ($1) ran no test"
        status=1
        return
    fi
    total_passed=$((total_passed + out_of - failed))
    total_failed=$((total_failed + failed))
    [ "$rc" -eq 0 ] || status=1
}

start=$(date +%s)
echo "== native build (portable backend, ASan+UBSan)"
if cmake --preset native >"$logs/native-configure.log" 2>&1 && cmake --build --preset native; then
    run_ctest native
else
    cat "$logs/native-configure.log"
    echo "native build failed"
    status=1
fi

echo "== windows build (win32 backend) and tests under Wine"
if cmake --preset windows >"$logs/windows-configure.log" 2>&1 && cmake --build --preset windows; then
    run_ctest windows
else
    cat "$logs/windows-configure.log"
    echo "windows build failed"
    status=1
fi
/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true

# ---- Proof of robustness and speed: each fuzzer briefly, then the benchmark's short run ----
echo "== fuzzers, 10 s each (clang, libFuzzer, ASan+UBSan); longer: tools/fuzz-long.sh"
bash tools/fuzz-run.sh 10 2>&1 | tee "$logs/fuzz.log"
fuzz_passed=$(grep -c ': [0-9]* inputs in .* no crash' "$logs/fuzz.log")
fuzz_failed=$(grep -c 'FAILED' "$logs/fuzz.log")
[ "$fuzz_passed" -gt 0 ] || { echo "no fuzzer ran"; fuzz_failed=$((fuzz_failed + 1)); }
total_passed=$((total_passed + fuzz_passed))
total_failed=$((total_failed + fuzz_failed))
[ "$fuzz_failed" -eq 0 ] || status=1
echo "== benchmark, short run (native build, sanitizers on: it reports, it never fails on timing)"
# A benchmark that was not built is a failure, not a step left out.
if [ -x build/native/bin/nimbrel-bench ]; then
    build/native/bin/nimbrel-bench --short 2>/dev/null || { echo "the benchmark did not run through"; status=1; }
else
    echo "FAILED: the benchmark was not built"
    total_failed=$((total_failed + 1))
    status=1
fi
# ---- end of the proof ----

rm -rf "$logs"
echo "== all tests took $(( $(date +%s) - start )) s"
echo "$total_passed passed, $total_failed failed"
exit $status
