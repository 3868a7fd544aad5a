"""The game's share of one core, from /proc/PID/stat (utime + stime) over a
few seconds each: in the menu, with the window in the background, and in a
match (one load-generator player standing in front) without a frame cap and
with maxFps 60. Under the cap it also reports the frame times the match ran
(from the per-frame "remote drawn" trace lines): median, p99 and their ratio.
Run from build/stage/bin:
    python3 ../../../tests/bench/match/cpu_share.py [seconds]   (default 5)"""
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "e2e"))
from harness import Display, Game, GameFolder, Server, start_match, wait_for  # noqa: E402
from trace_lines import TRACE_EVENT, TRACE_FIRST_FRAME, TRACE_FOCUS, TRACE_REMOTE_DRAWN  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def share(pid, seconds):
    c0, t0 = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return (cpu_seconds(pid) - c0) / (time.monotonic() - t0)


def frame_times(lines):
    stamps = sorted({int(line.split()[0]) for line in lines if TRACE_REMOTE_DRAWN.parse(line)})
    return [b - a for a, b in zip(stamps, stamps[1:])]


def run(max_fps, seconds, results):
    display = Display(1280, 1024)
    folder = GameFolder(f"playerName Bench\nmaxFps {max_fps}\n")
    server = Server(folder, "duel", 16, 100)
    load = subprocess.Popen([os.path.join(os.getcwd(), "loadgen"), "--clients", "1",
                             "--seconds", "120", "--around", "0", "3"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    game = Game(display, folder)
    try:
        wait_for(lambda: game.trace_time(TRACE_FIRST_FRAME.lead) is not None, 20)
        pid = game.proc.pid
        if max_fps == 0:
            time.sleep(1)
            results["menu"] = share(pid, seconds)
            display.focus(display.root())
            wait_for(lambda: any(TRACE_FOCUS % 0 in l for l in game.trace()), 5)
            results["menu in background"] = share(pid, seconds)
        start_match(display, game, 0)
        wait_for(lambda: any("connected" in (TRACE_EVENT.parse(l) or ("",))[0]
                             for l in game.trace()), 10)
        time.sleep(1)
        skip = len(game.trace())
        label = f"match maxFps {max_fps}"
        results[label] = share(pid, seconds)
        times = frame_times(game.trace()[skip:])
        if times:
            times.sort()
            median = statistics.median(times)
            p99 = times[int(0.99 * (len(times) - 1))]
            results[label + " frame ms median/p99"] = f"{median} / {p99} ({p99 / max(median, 1):.2f}x)"
        if max_fps == 0:
            display.focus(display.root())
            wait_for(lambda: sum(TRACE_FOCUS % 0 in l for l in game.trace()) >= 2, 5)
            results["match in background"] = share(pid, seconds)
    finally:
        game.kill()
        load.kill()
        server.stop()
        display.stop()
        folder.remove()


if __name__ == "__main__":
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 5.0
    results = {}
    run(0, seconds, results)
    run(60, seconds, results)
    for name, value in results.items():
        shown = f"{value * 100:.1f} % of a core" if isinstance(value, float) else value
        print(f"{name:34s} {shown}")
