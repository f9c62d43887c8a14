#!/usr/bin/env bash
# Builds the benchmark program for both Windows widths (bench-win32,
# bench-win64). Google Benchmark has no MinGW package in Debian, so its Debian
# source package is fetched once (through a private apt source list: the
# system's lists are not touched) and built with the project's toolchain files
# into build/gbench-i686 and build/gbench-x86_64. Any failure ends it with one line.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=$PWD/build
src=$build/gbench-src
fail() { echo "bench: $*" >&2; exit 1; }

installed() { [ -f "$build/gbench-$1/lib/cmake/benchmark/benchmarkConfig.cmake" ]; }

fetch() {
    local apt=$src/apt codename opts
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:?}") || fail "no VERSION_CODENAME in /etc/os-release"
    mkdir -p "$apt/lists/partial"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
         "http://deb.debian.org/debian $codename main" >"$apt/sources.list"
    opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=-
          -o "Dir::State::Lists=$apt/lists")
    timeout 300 apt-get "${opts[@]}" update -qq >"$src/fetch.log" 2>&1 ||
        { tail -n 3 "$src/fetch.log" >&2; fail "apt-get update of Debian's source index failed (network?)"; }
    # apt checks the files against the signed index it just read.
    (cd "$src" && timeout 300 apt-get "${opts[@]}" source --download-only -qq benchmark) \
        >>"$src/fetch.log" 2>&1 || { tail -n 3 "$src/fetch.log" >&2; fail "apt-get source benchmark failed"; }
    tar -xzf "$src"/benchmark_*.orig.tar.gz -C "$src" || fail "could not unpack $(ls "$src"/benchmark_*.orig.tar.gz)"
}

build_programs() {
    local preset
    for preset in bench-win32 bench-win64; do
        cmake --preset $preset >/dev/null || fail "$preset configure failed"
        cmake --build --preset $preset --target hoppel_bench || fail "$preset build failed"
    done
}
source_tree() {
    mkdir -p "$src"
    ls -d "$src"/benchmark-*/ 2>/dev/null | head -n 1 | grep . || { fetch && ls -d "$src"/benchmark-*/ | head -n 1; }
}

for arch in i686 x86_64; do
    installed $arch && continue
    tree=${tree:-$(source_tree)}
    echo "bench: building Google Benchmark for $arch Windows (once, about 30 s)" >&2
    work=$build/gbench-build-$arch log=$build/gbench-$arch.log
    { cmake -S "$tree" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-$arch-mingw.cmake" \
          -DCMAKE_INSTALL_PREFIX="$build/gbench-$arch" -DBUILD_SHARED_LIBS=OFF \
          -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
          -DBENCHMARK_ENABLE_WERROR=OFF &&
      cmake --build "$work" && cmake --install "$work"; } >"$log" 2>&1 ||
        { tail -n 5 "$log" >&2; fail "building Google Benchmark for $arch failed (log: $log)"; }
done
build_programs
