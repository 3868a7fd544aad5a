"""Walls in "hall" as a player meets them, alone on a local server: walking long
enough to reach a wall from any respawn point and finding it holds, turning
with the mouse, firing, and leaving with Escape."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (ARTIFACTS, Display, Game, GameFolder, Server, start_match,  # noqa: E402
                     wait_for)
from trace_lines import (TRACE_FIGHTER_STOPPED, TRACE_FIRST_FRAME, TRACE_MATCH_CLOSED,  # noqa: E402
                         TRACE_MENU_OPENED)

# The hall's open floor, in map units: walls stand 16 units from the centre,
# so a fighter's centre stays 0.7 inside them.
HALL_OPEN = 16.0 - 0.7 + 0.01


class LocalMatchTest(unittest.TestCase):
    def setUp(self):
        # Cleanups run even when a later step fails (a busy port, say), so no
        # X server or game outlives the test.
        self.folder = GameFolder("playerName Ace\n")
        self.addCleanup(self.folder.remove)
        self.display = Display()
        self.addCleanup(self.display.stop)
        self.server = Server(self.folder)
        self.addCleanup(self.server.stop)
        self.game = Game(self.display, self.folder)
        self.addCleanup(self.game.kill)

    def stops(self):
        found = []
        for line in self.game.trace():
            stop = TRACE_FIGHTER_STOPPED.parse(line)
            if stop:
                found.append(stop)
        return found

    def walk(self, keys, seconds):
        before = len(self.stops())
        for key in keys:
            self.display.key_down(key)
        time.sleep(seconds)
        for key in keys:
            self.display.key_up(key)
        self.assertTrue(wait_for(lambda: len(self.stops()) > before, 5.0), "no stop traced")
        return self.stops()[-1]

    def test_walls_hold_while_walking_turning_and_firing(self):
        self.assertIsNotNone(self.game.window(), "no Blastavia window appeared")
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (640, 480)))
        window = start_match(self.display, self.game, fighter=2)
        self.assertIsNotNone(window)
        x, y, width, height = self.display.geometry(window)
        # Six units a second for seven seconds crosses the whole hall: a wall stops it.
        for keys, seconds in ((["w"], 7.0), (["w", "d"], 3.0), (["s", "a"], 7.0)):
            sx, sy = self.walk(keys, seconds)
            self.assertLessEqual(abs(sx), HALL_OPEN, f"outside the hall after {keys}")
            self.assertLessEqual(abs(sy), HALL_OPEN, f"outside the hall after {keys}")
        # A quarter turn by mouse, then walk and fire together.
        self.display.move_mouse(x + width // 2 + 150, y + height // 2)
        self.display.key_down("Control_L")
        sx, sy = self.walk(["w"], 7.0)
        self.display.key_up("Control_L")
        self.assertLessEqual(max(abs(sx), abs(sy)), HALL_OPEN)
        self.display.screenshot(os.path.join(ARTIFACTS, "e2e-walls.png"))
        self.assertTrue(self.game.running())
        self.display.press("Escape")
        self.assertTrue(self.game.wait_trace(TRACE_MATCH_CLOSED))
        self.assertTrue(self.game.wait_trace(TRACE_MENU_OPENED % 0))


if __name__ == "__main__":
    unittest.main(verbosity=2)
