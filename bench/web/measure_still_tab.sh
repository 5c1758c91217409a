#!/usr/bin/env bash
# A still browser tab's cost: serves build-web/dist with the desktop build's
# site on a loopback port and measures headless Chromium on the launcher's
# title page at rest (measure_still_tab.mjs), with the music and without.
#   bench/web/measure_still_tab.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
[ -f "$root/build-web/dist/index.html" ] || { echo "run scripts/build-web first" >&2; exit 1; }
work=$(mktemp -d)
site_pid=
trap '[ -n "$site_pid" ] && kill "$site_pid"; rm -rf "$work"' EXIT
"$build/bin/ludora-site" --port 0 --db "$work/site.db" --web-root "$root/build-web/dist" \
    2> "$work/site.log" &
site_pid=$!
for _ in $(seq 100); do grep -q "listening on" "$work/site.log" && break; sleep 0.1; done
url=$(grep -o 'http://[0-9.:]*' "$work/site.log" | head -1)
grep -m1 "model name" /proc/cpuinfo
for music in music-on music-off; do
    NODE_PATH=/usr/share/nodejs /usr/bin/node --experimental-websocket --no-warnings \
        "$root/bench/web/measure_still_tab.mjs" "$url" "${2:-10}" "$music"
done
