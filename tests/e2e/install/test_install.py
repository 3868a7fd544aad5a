"""Blastavia installed like a game: the installed tree, the desktop files and
manual pages passing their validators, the launchers' per-user game folder
(made once, reused, the player's settings never overwritten, clear failures),
and a match played from that folder through the launchers: server, bots, the
game with an F12 screenshot landing in the player's own folder.

By default the build is installed under a temporary --prefix first; with
BLAST_INSTALLED=/usr the installed package is checked instead."""
import gzip
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (ARTIFACTS, QUIT, Display, Game, start_match, targa_to_ppm,  # noqa: E402
                     wait_for, _die_with_parent)
from trace_lines import TRACE_EVENT, TRACE_FIRST_FRAME, TRACE_MENU_OPENED  # noqa: E402

BUILD_DIR = os.environ.get("BLAST_BUILD_DIR", "")
INSTALLED = os.environ.get("BLAST_INSTALLED", "")
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
PROGRAMS = ("game", "server", "bot")
WORK = tempfile.mkdtemp(prefix="blastavia-install-")
PREFIX = INSTALLED or os.path.join(WORK, "prefix")


def setUpModule():
    if not INSTALLED:
        subprocess.run(["cmake", "--install", BUILD_DIR, "--prefix", PREFIX], check=True,
                       stdout=subprocess.DEVNULL)


def tearDownModule():
    shutil.rmtree(WORK, ignore_errors=True)


def at(*parts):
    return os.path.join(PREFIX, *parts)


SHARED = at("share", "games", "blastavia")
PROGRAM_DIR = at("lib", "games", "blastavia")


def launch(role, *args, env=None, **kwargs):
    return subprocess.run([at("games", role), *args], env=env, capture_output=True, text=True,
                          timeout=60, **kwargs)


def player_env(**values):
    """A player's environment: only the variables given, plus PATH (and the
    sanitizer run's own settings, which belong to the run, not the player)."""
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin")}
    env.update({k: v for k, v in os.environ.items()
                if k in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "LD_PRELOAD")})
    env.update(values)
    return env


def read(path):
    with open(path) as f:
        return f.read()


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(33)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", path
    return struct.unpack(">II", head[16:24])


class InstalledTreeTest(unittest.TestCase):
    def test_programs_data_and_launchers_are_in_place(self):
        for program in PROGRAMS:
            self.assertTrue(os.access(os.path.join(PROGRAM_DIR, program), os.X_OK), program)
        self.assertTrue(os.path.isfile(os.path.join(SHARED, "data", "maps", "hall", "hall.bxm")))
        self.assertTrue(os.path.isfile(os.path.join(SHARED, "data", "menu", "main.tga")))
        self.assertIn("serverName 127.0.0.1", read(os.path.join(SHARED, "config.cfg")))
        self.assertTrue(os.access(at("games", "blastavia"), os.X_OK))
        for role in ("blastavia-server", "blastavia-bot"):
            self.assertEqual(os.readlink(at("games", role)), "blastavia")
        self.assertTrue(os.path.samefile(at("games", "blastavia-replay-info"),
                                         os.path.join(PROGRAM_DIR, "replay-info")))

    def test_icons_at_every_size(self):
        for size in ICON_SIZES:
            path = at("share", "icons", "hicolor", f"{size}x{size}", "apps", "blastavia.png")
            self.assertEqual(png_size(path), (size, size))

    def test_the_service_runs_the_installed_server(self):
        unit = read(at("lib", "systemd", "system", "blastavia-server@.service"))
        self.assertIn("exec " + os.path.join(PROGRAM_DIR, "server") + ' "$$@"', unit)
        self.assertIn("DynamicUser=yes", unit)
        self.assertIn("Restart=on-failure", unit)

    def test_desktop_entry_and_metainfo_validate(self):
        desktop = at("share", "applications", "blastavia.desktop")
        result = subprocess.run(["desktop-file-validate", desktop], capture_output=True, text=True)
        self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""))
        # Other packages keep their metainfo in the same folder.
        metainfo = [os.path.join(at("share", "metainfo"), name)
                    for name in os.listdir(at("share", "metainfo")) if "blastavia" in name]
        self.assertEqual(len(metainfo), 1)
        result = subprocess.run(["appstreamcli", "validate", "--no-net", metainfo[0]],
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("<launchable type=\"desktop-id\">blastavia.desktop</launchable>",
                      read(metainfo[0]))

    def test_manual_pages_render_without_warnings(self):
        for page in ("blastavia", "blastavia-server", "blastavia-bot"):
            path = at("share", "man", "man6", page + ".6.gz")
            with gzip.open(path, "rt") as f:
                source = f.read()
            self.assertIsNone(re.search(r"@[A-Z_]+@", source), page)  # every placeholder filled
            result = subprocess.run(["man", "--warnings", "-l", path], capture_output=True,
                                    text=True, env=dict(os.environ, MANWIDTH="80"))
            self.assertEqual((result.returncode, result.stderr), (0, ""), page)
            text = result.stdout
            self.assertIn(page, text)
            if page == "blastavia-server":
                for fact in ("MAP", "PLAYERS", "FRAGS", "2185", "2184", "2186",
                             "Server started", "has disconnected", "EXIT STATUS"):
                    self.assertIn(fact, text)


class GameFolderTest(unittest.TestCase):
    """The launchers' folder logic, seen through `blastavia-bot --help`, which
    starts the bot from the folder's bin/ and ends at once."""

    def setUp(self):
        self.home = tempfile.mkdtemp(dir=WORK)
        self.xdg = os.path.join(self.home, "xdg")

    def folder(self, *parts):
        return os.path.join(self.xdg, "blastavia", *parts)

    def test_first_run_makes_the_folder_later_runs_keep_the_players_settings(self):
        env = player_env(HOME=self.home, XDG_DATA_HOME=self.xdg)
        result = launch("blastavia-bot", "--help", env=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("--count", result.stdout)
        for program in PROGRAMS:
            self.assertEqual(os.readlink(self.folder("bin", program)),
                             os.path.join(os.path.realpath(PROGRAM_DIR), program))
        self.assertEqual(os.readlink(self.folder("data")),
                         os.path.join(os.path.realpath(SHARED), "data"))
        template = read(os.path.join(SHARED, "config.cfg"))
        self.assertEqual(read(self.folder("config.cfg")), template)
        self.assertFalse(os.path.islink(self.folder("config.cfg")))

        # The player's edits survive; a link left by an older install is renewed;
        # a data folder of the player's own is left alone.
        with open(self.folder("config.cfg"), "w") as f:
            f.write("playerName Ace\n")
        os.remove(self.folder("bin", "game"))
        os.symlink("/nowhere/game", self.folder("bin", "game"))
        os.remove(self.folder("data"))
        os.mkdir(self.folder("data"))
        self.assertEqual(launch("blastavia-bot", "--help", env=env).returncode, 0)
        self.assertEqual(read(self.folder("config.cfg")), "playerName Ace\n")
        self.assertEqual(os.readlink(self.folder("bin", "game")),
                         os.path.join(os.path.realpath(PROGRAM_DIR), "game"))
        self.assertTrue(os.path.isdir(self.folder("data")) and not os.path.islink(self.folder("data")))
        self.assertEqual(sorted(os.listdir(self.folder())), ["bin", "config.cfg", "data"])

    def test_the_folder_defaults_to_local_share_and_ignores_a_relative_xdg_path(self):
        for env in (player_env(HOME=self.home), player_env(HOME=self.home, XDG_DATA_HOME=""),
                    player_env(HOME=self.home, XDG_DATA_HOME="relative/place")):
            result = launch("blastavia-bot", "--help", env=env, cwd=self.home)
            self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(os.path.isfile(os.path.join(self.home, ".local", "share", "blastavia",
                                                    "config.cfg")))
        self.assertFalse(os.path.exists(os.path.join(self.home, "relative")))

    def test_a_folder_that_cannot_be_made_is_reported(self):
        blocker = os.path.join(self.home, "a-file")
        open(blocker, "w").close()
        result = launch("blastavia", env=player_env(HOME=self.home, XDG_DATA_HOME=blocker))
        self.assertEqual(result.returncode, 1)
        self.assertIn("blastavia: cannot make your game folder " + blocker + "/blastavia",
                      result.stderr)
        self.assertIn("Not a directory", result.stderr)
        self.assertIn("XDG_DATA_HOME", result.stderr)

        result = launch("blastavia-server", "hall", "8", "10", env=player_env())
        self.assertEqual(result.returncode, 1)
        self.assertIn("blastavia-server: cannot tell where your game folder belongs", result.stderr)

    def test_the_server_launcher_explains_its_arguments(self):
        env = player_env(HOME=self.home, XDG_DATA_HOME=self.xdg)
        result = launch("blastavia-server", "hall", "8", env=env)
        self.assertEqual(result.returncode, 2)
        self.assertIn("usage: blastavia-server MAP PLAYERS FRAGS", result.stderr)
        self.assertIn("maps: duel hall maze", result.stderr)
        result = launch("blastavia", "--practice", "12", env=env)
        self.assertEqual(result.returncode, 1)
        self.assertIn("--practice takes 1 to 9 bots", result.stderr)


class Launched(Game):
    """The game started the way the desktop entry starts it."""

    def __init__(self, display, env, root):
        self.display = display
        self.folder = type("Folder", (), {"trace_path": os.path.join(root, "trace.log")})
        env = dict(env, DISPLAY=display.name, BLASTAVIA_TRACE=self.folder.trace_path,
                   SDL_AUDIODRIVER="dummy")
        self.stderr_path = os.path.join(root, "game-stderr.log")
        self.stderr = open(self.stderr_path, "w")
        self.proc = subprocess.Popen([at("games", "blastavia")], env=env,
                                     stdout=subprocess.DEVNULL, stderr=self.stderr,
                                     preexec_fn=_die_with_parent)


class PlayFromTheGameFolderTest(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.mkdtemp(dir=WORK)
        self.env = player_env(HOME=self.home)
        self.folder = os.path.join(self.home, ".local", "share", "blastavia")
        self.processes = []

    def tearDown(self):
        for proc in self.processes:
            if proc.poll() is None:
                proc.send_signal(signal.SIGINT)
                try:
                    proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    proc.kill()

    def start(self, name, *command):
        """Starts a launcher; returns a function reading its output so far."""
        path = os.path.join(self.home, name + ".log")
        with open(path, "w") as log:
            proc = subprocess.Popen([at("games", command[0]), *command[1:]], env=self.env,
                                    stdout=log, stderr=subprocess.STDOUT,
                                    preexec_fn=_die_with_parent)
        self.processes.append(proc)

        def output():
            with open(path) as f:
                return f.read()
        return output

    def test_server_bots_and_a_match_with_a_screenshot(self):
        server = self.start("server", "blastavia-server", "hall", "8", "10")
        self.assertTrue(wait_for(lambda: "Server started" in server(), 20), server())
        # The bots load the map the server names from the folder's data link.
        bots = self.start("bots", "blastavia-bot", "--count", "2")
        self.assertTrue(wait_for(lambda: "New Client:  Bot2" in server(), 20), server() + bots())
        time.sleep(1)
        self.assertIsNone(self.processes[-1].poll(), bots())

        display = Display()
        self.addCleanup(display.stop)
        game = Launched(display, self.env, self.home)
        self.addCleanup(game.kill)
        self.assertTrue(game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                              TRACE_FIRST_FRAME % (640, 480), 30),
                        game.error_output())
        window = start_match(display, game, 2)
        self.assertTrue(game.wait_trace(TRACE_EVENT % "Bot1 has connected"), game.trace()[-5:])
        display.focus(window)
        display.press("F12")
        shot = os.path.join(self.folder, "0.tga")
        self.assertTrue(wait_for(lambda: os.path.exists(shot) and os.path.getsize(shot) == 18 + 640 * 480 * 3, 10))
        with open(shot, "rb") as f:
            self.assertEqual(f.read(18)[12:16], bytes([0x80, 0x02, 0xE0, 0x01]))
        if os.environ.get("BLAST_ARTIFACTS"):  # kept for a person to look at
            os.makedirs(ARTIFACTS, exist_ok=True)
            targa_to_ppm(shot, os.path.join(ARTIFACTS, "e2e-install-f12.ppm"))
        display.press("Escape")
        self.assertTrue(game.wait_trace_after(TRACE_MENU_OPENED % 0,
                                              TRACE_FIRST_FRAME % (640, 480)))
        window = game.window()
        display.focus(window)
        display.click(*QUIT)
        self.assertEqual(game.wait_exit(), 0)
        # The match was recorded in the player's own folder, beside the screenshot.
        self.assertEqual(sorted(os.listdir(self.folder)),
                         ["0.tga", "bin", "config.cfg", "data", "replays"])
        recordings = os.listdir(os.path.join(self.folder, "replays"))
        self.assertEqual(len(recordings), 1, recordings)
        self.assertTrue(recordings[0].endswith(".bvr"), recordings)


if __name__ == "__main__":
    unittest.main(verbosity=2)
