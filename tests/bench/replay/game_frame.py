"""The game's frame time and CPU with recording on and off (a benchmark, not
a test): the real game under Xvfb in a match on hall with nine more players
(bin/loadgen, every state different, so none is dropped as a repeat), first
with recordMatches 0, then 1, in ROUNDS alternating pairs; each round a fresh
game. Frame time comes from the fps the game traces, CPU from /proc over the
same window. Prints each round, the sums and the ratio recording / plain.
  python3 tests/bench/replay/game_frame.py [SECONDS] [ROUNDS]   (from build/stage/bin,
  under scripts/isolated.sh: it needs the fixed ports)"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "e2e"))
from harness import STAGE_BIN, Display, Game, GameFolder, Server, start_match  # noqa: E402
from trace_lines import TRACE_STATE  # noqa: E402

SECONDS = float(sys.argv[1]) if len(sys.argv) > 1 else 10
ROUNDS = int(sys.argv[2]) if len(sys.argv) > 2 else 3
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime


def measure(display, record):
    folder = GameFolder(f"playerName Bench\nrecordMatches {record}\n")
    server = Server(folder, "hall", 10, 1000)
    game = Game(display, folder)
    try:
        start_match(display, game, 0)
        load = subprocess.Popen([os.path.join(STAGE_BIN, "loadgen"), "--clients", "9",
                                 "--seconds", str(SECONDS + 3)], stdout=subprocess.DEVNULL)
        time.sleep(2)  # everybody arrived
        mark = len(game.trace())
        cpu0, t0 = cpu_seconds(game.proc.pid), time.monotonic()
        time.sleep(SECONDS)
        cpu1, t1 = cpu_seconds(game.proc.pid), time.monotonic()
        fps = [v[6] for v in map(TRACE_STATE.parse, game.trace()[mark:]) if v]
        load.wait()
        mean_fps = sum(fps) / len(fps)
        cpu_share = (cpu1 - cpu0) / (t1 - t0)
        # CPU per frame is the steadier figure on a shared machine: a starved
        # game runs fewer frames, but each costs about the same.
        return 1000.0 / mean_fps, 100.0 * cpu_share, 1000.0 * cpu_share / mean_fps
    finally:
        game.kill()
        server.stop()
        folder.remove()


def main():
    display = Display()
    sums = {0: [0.0, 0.0, 0.0], 1: [0.0, 0.0, 0.0]}
    try:
        for r in range(ROUNDS):
            for record in (0, 1):
                for attempt in range(3):  # a start lost on a loaded machine is tried again
                    try:
                        frame_ms, cpu, per_frame = measure(display, record)
                        break
                    except AssertionError as e:
                        print(f"round {r + 1} recordMatches={record}: again ({e})", flush=True)
                else:
                    raise RuntimeError("the game would not start a match")
                for i, v in enumerate((frame_ms, cpu, per_frame)):
                    sums[record][i] += v
                print(f"round {r + 1} recordMatches={record}: frame {frame_ms:.2f} ms, "
                      f"cpu {cpu:.1f}%, cpu per frame {per_frame:.2f} ms", flush=True)
    finally:
        display.stop()
    for record in (0, 1):
        print(f"mean recordMatches={record}: frame {sums[record][0] / ROUNDS:.2f} ms, "
              f"cpu {sums[record][1] / ROUNDS:.1f}%, cpu per frame {sums[record][2] / ROUNDS:.2f} ms")
    print(f"ratio recording/plain: frame {sums[1][0] / sums[0][0]:.3f}, "
          f"cpu {sums[1][1] / sums[0][1]:.3f}, cpu per frame {sums[1][2] / sums[0][2]:.3f}")


if __name__ == "__main__":
    main()
