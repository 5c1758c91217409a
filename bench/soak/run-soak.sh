#!/usr/bin/env bash
# The long soak: a random player drives each staged program headless for a
# given wall time while its resident memory is sampled from /proc; prints the
# growth after the first minute, how often the program ended and how.
#
#   bench/soak/run-soak.sh [--minutes N] [--dist DIR] [--scale S] [--seed N]
#                          [--interval SECONDS] [--only launcher|game]
#                          [--side-by-side] [--out DIR] [--lag F]
#   bench/soak/run-soak.sh --report DIR    (the figures of a run, finished or not)
#
# --dist     the staged folder (default: build/dist of the repository)
# --scale    LUDORA_TIME_SCALE (default 1: an hour of wall time is an hour of play)
# --out      where the samples, scripts and logs go (default: a new folder in /tmp)
# --lag      the share of the wall time a script's waits fill (default 0.6): the
#            layer hands input over one event at a time, once the program has
#            taken the one before, so a program paced at the refresh plays a
#            script slower than its waits (a 50-minute script took about 52
#            minutes side by side on a busy machine)
#
# The player stays: it leaves out Exit, Escape, Play and the close box, so one
# process lives the whole run (hand-overs to the web pages are logged, not
# followed). A program that ends anyway is started again with the next seed.
# A sanitizer build's staged folder may be given with --dist: its reports in
# stderr count as failures.
set -u

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
minutes=60
dist="$source_dir/build/dist"
scale=1
seed=13
interval=5
only=""
side=0
out=""
lag=0.6
report_only=""

while [ $# -gt 0 ]; do
    case "$1" in
    --minutes) minutes=$2; shift 2 ;;
    --dist) dist=$2; shift 2 ;;
    --scale) scale=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --interval) interval=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --side-by-side) side=1; shift ;;
    --out) out=$2; shift 2 ;;
    --lag) lag=$2; shift 2 ;;
    --report) report_only=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done

if [ -z "$report_only" ]; then
    if [ ! -x "$dist/Ludora" ] || [ ! -x "$dist/Pearlwreck/Pearlwreck" ]; then
        echo "no staged programs in $dist (build the Release build with content first)" >&2
        exit 2
    fi
    [ -n "$out" ] || out=$(mktemp -d /tmp/ludora-soak-XXXXXX)
    mkdir -p "$out"
    out=$(cd "$out" && pwd)
    # The script maker is the tests' own random player, built beside the
    # staged folder (or in the Release build when that one has no benchmarks).
    maker="$(dirname "$dist")/bin/make_soak_script"
    [ -x "$maker" ] || maker="$source_dir/build/bin/make_soak_script"
    if [ ! -x "$maker" ]; then
        echo "no make_soak_script: cmake --build build --target make_soak_script" >&2
        exit 2
    fi
fi

# A script ends by closing the program cleanly: a click ends any picture that
# waits for one, Escape leaves a pop-up, the close box ends the rest.
closing="wait 500
click 400 300
wait 500
close
wait 2000
click 400 300
wait 500
key press ESCAPE
wait 500
close
wait 2000
click 400 300
wait 500
close
"

rss_of() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }

# soak NAME: runs one program for the wall time; writes NAME.csv (seconds,
# run, pid, VmRSS kB), NAME.runs (run, seed, exit status, seconds) and the
# runs' stderr.
soak() {
    local name=$1 kind folder program
    case "$name" in
    launcher) kind=launcher; program=./Ludora ;;
    game) kind=game; program=./Pearlwreck ;;
    esac
    local copy="$out/$name-dist"
    rm -rf "$copy"
    cp -r "$dist" "$copy"
    if [ "$name" = game ]; then folder="$copy/Pearlwreck"; else folder="$copy"; fi
    local total=$((minutes * 60)) start now run=0 run_seed status
    start=$(date +%s)
    : >"$out/$name.csv"
    : >"$out/$name.runs"
    while :; do
        now=$(date +%s)
        local left=$((total - (now - start)))
        [ "$left" -gt 0 ] || break
        run=$((run + 1))
        run_seed=$((seed * 1000 + run))
        local script="$out/$name-$run.script"
        "$maker" "$kind" "$run_seed" "$(awk -v l="$left" -v s="$scale" -v f="$lag" \
            'BEGIN { printf "%d", l * 1000 * s * f }')" stay >"$script"
        printf '%s' "$closing" >>"$script"
        local began=$now
        (
            cd "$folder" || exit 126
            LUDORA_VIDEO=headless LUDORA_AUDIO=none LUDORA_SEED=$run_seed \
                LUDORA_TIME_SCALE=$scale LUDORA_HEADLESS_REFRESH=60 \
                LUDORA_SCRIPT="$script" LUDORA_SHELL_LOG="$out/$name-shell.log" \
                LUDORA_MESSAGE_LOG="$out/$name-messages.log" \
                exec nice -n 19 "$program" 2>"$out/$name-$run.stderr"
        ) &
        local pid=$!
        # Sampled until the program ends; one still running at three times
        # the time left and two minutes more hangs and is stopped.
        local deadline=$((began + 3 * left + 120))
        while kill -0 "$pid" 2>/dev/null; do
            now=$(date +%s)
            local rss
            rss=$(rss_of "$pid")
            [ -n "$rss" ] && echo "$((now - start)),$run,$pid,$rss" >>"$out/$name.csv"
            if [ "$now" -gt "$deadline" ]; then
                echo "$name run $run (seed $run_seed) hangs: stopped" >&2
                kill -TERM "$pid" 2>/dev/null
                sleep 2
                kill -KILL "$pid" 2>/dev/null
            fi
            sleep "$interval"
        done
        wait "$pid"
        status=$?
        now=$(date +%s)
        echo "$run,$run_seed,$status,$((now - began))" >>"$out/$name.runs"
    done
}

report() {
    local name=$1
    local runs failures reports
    runs=$(wc -l <"$out/$name.runs")
    failures=$(awk -F, '$3 != 0' "$out/$name.runs" | wc -l)
    reports=$(cat "$out/$name"-*.stderr 2>/dev/null |
        grep -c -E 'ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: ' || true)
    echo "== $name: $runs run(s), $failures ended with a non-zero status, $reports sanitizer line(s)"
    awk -F, '$3 != 0 { printf "   run %s (seed %s) ended with status %s after %s s\n", $1, $2, $3, $4 }' \
        "$out/$name.runs"
    # Per run: the sample one minute in, the last one, the largest; and the
    # floor (the lowest sample) of minutes 1-6 against that of the last five
    # minutes, since a screen with big pictures open lifts a sample for a while.
    awk -F, -v scale="$scale" '
        { if (!($2 in first)) first[$2] = $1
          t = $1 - first[$2]
          if (!($2 in base) && t >= 60) { base[$2] = $4 }
          last[$2] = $4; lastAt[$2] = $1
          if ($4 > most[$2]) most[$2] = $4
          if (t >= 60 && t < 360 && (!($2 in early) || $4 < early[$2])) early[$2] = $4
          at[$2, ++n[$2]] = $1; rss[$2, n[$2]] = $4 }
        END {
          for (r in last) {
            span = lastAt[r] - first[r]
            if (!(r in base)) {
              printf "   run %s: %d s wall, shorter than a minute; VmRSS at the end %d kB\n", r, span, last[r]
              continue
            }
            late = -1
            for (i = 1; i <= n[r]; ++i)
              if (at[r, i] >= lastAt[r] - 300 && at[r, i] - first[r] >= 60 && (late < 0 || rss[r, i] < late)) late = rss[r, i]
            printf "   run %s: %d s wall at LUDORA_TIME_SCALE %s; VmRSS at 1 min %d kB, at the end %d kB (growth %+d kB), largest %d kB\n",
                   r, span, scale, base[r], last[r], last[r] - base[r], most[r]
            printf "   run %s: lowest VmRSS in minutes 1-6 %d kB, in the last 5 minutes %d kB (growth %+d kB)\n",
                   r, early[r], late, late - early[r]
          }
        }' "$out/$name.csv"
    # The layer time the scripts asked for (waits and holds).
    for script in "$out/$name"-*.script; do
        [ -f "$script" ] || continue
        awk '$1 == "wait" { t += $2 } $1 == "click" { t += ($5 == "" ? 30 : $5) }
             END { printf "   %s: %.1f min of layer time scripted\n", FILENAME, t / 60000 }' "$script"
    done
}

if [ -n "$report_only" ]; then
    out=$(cd "$report_only" && pwd) || exit 2
    for name in launcher game; do
        [ -f "$out/$name.csv" ] || continue
        touch "$out/$name.runs"
        report "$name"
    done
    exit 0
fi

echo "soak: $minutes min of wall time per program, LUDORA_TIME_SCALE=$scale, seed $seed, samples every $interval s"
echo "      staged folder $dist; results in $out"
started=$(date)
names="launcher game"
[ -n "$only" ] && names=$only
if [ "$side" = 1 ]; then
    for name in $names; do soak "$name" & done
    wait
else
    for name in $names; do soak "$name"; done
fi
echo "started $started, ended $(date)"
for name in $names; do report "$name"; done
