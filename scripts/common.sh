# Sourced by the scripts: what several of them share.

# Python leaves no byte-code caches beside the scripts it imports.
export PYTHONDONTWRITEBYTECODE=1

# must WHAT COMMAND...: runs the command; on failure ends the script with one
# line, "<script>: FAILED: WHAT (exit N)".
must() {
    local what=$1 status=0
    shift
    "$@" || status=$?
    [ "$status" -eq 0 ] || { echo "$(basename "$0" .sh): FAILED: $what (exit $status)" >&2; exit 1; }
}

# The virtual display of every run under wine: large enough for the window at 200 %.
hoppel_screen=2048x1536
# in_display SECONDS COMMAND...: runs the command in a virtual display of its own, bounded.
# Its number is the first free one from HOPPEL_DISPLAY_FROM (99) on: runs side
# by side start from numbers apart, so that two never pick the same one.
in_display() {
    local seconds=$1
    shift
    timeout "$seconds" xvfb-run -n "${HOPPEL_DISPLAY_FROM:-99}" -a -s "-screen 0 ${hoppel_screen}x24" "$@"
}

# node_packages: the page tests' npm packages, pinned by tests/web/package-lock.json,
# in build/web/npm (installed again only when the lockfile changes), put on NODE_PATH.
node_packages() {
    local to=build/web/npm
    if ! cmp -s tests/web/package-lock.json "$to/installed-lock.json"; then
        rm -rf "$to" && mkdir -p "$to" && cp tests/web/package.json tests/web/package-lock.json "$to/" &&
            (cd "$to" && timeout 600 npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >/dev/null) &&
            cp tests/web/package-lock.json "$to/installed-lock.json" || return 1
    fi
    export NODE_PATH=$PWD/$to/node_modules
}
