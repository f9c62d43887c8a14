#!/usr/bin/env bash
# make bench: the benchmark program natively, then its Windows builds under wine
# for each width this host runs (both widths are always built). Arguments go
# to every run; without any, each benchmark is repeated 5 times and the ratios
# are taken between medians.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
[ $# -gt 0 ] || set -- --benchmark_repetitions=5
source scripts/common.sh
banner() { printf '\n== %s\n' "$*"; }

must "setup (scripts/setup.sh)" scripts/setup.sh
must "benchmark programs (scripts/bench-build.sh)" scripts/bench-build.sh
banner "native build"
must "native benchmarks" build/bench/bench/hoppel_bench "$@"
banner "browser build"
must "browser figures (scripts/web-bench.sh)" scripts/web-bench.sh

source scripts/wine-env.sh 64
if host_runs_i686; then
    widths="64 32"
    said="Windows benchmarks: x86_64 and i686 run"
else
    widths="64"
    said="Windows benchmarks: x86_64 run; i686 built only: this kernel does not run 32-bit programs"
fi
echo "$said"
must "the Wine prefix (scripts/wine-prefix.sh)" scripts/wine-prefix.sh
for width in $widths; do
    if [ "$width" = 32 ]; then preset=win32 arch=i686; else preset=win64 arch=x86_64; fi
    banner "Windows $arch build under wine"
    # The picture view's benchmarks make windows: a virtual display of their
    # own, large enough for the window at 200 %, never the desktop's.
    (source scripts/wine-env.sh "$width" &&
        must "$preset benchmarks under wine" in_display 900 "$HOPPEL_WINE" build/$preset/bench/hoppel_bench.exe "$@")
done
echo "$said"
