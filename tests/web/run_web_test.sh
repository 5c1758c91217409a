#!/usr/bin/env bash
# The browser test: shoots the same screens with the desktop launcher
# (headless), serves the web version scripts/build-web made with the site on a
# loopback port and drives headless Chromium through it. Exit 77: skipped.
# ./scripts/test runs scripts/build-web first; the test does not build it.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1 # the desktop build folder (its bin/ludora-site and dist/)
command -v emcc > /dev/null || { echo "web: skipped, Emscripten is not installed"; exit 77; }
[ -x /usr/bin/chromium ] || { echo "web: skipped, Chromium is not installed"; exit 77; }
[ -f "$root/build-web/dist/index.html" ] ||
    { echo "web: skipped, scripts/build-web has not been run"; exit 77; }
work=$(mktemp -d)
site_pid=
trap '[ -n "$site_pid" ] && kill "$site_pid"; rm -rf "$work"' EXIT

# The desktop program's pictures of the same screens, from a copy of dist/.
cp -r "$build/dist" "$work/dist"
printf 'wait 300\nclick 400 60\nwait 1000\nshot %s\nclick 139 190\nwait 1000\nshot %s\nclose\n' \
    "$work/pages.bmp" "$work/title.bmp" > "$work/script.txt"
# A scaled clock: the same screens, sooner.
(cd "$work/dist" && LUDORA_VIDEO=headless LUDORA_AUDIO=none LUDORA_TIME_SCALE=5 \
    LUDORA_SCRIPT="$work/script.txt" timeout 60 ./Ludora)
# And the game's, on its own: the title page, then a new game dealt from a
# fixed seed and two searches (row 18 column 10, row 8 column 25), whose
# rings another deal draws otherwise.
printf 'wait 500\nclick 400 300\nwait 1500\nshot %s\nclick 754 506\nwait 1500\nclick 400 300\nwait 800\nclick 199 309\nwait 1500\nclick 409 189\nwait 1500\nshot %s\nclose\n' \
    "$work/game_title.bmp" "$work/search.bmp" > "$work/game_script.txt"
(cd "$work/dist/Pearlwreck" && LUDORA_VIDEO=headless LUDORA_AUDIO=none LUDORA_SEED=7 \
    LUDORA_TIME_SCALE=5 LUDORA_SCRIPT="$work/game_script.txt" timeout 60 ./Pearlwreck)

"$build/bin/ludora-site" --port 0 --db "$work/site.db" --web-root "$root/build-web/dist" \
    2> "$work/site.log" &
site_pid=$!
for _ in $(seq 100); do grep -q "listening on" "$work/site.log" && break; sleep 0.1; done
url=$(grep -o 'http://[0-9.:]*' "$work/site.log" | head -1)
NODE_PATH=/usr/share/nodejs /usr/bin/node --experimental-websocket --no-warnings \
    "$root/tests/web/play_in_browser.mjs" "$url" "$work"
