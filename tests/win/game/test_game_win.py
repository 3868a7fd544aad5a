"""The Windows game.exe under Wine, each player on a screen of their own,
driven like the Linux game: the menu, Play, a fighter, a match against the
Linux server with a Linux player in it, a kill credited once, Escape to the
menu and Quit; then the mixed LAN the other way round, both games on the
Windows server.exe. Last, the zip a Windows player downloads: unpacked, its
bin/game.exe starts and shows the menu."""
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

HERE = os.path.dirname(__file__)
sys.path.insert(0, os.path.join(HERE, "..", "..", "e2e"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "e2e", "match"))
from harness import (ARTIFACTS, QUIT, WIN_STAGE_BIN, WINE, Display, Game, GameFolder, Server,  # noqa: E402
                     wait_for)
from test_match import Player, events, last_state  # noqa: E402
from trace_lines import (TRACE_EVENT, TRACE_FIRST_FRAME, TRACE_FRAGS,  # noqa: E402
                         TRACE_KEYS_HELD, TRACE_MATCH_CLOSED, TRACE_MENU_OPENED, TRACE_REMOTE,
                         TRACE_STATE)

ZIP = os.path.join(WIN_STAGE_BIN, "..", "..", "blastavia-windows.zip")


def kill(killer, victim):
    """The killer aims at the victim and fires: the kill is credited once."""
    assert killer.turn_and_aim_at(victim) is not None, "could not aim"
    before = sum(f"You killed {victim.name}" in e for e in events(killer.game))
    killer.fire()
    assert wait_for(lambda: sum(f"You killed {victim.name}" in e
                                for e in events(killer.game)) > before, 15), \
        "no kill; the killer's last trace lines:\n" + "\n".join(killer.game.trace()[-15:])
    assert victim.game.wait_trace(TRACE_EVENT % f"Killed by {killer.name}")
    assert wait_for(lambda: last_state(killer.game)[5] == 1, 10)
    assert sum(bool(TRACE_FRAGS.parse(line)) for line in killer.game.trace()) == 1


def frame_rate(player):
    """The median of the frame rates the game's HUD showed in its last states."""
    rates = sorted(v[6] for v in map(TRACE_STATE.parse, player.game.trace()[-400:]) if v)
    return rates[len(rates) // 2] if rates else 0


def leaving_ms(game):
    """From the frame that saw Escape held to the match's end, by the trace's
    own clock: what a player waits for after pressing it."""
    lines = game.trace()
    closed = [i for i, line in enumerate(lines) if TRACE_MATCH_CLOSED.parse(line) is not None]
    if not closed:
        return None
    held = [i for i in range(closed[-1]) if TRACE_KEYS_HELD.parse(lines[i]) == (1,)]
    return int(lines[closed[-1]].split()[0]) - int(lines[held[-1]].split()[0]) if held else None


def leave_and_quit(player):
    """Escape back to the menu, then its Quit: the game ends cleanly."""
    player.display.focus(player.window)
    player.display.press("Escape")
    assert player.game.wait_trace(TRACE_MENU_OPENED % 0), "Escape did not open the menu"
    # Measured, not asserted: Wine's own window teardown waits for a window
    # manager Xvfb does not have.
    print(f"leaving the match: Escape to match closed {leaving_ms(player.game)} ms",
          file=sys.stderr, flush=True)
    window = player.game.window()
    player.display.focus(window)
    player.display.click(*QUIT)
    assert player.game.wait_exit(60) == 0, "the game did not quit cleanly"


class WindowsGameTest(unittest.TestCase):
    def setUp(self):
        self.win = Player("Winnie", 0, windows=True)
        self.addCleanup(self.win.stop)
        self.lin = Player("Linus", 1)
        self.addCleanup(self.lin.stop)

    def meet(self, server):
        self.win.start()
        self.lin.start()
        self.assertTrue(self.win.game.wait_trace(TRACE_EVENT % "Linus has connected"))
        self.assertTrue(self.lin.game.wait_trace(TRACE_EVENT % "Winnie has connected"))
        self.assertTrue(self.win.game.wait_trace(TRACE_REMOTE % (0, 1, "Linus")))
        self.assertIn("New Client:  Winnie \nNew Client:  Linus \n", server.output())
        self.win.display.screenshot(os.path.join(ARTIFACTS, f"win-{self.id().split('.')[-1]}.png"))
        # Both games have drawn a while on the same machine: their frame rates.
        print(f"frame rate: game.exe under Wine {frame_rate(self.win)} fps, "
              f"Linux game {frame_rate(self.lin)} fps", file=sys.stderr, flush=True)

    def test_the_windows_game_plays_on_the_linux_server(self):
        server = Server(self.lin.folder, "duel", 8, 5)
        self.addCleanup(server.stop)
        self.meet(server)
        kill(self.win, self.lin)
        leave_and_quit(self.win)

    def test_a_mixed_lan_on_the_windows_server(self):
        server = Server(self.win.folder, "duel", 8, 5)
        self.addCleanup(server.stop)
        self.meet(server)
        kill(self.lin, self.win)
        leave_and_quit(self.lin)


class DownloadTest(unittest.TestCase):
    def test_the_unpacked_zip_starts_its_game(self):
        root = tempfile.mkdtemp(prefix="blastavia-zip-")
        with zipfile.ZipFile(ZIP) as z:
            z.extractall(root)
        bin_dir = os.path.join(root, "blastavia", "bin")
        for name in ("game.exe", "server.exe", "bot.exe", "SDL2.dll"):
            self.assertTrue(os.path.isfile(os.path.join(bin_dir, name)), name)
        self.assertTrue(os.path.isfile(os.path.join(root, "blastavia", "config.cfg")))
        display = Display()
        self.addCleanup(display.stop)
        trace = os.path.join(root, "trace.log")
        env = dict(display.env, BLASTAVIA_TRACE=trace, SDL_AUDIODRIVER="dummy")
        game = subprocess.Popen([WINE, os.path.join(bin_dir, "game.exe")], cwd=bin_dir, env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: game.poll() is None and (game.kill(), game.wait()))

        def traced(text):
            try:
                with open(trace) as f:
                    return text in f.read()
            except FileNotFoundError:
                return False
        self.assertTrue(wait_for(lambda: traced(TRACE_FIRST_FRAME % (640, 480)), 60),
                        "the unpacked game.exe showed no menu")
        self.assertTrue(traced(TRACE_MENU_OPENED.lead))
        display.screenshot(os.path.join(ARTIFACTS, "win-zip-menu.png"))
        self.assertIsNone(game.poll())


if __name__ == "__main__":
    unittest.main(verbosity=2)
