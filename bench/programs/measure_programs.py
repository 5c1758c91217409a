#!/usr/bin/env python3
"""What Ludora and Pearlwreck cost a player's machine.

Runs the staged programs (a temporary copy of a dist folder) and measures:

  idle      CPU share of one core and wake-ups a second (voluntary context
            switches of all the process's threads) over a window of N seconds
            on Ludora's game pages and title screen and Pearlwreck's chart
            between games, active and after `activate 0`, under a virtual display (Xvfb), each
            run with the layer's pacing on and with LUDORA_PACING=off,
            alternately; and, as an anchor, an event-driven native game on the
            same display (gnome-mines) when one is installed;
  play      Pearlwreck's presented frames a second during a game (Xvfb), and
            the CPU time each frame costs;
  start-up  milliseconds from launching a program to its first presented frame
            (the splash) and to the first frame of the next screen when a click
            ends the splash at once (the game pages, the chart), and resident
            memory on that screen, headless and under Xvfb.

Each figure is the median of --runs runs. The machine's load average and CPU
are printed with the results, as other work on it moves them. Two builds can be
compared side by side in one run: give --dist twice as LABEL=DIR, and their
runs alternate.

    bench/programs/measure_programs.py --dist /work/build-perf/dist
    bench/programs/measure_programs.py --dist DIR --only start-up --runs 5
    bench/programs/measure_programs.py --dist before=OLD/dist --dist after=NEW/dist --only idle
"""

import argparse
import glob
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

TICKS = os.sysconf("SC_CLK_TCK")


def boot_ms():
    return time.clock_gettime(time.CLOCK_BOOTTIME) * 1000.0


def cpu_seconds(pid):
    """CPU time of the process so far. The scheduler's own account of each
    thread, to the nanosecond, where the kernel keeps one: utime and stime are
    sampled at the clock tick, which a thread waking 60 times a second for a
    fraction of a millisecond can miss or meet every time."""
    total, found = 0, False
    for path in glob.glob(f"/proc/{pid}/task/*/schedstat"):
        try:
            with open(path) as f:
                total += int(f.read().split()[0])
            found = True
        except OSError:
            pass  # the thread ended meanwhile
    if found:
        return total / 1e9
    with open(f"/proc/{pid}/stat") as f:
        text = f.read()
    fields = text[text.rfind(")") + 2:].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime


def wake_ups(pid):
    """Voluntary context switches of every thread of the process so far."""
    total = 0
    for path in glob.glob(f"/proc/{pid}/task/*/status"):
        try:
            with open(path) as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches:"):
                        total += int(line.split()[1])
        except OSError:
            pass  # the thread ended meanwhile
    return total


def cpu_model():
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return "unknown"


def status_kb(pid, key):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def load_average():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def read_frames(path):
    """(start_ms, [(time_ms, hash)]) from a LUDORA_FRAME_LOG file; blank
    frames (a cleared screen) have the hash None."""
    start, frames = None, []
    try:
        with open(path) as f:
            for line in f:
                words = line.split()
                if len(words) == 2 and words[0] == "start":
                    start = float(words[1])
                elif len(words) in (4, 5) and words[0] == "frame":
                    frames.append((float(words[2]), None if len(words) == 5 else words[3]))
    except OSError:
        pass
    return start, frames


def first_picture(frames):
    """Index of the first frame that is not blank (the splash)."""
    for i, (_, h) in enumerate(frames):
        if h is not None:
            return i
    return None


def next_screen(frames):
    """Index of the first picture after the first that shows something else."""
    first = first_picture(frames)
    if first is None:
        return None
    for i in range(first + 1, len(frames)):
        if frames[i][1] is not None and frames[i][1] != frames[first][1]:
            return i
    return None


class Xvfb:
    def __init__(self, display):
        self.display = display
        self.process = subprocess.Popen(
            ["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        socket = f"/tmp/.X11-unix/X{display.lstrip(':')}"
        for _ in range(500):
            if os.path.exists(socket):
                break
            time.sleep(0.01)
        time.sleep(0.2)

    def close(self):
        self.process.terminate()
        self.process.wait()


class Program:
    """One run of a staged program in a fresh copy of the dist folder."""

    def __init__(self, dist, name, script, env, args=(), log_frames=False):
        self.folder = tempfile.mkdtemp(prefix="ludora-bench-")
        root = os.path.join(self.folder, "dist")
        shutil.copytree(dist, root, symlinks=True)
        self.frame_log = os.path.join(self.folder, "frames.log")
        script_path = os.path.join(self.folder, "script.txt")
        with open(script_path, "w") as f:
            f.write(script)
        full_env = {k: v for k, v in os.environ.items()
                    if not k.startswith("LUDORA_") and k not in ("DISPLAY", "SDL_RENDER_DRIVER")}
        full_env.update(env)
        full_env["LUDORA_SCRIPT"] = script_path
        if log_frames:
            full_env["LUDORA_FRAME_LOG"] = self.frame_log
        if name == "Pearlwreck":
            cwd, exe = os.path.join(root, "Pearlwreck"), os.path.join(root, "Pearlwreck", "Pearlwreck")
        else:
            cwd, exe = root, os.path.join(root, "Ludora")
        self.launched = boot_ms()
        self.process = subprocess.Popen([exe, *args], cwd=cwd, env=full_env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
        self.process.communicate()
        shutil.rmtree(self.folder, ignore_errors=True)


def driver_env(driver, display):
    if driver == "headless":
        return {"LUDORA_VIDEO": "headless"}
    return {"DISPLAY": display}


SPLASH_CLICK = "click 400 300 left 250\n"


def measure_idle(dist, name, args, active, pacing, seconds, display, extra_env):
    script = SPLASH_CLICK + "wait 1000\n" + ("" if active else "activate 0\n")
    env = driver_env("xvfb", display)
    env.update(extra_env)
    if not pacing:
        env["LUDORA_PACING"] = "off"
    program = Program(dist, name, script, env, args)
    try:
        time.sleep(3.0)
        if program.process.poll() is not None:
            return None
        return sample(program.process.pid, seconds)
    finally:
        program.stop()


def sample(pid, seconds):
    """(% of a core, wake-ups a second, RSS MB) of a running process over `seconds`."""
    before, woken = cpu_seconds(pid), wake_ups(pid)
    started = time.monotonic()
    time.sleep(seconds)
    used, woken = cpu_seconds(pid) - before, wake_ups(pid) - woken
    elapsed = time.monotonic() - started
    rss = status_kb(pid, "VmRSS") / 1024.0
    return 100.0 * used / elapsed, woken / elapsed, rss


def measure_native(command, seconds, display):
    """The same figures for a native program on the display, as an anchor."""
    env = dict(os.environ, DISPLAY=display)
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        time.sleep(3.0)
        if process.poll() is not None:
            return None
        return sample(process.pid, seconds)
    finally:
        if process.poll() is None:
            process.send_signal(signal.SIGKILL)
        process.wait()


def measure_start_up(dist, name, driver, display, extra_env):
    env = driver_env(driver, display)
    env.update(extra_env)
    program = Program(dist, name, SPLASH_CLICK + "wait 3000\nclose\n", env, log_frames=True)
    try:
        deadline = time.monotonic() + 20
        shown = None
        while time.monotonic() < deadline and program.process.poll() is None:
            start, frames = read_frames(program.frame_log)
            if frames and next_screen(frames) is not None:
                shown = next_screen(frames)
                break
            time.sleep(0.005)
        if shown is None:
            return None
        time.sleep(0.5)
        rss = status_kb(program.process.pid, "VmRSS") / 1024.0
        start, frames = read_frames(program.frame_log)
        return {
            "splash": frames[first_picture(frames)][0] - program.launched,
            "next": frames[shown][0] - program.launched,
            "next_from_process_start": frames[shown][0] - start if start and start > 0 else None,
            "rss": rss,
        }
    finally:
        program.stop()


def measure_play(dist, seconds, display, extra_env):
    """Frames a second during a game of Pearlwreck, from the frame log."""
    script = (SPLASH_CLICK + "wait 1500\n" + "click 754 506 left 250\nwait 1500\n"
              + "click 400 300 left 250\nwait 800\nkey press F1\n")
    env = driver_env("xvfb", display)
    env.update(extra_env)
    program = Program(dist, "Pearlwreck", script, env, log_frames=True)
    try:
        time.sleep(6.0)
        first = boot_ms()
        used = cpu_seconds(program.process.pid)
        time.sleep(seconds)
        last = boot_ms()
        used = cpu_seconds(program.process.pid) - used
        _, frames = read_frames(program.frame_log)
        window = [t for t, _ in frames if first <= t <= last]
        if len(window) < 2:
            return None
        fps = (len(window) - 1) / ((window[-1] - window[0]) / 1000.0)
        # The frame log stops after 600 frames: the CPU is shared over the
        # window's own frames at the rate seen.
        return fps, 1000.0 * used / (fps * (last - first) / 1000.0)
    finally:
        program.stop()


def print_start_up(label, width, name, driver, runs):
    print(f"{label:{width}s} {name:11s} {driver:9s} {median([r['splash'] for r in runs]):6.0f}"
          f"  {median([r['next'] for r in runs]):11.0f}"
          f"  {median([r['rss'] for r in runs]):6.1f}", flush=True)


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else float("nan")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--dist", required=True, action="append",
                        help="staged folder holding Ludora; LABEL=DIR, twice, compares two builds")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--display", default=":57", help="the Xvfb display to start")
    parser.add_argument("--only", choices=["idle", "play", "start-up"], action="append")
    parser.add_argument("--renderer", default="",
                        help="SDL_RENDER_DRIVER for the Xvfb runs (default: the layer's choice)")
    options = parser.parse_args()
    parts = options.only or ["start-up", "idle", "play"]
    extra = {"SDL_RENDER_DRIVER": options.renderer} if options.renderer else {}
    builds = [tuple(d.split("=", 1)) if "=" in d else ("", d) for d in options.dist]
    width = max(len(label) for label, _ in builds)

    xvfb = Xvfb(options.display)
    try:
        print(f"CPU: {cpu_model()}, {os.cpu_count()} cores")
        print(f"load average at the start: {load_average()}")
        if "start-up" in parts:
            print("\nstart-up (ms from launch; median of %d)" % options.runs)
            print(f"{'':{width}s} program     driver    splash  next screen  RSS MB")
            for name in ("Ludora", "Pearlwreck"):
                for driver in ("headless", "xvfb"):
                    runs = {label: [] for label, _ in builds}
                    for _ in range(options.runs):
                        for label, dist in builds:
                            runs[label].append(measure_start_up(dist, name, driver,
                                                                options.display, extra))
                    for label, _ in builds:
                        print_start_up(label, width, name, driver, [r for r in runs[label] if r])
        if "idle" in parts:
            print("\nidle under Xvfb (%% of a core over %g s; median of %d)"
                  % (options.seconds, options.runs))
            print(f"{'':{width}s} screen                    state     pacing on        "
                  "   pacing off           RSS MB (on)")
            print(f"{'':{width}s} {'':35s} CPU %  wake-ups/s   CPU %  wake-ups/s")
            for name, args, screen in (("Ludora", [], "Ludora game pages"),
                                       ("Ludora", ["Pearlwreck"], "Ludora title screen"),
                                       ("Pearlwreck", [], "Pearlwreck chart")):
                for active in (True, False):
                    on = {label: [] for label, _ in builds}
                    off = {label: [] for label, _ in builds}
                    for _ in range(options.runs):
                        for label, dist in builds:
                            on[label].append(measure_idle(dist, name, args, active, True,
                                                          options.seconds, options.display, extra))
                            off[label].append(measure_idle(dist, name, args, active, False,
                                                           options.seconds, options.display,
                                                           extra))
                    for label, _ in builds:
                        a = [r for r in on[label] if r]
                        b = [r for r in off[label] if r]
                        print(f"{label:{width}s} {screen:25s} {'active' if active else 'inactive':9s}"
                              f" {median([r[0] for r in a]):5.1f}  {median([r[1] for r in a]):10.1f}"
                              f"   {median([r[0] for r in b]):5.1f}  {median([r[1] for r in b]):10.1f}"
                              f"   {median([r[2] for r in a]):6.1f}", flush=True)
            native = shutil.which("gnome-mines") or shutil.which("gnome-mines", path="/usr/games")
            if native:
                runs = [measure_native([native], options.seconds, options.display)
                        for _ in range(options.runs)]
                runs = [r for r in runs if r]
                print(f"{'':{width}s} {'gnome-mines (native)':25s} {'active':9s}"
                      f" {median([r[0] for r in runs]):5.1f}  {median([r[1] for r in runs]):10.1f}"
                      f"   {'':5s}  {'':10s}   {median([r[2] for r in runs]):6.1f}", flush=True)
        if "play" in parts:
            print(f"\nPearlwreck playing under Xvfb (median of {options.runs})")
            for label, dist in builds:
                runs = [measure_play(dist, options.seconds, options.display, extra)
                        for _ in range(options.runs)]
                runs = [r for r in runs if r]
                print(f"{label:{width}s} {median([r[0] for r in runs]):5.1f} frames a second,"
                      f" {median([r[1] for r in runs]):5.2f} ms of CPU a frame", flush=True)
        print(f"\nload average at the end: {load_average()}")
    finally:
        xvfb.close()


if __name__ == "__main__":
    sys.exit(main())
