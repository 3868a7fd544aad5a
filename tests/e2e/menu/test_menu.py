"""The menu as a player meets it: the splash, hovering and clicking the hot
spots, Escape, picking a fighter, coming back from a match, quitting."""
import os
import signal
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (ARTIFACTS, CREDITS, FIGHTERS, PLAY, QUIT, STAGE_BIN, Display,  # noqa: E402
                     Game, GameFolder, Server, start_match, targa_to_ppm, wait_for)
from trace_lines import (TRACE_BUTTONS_HELD, TRACE_FIRST_FRAME, TRACE_MATCH_OPENED, TRACE_MENU_CLICK,  # noqa: E402
                         TRACE_MENU_OPENED, TRACE_MENU_SPLASH)

LOGO = os.path.join(STAGE_BIN, "..", "data", "menu", "logo.tga")


def picture_difference(screenshot, picture):
    """Mean absolute difference (0..1) between the 640x480 window and a picture."""
    picture = targa_to_ppm(picture, screenshot + ".expected.ppm")
    result = subprocess.run(
        ["compare", "-metric", "MAE", "(", screenshot, "-crop", "640x480+0+0", "+repage", ")",
         picture, "null:"], capture_output=True, text=True)
    return float(result.stderr.split("(")[1].split(")")[0])


class MenuTest(unittest.TestCase):
    def setUp(self):
        # Cleanups run even when a later step of setUp fails.
        self.display = Display()
        self.addCleanup(self.display.stop)
        self.folder = GameFolder("playerName Ace\n")
        self.addCleanup(self.folder.remove)
        self.server = Server(self.folder)
        self.addCleanup(self.server.stop)
        self.game = Game(self.display, self.folder)
        self.addCleanup(self.game.kill)

    def shot(self, name):
        return self.display.screenshot(os.path.join(ARTIFACTS, f"e2e-menu-{name}.png"))

    def wait_main_page(self):
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (640, 480)))
        window = self.game.window()
        self.display.focus(window)
        return window

    def clicks(self):
        return [line.split(" ", 1)[1] for line in self.game.trace() if TRACE_MENU_CLICK.parse(line)]

    # Also times the splash (three seconds, less than four) on the game's clock.
    def test_splash_then_pages_hover_edges_and_escape_needs_a_quiet_machine(self):
        self.assertTrue(self.game.wait_trace(TRACE_MENU_SPLASH))
        splash = self.shot("splash")
        self.assertLess(picture_difference(splash, LOGO), 0.02)
        self.wait_main_page()
        splash_ms = (self.game.trace_time(TRACE_FIRST_FRAME.lead)
                     - self.game.trace_time(TRACE_MENU_SPLASH))
        self.assertGreaterEqual(splash_ms, 3000)  # the splash stays three seconds
        self.assertLess(splash_ms, 4000)
        self.display.move_mouse(600, 40)
        self.shot("main")

        # Hovering Play lights Play and nothing else.
        play_inside, credits_inside = (390, 172), (390, 229)
        before = self.display.pixel(*play_inside), self.display.pixel(*credits_inside)
        self.display.move_mouse(250, PLAY[1])
        self.assertTrue(wait_for(lambda: sum(self.display.pixel(*play_inside)) > sum(before[0]) + 60))
        after = self.display.pixel(*play_inside), self.display.pixel(*credits_inside)
        self.shot("hover-play")
        self.assertEqual(after[1], before[1])

        # A click exactly on an edge is not a click on the button.
        self.display.click(230, PLAY[1])
        self.display.click(320, 480 - 315)  # each click waits for the frames that saw it
        self.assertEqual(self.clicks(), [])

        self.display.click(*PLAY)
        self.assertTrue(wait_for(lambda: self.clicks() == [TRACE_MENU_CLICK % 1]))
        self.shot("fighters")
        self.display.press("Escape")
        self.display.click(*CREDITS)
        self.assertTrue(wait_for(lambda: self.clicks()[-1:] == [TRACE_MENU_CLICK % 2]))
        self.shot("credits")
        self.display.click(*PLAY)  # nothing to click on the credits page
        self.assertEqual(self.clicks()[-1], TRACE_MENU_CLICK % 2)
        self.display.press("Escape")
        self.display.click(*PLAY)
        self.assertTrue(wait_for(lambda: self.clicks()[-1:] == [TRACE_MENU_CLICK % 1]))

    def test_middle_fighter_starts_a_match_and_escape_returns_without_splash(self):
        self.wait_main_page()
        window = start_match(self.display, self.game, fighter=1)
        self.assertTrue(self.game.wait_trace(TRACE_MATCH_OPENED.start(1, "Ace")))
        self.display.focus(window)
        self.display.press("Escape")
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED % 0,
                                                   TRACE_FIRST_FRAME % (640, 480)))
        self.assertEqual(sum(TRACE_MENU_SPLASH in line for line in self.game.trace()), 1)
        window = self.game.window()
        self.assertEqual(self.display.geometry(window), (0, 0, 640, 480))
        self.display.focus(window)
        self.display.click(*QUIT)
        self.assertEqual(self.game.wait_exit(), 0)
        self.assertEqual(self.display.windows("Blastavia"), [])

    def test_a_click_queued_behind_the_focus_is_not_lost(self):
        # A busy game reads the window taking the focus and the click that
        # gave it in one go; the click must still count, as a player expects.
        window = self.wait_main_page()
        self.display.focus(self.display.root())
        held = self.game.held(TRACE_BUTTONS_HELD)
        self.game.proc.send_signal(signal.SIGSTOP)
        try:
            self.display.focus(window)
            self.display.move_mouse(*QUIT)
            self.display.run("xdotool", "mousedown", "1")
        finally:
            self.game.proc.send_signal(signal.SIGCONT)
        held.wait_change()
        self.assertEqual(held.values()[-1:], [1])
        self.display.run("xdotool", "mouseup", "1")
        self.assertEqual(self.game.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
