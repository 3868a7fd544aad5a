"""The client's spine as a player meets it: the window it opens, keys across a
focus change, closing the window, and a fatal error at start-up."""
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (ARTIFACTS, TOOLS_DIR, Display, Game, GameFolder, Server,  # noqa: E402
                     start_match, wait_for)
from trace_lines import (TRACE_FIRST_FRAME, TRACE_KEYS_HELD, TRACE_MATCH_OPENED,  # noqa: E402
                         TRACE_MENU_OPENED)


class ShellTest(unittest.TestCase):
    def setUp(self):
        # Cleanups run even when a later step of setUp fails.
        self.display = Display()
        self.addCleanup(self.display.stop)
        self.folder = GameFolder()
        self.addCleanup(self.folder.remove)
        self.server = Server(self.folder)
        self.addCleanup(self.server.stop)
        self.game = None
        self.addCleanup(lambda: self.game and self.game.kill())

    def start(self):
        self.game = Game(self.display, self.folder)
        window = self.game.window()
        self.assertIsNotNone(window, "no Blastavia window appeared")
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (640, 480)))
        return window

    def test_window_opens_at_the_top_left_with_its_title_and_size(self):
        window = self.start()
        self.assertEqual(self.display.geometry(window), (0, 0, 640, 480))
        self.display.screenshot(os.path.join(ARTIFACTS, "e2e-shell-menu.png"))

    def test_a_key_held_across_a_focus_change_reads_released_afterwards(self):
        window = self.start()
        self.display.focus(window)
        self.display.move_mouse(320, 240)
        self.display.key_down("w")
        self.assertTrue(self.game.wait_trace(TRACE_KEYS_HELD % 1))
        # Another window takes the focus; the key is let go over there.
        self.display.focus(self.display.root())
        time.sleep(0.3)
        self.display.key_up("w")
        time.sleep(0.3)
        self.display.focus(window)
        self.assertTrue(self.game.wait_trace(TRACE_KEYS_HELD % 0))

    def test_closing_the_window_ends_the_program_from_menu_and_match(self):
        window = self.start()
        self.display.close_window(window)
        self.assertEqual(self.game.wait_exit(), 0)
        self.assertEqual(self.display.windows("Blastavia"), [])

        self.game.kill()
        self.folder.write_config("")
        os.remove(self.folder.trace_path)
        self.start()
        window = start_match(self.display, self.game)
        self.display.close_window(window)
        self.assertEqual(self.game.wait_exit(), 0)
        self.assertNotIn(TRACE_MENU_OPENED % 0, self.game.trace())

    def test_escape_in_a_match_returns_to_a_fresh_menu(self):
        self.folder.write_config("videoMode 2\n")
        self.start()
        window = start_match(self.display, self.game)
        self.assertTrue(self.game.wait_trace_after(TRACE_MATCH_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (1024, 768)))
        self.display.focus(window)
        self.display.press("Escape")
        self.assertTrue(self.game.wait_trace(TRACE_MENU_OPENED % 0))
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED % 0,
                                                   TRACE_FIRST_FRAME % (640, 480)))
        window = self.game.window()
        self.assertEqual(self.display.geometry(window), (0, 0, 640, 480))
        self.assertTrue(self.game.running())

    # The press that picks a fighter closes the menu's window; let go before
    # the match's window exists, the release reaches no window of ours. The
    # next press must count all the same.
    def test_a_button_let_go_between_two_windows_does_not_eat_the_next_press(self):
        probe = subprocess.run([os.path.join(TOOLS_DIR, "button_gap")], env=self.display.env,
                               capture_output=True, text=True, timeout=120)
        self.assertEqual(probe.returncode, 0, probe.stdout + probe.stderr)

    def test_a_fatal_error_shows_one_box_and_ends_without_a_frame(self):
        # The desktop cannot switch to a 640x480 full-screen mode.
        self.folder.write_config("fullscreen 1\n")
        self.game = Game(self.display, self.folder)
        boxes = wait_for(lambda: self.display.windows("Error"), 10)
        self.assertEqual(len(boxes), 1)
        self.display.screenshot(os.path.join(ARTIFACTS, "e2e-shell-fatal-error.png"))
        x, y, width, height = self.display.geometry(boxes[0])
        self.display.click(x + width // 2, y + height - 28, sync=False)  # the OK button
        self.assertIsNotNone(self.game.wait_exit())
        self.assertIn("Video initialization failed", self.game.error_output())
        self.assertFalse(any(TRACE_FIRST_FRAME.lead in line for line in self.game.trace()))
        self.assertEqual(self.display.windows("Error"), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
