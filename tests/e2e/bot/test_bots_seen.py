"""A human's game (the real client under Xvfb) in a match with three bots:
it sees them arrive, they find it and shoot it, and it sees them leave."""
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (STAGE_BIN, Display, Game, GameFolder, Server, start_match,  # noqa: E402
                     wait_for)
from trace_lines import TRACE_EVENT, TRACE_FIRST_FRAME, TRACE_MENU_OPENED  # noqa: E402


def events(game):
    return [values[0] for values in map(TRACE_EVENT.parse, game.trace()) if values]


class BotsSeenTest(unittest.TestCase):
    def setUp(self):
        self.display = Display()
        self.folder = GameFolder("playerName Human\n")
        self.server = Server(self.folder, "duel", 8, 50)
        self.game = None
        self.bots = None

    def tearDown(self):
        if self.bots and self.bots.poll() is None:
            self.bots.kill()
            self.bots.wait()
        if self.game:
            self.game.kill()
        self.display.stop()
        self.server.stop()
        self.folder.remove()

    def test_a_player_sees_bots_arrive_fight_and_leave(self):
        self.game = Game(self.display, self.folder)
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (640, 480), 20))
        start_match(self.display, self.game, 0)
        log = open(os.path.join(self.folder.root, "bots.log"), "w")
        self.bots = subprocess.Popen(
            [os.path.join(STAGE_BIN, "bot"), "--count", "3", "--name", "Rob", "--skill", "5"],
            cwd=self.folder.bin, stdout=log, stderr=subprocess.STDOUT)
        for n in (1, 2, 3):
            self.assertTrue(self.game.wait_trace(TRACE_EVENT % f"Rob{n} has connected"))
        self.assertIn("New Client:  Rob3 ", self.server.output())

        # The player stands still at a respawn point: the bots walk the arena,
        # find it and fire; the game names the bot that killed it.
        self.assertTrue(wait_for(
            lambda: any(e.startswith("Killed by Rob") for e in events(self.game)), 120),
            "no bot shot the player: " + repr(events(self.game)))

        self.bots.terminate()
        self.assertEqual(self.bots.wait(timeout=10), 0)
        log.close()
        for n in (1, 2, 3):
            self.assertTrue(self.game.wait_trace(TRACE_EVENT % f"Rob{n} has disconnected"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
