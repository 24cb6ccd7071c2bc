#!/usr/bin/env python3
"""Runs Korvane's benchmarks and compares them with the machine's own limits.

frame    update and drawing of the menu demonstration and of a stress scene,
         against the same quads submitted raw to SDL (bench_frame)
window   the same, drawn and presented in a real window under Xvfb, against
         the same quads submitted raw to a window of the benchmark's own on
         the same renderer (bench_frame --window)
pacing   every frame's time over 10,000 frames of play in a real window under
         Xvfb (the teamwork replay, then the stress scene), vsync off and on
         (bench_pacing)
startup  process start to the first presented frame under Xvfb, against a bare
         SDL2 program (bare_sdl)
memory   peak resident memory of a long headless session
web      the browser build over the menu demonstration in headless chromium
         (software WebGL), next to the desktop build's headless frame (only
         when asked: --only web; needs make web)
online   two headless sides over 127.0.0.1 at 100 ms round trip and 2 % loss,
         then at 40 % loss, on every datagram: bytes sent and frames run
         again per second (the rollback's cost is part of frame); at 100, 150
         and 250 ms each way: the input delay chosen for the round trip and the
         frames a second; and the time a joiner takes to get in when bare
         connect requests hold every place the host has

Every figure that is compared is a ratio of two measurements taken side by
side in the same run, because the machines are shared and noisy.
"""

import argparse
import json
import random
import re
import os
import select
import socket
import struct
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import zlib

# The targets, as ratios or sizes.
FRAME_LIMIT_RATIO = 1.3  # (update + drawing) / raw submission
WINDOW_LIMIT_RATIO = 1.1  # the same in a real window
PACING_P99_RATIO = 1.5  # 99th percentile frame time / median
PACING_MAX_RATIO = 2.0  # longest frame after the first second / median
UPDATE_SHARE = 0.10  # update / drawing
STARTUP_RATIO = 1.2  # korvane / bare SDL2
PEAK_MEMORY_MB = 64
WEB_FPS = 59.5  # the display's 60, allowing for the ends of the window
WEB_P99_MS = 16.7

STARTUP_MARKER = b"first frame presented"
STARTUP_TIMEOUT = 60.0
TRACED_RUNS = 5  # after the timed ones, for the step-by-step breakdown


def fail(message):
    print("run_benchmarks: " + message, file=sys.stderr)
    sys.exit(1)


def verdict(ok):
    return "met" if ok else "MISSED"


# ---------------------------------------------------------------- frame


def run_frame(build, repetitions, min_time, extra=(), env=None):
    binary = os.path.join(build, "bench", "bench_frame")
    if not os.access(binary, os.X_OK):
        fail("no %s; build with -DKORVANE_BENCH=ON" % binary)
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "frame.json")
        cmd = [binary] + list(extra) + [
            "--benchmark_repetitions=%d" % repetitions,
            "--benchmark_enable_random_interleaving=true",
            "--benchmark_min_time=%g" % min_time,
            "--benchmark_display_aggregates_only=true",
            "--benchmark_out=" + out,
            "--benchmark_out_format=json",
        ]
        env = dict(env or os.environ, SDL_AUDIODRIVER="dummy")
        if subprocess.call(cmd, env=env) != 0:
            fail("bench_frame failed")
        with open(out) as f:
            data = json.load(f)
    medians = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        medians[b["run_name"]] = b
    return medians


def report_rebuild(medians, prefix):
    """View 0 rebuilt between the menu's width and the one-player width."""
    try:
        engine = medians[prefix + "/engine/real_time"]
        game = medians[prefix + "/game/real_time"]
    except KeyError as missing:
        fail("no result for %s" % missing)
    results = {}
    for name, b in (("engine", engine), ("game", game)):
        per = b["real_time"] / b.get("rebuilds_per_iteration", 2)
        results[name] = {"us": per, "heap_allocs": b["heap_allocs_per_rebuild"],
                         "news": b["news_per_rebuild"]}
    e, g = results["engine"], results["game"]
    print("  view rebuild (399 <-> 800 wide, after the first of each): engine alone %.2f us,"
          " %.2f heap allocations (target 0: %s); the game's replace_view0 %.2f us, %.2f heap"
          " allocations, %.2f of them operator new (its view sprite)"
          % (e["us"], e["heap_allocs"], verdict(e["heap_allocs"] == 0), g["us"], g["heap_allocs"],
             g["news"]))
    return results


def report_frame(medians):
    results = {}
    print()
    print("Frame (medians, CPU time of the benchmark thread)")
    for scene in ("menu", "stress"):
        try:
            update = medians["update/" + scene]
            draw = medians["draw/" + scene]
            raw = medians["raw/" + scene]
        except KeyError as missing:
            fail("no result for %s" % missing)
        # All three are reported in microseconds.
        u, d, r = update["cpu_time"], draw["cpu_time"], raw["cpu_time"]
        ratio = (u + d) / r
        share = u / d
        allocs = update.get("allocs_per_frame", float("nan"))
        heap = draw.get("heap_allocs_per_frame", float("nan"))
        print(
            "  %-6s update %8.0f ns/frame, %.2f allocations/frame; draw %7.0f us; raw %7.0f us;"
            " %d quads; heap allocations a drawn frame (SDL's own among them) %.1f"
            % (scene, u * 1000, allocs, d, r, int(draw.get("quads", 0)), heap)
        )
        print(
            "         (update + draw) / raw = %.2f (target <= %.1f: %s);"
            " update / draw = %.2f%% (target < %d%%: %s); steady allocations: %s"
            % (
                ratio,
                FRAME_LIMIT_RATIO,
                verdict(ratio <= FRAME_LIMIT_RATIO),
                share * 100,
                UPDATE_SHARE * 100,
                verdict(share < UPDATE_SHARE),
                verdict(allocs == 0),
            )
        )
        rollback = medians.get("rollback8/" + scene)
        if rollback:
            rb = rollback["cpu_time"]
            rb_allocs = rollback.get("allocs_per_rollback", float("nan"))
            print(
                "         online rollback of 8 frames %7.0f us = %.1f%% of the draw"
                " (target < %d%%: %s); allocations per rollback: %.2f (%s)"
                % (rb, rb / d * 100, ROLLBACK_SHARE * 100, verdict(rb / d < ROLLBACK_SHARE),
                   rb_allocs, verdict(rb_allocs == 0))
            )
        results[scene] = {
            "rollback8_us": rollback["cpu_time"] if rollback else None,
            "update_ns": u * 1000,
            "draw_us": d,
            "raw_us": r,
            "ratio": ratio,
            "update_share": share,
            "allocs_per_frame": allocs,
            "draw_heap_allocs_per_frame": heap,
        }
    results["rebuild"] = report_rebuild(medians, "rebuild")
    return results


# ---------------------------------------------------------------- window


def xvfb_env(display):
    env = dict(os.environ, DISPLAY=display)
    env.pop("SDL_VIDEODRIVER", None)
    return env


def run_window(build, repetitions, min_time):
    # Three windows side by side: the raw one, the game's (centred), the raw kept-screen one.
    xvfb, display = start_xvfb("2400x1000x24")
    try:
        medians = run_frame(build, repetitions, min_time, ["--window"], xvfb_env(display))
    finally:
        xvfb.terminate()
        xvfb.wait()
    results = {}
    print()
    print("Frame in a window under Xvfb (medians; drawing in wall-clock time, present included)")
    for scene in ("menu", "stress"):
        try:
            u = medians["update/" + scene]["cpu_time"]
            d = medians["window_draw/%s/real_time" % scene]["real_time"]
            r = medians["window_raw/%s/real_time" % scene]["real_time"]
            k = medians["window_kept/%s/real_time" % scene]["real_time"]
            pair = medians["window_pair/%s/real_time" % scene]
        except KeyError as missing:
            fail("no result for %s" % missing)
        # The verdict takes the frames timed in turn, which meet the same load;
        # medians of the separate runs are told beside it.
        ratio = (u + pair["game_us"]) / pair["raw_us"]
        print("  %-6s update %6.1f us; draw %7.0f us; raw %7.0f us; raw through a kept screen %7.0f us"
              % (scene, u, d, r, k))
        print("         timed in turn: draw %7.0f us, raw %7.0f us; (update + draw) / raw = %.2f"
              " (target <= %.1f: %s)"
              % (pair["game_us"], pair["raw_us"], ratio, WINDOW_LIMIT_RATIO,
                 verdict(ratio <= WINDOW_LIMIT_RATIO)))
        print("         separate medians: (update + draw) / raw = %.2f;"
              " (update + draw) / raw through a kept screen = %.2f" % ((u + d) / r, (u + d) / k))
        heap = medians["window_draw/%s/real_time" % scene].get("heap_allocs_per_frame",
                                                                 float("nan"))
        print("         heap allocations a drawn frame (SDL's and the GL driver's among them): %.1f"
              % heap)
        results[scene] = {"update_us": u, "draw_us": d, "raw_us": r, "kept_us": k,
                          "ratio": ratio, "separate_ratio": (u + d) / r, "kept_ratio": (u + d) / k,
                          "draw_heap_allocs": heap}
    results["rebuild"] = report_rebuild(medians, "window_rebuild")
    return results


# ---------------------------------------------------------------- pacing


def run_pacing(build, frames):
    binary = os.path.join(build, "bench", "bench_pacing")
    if not os.access(binary, os.X_OK):
        fail("no %s; build with -DKORVANE_BENCH=ON" % binary)
    xvfb, display = start_xvfb()
    results = {}
    try:
        env = dict(xvfb_env(display), SDL_AUDIODRIVER="dummy")
        for vsync in (False, True):
            cmd = [binary, "--frames", str(frames)] + (["--vsync"] if vsync else [])
            out = subprocess.run(cmd, env=env, stdout=subprocess.PIPE)
            if out.returncode != 0:
                fail("bench_pacing failed")
            results["vsync" if vsync else "free"] = json.loads(
                out.stdout.decode().strip().splitlines()[-1])
    finally:
        xvfb.terminate()
        xvfb.wait()
    print()
    print("Frame pacing in a window under Xvfb: %d frames (the teamwork replay, then the stress"
          " scene); the first second left out" % frames)
    for name, p in results.items():
        m = p["median_ms"]
        p99, top = p["p99_ms"] / m, p["max_ms"] / m
        if name == "free":
            print("  vsync off (the game's own limit of 500 frames a second): median %.2f ms,"
                  " 99th percentile %.2f ms (%.2f x), longest %.2f ms (%.2f x), %d frames above 2 x"
                  % (m, p["p99_ms"], p99, p["max_ms"], top, p["over_twice_median"]))
        else:
            print("  vsync on: median %.2f ms (display %s), 99th percentile %.2f ms (%.2f x),"
                  " longest %.2f ms (%.2f x); %d frames above 1.5 x (a refresh skipped),"
                  " %d below 0.5 x (two in one refresh)"
                  % (m, "%d Hz" % p["refresh_hz"] if p["refresh_hz"] else "rate unknown",
                     p["p99_ms"], p99, p["max_ms"], top, p["over_1_5_median"],
                     p["under_half_median"]))
        print("         targets: 99th percentile <= %.1f x median: %s; none above %.0f x: %s"
              % (PACING_P99_RATIO, verdict(p99 <= PACING_P99_RATIO), PACING_MAX_RATIO,
                 verdict(top <= PACING_MAX_RATIO)))
        worst = ", ".join("%.1f ms (work %.2f) at %.1f s (%s)"
                          % (w["ms"], w["work_ms"], w["at_s"], w["phase"]) for w in p["worst"][:3])
        print("         longest frames: " + worst)
        # The main thread's processor time: the game's own work, without the
        # renderer's threads, the X server, or other programs' turns.
        print("         the game's own work a frame (main thread's processor time): median %.2f ms,"
              " 99th percentile %.2f ms, most %.2f ms"
              % (p["work_median_ms"], p["work_p99_ms"], p["work_max_ms"]))
    return results


# ---------------------------------------------------------------- startup


def start_xvfb(screen="1024x768x24"):
    xvfb = shutil.which("Xvfb")
    if not xvfb:
        fail("no Xvfb (apt-get install xvfb)")
    read_end, write_end = os.pipe()
    proc = subprocess.Popen(
        [xvfb, "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp"],
        pass_fds=(write_end,),
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
    )
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 20
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        ready, _, _ = select.select([read_end], [], [], 1.0)
        if ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip():
        proc.kill()
        proc.wait()
        fail("Xvfb did not start")
    return proc, ":" + number.decode().strip()


def time_to_first_frame(cmd, env, cwd):
    """Seconds from the start of the process to its first-frame line, and to its exit."""
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, env=env, cwd=cwd, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL)
    seen = None
    buffered = b""
    deadline = start + STARTUP_TIMEOUT
    while seen is None and time.perf_counter() < deadline:
        ready, _, _ = select.select([proc.stdout], [], [], 0.5)
        if not ready:
            continue
        chunk = os.read(proc.stdout.fileno(), 4096)
        if not chunk:
            break
        buffered += chunk
        if STARTUP_MARKER in buffered:
            seen = time.perf_counter() - start
    if seen is None:
        proc.kill()
        proc.wait()
        fail("%s never presented a frame" % cmd[0])
    try:
        proc.wait(timeout=STARTUP_TIMEOUT)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        fail("%s did not exit after its first frame" % cmd[0])
    exited = time.perf_counter() - start
    if proc.returncode != 0:
        fail("%s exited with %d" % (cmd[0], proc.returncode))
    return seen, exited


def spread(seconds):
    """The middle half of the runs, in milliseconds."""
    if len(seconds) < 2:
        return "one run"
    q = statistics.quantiles(seconds, n=4)
    return "middle half %.0f-%.0f" % (q[0] * 1000, q[2] * 1000)


TRACE_LINE = re.compile(r"startup\s+([\d.]+) ms\s+[-+][\d.]+\s+(.*)")


def trace_startup(game, env, cwd, runs):
    """korvane's start-up steps (KORVANE_STARTUP_TRACE) as (step, median end, its share)."""
    ends = {}  # step: the times it ended, in ms since the program's own code began
    order = []
    for _ in range(runs):
        try:
            done = subprocess.run([game], env=dict(env, KORVANE_STARTUP_TRACE="1"), cwd=cwd,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                  timeout=STARTUP_TIMEOUT)
        except subprocess.TimeoutExpired:
            continue  # the timed runs have judged it already
        this_run = {}
        count = {}
        for line in done.stderr.decode(errors="replace").splitlines():
            m = TRACE_LINE.match(line)
            if not m:
                continue
            step = m.group(2)
            if step.startswith("effect "):
                step = "effects checked (decoded after the first frame)"  # ends at the last
            else:
                count[step] = count.get(step, 0) + 1
                if count[step] > 1:
                    step += " #%d" % count[step]
            this_run[step] = float(m.group(1))
            if step not in order:
                order.append(step)
            if step == "presented":
                break
        for step, t in this_run.items():
            ends.setdefault(step, []).append(t)
    rows = []
    previous = 0.0
    for step in order:
        if len(ends[step]) * 2 < runs:
            continue  # a step that few runs took
        t = statistics.median(ends[step])
        rows.append((step, t, t - previous))
        previous = t
    return rows


def run_startup(build, runs):
    game = os.path.abspath(os.path.join(build, "korvane"))
    bare = os.path.abspath(os.path.join(build, "bench", "bare_sdl"))
    for b in (game, bare):
        if not os.access(b, os.X_OK):
            fail("no " + b)
    xvfb, display = start_xvfb()
    times = {"korvane": [], "bare": []}
    exits = {"korvane": [], "bare": []}
    try:
        env = dict(os.environ, DISPLAY=display, KORVANE_EXIT_AFTER_FIRST_FRAME="1")
        env.pop("SDL_VIDEODRIVER", None)
        with tempfile.TemporaryDirectory() as cwd:
            # One untimed start each, so both find the files in the page cache.
            time_to_first_frame([bare], env, cwd)
            time_to_first_frame([game], env, cwd)
            for i in range(runs):
                # Alternate the order, so neither always runs right after the other.
                order = [("bare", bare), ("korvane", game)]
                if i % 2:
                    order.reverse()
                for name, binary in order:
                    seen, exited = time_to_first_frame([binary], env, cwd)
                    times[name].append(seen)
                    exits[name].append(exited)
            steps = trace_startup(game, env, cwd, TRACED_RUNS)
    finally:
        xvfb.terminate()
        xvfb.wait()
    k = statistics.median(times["korvane"])
    b = statistics.median(times["bare"])
    ratio = k / b
    print()
    print("Start-up under Xvfb (median of %d runs each, process start to first presented frame)"
          % runs)
    print("  korvane %.1f ms (%s; exit %.1f ms); bare SDL2 %.1f ms (%s; exit %.1f ms)"
          % (k * 1000, spread(times["korvane"]), statistics.median(exits["korvane"]) * 1000,
             b * 1000, spread(times["bare"]), statistics.median(exits["bare"]) * 1000))
    print("  ratio %.2f (target <= %.1f: %s)" % (ratio, STARTUP_RATIO,
                                                verdict(ratio <= STARTUP_RATIO)))
    print("  korvane's steps (median of %d traced runs; ms since its own code began, and each"
          " step's share):" % TRACED_RUNS)
    for step, end, share in steps:
        print("    %7.1f %+7.1f  %s" % (end, share, step))
    return {"korvane_ms": k * 1000, "bare_ms": b * 1000, "ratio": ratio}


# ---------------------------------------------------------------- memory


def long_play_script(frames):
    """The menu demonstration for 40% of the frames, then TEAMWORK play with
    both players turning and tapping fire; fire also leaves the shop and the
    menu again, so play goes on through levels and game overs."""
    menu = frames * 2 // 5
    lines = ["# menu demonstration", "tap SPACE", "frames 2", "frames %d" % (menu - 2),
             "# TEAMWORK, shop, play", "tap SPACE", "frames 1", "tap ENTER", "frames 2",
             "tap ENTER", "frames 2", "press RIGHT", "press A"]
    left = frames - menu - 5
    while left > 0:
        n = min(8, left)
        lines += ["tap CTRL", "tap SHIFT", "frames %d" % n]
        left -= n
    lines.append("dump")
    return "\n".join(lines) + "\n"


def run_session(headless, frames, seed):
    with tempfile.TemporaryDirectory() as tmp:
        script = os.path.join(tmp, "long_play.txt")
        with open(script, "w") as f:
            f.write(long_play_script(frames))
        start = time.perf_counter()
        proc = subprocess.Popen([headless, "--script", script, "--seed", str(seed)],
                                stdout=subprocess.PIPE)
        out = proc.stdout.read()
        _, status, usage = os.wait4(proc.pid, 0)
        proc.returncode = os.waitstatus_to_exitcode(status)
        seconds = time.perf_counter() - start
    if proc.returncode != 0:
        fail("korvane-headless exited with %d" % proc.returncode)
    state = json.loads(out.decode().strip().splitlines()[-1])
    return usage.ru_maxrss / 1024.0, seconds, state


def run_memory(build, frames):
    headless = os.path.join(build, "korvane-headless")
    if not os.access(headless, os.X_OK):
        fail("no " + headless)
    short_frames = 1000
    short_mb, _, _ = run_session(headless, short_frames, 7)
    peak_mb, seconds, state = run_session(headless, frames, 7)
    print()
    print("Long play: %d headless frames in %.0f s (ended in state %d, level %d, pass %d)"
          % (frames, seconds, state.get("game_state", -1), state.get("level_index", -1),
             state.get("iteration", -1)))
    print("  peak resident memory %.1f MB (target < %d MB: %s); %.1f MB after %d frames"
          % (peak_mb, PEAK_MEMORY_MB, verdict(peak_mb < PEAK_MEMORY_MB), short_mb, short_frames))
    return {"peak_mb": peak_mb, "short_peak_mb": short_mb, "frames": frames, "seconds": seconds}


# ---------------------------------------------------------------- web


def desktop_menu_frame(build, frames):
    """Milliseconds a frame of the menu demonstration takes in the desktop
    build's headless engine (software drawing), averaged over the run."""
    headless = os.path.join(build, "korvane-headless")
    if not os.access(headless, os.X_OK):
        fail("no " + headless)
    script = "tap SPACE\nframes 2\nframes %d\n" % frames
    start = time.perf_counter()
    proc = subprocess.run([headless, "--script", "-", "--seed", "7"], input=script.encode(),
                          stdout=subprocess.DEVNULL)
    seconds = time.perf_counter() - start
    if proc.returncode != 0:
        fail("korvane-headless exited with %d" % proc.returncode)
    return seconds * 1000 / (frames + 2)


def run_web(build, web_build, seconds):
    here = os.path.dirname(os.path.abspath(__file__))
    tests = os.path.join(here, "..", "tests", "web")
    page = os.path.abspath(web_build)
    if not os.path.exists(os.path.join(page, "korvane.wasm")):
        fail("no %s/korvane.wasm; run make web" % web_build)
    if not os.path.isdir(os.path.join(tests, "node_modules", "playwright-core")):
        fail("no playwright-core in tests/web; run make web-test once")
    out = subprocess.run(["node", "page_bench.mjs", page, str(seconds)], cwd=tests,
                         stdout=subprocess.PIPE)
    if out.returncode != 0:
        fail("the browser benchmark failed")
    web = json.loads(out.stdout.decode().strip().splitlines()[-1])
    desktop_ms = desktop_menu_frame(build, int(seconds * 60))
    ok = web["fps"] >= WEB_FPS and web["work_p99_ms"] < WEB_P99_MS
    print()
    print("Browser: the menu demonstration for %.0f s in headless chromium (software WebGL)"
          % web["seconds"])
    print("  %.1f frames per second; between frames median %.1f ms, 99th percentile %.1f ms"
          % (web["fps"], web["interval_median_ms"], web["interval_p99_ms"]))
    print("  a frame's work: median %.1f ms, 99th percentile %.1f ms"
          % (web["work_median_ms"], web["work_p99_ms"]))
    print("  a bare WebGL page that only clears, meanwhile: %.1f frames per second"
          % web["bare_fps"])
    print("  desktop build, headless software drawing: %.2f ms a frame" % desktop_ms)
    print("  target: %.0f frames per second with the 99th percentile under %.1f ms: %s"
          % (60, WEB_P99_MS, verdict(ok)))
    web["desktop_frame_ms"] = desktop_ms
    return web


# ---------------------------------------------------------------- online

ROLLBACK_SHARE = 0.10
ONLINE_BYTES_PER_S = 4096


def online_script(seed, keys, frames):
    """From the menu into play, then one side's keys pressed and let go at random."""
    rng = random.Random(seed)
    lines = ["frames 3", "tap ENTER", "frames 5", "tap ENTER"]
    held = set()
    left = frames - 8
    while left > 0:
        n = min(left, rng.randint(1, 20))
        lines.append("frames %d" % n)
        left -= n
        key = rng.choice(keys)
        lines.append(("release " if key in held else "press ") + key)
        held ^= {key}
    return "\n".join(lines) + "\n"


def run_pair(build, frames, net, label, target=True, fps_target=None):
    """Two sides over 127.0.0.1 in real time with the given simulated network
    on both; each side prints its figures."""
    headless = os.path.join(build, "korvane-headless")
    port = str(20000 + os.getpid() % 20000)
    with tempfile.TemporaryDirectory() as tmp:
        sides = []
        for i, (keys, where) in enumerate(((["LEFT", "RIGHT", "UP", "CTRL"], ["--host", port]),
                                           (["A", "D", "W", "SHIFT"], ["--join", "127.0.0.1:" + port]))):
            script = os.path.join(tmp, "side%d.txt" % i)
            with open(script, "w") as f:
                f.write(online_script(i + 1, keys, frames))
            sides.append(subprocess.Popen([headless] + where + ["--script", script, "--net-seed", str(i + 1),
                                                                "--realtime"] + net,
                                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                          env=dict(os.environ, SDL_AUDIODRIVER="dummy", SDL_VIDEODRIVER="dummy")))
            time.sleep(0.3)
        reports = [p.communicate()[1].decode() for p in sides]
    print()
    print("Online, real time, %s on every datagram, %d frames" % (label, frames))
    results = {}
    for name, err in zip(("host", "joiner"), reports):
        m = re.search(r"(\d+) frames; (\d+) bytes sent per second of play; (\d+) rollbacks, "
                      r"([\d.]+) frames run again per second of play; input delay (\d+) for a round "
                      r"trip of (-?\d+) ms; ([\d.]+) frames a second", err)
        if not m or int(m.group(1)) < frames:
            fail("no whole session from the %s: %s" % (name, err.strip()))
        rate, rerun = int(m.group(2)), float(m.group(4))
        delay, round_trip, fps = int(m.group(5)), int(m.group(6)), float(m.group(7))
        bound = (" (target < %d: %s)" % (ONLINE_BYTES_PER_S, verdict(rate < ONLINE_BYTES_PER_S))
                 if target else "")
        pace = (" (target >= %d: %s)" % (fps_target, verdict(fps >= fps_target))
                if fps_target else "")
        print("  %-6s %5d bytes sent per second%s; %.1f frames run again per second (%s rollbacks)"
              % (name, rate, bound, rerun, m.group(3)))
        print("         input delay %d frames for a measured round trip of %d ms; %.1f frames a "
              "second%s" % (delay, round_trip, fps, pace))
        results[name] = {"bytes_per_s": rate, "rerun_per_s": rerun, "input_delay": delay,
                         "round_trip_ms": round_trip, "fps": fps}
    return results


def connect_request(connect_id):
    """An ENet connect request with its checksum, as a stranger could send it."""
    d = struct.pack(">HHI", 0xFFF | 0x8000, 1234, 0)
    d += struct.pack(">BBHHBB", 2 | 0x80, 0xFF, 1, 0, 0xFF, 0xFF)
    d += struct.pack(">10I", 1400, 32768, 1, 0, 0, 5000, 2, 2, connect_id, 0)
    return d[:4] + struct.pack(">I", zlib.crc32(d)) + d[8:]


def time_to_join(build, knocks):
    """Seconds from a joiner's start to its end, over a one-frame session,
    after `knocks` bare connect requests reached the host."""
    headless = os.path.join(build, "korvane-headless")
    port = 20000 + (os.getpid() + 1) % 20000
    env = dict(os.environ, SDL_AUDIODRIVER="dummy", SDL_VIDEODRIVER="dummy")
    with tempfile.TemporaryDirectory() as tmp:
        script = os.path.join(tmp, "one.txt")
        with open(script, "w") as f:
            f.write("frames 1\ndump\n")
        host = subprocess.Popen([headless, "--host", str(port), "--script", script],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        time.sleep(1.0)
        sockets = []
        for i in range(knocks):
            s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            s.sendto(connect_request(1000 + i), ("127.0.0.1", port))
            sockets.append(s)
        start = time.monotonic()
        joined = subprocess.run([headless, "--join", "127.0.0.1:%d" % port, "--script", script],
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
        seconds = time.monotonic() - start
        host.wait()
        for s in sockets:
            s.close()
    if joined.returncode != 0:
        fail("the joiner did not get in past %d connect requests: %s" % (knocks, joined.stderr.decode()))
    return seconds


def run_online(build, frames):
    results = {"2%": run_pair(build, frames, ["--net-delay", "50", "--net-loss", "2"],
                              "100 ms round trip, 2% lost"),
               "40%": run_pair(build, frames, ["--net-loss", "40"], "40% lost", target=False)}
    for one_way in (100, 150, 250):
        results["%d ms" % one_way] = run_pair(
            build, frames, ["--net-delay", str(one_way), "--net-jitter", "10"],
            "%d ms each way, 10 ms jitter" % one_way, fps_target=58)
    bare = time_to_join(build, 0)
    knocked = time_to_join(build, 12)
    print()
    print("A joiner's one-frame session: %.2f s alone, %.2f s when 12 bare connect requests have"
          " taken every place the host has" % (bare, knocked))
    results["join_s"] = {"alone": bare, "past_connect_requests": knocked}
    return results


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build-bench", help="the build folder")
    parser.add_argument("--only", choices=["frame", "window", "pacing", "startup", "memory", "web",
                                           "online"],
                        action="append",
                        help="run only these parts (may repeat)")
    parser.add_argument("--repetitions", type=int, default=15, help="frame benchmark repetitions")
    parser.add_argument("--min-time", type=float, default=0.2,
                        help="seconds each frame benchmark repetition runs at least")
    parser.add_argument("--runs", type=int, default=10, help="start-up runs of each program")
    parser.add_argument("--frames", type=int, default=100000, help="frames of the long play")
    parser.add_argument("--pacing-frames", type=int, default=10000,
                        help="frames of the pacing runs")
    parser.add_argument("--web-build", default="build-web", help="the browser build folder")
    parser.add_argument("--web-seconds", type=float, default=20, help="seconds in the browser")
    parser.add_argument("--json", help="also write the figures to this file")
    args = parser.parse_args()
    if args.runs < 1 or args.frames < 1000 or args.repetitions < 1:
        fail("--runs, --repetitions must be positive and --frames at least 1000")
    parts = args.only or ["frame", "window", "pacing", "startup", "memory", "online"]
    results = {}
    if "frame" in parts:
        results["frame"] = report_frame(run_frame(args.build, args.repetitions, args.min_time))
    if "window" in parts:
        results["window"] = run_window(args.build, args.repetitions, args.min_time)
    if "pacing" in parts:
        results["pacing"] = run_pacing(args.build, args.pacing_frames)
    if "startup" in parts:
        results["startup"] = run_startup(args.build, args.runs)
    if "memory" in parts:
        results["memory"] = run_memory(args.build, args.frames)
    if "web" in parts:
        results["web"] = run_web(args.build, args.web_build, args.web_seconds)
    if "online" in parts:
        results["online"] = run_online(args.build, 1800)
    if args.json:
        with open(args.json, "w") as f:
            json.dump(results, f, indent=2)


if __name__ == "__main__":
    main()
