#!/usr/bin/env bash
# Fuzzes the BMP decoder from a fresh seed corpus: the block entry point, then
# the stream entry point over reads that may fail.
# usage: scripts/fuzz.sh [seconds] [build dir]
#        scripts/fuzz.sh --runs <executions> [build dir]
# seconds (default 60) is the whole run: each target gets half of it. --runs
# (or HOPPEL_FUZZ_RUNS) bounds each target by its executions instead, with no
# time limit. The build dir also comes from HOPPEL_FUZZ_BUILD_DIR; default
# build/fuzz, the fuzz preset's.
# Exits non-zero on any finding: a crash, a sanitizer report, a leak, a timeout.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
runs=${HOPPEL_FUZZ_RUNS:-}
seconds=60
if [ "${1:-}" = "--runs" ]; then
    runs=${2:?"fuzz: --runs needs a number of executions"}
    shift 2
elif [ $# -gt 0 ]; then
    seconds=$1
    shift
fi
build=${1:-${HOPPEL_FUZZ_BUILD_DIR:-build/fuzz}}
for n in $runs $seconds; do
    [[ $n =~ ^[0-9]+$ && $n -gt 0 ]] || { echo "fuzz: '$n' is not a positive count" >&2; exit 2; }
done
targets=(bmp_decoder_fuzz bmp_stream_fuzz)
seeds=$build/tests/fuzz/bmp_fuzz_seeds
for f in "$seeds" "${targets[@]/#/$build/tests/fuzz/}"; do
    [ -x "$f" ] || { echo "fuzz: $f is not built (cmake --preset fuzz && cmake --build --preset fuzz)" >&2; exit 2; }
done
if [ -n "$runs" ]; then
    bound=(-runs="$runs")
else
    # libFuzzer reads a time of 0 as no limit.
    each=$(( seconds / ${#targets[@]} > 0 ? seconds / ${#targets[@]} : 1 ))
    bound=(-max_total_time="$each")
fi

run=$build/fuzz-run
rm -rf "$run"
mkdir -p "$run/seeds"
"$seeds" "$run/seeds" >/dev/null
for target in "${targets[@]}"; do
    mkdir -p "$run/$target/corpus" "$run/$target/findings"
done
cp "$run"/seeds/* "$run/bmp_decoder_fuzz/corpus/"
# The stream target's first three bytes choose the failing read: each seed once
# with no failure, once with the second read short, once with the first negative.
for f in "$run"/seeds/*; do
    name=$(basename "$f")
    for control in '\x02\x00\x00' '\x01\x01\x10' '\x00\x02\x01'; do
        { printf "$control"; cat "$f"; } >"$run/bmp_stream_fuzz/corpus/${control//\\x/}-$name"
    done
done

found=0
for target in "${targets[@]}"; do
    dir=$run/$target
    status=0
    start=$SECONDS
    "$build/tests/fuzz/$target" "$dir/corpus" "${bound[@]}" -max_len=8192 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$dir/findings/" >"$dir/log" 2>&1 || status=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
    echo "fuzz: $target: ${execs:-?} executions in $((SECONDS - start)) s, corpus $(ls "$dir/corpus" | wc -l) files"
    if [ "$status" -ne 0 ] || [ -n "$(ls -A "$dir/findings")" ]; then
        tail -n 60 "$dir/log" >&2
        echo "fuzz: $target: finding(s) in $dir/findings (exit $status)" >&2
        found=1
    fi
done
exit "$found"
