#!/usr/bin/env bash
# The attacks an internet-facing score site meets, on loopback, each with the
# figure its goal is about (goals in site/README.md, "Facing the internet"):
#   1. 300 slow clients (a header byte every 2 s) and 300 idle kept-alive ones
#      for 30 s while a probe asks for / every 100 ms: every probe answered,
#      99 % within 100 ms.
#   2. One request of 1 000 000 header lines: refused within the first 16 KiB,
#      the site's resident memory up by less than 5 MB.
#   3. GET / with 200 ranges, each the whole page: no answer larger than the page.
#   4. 20 000 uploads to 20 000 new game names: at most the cap of games
#      stored, the home page under 200 KB, another client's p99 within 2x.
#
# Usage: bench/site/run-siege.sh [BUILD_DIR]
#   SITE_BASELINE_BIN=path runs the same against another build of the site
#   (one that predates --games is given no such option), side by side.
#   SIEGE_SECONDS, SIEGE_SLOW, SIEGE_IDLE and SIEGE_GAMES change the sizes.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    mkdir -p "$build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUDORA_WERROR=ON \
        > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
fi
cmake --build "$build" --target ludora-site site_siege > /dev/null
siege=$build/bin/site_siege

work=$(mktemp -d "${TMPDIR:-/tmp}/ludora-site-siege-XXXXXX")
site_pid=""
cleanup() {
    [ -n "$site_pid" ] && kill -TERM "$site_pid" 2>/dev/null && wait "$site_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# start_site BIN NAME [ARGS...]: sets site_pid and port once it listens.
start_site() {
    local bin=$1 name=$2
    shift 2
    rm -f "$work/$name".db*
    "$bin" --port 0 --db "$work/$name.db" "$@" > "$work/$name.log" 2>&1 &
    site_pid=$!
    for _ in $(seq 500); do
        port=$(grep -o 'listening on http://127.0.0.1:[0-9]*' "$work/$name.log" | sed 's/.*://' || true)
        [ -n "$port" ] && return 0
        sleep 0.02
    done
    echo "the site did not start" >&2
    cat "$work/$name.log"
    return 1
}

stop_site() {
    kill -TERM "$site_pid" 2>/dev/null || true
    wait "$site_pid" 2>/dev/null || true
    site_pid=""
}

siege_against() {
    local bin=$1 games_any=()
    "$bin" --help | grep -q -- '--games' && games_any=(--games any)
    echo "==== $bin"
    echo "-- slow and idle clients"
    start_site "$bin" slow
    "$siege" slow --port "$port" --seconds "${SIEGE_SECONDS:-30}" \
        --slow "${SIEGE_SLOW:-300}" --idle "${SIEGE_IDLE:-300}"
    stop_site
    echo "-- a flood of header lines"
    start_site "$bin" flood
    "$siege" flood --port "$port" --pid "$site_pid"
    echo "-- many ranges"
    "$siege" range --port "$port"
    stop_site
    echo "-- uploads to new games"
    start_site "$bin" games --rate-limit 0 "${games_any[@]}"
    "$siege" games --port "$port" --games "${SIEGE_GAMES:-20000}"
    stop_site
}

echo "CPU: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores; load: $(cut -d' ' -f1-3 /proc/loadavg)"
siege_against "$build/bin/ludora-site"
[ -n "${SITE_BASELINE_BIN:-}" ] && siege_against "$SITE_BASELINE_BIN"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
