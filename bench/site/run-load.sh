#!/usr/bin/env bash
# Load and fault run of the score site over loopback, nothing else touched.
#   1. 10 000 uploads exactly as the launcher builds them, from 8 concurrent
#      clients on kept-alive connections, rate limit off: uploads a second,
#      latency percentiles, and every upload in the database afterwards.
#   2. The same with the site killed by SIGKILL halfway and restarted on the
#      same port: every upload that was answered 200 is in the database.
#   3. When wrk is installed: reads of the home page and of the JSON scores
#      over the first run's 10 000 scores, 8 connections for 5 seconds each.
#
# Usage: bench/site/run-load.sh [BUILD_DIR]
#   BUILD_DIR defaults to build/ (configured as a Release build when new).
#   SITE_LOAD_UPLOADS and SITE_LOAD_CLIENTS change the counts; SITE_BIN runs
#   another build of the site (an older one, to compare side by side).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
uploads=${SITE_LOAD_UPLOADS:-10000}
clients=${SITE_LOAD_CLIENTS:-8}

if [ ! -f "$build/CMakeCache.txt" ]; then
    mkdir -p "$build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUDORA_WERROR=ON \
        > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
fi
cmake --build "$build" --target ludora-site site_load -j"$(nproc)" > /dev/null
site_bin=${SITE_BIN:-$build/bin/ludora-site}
# The load's game is none of the suite's, and it keeps every row: a site with a list of games or a cap on rows is told to take them all.
site_args=()
"$site_bin" --help | grep -q -- '--games' && site_args=(--games any)
"$site_bin" --help | grep -q -- '--max-rows-per-game' && site_args+=(--max-rows-per-game 100000000)
load_bin=$build/bin/site_load

work=$(mktemp -d "${TMPDIR:-/tmp}/ludora-site-load-XXXXXX")
site_pid=""
cleanup() {
    if [ -n "$site_pid" ] && kill -0 "$site_pid" 2>/dev/null; then
        kill -TERM "$site_pid" 2>/dev/null || true
        wait "$site_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# start_site DB PORT LOG: starts the site and sets site_pid and port once it listens.
start_site() {
    "$site_bin" --port "$2" --db "$1" --rate-limit 0 "${site_args[@]}" >> "$3" 2>&1 &
    site_pid=$!
    for _ in $(seq 500); do
        port=$(grep -o 'listening on http://127.0.0.1:[0-9]*' "$3" | tail -1 | sed 's/.*://' || true)
        [ -n "$port" ] && [ "$(grep -c 'listening on' "$3")" -ge "$4" ] && return 0
        kill -0 "$site_pid" 2>/dev/null || { cat "$3"; return 1; }
        sleep 0.02
    done
    echo "the site did not start" >&2
    return 1
}

stop_site() {
    kill -TERM "$site_pid"
    wait "$site_pid" || true
    site_pid=""
}

echo "== Run 1: $uploads uploads from $clients clients =="
start_site "$work/run1.db" 0 "$work/run1.log" 1
"$load_bin" --port "$port" --uploads "$uploads" --clients "$clients" --answered "$work/run1.answered"
stop_site
"$load_bin" --check "$work/run1.db" --answered "$work/run1.answered" --expect "$uploads"

echo
echo "== Run 2: the same, the site killed with SIGKILL halfway and restarted =="
start_site "$work/run2.db" 0 "$work/run2.log" 1
"$load_bin" --port "$port" --uploads "$uploads" --clients "$clients" \
    --answered "$work/run2.answered" > "$work/run2.load" &
load_pid=$!
while [ "$(grep -c 'hiscore.cgi 200' "$work/run2.log" || true)" -lt $((uploads / 2)) ]; do
    kill -0 "$load_pid" 2>/dev/null || break
    sleep 0.01
done
answered_before=$(grep -c 'hiscore.cgi 200' "$work/run2.log" || true)
kill -KILL "$site_pid"
wait "$site_pid" 2>/dev/null || true
killed_at=$(date +%s.%N)
start_site "$work/run2.db" "$port" "$work/run2.log" 2
restarted_at=$(date +%s.%N)
wait "$load_pid" || true
cat "$work/run2.load"
stop_site
echo "killed after:        $answered_before answered uploads; down for $(awk "BEGIN { printf \"%.2f\", $restarted_at - $killed_at }") s"
"$load_bin" --check "$work/run2.db" --answered "$work/run2.answered"

if command -v wrk > /dev/null; then
    echo
    echo "== Run 3: reading the pages over the first run's scores (wrk, 8 connections, 5 s) =="
    start_site "$work/run1.db" 0 "$work/run3.log" 1
    for page in / "/api/scores?game=Bench"; do
        echo "-- GET $page"
        wrk -t2 -c8 -d5s --latency "http://127.0.0.1:$port$page" |
            grep -E 'Requests/sec|^ +(50|90|99)%|Non-2xx'
    done
    stop_site
fi
