#!/usr/bin/env bash
# The whole test run: installs what is missing, builds the native preset and
# both Windows presets, runs the native tests, the Windows tests (in-process
# and end to end, under wine in a virtual display) of every width this host
# can run, and a bounded fuzz run. Any failure ends it with one line saying
# what failed. Where the host cannot run i686 programs, the i686 build is the
# exe alone: its test programs would never run.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
start=$SECONDS
step() { printf '\n== %s (%ds)\n' "$*" $((SECONDS - start)); }
source scripts/common.sh

step setup
must "setup (scripts/setup.sh)" scripts/setup.sh

step "formatting (.clang-format)"
formatted=(stream image app tools tests bench)
find "${formatted[@]}" -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run --Werror 2>/dev/null || {
    echo "test: FAILED: sources differ from .clang-format (to format them:" \
         "find ${formatted[*]} -name '*.cpp' -o -name '*.h' | xargs clang-format -i)" >&2
    exit 1
}

step "native build and tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
must "native configure" cmake --preset native >/dev/null
must "native build" cmake --build --preset native
must "native tests" ctest --preset native

source scripts/wine-env.sh
if host_runs_i686; then
    widths="win64 win32"
    said="Windows tests: x86_64 and i686 tested"
else
    widths="win64"
    said="Windows tests: x86_64 tested; i686 tests skipped: this kernel does not run 32-bit programs (i686 built only)"
fi

# Both widths' exes are built everywhere; their tests where the host runs them.
for preset in win32 win64; do
    step "$preset build"
    must "$preset configure" cmake --preset $preset >/dev/null
    if [[ " $widths " == *" $preset "* ]]; then
        must "$preset build" cmake --build --preset $preset
    else
        must "$preset build of hoppelmaru.exe" cmake --build --preset $preset --target hoppelmaru
    fi
done

step "the release (both exes, the zips, BUILDINFO) built again in another folder, byte for byte"
must "reproducible release (scripts/repro-check.sh)" scripts/repro-check.sh
# Read on the host, so it runs where wine cannot run the i686 exe too.
must "the i686 exe's release test" ctest --preset win32 -R '^exe_release$' --no-tests=error

# Built, not run: their numbers are for make bench; this keeps them building.
step "bench build"
must "benchmark programs (scripts/bench-build.sh)" scripts/bench-build.sh

step "browser build: wasm unit tests under Node, the page in Chromium, Firefox and WebKit"
must "browser tests (scripts/web-test.sh)" scripts/web-test.sh

echo "$said"
must "the Wine prefix (scripts/wine-prefix.sh)" scripts/wine-prefix.sh
in_display 60 true >/dev/null 2>&1 ||
    { echo "test: FAILED: no virtual X display could be started (xvfb-run; is xvfb installed?)" >&2; exit 1; }
# In one display, large enough for the window at 200 %, with the Wine
# sessions started once before the tests and ended after them.
for preset in $widths; do
    step "$preset tests under wine"
    must "$preset tests under wine" in_display 3600 scripts/wine-session.sh ctest --preset $preset
done

if [ -f tests/fuzz/CMakeLists.txt ]; then
    step "fuzzing the BMP decoder"
    must "fuzz configure" cmake --preset fuzz >/dev/null
    must "fuzz build" cmake --build --preset fuzz
    must "fuzzing (scripts/fuzz.sh)" scripts/fuzz.sh "${HOPPEL_FUZZ_SECONDS:-60}"
fi

step "all tests passed"
echo "$said"
