#!/usr/bin/env bash
# A still browser tab's cost: serves build-web/dist with the desktop build's
# site on a loopback port and measures headless Chromium on the launcher's
# title page at rest (measure_still_tab.mjs), with the music and without.
# Several built folders (say, one of an older build) are measured in turn.
#   bench/web/measure_still_tab.sh [SECONDS] [WEB_ROOT...]   (default build-web/dist)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-10}
shift || true
[ $# -gt 0 ] || set -- "$root/build-web/dist"
work=$(mktemp -d)
site_pid=
trap '[ -n "$site_pid" ] && kill "$site_pid"; rm -rf "$work"' EXIT
grep -m1 "model name" /proc/cpuinfo
for web_root in "$@"; do
    [ -f "$web_root/index.html" ] || { echo "$web_root: run scripts/build-web first" >&2; exit 1; }
    echo "== $web_root"
    "$root/build/bin/ludora-site" --port 0 --db "$work/site.db" --web-root "$web_root" \
        2> "$work/site.log" &
    site_pid=$!
    for _ in $(seq 100); do grep -q "listening on" "$work/site.log" && break; sleep 0.1; done
    url=$(grep -o 'http://[0-9.:]*' "$work/site.log" | head -1)
    for music in music-on music-off; do
        NODE_PATH=/usr/share/nodejs /usr/bin/node --experimental-websocket --no-warnings \
            "$root/bench/web/measure_still_tab.mjs" "$url" "$seconds" "$music"
    done
    kill "$site_pid"
    wait "$site_pid" || true
    site_pid=
    rm -f "$work/site.db" "$work/site.log"
done
