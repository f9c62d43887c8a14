#!/usr/bin/env bash
# Builds the benchmark program natively (the bench preset) and for both
# Windows widths (in the win32 and win64 presets, beside their tests, from the
# same libraries), under one lock: make test and make bench build the same
# folders. Google Benchmark has no MinGW package in Debian, so its Debian
# source package is fetched once, from the host's own Debian mirror, through a
# private apt source list and configuration (the system's lists, caches and
# hooks are left alone), and built with the project's toolchain files into
# build/gbench-i686 and build/gbench-x86_64, where the Windows presets find
# it. bench-build.sh --library builds only that. Any failure ends it with one
# line.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=$PWD/build
src=$build/gbench-src
fail() { echo "bench: $*" >&2; exit 1; }

mkdir -p "$build"
# make test and make bench may run at once: one of them builds, the other waits.
exec 8>"$build/gbench.lock"
flock -w 900 8 || fail "another run has held $build/gbench.lock for 15 minutes"

# Written last, so an interrupted build is redone.
stamp() { echo "$build/gbench-$1/.hoppel-installed"; }

# The Debian archive the host's own apt uses for its release (a mirror or a
# proxy may stand in for the default one); HOPPEL_DEBIAN_MIRROR overrides it.
mirror() {
    local codename=$1 found
    if [ -n "${HOPPEL_DEBIAN_MIRROR:-}" ]; then
        echo "$HOPPEL_DEBIAN_MIRROR"
        return
    fi
    found=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Created-By: Packages' 2>/dev/null |
            awk -v r="$codename" '$2 == r && $3 == "main" { print $1; exit }')
    [ -n "$found" ] || fail "no apt source of the host serves $codename main; set HOPPEL_DEBIAN_MIRROR to a Debian mirror"
    echo "$found"
}

fetch() {
    local apt=$src/apt codename opts archive
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:?}") || fail "no VERSION_CODENAME in /etc/os-release"
    archive=$(mirror "$codename")
    mkdir -p "$apt/lists/partial"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $archive $codename main" >"$apt/sources.list"
    # The host's settings (proxies among them) hold, but none of its hooks run
    # and nothing of the system's lists or caches is written: this list is
    # source-only and private.
    cat >"$apt/apt.conf" <<CONF
#clear APT::Update::Pre-Invoke;
#clear APT::Update::Post-Invoke;
#clear APT::Update::Post-Invoke-Success;
#clear DPkg::Pre-Invoke;
#clear DPkg::Post-Invoke;
#clear DPkg::Pre-Install-Pkgs;
Dir::Etc::SourceList "$apt/sources.list";
Dir::Etc::SourceParts "-";
Dir::State::Lists "$apt/lists";
Dir::Cache::pkgcache "";
Dir::Cache::srcpkgcache "";
CONF
    opts=(-c "$apt/apt.conf")
    timeout 300 apt-get "${opts[@]}" update -qq >"$src/fetch.log" 2>&1 ||
        { tail -n 3 "$src/fetch.log" >&2; fail "apt-get update of Debian's source index from $archive failed (network? HOPPEL_DEBIAN_MIRROR?)"; }
    # apt checks the files against the signed index it just read.
    (cd "$src" && timeout 300 apt-get "${opts[@]}" source --download-only -qq benchmark) \
        >>"$src/fetch.log" 2>&1 || { tail -n 3 "$src/fetch.log" >&2; fail "apt-get source benchmark failed"; }
    # Debian's patches serve its own packaging (version from Git, LTO, shared
    # library), hppa and its tests: the upstream tree is built as it is.
    # Unpacked aside, then moved: a broken unpack is never taken for the tree.
    rm -rf "$src/unpack"
    mkdir "$src/unpack"
    tar -xzf "$src"/benchmark_*.orig.tar.gz -C "$src/unpack" ||
        fail "could not unpack $(ls "$src"/benchmark_*.orig.tar.gz)"
    mv "$src"/unpack/benchmark-* "$src/" && rmdir "$src/unpack" || fail "could not move the unpacked tree into $src"
}

source_tree() {
    mkdir -p "$src"
    ls -d "$src"/benchmark-*/ 2>/dev/null | head -n 1 | grep . || { fetch && ls -d "$src"/benchmark-*/ | head -n 1; }
}

for arch in i686 x86_64; do
    [ -f "$(stamp $arch)" ] && continue
    tree=${tree:-$(source_tree)}
    echo "bench: building Google Benchmark for $arch Windows (once, under a minute)" >&2
    work=$build/gbench-build-$arch prefix=$build/gbench-$arch log=$build/gbench-$arch.log
    began=$SECONDS
    rm -rf "$work" "$prefix"
    # No Git: its version lookup would read, and refresh the index of, this
    # project's repository, which holds build/.
    { cmake -S "$tree" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-$arch-mingw.cmake" \
          -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Git=ON \
          -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
          -DBENCHMARK_ENABLE_WERROR=OFF &&
      cmake --build "$work" && cmake --install "$work"; } >"$log" 2>&1 ||
        { tail -n 5 "$log" >&2; fail "building Google Benchmark for $arch failed (log: $log)"; }
    touch "$(stamp $arch)"
    echo "bench: Google Benchmark for $arch built in $((SECONDS - began)) s" >&2
done

[ "${1:-}" != --library ] || exit 0
cmake --preset bench >/dev/null || fail "bench configure failed"
cmake --build --preset bench || fail "bench build failed"
for preset in win32 win64; do
    cmake --preset $preset >/dev/null || fail "$preset configure failed"
    cmake --build --preset $preset --target hoppel_bench || fail "$preset build of hoppel_bench failed"
done
