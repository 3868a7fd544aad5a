"""A server machine has more than one address (a second interface, a VPN, a
container bridge, or the 127.0.1.1 Debian gives its own host name). The real
game under Xvfb joins by 127.0.0.2 while a bot joins by 127.0.0.1: the server
answers each from the address it reached, so each sees the other."""
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (STAGE_BIN, Display, Game, GameFolder, Server, start_match,  # noqa: E402
                     wait_for)
from trace_lines import TRACE_EVENT, TRACE_FIRST_FRAME, TRACE_MENU_OPENED  # noqa: E402


class SecondAddressTest(unittest.TestCase):
    def setUp(self):
        self.display = Display()
        self.folder = GameFolder("playerName Human\nserverName 127.0.0.2\n")
        self.server = Server(self.folder, "duel", 8, 50)
        self.game = None
        self.bot = None
        self.bot_log = os.path.join(self.folder.root, "bot.log")

    def tearDown(self):
        if self.bot and self.bot.poll() is None:
            self.bot.kill()
            self.bot.wait()
        if self.game:
            self.game.kill()
        self.display.stop()
        self.server.stop()
        self.folder.remove()

    def bot_output(self):
        with open(self.bot_log) as f:
            return f.read()

    def test_a_game_joined_by_another_address_sees_and_is_seen(self):
        self.game = Game(self.display, self.folder)
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (640, 480), 20))
        start_match(self.display, self.game, 0)
        self.assertTrue(wait_for(lambda: "New Client:  Human " in self.server.output(), 20))
        with open(self.bot_log, "w") as log:
            self.bot = subprocess.Popen(
                [os.path.join(STAGE_BIN, "bot"), "--count", "1", "--name", "Rob",
                 "--server", "127.0.0.1"],
                cwd=self.folder.bin, stdout=log, stderr=subprocess.STDOUT)
        self.assertTrue(wait_for(lambda: "seen Rob1 Human" in self.bot_output(), 30),
                        "the bot never saw the game: " + self.bot_output())
        self.assertTrue(self.game.wait_trace(TRACE_EVENT % "Rob1 has connected"),
                        "the game joined by 127.0.0.2 never saw the bot")


if __name__ == "__main__":
    unittest.main(verbosity=2)
