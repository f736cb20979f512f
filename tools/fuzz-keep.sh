#!/bin/bash
# Keeps what the fuzz runs found: each target's build corpus, cut down to the inputs that add coverage over
# the seeds, goes to fuzz/found/<target>/, which the test run replays (sanitizers and leak search on) and
# later fuzz runs start from. Usage: tools/fuzz-keep.sh [TARGET...]  (default every target with a corpus).
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${NIMBREL_FUZZ_BUILD:-$top/build/fuzz}")
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=($(sed -n 's/^ *\([a-z_]*\):[A-Za-z]*Fuzzer\.cpp.*/\1/p' "$top/fuzz/CMakeLists.txt"))
fi
export ASAN_OPTIONS=detect_leaks=0:malloc_context_size=0
for target in "${targets[@]}"; do
    found="$build/corpus/$target"
    [ -d "$found" ] && [ -x "$build/bin/fuzz_$target" ] || { echo "$target: no corpus or program in $build"; continue; }
    kept="$top/fuzz/found/$target"
    merged=$(mktemp -d)
    mkdir -p "$kept"
    # Seeds first: only what adds to them is kept.
    "$build/bin/fuzz_$target" -merge=1 "$merged" "$top/fuzz/corpus/$target" "$kept" "$found" \
        >"$build/keep-$target.log" 2>&1 || { echo "$target: merge failed (see $build/keep-$target.log)"; rm -rf "$merged"; continue; }
    # The seeds are kept where they are; a merged input equal to a seed is not kept twice.
    for seed in "$top/fuzz/corpus/$target"/*; do
        rm -f "$merged/$(sha1sum "$seed" | cut -c1-40)"
    done
    rm -rf "$kept"
    mkdir -p "$kept"
    cp "$merged"/* "$kept"/ 2>/dev/null
    rm -rf "$merged"
    echo "$target: $(ls "$kept" | wc -l) inputs kept ($(du -sb "$kept" | cut -f1) bytes)"
done
