"""Drives the real programs as a player would: a private X server (Xvfb), the
game started from its own copy of the staged folder, xdotool for keys and the
mouse, screenshots of the screen, and the trace file the game writes when
BLASTAVIA_TRACE is set."""
import ctypes
import os
import re
import signal
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import traceback

from trace_lines import (TRACE_BUTTONS_HELD, TRACE_FIRST_FRAME, TRACE_KEYS_HELD,
                         TRACE_MATCH_OPENED, TRACE_MENU_CLICK, TRACE_MENU_OPENED)

STAGE_BIN = os.environ.get("BLAST_STAGE_BIN", os.getcwd())
TOOLS_DIR = os.environ.get("BLAST_E2E_TOOLS", "")
ARTIFACTS = os.environ.get("BLAST_ARTIFACTS", os.path.join(STAGE_BIN, "..", "..", "artifacts"))
# The Windows build and the script that runs its programs under Wine, when a
# test plays with it (tests/win/wine_session.sh sets both).
WIN_STAGE_BIN = os.environ.get("BLAST_WIN_STAGE_BIN", "")
WINE = os.environ.get("BLAST_WINE", "")


def _die_with_parent():
    """Children of a test end with it, even when the test itself is killed."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
    except (OSError, AttributeError):
        pass


def targa_to_ppm(tga_path, ppm_path):
    """Writes a 24/32-bit uncompressed Targa as a top-row-first PPM, honouring
    its origin bit (image tools disagree about Targa orientation)."""
    with open(tga_path, "rb") as f:
        data = f.read()
    id_length, width, height = data[0], data[12] | data[13] << 8, data[14] | data[15] << 8
    depth, top_first = data[16] // 8, bool(data[17] & 0x20)
    pixels = data[18 + id_length:]
    rows = [pixels[r * width * depth:(r + 1) * width * depth] for r in range(height)]
    if not top_first:
        rows.reverse()
    out = bytearray()
    for row in rows:
        for x in range(width):
            b, g, r = row[x * depth:x * depth + 3]
            out += bytes((r, g, b))
    with open(ppm_path, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (width, height) + bytes(out))
    return ppm_path


# Every wait ends on the thing it waits for; its limit only decides how long a
# failure takes to show. Loaded machines (CI beside other builds) are slow, so no
# wait is given less than this.
MIN_LIMIT = float(os.environ.get("BLAST_E2E_MIN_LIMIT", "60"))


def wait_for(predicate, timeout=10.0, interval=0.05):
    limit = max(timeout, MIN_LIMIT)
    end = time.time() + limit
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    value = predicate()
    if not value:  # say where, so a slow or failed run is read in minutes
        caller = traceback.extract_stack(limit=3)[0]
        print(f"e2e: a wait gave up after {limit:.0f} s at {os.path.basename(caller.filename)}:"
              f"{caller.lineno}", file=sys.stderr, flush=True)
    return value


class Display:
    """An Xvfb screen of its own, so tests never share a desktop."""

    def __init__(self, width=1024, height=768):
        read_fd, write_fd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_die_with_parent)
        os.close(write_fd)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_fd, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(read_fd)
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)

    def run(self, *args, check=True):
        return subprocess.run(list(args), env=self.env, check=check, capture_output=True,
                              text=True).stdout

    def windows(self, name):
        """Ids of the mapped top-level windows titled exactly `name`."""
        out = self.run("xwininfo", "-root", "-tree", check=False)
        found = []
        for line in out.splitlines():
            match = re.match(r'\s+(0x[0-9a-f]+) "(.*)": .*\s(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s', line)
            if match and match.group(2) == name:
                window = int(match.group(1), 16)
                state = self.run("xwininfo", "-id", str(window), check=False)
                if "IsViewable" in state:
                    found.append(window)
        return found

    visible_windows = windows

    def geometry(self, window):
        """Client area of a window: x, y on the screen, width, height."""
        out = self.run("xwininfo", "-id", str(window))
        values = {}
        for line in out.splitlines():
            if ":" in line:
                key, _, value = line.strip().partition(":")
                values[key] = value.strip()
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]))

    def key(self, *keys):
        self.run("xdotool", "key", *keys)

    def key_down(self, key):
        self.run("xdotool", "keydown", key)

    def key_up(self, key):
        self.run("xdotool", "keyup", key)

    def move_mouse(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y))

    game = None  # the game on this screen, set by Game: inputs wait for its frames

    def press(self, key, hold=0.15, sync=True):
        """A key pressed and held until the game has run a frame with it down,
        then let go until a frame has seen it up (the game traces the number of
        keys held). Without a game to watch, or with sync off, a fixed hold."""
        held = self.game.held(TRACE_KEYS_HELD) if sync and self.game else None
        self.run("xdotool", "keydown", key)
        if held:
            held.wait_change()
        else:
            time.sleep(hold)
        self.run("xdotool", "keyup", key)
        if held:
            held.wait_back()

    def click(self, x, y, button=1, hold=0.15, sync=True):
        """Like press, for a mouse button at a screen point. Clicks on a box
        (no game frames run under it) pass sync=False."""
        self.run("xdotool", "mousemove", str(x), str(y))
        time.sleep(0.1)
        held = self.game.held(TRACE_BUTTONS_HELD) if sync and self.game else None
        self.run("xdotool", "mousedown", str(button))
        if held:
            held.wait_change()
        else:
            time.sleep(hold)
        self.run("xdotool", "mouseup", str(button))
        if held:
            held.wait_back()

    def root(self):
        out = self.run("xwininfo", "-root")
        return int(re.search(r"Window id: (0x[0-9a-f]+)", out).group(1), 16)

    def focus(self, window):
        self.run("xdotool", "windowfocus", "--sync", str(window), check=False)

    def close_window(self, window):
        """What a window manager's close button sends."""
        self.run(os.path.join(TOOLS_DIR, "wmclose"), str(window))

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        self.run("import", "-window", "root", path)
        return path

    def pixel(self, x, y):
        """(r, g, b) of one screen pixel."""
        out = self.run("import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8",
                       "txt:-")
        line = out.strip().splitlines()[-1]
        rgb = line.split("(")[1].split(")")[0].split(",")
        return tuple(int(float(v)) for v in rgb[:3])

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=10)


class GameFolder:
    """A private copy of the staged game folder: its own config.cfg and its own
    place for screenshots, sharing the built binaries and data."""

    def __init__(self, config=None, windows=False):
        """`windows`: the folder holds the Windows build, run under Wine."""
        self.windows = windows
        stage_bin = WIN_STAGE_BIN if windows else STAGE_BIN
        self.root = tempfile.mkdtemp(prefix="blastavia-e2e-")
        os.makedirs(os.path.join(self.root, "bin"))
        names = [n for n in os.listdir(stage_bin) if n.lower().endswith((".exe", ".dll"))] \
            if windows else ["game", "server"]
        for program in names:
            source = os.path.join(stage_bin, program)
            if os.path.exists(source):
                os.symlink(os.path.abspath(source), os.path.join(self.root, "bin", program))
        os.symlink(os.path.abspath(os.path.join(stage_bin, "..", "data")),
                   os.path.join(self.root, "data"))
        self.write_config(config if config is not None else "")
        self.bin = os.path.join(self.root, "bin")
        self.trace_path = os.path.join(self.root, "trace.log")

    def write_config(self, text):
        with open(os.path.join(self.root, "config.cfg"), "w") as f:
            f.write(text)

    def command(self, program):
        """The command line that starts one of the folder's programs."""
        if self.windows:
            return [WINE, os.path.join(self.bin, program + ".exe")]
        return [os.path.join(self.bin, program)]

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


class Server:
    """The real dedicated server, run from a GameFolder's bin/."""

    def __init__(self, folder, map_name="hall", players=8, frags=20, env=None):
        """`env`: variables added to the server's environment."""
        self.windows = folder.windows
        self.log_path = os.path.join(folder.root, "server.log")
        self.log = open(self.log_path, "w")
        self.proc = subprocess.Popen(
            folder.command("server") + [map_name, str(players), str(frags)],
            cwd=folder.bin, stdout=self.log, stderr=subprocess.STDOUT, preexec_fn=_die_with_parent,
            env=dict(os.environ, **env) if env else None)
        if not wait_for(lambda: "Server started" in self.output(), 10):
            output = self.output()
            self.stop()
            raise RuntimeError("server did not start: " + output)

    def output(self):
        with open(self.log_path) as f:
            return f.read()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(timeout=10)
            if self.windows:
                # Wine's wineserver owns the sockets and closes them a moment
                # after the process is gone: the next server waits for that.
                # Wine 8 sometimes keeps one for good; a new wineserver frees it.
                end = time.time() + 2
                while not _server_ports_free() and time.time() < end:
                    time.sleep(0.05)
                if not _server_ports_free():
                    subprocess.run([WINE, "--restart"], check=False)
                wait_for(_server_ports_free, 20)
        if not self.log.closed:
            self.log.close()


def _server_ports_free():
    """Whether the server's ports (TCP 2185, UDP 2184 and 2186) can be bound."""
    sockets = [socket.socket(socket.AF_INET, socket.SOCK_STREAM)]
    sockets[0].setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sockets += [socket.socket(socket.AF_INET, socket.SOCK_DGRAM) for _ in range(2)]
    try:
        for s, port in zip(sockets, (2185, 2184, 2186)):
            s.bind(("0.0.0.0", port))
        return True
    except OSError:
        return False
    finally:
        for s in sockets:
            s.close()


class HeldCount:
    """Follows one count trace line of a game (keys or buttons held) across
    one input."""

    def __init__(self, game, line):
        self.game, self.line = game, line
        self.seen = len(self.values())
        self.before = self.values()[-1] if self.seen else 0
        self.screens = self.screens_opened()

    def values(self):
        return [values[0] for values in map(self.line.parse, self.game.trace()) if values]

    def screens_opened(self):
        return sum(TRACE_FIRST_FRAME.lead in line for line in self.game.trace())

    def moved_on(self):
        """The input ended the game or opened another screen: the window that
        took it is gone, and with it any count of what it held."""
        return (not self.game.running() or self.screens_opened() > self.screens
                or bool(self.game.display.windows("Error")))  # no frames run under a box

    def wait_change(self):
        """A frame has run since the press."""
        wait_for(lambda: len(self.values()) > self.seen or self.moved_on())

    def wait_back(self):
        """A frame has seen the count back where it was."""
        wait_for(lambda: (self.values() or [0])[-1] == self.before or self.moved_on())


class Game:
    """The real game binary, started in a GameFolder on a Display."""

    def __init__(self, display, folder):
        self.display = display
        display.game = self
        self.folder = folder
        env = dict(display.env, BLASTAVIA_TRACE=folder.trace_path, SDL_AUDIODRIVER="dummy")
        self.stderr_path = os.path.join(folder.root, "stderr.log")
        self.stderr = open(self.stderr_path, "w")
        self.proc = subprocess.Popen(folder.command("game"), cwd=folder.bin, env=env,
                                     stdout=subprocess.DEVNULL, stderr=self.stderr,
                                     preexec_fn=_die_with_parent)

    def trace(self):
        try:
            with open(self.folder.trace_path) as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def wait_trace(self, text, timeout=15.0):
        return wait_for(lambda: any(text in line for line in self.trace()), timeout)

    def wait_trace_after(self, marker, text, timeout=15.0):
        """A trace line containing `text` after the last line containing `marker`."""
        def found():
            lines = self.trace()
            starts = [i for i, line in enumerate(lines) if marker in line]
            return bool(starts) and any(text in line for line in lines[starts[-1]:])
        return wait_for(found, timeout)

    def held(self, line):
        return HeldCount(self, line)

    def trace_time(self, text):
        """The clock stamp of the first trace line containing `text`."""
        for line in self.trace():
            if text in line:
                return int(line.split()[0])
        return None

    def error_output(self):
        with open(self.stderr_path) as f:
            return f.read()

    def running(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout=10.0):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def window(self, timeout=10.0):
        found = wait_for(lambda: self.display.visible_windows("Blastavia"), timeout)
        return found[0] if found else None

    def kill(self):
        if self.running():
            self.proc.kill()
        self.proc.wait()
        if not self.stderr.closed:
            self.stderr.close()


# The menu's hot spots in window pixels, y counted down from the top.
PLAY = (320, 480 - 297)
CREDITS = (320, 480 - 240)
QUIT = (320, 480 - 183)
FIGHTERS = [(112, 480 - 237), (302, 480 - 237), (522, 480 - 237)]


def start_match(display, game, fighter=0):
    """From the main menu page into a match with the given fighter."""
    window = game.window()
    display.focus(window)
    display.click(*PLAY)
    assert game.wait_trace_after(TRACE_MENU_OPENED.lead, TRACE_MENU_CLICK % 1), "Play did not react"
    display.click(*FIGHTERS[fighter])
    assert game.wait_trace_after(TRACE_MATCH_OPENED.lead, TRACE_FIRST_FRAME.lead), \
        "the match did not start"
    return game.window()
