#!/usr/bin/env bash
# The score site on PostgreSQL and on several instances, side by side with
# SQLite in one run, over loopback in a throw-away cluster (pg_virtualenv):
#   1. 10 000 uploads from 8 clients to SQLite with one site, PostgreSQL with
#      one site and PostgreSQL with two sites: uploads a second, latency
#      percentiles, every answered upload stored once; with wrk, the home page
#      and the JSON read by 8 connections for 5 s over each.
#   2. PostgreSQL, two sites, one killed by SIGKILL halfway and restarted:
#      every upload answered 200 stored, none twice.
#   3. PostgreSQL, two sites, the PostgreSQL server restarted halfway (down
#      for a second): 503s while it is away, every upload answered 200 stored.
#
# Usage: bench/site/run-cluster-load.sh [BUILD_DIR]
#   BUILD_DIR defaults to build/ (configured as a Release build when new).
#   SITE_LOAD_UPLOADS and SITE_LOAD_CLIENTS change the counts.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
if [ -z "${LUDORA_BENCH_INSIDE:-}" ]; then
    command -v pg_virtualenv > /dev/null ||
        { echo "needs pg_virtualenv (apt-get install postgresql postgresql-common)" >&2; exit 1; }
    if [ ! -f "$build/CMakeCache.txt" ]; then
        mkdir -p "$build"
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUDORA_WERROR=ON \
            > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
    fi
    cmake --build "$build" --target ludora-site site_load -j"$(nproc)" > /dev/null
    LUDORA_BENCH_INSIDE=1 exec pg_virtualenv -t -c '-o max_connections=100' "$0" "$build"
fi
uploads=${SITE_LOAD_UPLOADS:-10000}
clients=${SITE_LOAD_CLIENTS:-8}
site_bin=$build/bin/ludora-site
load_bin=$build/bin/site_load

work=$(mktemp -d "${TMPDIR:-/tmp}/ludora-site-cluster-load-XXXXXX")
declare -A pids ports
cleanup() {
    for name in "${!pids[@]}"; do kill -TERM "${pids[$name]}" 2> /dev/null || true; done
    wait 2> /dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# start_site NAME DB [PORT]: starts a site, sets pids[NAME] and ports[NAME] once it listens.
start_site() {
    local log=$work/$1.log before
    touch "$log"
    before=$(grep -c 'listening on' "$log" || true)
    "$site_bin" --port "${3:-0}" --db "$2" --rate-limit 0 --max-rows-per-game 100000000 >> "$log" 2>&1 &
    pids[$1]=$!
    for _ in $(seq 500); do
        if [ "$(grep -c 'listening on' "$log" || true)" -gt "$before" ]; then
            ports[$1]=$(grep -o 'listening on http://127.0.0.1:[0-9]*' "$log" | tail -1 | sed 's/.*://')
            return 0
        fi
        kill -0 "${pids[$1]}" 2> /dev/null || { cat "$log"; return 1; }
        sleep 0.02
    done
    echo "the site $1 did not start" >&2
    return 1
}

stop_site() {
    kill -TERM "${pids[$1]}" 2> /dev/null || true
    wait "${pids[$1]}" 2> /dev/null || true
    unset "pids[$1]"
}

answered_so_far() {
    cat "$work"/*.log | grep -c 'hiscore.cgi 200' || true
}

# check DB ANSWERED [EXPECT]: every answered upload in the database, none twice.
check() {
    local copy=$2.db
    if [[ $1 == postgresql* ]]; then
        "$site_bin" --copy-db "$1" "$copy" 2> /dev/null
    else
        copy=$1
    fi
    "$load_bin" --check "$copy" --answered "$2" ${3:+--expect "$3"}
}

read_pages() {
    command -v wrk > /dev/null || return 0
    for page in / "/api/scores?game=Bench"; do
        echo "-- GET $page (wrk, 8 connections over the sites, 5 s)"
        local share=$((8 / $#)) port readers=()
        for port in "$@"; do
            wrk -t1 -c"$share" -d5s --latency "http://127.0.0.1:$port$page" > "$work/wrk.$port" &
            readers+=($!)
        done
        wait "${readers[@]}"
        for port in "$@"; do
            grep -E 'Requests/sec|^ +(50|99)%|Non-2xx' "$work/wrk.$port" | sed "s/^/  :$port /"
        done
    done
}

lscpu | grep -E 'Model name|^CPU\(s\)'
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

createdb bench1
createdb bench2
createdb bench3
createdb bench4

echo
echo "== 1a. SQLite, one site: $uploads uploads from $clients clients =="
start_site sqlite "$work/sqlite.db"
"$load_bin" --port "${ports[sqlite]}" --uploads "$uploads" --clients "$clients" --answered "$work/1a"
read_pages "${ports[sqlite]}"
stop_site sqlite
check "$work/sqlite.db" "$work/1a" "$uploads"

echo
echo "== 1b. PostgreSQL, one site =="
start_site pg "postgresql:///bench1"
"$load_bin" --port "${ports[pg]}" --uploads "$uploads" --clients "$clients" --answered "$work/1b"
read_pages "${ports[pg]}"
stop_site pg
check "postgresql:///bench1" "$work/1b" "$uploads"

echo
echo "== 1c. PostgreSQL, two sites =="
start_site a "postgresql:///bench2"
start_site b "postgresql:///bench2"
"$load_bin" --port "${ports[a]},${ports[b]}" --uploads "$uploads" --clients "$clients" \
    --answered "$work/1c"
read_pages "${ports[a]}" "${ports[b]}"
stop_site a
stop_site b
check "postgresql:///bench2" "$work/1c" "$uploads"

echo
echo "== 2. PostgreSQL, two sites, one killed by SIGKILL halfway and restarted =="
rm -f "$work"/*.log
start_site a "postgresql:///bench3"
start_site b "postgresql:///bench3"
"$load_bin" --port "${ports[a]},${ports[b]}" --uploads "$uploads" --clients "$clients" \
    --answered "$work/2" > "$work/2.load" &
load_pid=$!
while [ "$(answered_so_far)" -lt $((uploads / 2)) ] && kill -0 "$load_pid" 2> /dev/null; do
    sleep 0.01
done
echo "killed site a after $(answered_so_far) answered uploads"
kill -KILL "${pids[a]}"
wait "${pids[a]}" 2> /dev/null || true
start_site a "postgresql:///bench3" "${ports[a]}"
wait "$load_pid" || true
cat "$work/2.load"
stop_site a
stop_site b
check "postgresql:///bench3" "$work/2" "$uploads"

echo
echo "== 3. PostgreSQL, two sites, the PostgreSQL server stopped for a second halfway =="
rm -f "$work"/*.log
start_site a "postgresql:///bench4"
start_site b "postgresql:///bench4"
"$load_bin" --port "${ports[a]},${ports[b]}" --uploads "$uploads" --clients "$clients" \
    --answered "$work/3" > "$work/3.load" &
load_pid=$!
while [ "$(answered_so_far)" -lt $((uploads / 2)) ] && kill -0 "$load_pid" 2> /dev/null; do
    sleep 0.01
done
echo "server stopped after $(answered_so_far) answered uploads"
pg_ctlcluster "$PGVERSION" regress stop -m fast
sleep 1
pg_ctlcluster "$PGVERSION" regress start
wait "$load_pid" || true
cat "$work/3.load"
echo "503 answers:         $(cat "$work"/a.log "$work"/b.log | grep -c 'hiscore.cgi 503' || true)"
echo "outage lines:        $(cat "$work"/a.log "$work"/b.log | grep -c 'lost the database' || true) (one a site)"
echo "-- after the restart, the first 500 uploads sent again through both sites:"
"$load_bin" --port "${ports[a]},${ports[b]}" --uploads 500 --clients "$clients" --answered "$work/3b" |
    grep -E 'answered 200'
stop_site a
stop_site b
cat "$work/3b" >> "$work/3"
check "postgresql:///bench4" "$work/3"
