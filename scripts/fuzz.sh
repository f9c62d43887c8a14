#!/usr/bin/env bash
# Fuzzes the BMP decoder for a bounded time from a fresh seed corpus.
# usage: scripts/fuzz.sh [seconds] [build dir]   (build dir also from
# HOPPEL_FUZZ_BUILD_DIR; default build/fuzz, the fuzz preset's)
# Exits non-zero on any finding: a crash, a sanitizer report, a leak, a timeout.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-60}
build=${2:-${HOPPEL_FUZZ_BUILD_DIR:-build/fuzz}}
target=$build/tests/fuzz/bmp_decoder_fuzz
seeds=$build/tests/fuzz/bmp_fuzz_seeds
for f in "$target" "$seeds"; do
    [ -x "$f" ] || { echo "fuzz: $f is not built (cmake --preset fuzz && cmake --build --preset fuzz)" >&2; exit 2; }
done

run=$build/fuzz-run
rm -rf "$run"
mkdir -p "$run/corpus" "$run/findings"
"$seeds" "$run/corpus"

status=0
"$target" "$run/corpus" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$run/findings/" >"$run/log" 2>&1 || status=$?
execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log" | tail -1)
echo "fuzz: ${execs:-?} executions in ${seconds} s, corpus $(ls "$run/corpus" | wc -l) files"
if [ "$status" -ne 0 ] || [ -n "$(ls -A "$run/findings")" ]; then
    tail -n 60 "$run/log" >&2
    echo "fuzz: finding(s) in $run/findings (exit $status)" >&2
    exit 1
fi
