"""A whole match between two real clients through the real server, each on
its own screen, driven with the mouse and keys: joining, a kill credited once,
respawning, the frag limit with its scoreboard and pause, screenshots, a
client that dies without leaving, and a full server."""
import math
import os
import signal
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (ARTIFACTS, Display, Game, GameFolder, Server, start_match,  # noqa: E402
                     wait_for)
from trace_lines import (TRACE_EVENT, TRACE_FIRST_FRAME, TRACE_FRAGS, TRACE_MENU_CLICK,  # noqa: E402
                         TRACE_MENU_CLOSED, TRACE_MENU_OPENED, TRACE_REMOTE,
                         TRACE_ROUND_OVER, TRACE_ROUND_RESTARTED, TRACE_STATE)

TURN_PER_PIXEL = 0.6         # mouseSensitivity 5
AIM_PER_PIXEL = 0.6 * 0.06666667


def traced_states(game):
    return [line for line in game.trace() if TRACE_STATE.parse(line)]


def last_state(game):
    """(x, y, heading, aim, dead, frags) from the latest state line."""
    for line in reversed(game.trace()):
        values = TRACE_STATE.parse(line)
        if values:
            return values[:6]
    return None


def events(game):
    return [values[0] for values in map(TRACE_EVENT.parse, game.trace()) if values]


class Player:
    def __init__(self, name, fighter, folder_config="", windows=False):
        self.display = Display()
        self.folder = GameFolder(f"playerName {name}\n" + folder_config, windows)
        self.name = name
        self.fighter = fighter
        self.game = None

    def start(self):
        self.game = Game(self.display, self.folder)
        assert self.game.wait_trace_after(TRACE_MENU_OPENED.lead, TRACE_FIRST_FRAME % (640, 480),
                                          20)
        self.window = start_match(self.display, self.game, self.fighter)
        self.display.focus(self.window)
        self.display.move_mouse(320, 240)
        assert wait_for(lambda: last_state(self.game) is not None, 10)

    def turn_and_aim_at(self, other):
        """Turns the fighter toward the other one and puts the crosshair on it,
        correcting from what the game reports until it is there."""
        for _ in range(6):
            x, y, heading, aim, _, _ = last_state(self.game)
            ox, oy = last_state(other.game)[:2]
            want = math.degrees(math.atan2(oy - y, ox - x)) - 90.0
            turn = (want - heading + 180.0) % 360.0 - 180.0
            distance = math.hypot(ox - x, oy - y)
            dx = round(-turn / TURN_PER_PIXEL)
            dy = round(-(distance - aim) / AIM_PER_PIXEL)
            if abs(dx) <= 0 and abs(dy) <= 1:
                return distance
            states = len(traced_states(self.game))
            self.display.run("xdotool", "mousemove_relative", "--", str(dx), str(dy))
            # A few traced states later, frames have taken the move.
            wait_for(lambda: len(traced_states(self.game)) >= states + 3)
        return None

    def fire(self):
        self.display.click(320, 240)

    def stop(self):
        if self.game:
            self.game.kill()
        self.display.stop()
        self.folder.remove()


class MatchTest(unittest.TestCase):
    def setUp(self):
        # Cleanups run even when a later step of setUp fails.
        self.alice = Player("Alice", 0)
        self.addCleanup(self.alice.stop)
        self.bob = Player("Bob", 1)
        self.addCleanup(self.bob.stop)
        self.server = Server(self.alice.folder, "duel", 8, 2)
        self.addCleanup(lambda: self.server.stop())

    def shot(self, player, name):
        return player.display.screenshot(os.path.join(ARTIFACTS, f"e2e-match-{name}.png"))

    def kill_bob(self):
        self.assertIsNotNone(self.alice.turn_and_aim_at(self.bob))
        kills_before = sum("You killed Bob" in e for e in events(self.alice.game))
        self.alice.fire()
        self.assertTrue(wait_for(
            lambda: sum("You killed Bob" in e for e in events(self.alice.game)) > kills_before, 10),
            "no kill; Alice's last trace lines:\n" + "\n".join(self.alice.game.trace()[-15:]) +
            "\nBob's:\n" + "\n".join(self.bob.game.trace()[-5:]))

    # Also checks that a vanished player is gone within 4 s of wall time.
    def test_a_round_between_two_players_needs_a_quiet_machine(self):
        alice, bob = self.alice, self.bob
        alice.start()
        bob.start()
        self.assertTrue(alice.game.wait_trace(TRACE_EVENT % "Bob has connected"))
        self.assertTrue(bob.game.wait_trace(TRACE_EVENT % "Alice has connected"))
        self.assertTrue(alice.game.wait_trace(TRACE_REMOTE % (0, 1, "Bob")))
        self.assertIn("New Client:  Alice \nNew Client:  Bob \n", self.server.output())
        self.shot(alice, "joined")

        # A shot whose crosshair rests on Bob kills him; the kill counts once
        # although Bob's states keep naming Alice as his killer for a while.
        self.kill_bob()
        self.shot(alice, "after-kill")
        self.assertTrue(bob.game.wait_trace(TRACE_EVENT % "Killed by Alice"))
        self.assertTrue(wait_for(lambda: last_state(bob.game)[4] == 1, 5))
        time.sleep(1.5)
        self.assertEqual(last_state(alice.game)[5], 1)
        self.assertEqual(sum(bool(TRACE_FRAGS.parse(line)) for line in alice.game.trace()), 1)

        # Bob respawns when he fires after his death sequence. On a slow
        # machine the sequence may still be playing at the first click (each
        # frame steps it one cell at most), so he clicks as a player would,
        # until he is back.
        # Each click waits to be seen: a click after the one that brought him
        # back would fire, and could kill Alice where his respawn point and
        # heading put his crosshair on her.
        bob.display.focus(bob.window)
        deadline = time.time() + 60
        while last_state(bob.game)[4] != 0 and time.time() < deadline:
            bob.fire()
            time.sleep(0.4)
        self.assertEqual(last_state(bob.game)[4], 0)

        # The second kill reaches the frag limit: both see the board, pause
        # five seconds and start again from zero.
        self.kill_bob()
        self.assertTrue(alice.game.wait_trace(TRACE_ROUND_OVER))
        self.assertTrue(bob.game.wait_trace(TRACE_ROUND_OVER))
        self.shot(alice, "scoreboard")
        self.assertTrue(alice.game.wait_trace(TRACE_ROUND_RESTARTED, 10))
        pause = (alice.game.trace_time(TRACE_ROUND_RESTARTED)
                 - alice.game.trace_time(TRACE_ROUND_OVER))
        self.assertGreaterEqual(pause, 5000)
        self.assertTrue(wait_for(lambda: last_state(alice.game)[5] == 0, 5))

        # F12 twice: ../0.tga then ../1.tga, each with the exact header.
        alice.display.focus(alice.window)
        for expected in ("0.tga", "1.tga"):
            alice.display.press("F12")
            path = os.path.join(alice.folder.root, expected)
            self.assertTrue(wait_for(lambda: os.path.exists(path), 5), expected)
        shot_size = 18 + 640 * 480 * 3
        self.assertTrue(wait_for(
            lambda: os.path.getsize(os.path.join(alice.folder.root, "1.tga")) >= shot_size))
        with open(os.path.join(alice.folder.root, "1.tga"), "rb") as f:
            data = f.read()
        self.assertEqual(data[:18], bytes([0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                           0x80, 0x02, 0xE0, 0x01, 24, 0x20]))
        self.assertEqual(len(data), 18 + 640 * 480 * 3)

        # Bob's game is killed outright: Alice sees him leave about a second later.
        killed_at = time.time()
        bob.game.proc.send_signal(signal.SIGKILL)
        self.assertTrue(alice.game.wait_trace(TRACE_EVENT % "Bob has disconnected", 10))
        self.assertLess(time.time() - killed_at, 4.0)
        self.assertIn("Bob has disconnected \n", self.server.output())

        # Escape leaves the match for the menu.
        alice.display.focus(alice.window)
        alice.display.press("Escape")
        self.assertTrue(alice.game.wait_trace(TRACE_MENU_OPENED % 0))

    def test_a_full_server_turns_the_player_away(self):
        self.server.stop()
        self.server = Server(self.alice.folder, "duel", 1, 2)
        self.alice.start()
        bob = self.bob
        bob.game = Game(bob.display, bob.folder)
        self.assertTrue(bob.game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                                  TRACE_FIRST_FRAME % (640, 480), 20))
        window = bob.game.window()
        bob.display.focus(window)
        from harness import FIGHTERS, PLAY
        bob.display.click(*PLAY)
        self.assertTrue(bob.game.wait_trace(TRACE_MENU_CLICK % 1))
        bob.display.click(*FIGHTERS[1])
        boxes = wait_for(lambda: bob.display.windows("Error"), 10)
        self.assertEqual(len(boxes), 1)
        self.shot(bob, "server-full")
        x, y, width, height = bob.display.geometry(boxes[0])
        bob.display.click(x + width // 2, y + height - 28, sync=False)
        self.assertIsNotNone(bob.game.wait_exit())
        self.assertIn("Server is full", bob.game.error_output())
        self.assertNotIn("Could not join the server", bob.game.error_output())
        self.assertFalse(any(TRACE_FIRST_FRAME.lead in line for line in
                             bob.game.trace()[[i for i, l in enumerate(bob.game.trace())
                                               if TRACE_MENU_CLOSED in l][0]:]))


if __name__ == "__main__":
    unittest.main(verbosity=2)
