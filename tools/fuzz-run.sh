#!/bin/bash
# Builds the fuzz targets (clang, libFuzzer, ASan+UBSan) and runs each for a bounded time, one after another,
# one worker each. Usage: tools/fuzz-run.sh [SECONDS_PER_TARGET] [TARGET...]  (default 20 s, every target).
# New inputs go to the build folder's corpus, crashes to its artifacts folder; every run adds its input count
# to fuzz-totals.txt there. Exit status 1 when a target crashed or broke an invariant.
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-20}
shift || true
build=$(realpath -m "${NIMBREL_FUZZ_BUILD:-$top/build/fuzz}")
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=($(sed -n 's/^ *\([a-z_]*\):[A-Za-z]*Fuzzer\.cpp.*/\1/p' "$top/fuzz/CMakeLists.txt"))
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset fuzz -B "$build" >/dev/null || exit 1
fi
cmake --build "$build" -j2 --target $(printf 'fuzz_%s ' "${targets[@]}") >"$build/fuzz-build.log" 2>&1 || {
    tail -30 "$build/fuzz-build.log"
    echo "fuzz build failed"
    exit 1
}

# Throughput over depth of reports: a small quarantine still catches a use after free within an input, and
# no allocation stacks are kept (a third of the time); a finding's replay (fuzz_replay_*) shows them.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
for target in "${targets[@]}"; do
    work="$build/corpus/$target"
    logs="$build/logs/$target"
    mkdir -p "$work" "$logs" "$build/artifacts"
    # What earlier long runs found and kept (tools/fuzz-keep.sh) is where a short run starts.
    found=""
    [ -d "$top/fuzz/found/$target" ] && found="$top/fuzz/found/$target"
    # -jobs=1 runs the one worker in a child and logs to fuzz-0.log in the current folder. Leaks are left to
    # the corpus replays of the test run (LeakSanitizer on): the adapters' state outlives an input, and a
    # leak search after every input would cost twenty times the input.
    started=$SECONDS
    (cd "$logs" && "$build/bin/fuzz_$target" -jobs=1 -workers=1 -max_total_time="$seconds" -timeout=30 \
        -detect_leaks=0 \
        -artifact_prefix="$build/artifacts/$target-" "$work" "$top/fuzz/corpus/$target" $found >/dev/null 2>&1)
    rc=$?
    # The time it ran: a crash ends a run early.
    ran=$((SECONDS - started))
    log="$logs/fuzz-0.log"
    runs=$(grep -Eo '^Done [0-9]+ runs' "$log" | tail -1 | grep -Eo '[0-9]+')
    [ -n "$runs" ] || runs=$(grep -Eo '^#[0-9]+' "$log" | tail -1 | tr -d '#')
    [ -n "$runs" ] || runs=0
    echo "$target $runs $ran" >>"$build/fuzz-totals.txt"
    total=$(awk -v t="$target" '$1 == t { n += $2; s += $3 } END { printf "%d inputs in %d s", n, s }' \
        "$build/fuzz-totals.txt")
    if [ $rc -ne 0 ] || grep -qE 'ERROR: libFuzzer|fuzz invariant broken|runtime error' "$log"; then
        echo "fuzz $target: FAILED after $runs inputs (see $log and $build/artifacts)"
        grep -E 'invariant|ERROR|SUMMARY|runtime error' "$log" | head -5
        status=1
    else
        echo "fuzz $target: $runs inputs in $ran s, no crash (all runs: $total)"
    fi
done
exit $status
