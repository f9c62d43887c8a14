#!/usr/bin/env bash
# make test: the whole test run. Installs what is missing, checks the
# formatting, builds and tests natively (AddressSanitizer,
# UndefinedBehaviorSanitizer), builds both Windows presets with the benchmark
# program beside their tests, runs the Windows tests (in-process and end to
# end, under wine in virtual displays) of every width this host runs, the
# browser build's tests, the native benchmark build, the reproducible release
# and a bounded fuzz run, and ends by checking that the run left nothing in
# the working tree. Where the host cannot run i686 programs, the i686 build is
# the exe and the benchmark program alone: its test programs would never run.
#
# What waits more than it computes runs beside the builds: the rest of the
# packages install while the native build runs, and the Windows tests of each
# width (each in prefixes and displays of its own), the browser tests and the
# fuzzing run while the later builds go on at a lower priority. Each stage's
# output is in build/test-logs/STAGE.log; a failure shows the end of its log
# and ends the run. The stage times close it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/common.sh
start=$SECONDS
logs=$PWD/build/test-logs

# What the tree holds beside its commit, with the content of each such file:
# one already changed before the run that changes during it shows too.
tree_state() {
    git status --porcelain --untracked-files=all
    git ls-files -z --modified --others --exclude-standard | xargs -0r sha1sum 2>/dev/null || true
}
in_git=
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    in_git=1
    tree_before=$(tree_state)
fi

mkdir -p build
rm -rf "$logs"
mkdir -p "$logs"

# stage NAME COMMAND...: runs one stage, its output into $logs/NAME.log, its
# start and length into $logs/times. False on failure, the log's end shown.
stage() {
    local name=$1 began=$SECONDS status=0
    shift
    echo "-- $name: started at $((began - start)) s"
    "$@" >"$logs/$name.log" 2>&1 </dev/null || status=$?
    echo "$name $((began - start)) $((SECONDS - began))" >>"$logs/times"
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$logs/$name.log" | sed 's/^/   | /' >&2
        echo "test: FAILED: $name (exit $status; the whole log: build/test-logs/$name.log)" >&2
        return 1
    fi
    echo "-- $name: passed in $((SECONDS - began)) s"
}

# lane NAME FUNCTION: runs the function's stages in the background.
declare -A lane_pids=()
lane() {
    local name=$1
    shift
    (
        status=0
        "$@" || status=$?
        echo "$status" >"$logs/lane-$name"
    ) &
    lane_pids[$name]=$!
}
# Ends the run once a lane has failed (its stage has said why).
check_lanes() {
    local name
    for name in "${!lane_pids[@]}"; do
        [ -f "$logs/lane-$name" ] || continue
        wait "${lane_pids[$name]}" || true
        unset "lane_pids[$name]"
        [ "$(cat "$logs/lane-$name")" = 0 ] || exit 1
    done
}
join_lanes() {
    while [ ${#lane_pids[@]} -gt 0 ]; do
        check_lanes
        sleep 1
    done
}
# On the way out, early or not, no lane is left running.
tree_of() {
    local child
    for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do tree_of "$child"; done
    echo "$1"
}
stop_lanes() {
    local pid
    for pid in "${lane_pids[@]}"; do
        # shellcheck disable=SC2046
        kill $(tree_of "$pid") 2>/dev/null || true
    done
}
trap stop_lanes EXIT

# A foreground stage: the run ends when it fails or a lane has.
run() {
    stage "$@" || exit 1
    check_lanes
}
# Builds go at a lower priority than the tests that run beside them.
build() { nice -n 10 "$@"; }

benchmark_library() { stage benchmark-library scripts/bench-build.sh --library; }
if [ "$(id -u)" -eq 0 ]; then
    run setup-native scripts/setup.sh native
    packages() { stage setup scripts/setup.sh && benchmark_library; }
    lane packages packages
else
    # sudo may ask for a password: in the foreground, before anything else.
    scripts/setup.sh || { echo "test: FAILED: setup (scripts/setup.sh)" >&2; exit 1; }
    lane packages benchmark_library
fi

formatted=(stream image app tools tests bench)
format_check() {
    find "${formatted[@]}" -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run --Werror || {
        echo "sources differ from .clang-format; to format them:" \
            "find ${formatted[*]} -name '*.cpp' -o -name '*.h' | xargs clang-format -i"
        return 1
    }
}
run formatting format_check
run native-build sh -c 'cmake --preset native && cmake --build --preset native'
run native-tests ctest --preset native
join_lanes

if (source scripts/wine-env.sh && host_runs_i686); then
    said="Windows tests: x86_64 and i686 tested"
    i686_runs=1
else
    said="Windows tests: x86_64 tested; i686 tests skipped: this kernel does not run 32-bit programs (i686 built only)"
    i686_runs=
fi
run virtual-display in_display 60 true

# wine_tests PRESET PREFIX_DIR DISPLAY_FROM: its tests under wine, in one
# display large enough for the window at 200 %, with the Wine session started
# once before the tests and ended after them; in prefixes and displays apart
# from those of the other width, which run at the same time.
wine_tests() {
    export HOPPEL_PREFIX_DIR=$2 HOPPEL_DISPLAY_FROM=$3
    stage "$1-tests" in_display 3600 scripts/wine-prefix.sh --session ctest --preset "$1"
}

run win64-build build sh -c 'cmake --preset win64 && cmake --build --preset win64'
lane win64-tests wine_tests win64 "$PWD/build" 110
if [ -n "$i686_runs" ]; then
    run win32-build build sh -c 'cmake --preset win32 && cmake --build --preset win32'
    lane win32-tests wine_tests win32 "$PWD/build/wine-i686" 130
else
    run win32-build build sh -c 'cmake --preset win32 && cmake --build --preset win32 --target hoppelmaru hoppel_bench'
    # Read on the host, so it runs where wine cannot run the i686 exe too.
    run i686-release-test ctest --preset win32 -R '^exe_release$' --no-tests=error
fi

run web-build build sh -c 'cmake --preset web && cmake --build --preset web'
web_tests() {
    export HOPPEL_DISPLAY_FROM=150
    stage web-tests scripts/web-test.sh
}
lane web-tests web_tests

# Built, not run: their numbers are for make bench; this keeps them building.
run benchmark-builds build scripts/bench-build.sh
if [ -f tests/fuzz/CMakeLists.txt ]; then
    run fuzz-build build sh -c 'cmake --preset fuzz && cmake --build --preset fuzz'
    lane fuzzing stage fuzzing scripts/fuzz.sh "${HOPPEL_FUZZ_SECONDS:-60}"
fi
# The release (both exes, the zips, BUILDINFO) built again in another folder, byte for byte.
run reproducible-release build scripts/dist.sh --reproduce
join_lanes
trap - EXIT

if [ -n "$in_git" ]; then
    # The status lines that appeared or went, and the files whose content
    # changed without a status line of their own saying so.
    tree_after=$(tree_state)
    changed=$(diff <(printf '%s\n' "$tree_before") <(printf '%s\n' "$tree_after") | awk '
        /^[<>] [0-9a-f]+  / { content[substr($0, 45)] = 1; next }
        /^> / { shown[substr($0, 6)] = 1; print substr($0, 3); next }
        /^< / { print substr($0, 3) " (so before the run, no longer)" }
        END { for (f in content) if (!(f in shown)) print f " (its content changed)" }') || true
    if [ -n "$changed" ]; then
        echo "test: FAILED: the run left the working tree changed (tests and scripts write under build/ only):" >&2
        sed 's/^/   /' <<<"$changed" >&2
        exit 1
    fi
    echo "-- clean tree: the run changed nothing outside build/"
else
    echo "-- clean tree: not checked, this is no Git checkout"
fi

echo
echo "stage times (start, length; load at the end: $(cut -d' ' -f1-3 /proc/loadavg)):"
sort -k2,2n "$logs/times" | awk '{ printf "  %-22s %5d s %5d s\n", $1, $2, $3 }'
echo "all tests passed in $((SECONDS - start)) s"
echo "$said"
