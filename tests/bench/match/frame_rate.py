"""Match frame rate under Mesa's software renderer with ten fighters on screen:
the real game on the duel map in each video mode (640x480 up to the
desktop's own, on a 1920x1080 screen), nine load-generator players standing
in a ring in front of it. Prints the median of the fps the game reports over a
few seconds and its ratio to 640x480 measured in the same run. Run from
build/stage/bin (modes as arguments to measure only those beside mode 0):
    python3 ../../../tests/bench/match/frame_rate.py [6 7 8]"""
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "e2e"))
from harness import Display, Game, GameFolder, Server, start_match, wait_for  # noqa: E402
from trace_lines import TRACE_EVENT, TRACE_FIRST_FRAME, TRACE_REMOTE, TRACE_STATE  # noqa: E402


def fps_samples(game, seconds):
    time.sleep(seconds)
    values = []
    for line in game.trace():
        state = TRACE_STATE.parse(line)
        if state:
            values.append(state[6])
    return values


def measure(video_mode, label):
    display = Display(1920, 1080)
    folder = GameFolder(f"videoMode {video_mode}\nplayerName Bench\n")
    server = Server(folder, "duel", 16, 100)
    load = subprocess.Popen([os.path.join(os.getcwd(), "loadgen"),
                             "--clients", "9", "--seconds", "60", "--around", "0", "3"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    game = Game(display, folder)
    try:
        wait_for(lambda: game.trace_time(TRACE_FIRST_FRAME.lead) is not None, 20)
        start_match(display, game, 0)
        wait_for(lambda: sum("connected" in (TRACE_EVENT.parse(l) or ("",))[0]
                             for l in game.trace()) >= 9, 10)
        time.sleep(2)  # let the first fps windows settle
        skip = len(game.trace())
        samples = fps_samples(game, 8)
        lines = game.trace()[skip:]
        window_values = sorted({s[6] for s in map(TRACE_STATE.parse, lines) if s})
        remote = sum(bool(TRACE_REMOTE.parse(l)) for l in game.trace())
        median = statistics.median(samples[-60:]) if samples else 0
        print(f"{label}: median {median} fps over the last samples, "
              f"{remote} remote fighters, fps windows seen {window_values}", flush=True)
        return median
    finally:
        game.kill()
        load.kill()
        server.stop()
        display.stop()
        folder.remove()


MODES = {0: "640x480x16", 5: "1024x768x32", 6: "1280x720x32", 7: "1920x1080x32",
         8: "desktop (1920x1080)"}

if __name__ == "__main__":
    chosen = [int(a) for a in sys.argv[1:]] or [5, 6, 7, 8]
    baseline = measure(0, MODES[0])
    for mode in chosen:
        fps = measure(mode, MODES[mode])
        print(f"  {MODES[mode]}: {fps / baseline if baseline else 0:.2f} of 640x480's frame rate",
              flush=True)
