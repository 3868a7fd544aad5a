"""The game under conditions a player's desktop really produces: a full-screen
mode the screen lacks, a request to end while an error box is up, and the
X server going away mid-match. The game must end, cleanly and soon."""
import os
import signal
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import Display, Game, GameFolder, Server, start_match, wait_for  # noqa: E402
from trace_lines import TRACE_FIRST_FRAME, TRACE_MENU_CLICK, TRACE_MENU_OPENED  # noqa: E402

# Generous: these end on the event itself; the limit only matters on failure.
BOX_LIMIT = 60


class HardshipTest(unittest.TestCase):
    def setUp(self):
        self.folder = GameFolder()
        self.addCleanup(self.folder.remove)
        self.display = None
        self.game = None
        self.addCleanup(lambda: self.game and self.game.kill())

    def open_display(self, width=1024, height=768):
        self.display = Display(width, height)
        self.addCleanup(lambda: self.display.proc.poll() is None and self.display.stop())

    def wait_box(self):
        boxes = wait_for(lambda: self.display.windows("Error"), BOX_LIMIT)
        self.assertEqual(len(boxes), 1, "no error box appeared")
        return boxes[0]

    def click_ok(self, box):
        x, y, width, height = self.display.geometry(box)
        self.display.click(x + width // 2, y + height - 28, sync=False)

    def test_a_match_mode_the_screen_lacks_ends_cleanly_after_its_box(self):
        # The menu's 640x480 exists on this screen; the match's 800x600 does not.
        self.open_display(640, 480)
        server = Server(self.folder)
        self.addCleanup(server.stop)
        self.folder.write_config("fullscreen 1\nvideoMode 4\n")
        self.game = Game(self.display, self.folder)
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead, TRACE_FIRST_FRAME.lead,
                                                   BOX_LIMIT))
        self.display.focus(self.game.window())
        self.display.click(320, 480 - 297)  # Play
        self.assertTrue(self.game.wait_trace(TRACE_MENU_CLICK % 1, BOX_LIMIT))
        self.display.click(112, 480 - 237)  # the first fighter
        self.click_ok(self.wait_box())
        self.assertEqual(self.game.wait_exit(BOX_LIMIT), 0)  # not a signal, no core
        self.assertIn("Video initialization failed", self.game.error_output())

    def test_a_request_to_end_is_heard_while_a_box_is_up(self):
        self.open_display()
        for sig in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=sig.name):
                self.folder.write_config("fullscreen 1\n")  # the menu itself cannot open
                self.game = Game(self.display, self.folder)
                self.wait_box()
                self.game.proc.send_signal(sig)
                self.assertIsNotNone(self.game.wait_exit(BOX_LIMIT), f"{sig.name} was ignored")
                self.game.kill()
                # The box is drawn by a child process: it goes with the game.
                self.assertTrue(wait_for(lambda: not self.display.windows("Error"), BOX_LIMIT),
                                "the box outlived the game")

    def test_the_game_ends_when_its_x_server_goes_away(self):
        self.open_display()
        server = Server(self.folder)
        self.addCleanup(server.stop)
        self.game = Game(self.display, self.folder)
        self.assertIsNotNone(self.game.window(BOX_LIMIT))
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead, TRACE_FIRST_FRAME.lead,
                                                   BOX_LIMIT))
        start_match(self.display, self.game)
        self.display.proc.kill()
        self.display.proc.wait()
        # It used to spin at a full core for ever inside its exit handlers.
        self.assertIsNotNone(self.game.wait_exit(10), "the game outlived its display")
        self.assertIn("display connection was lost", self.game.error_output())


if __name__ == "__main__":
    unittest.main(verbosity=2)
