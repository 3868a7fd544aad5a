"""Today's displays as a player meets them: the desktop's own mode full screen
on a 1920x1080 screen (menu pictures fitted with bars, a click landing where
Play is drawn, the match edge to edge), the wide modes in windows, a window
resized mid-match (picture undistorted, text following, squeezed to one line
and back)."""
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (ARTIFACTS, FIGHTERS, PLAY, STAGE_BIN, Display, Game, GameFolder,  # noqa: E402
                     Server, start_match, targa_to_ppm, wait_for)
from trace_lines import (TRACE_FIRST_FRAME, TRACE_FONT, TRACE_MATCH_OPENED,  # noqa: E402
                         TRACE_MENU_CLICK, TRACE_MENU_OPENED, TRACE_SCREENSHOT, TRACE_STATE,
                         TRACE_WINDOW_SIZE)

MAIN_PICTURE = os.path.join(STAGE_BIN, "..", "data", "menu", "main.tga")


def read_ppm(path):
    """(width, height, rgb bytes) of a binary PPM as targa_to_ppm writes it."""
    with open(path, "rb") as f:
        data = f.read()
    magic, width, height, _, pixels = data.split(maxsplit=4)
    assert magic == b"P6"
    return int(width), int(height), pixels


def mean_difference(a, b, *a_ops):
    """Mean absolute difference (0..1) between image a, after ImageMagick
    operations, and image b."""
    result = subprocess.run(["compare", "-metric", "MAE", "(", a, *a_ops, "+repage", ")", b,
                             "null:"], capture_output=True, text=True)
    return float(result.stderr.split("(")[1].split(")")[0])


class DisplaysTest(unittest.TestCase):
    def open(self, screen, config):
        self.display = Display(*screen)
        self.addCleanup(self.display.stop)
        self.folder = GameFolder("playerName Wide\n" + config)
        self.addCleanup(self.folder.remove)
        self.server = Server(self.folder)
        self.addCleanup(self.server.stop)
        self.game = Game(self.display, self.folder)
        self.addCleanup(self.game.kill)
        self.shots = 0

    def frames_after(self, marker):
        """A few state lines after the last trace line containing `marker`:
        frames have run since."""
        def seen():
            lines = self.game.trace()
            starts = [i for i, line in enumerate(lines) if marker in line]
            return starts and sum(bool(TRACE_STATE.parse(l)) for l in lines[starts[-1]:]) >= 3
        return wait_for(seen)

    def f12(self, name):
        """An F12 screenshot as a PPM: (width, height, pixels, path)."""
        count = sum(TRACE_SCREENSHOT in line for line in self.game.trace())
        self.display.press("F12")
        self.assertTrue(wait_for(lambda: sum(TRACE_SCREENSHOT in line
                                             for line in self.game.trace()) > count))
        tga = os.path.join(self.folder.root, f"{self.shots}.tga")
        self.shots += 1
        os.makedirs(ARTIFACTS, exist_ok=True)
        ppm = targa_to_ppm(tga, os.path.join(ARTIFACTS, f"e2e-displays-{name}.ppm"))
        subprocess.run(["convert", ppm, os.path.join(ARTIFACTS, f"e2e-displays-{name}.png")],
                       check=False)
        return read_ppm(ppm) + (ppm,)

    def assert_map_fills(self, shot):
        """The map's lit floor in every ninth of the picture: the whole window
        is drawn, not a corner of the old size."""
        width, height, pixels, _ = shot
        for gy in range(3):
            for gx in range(3):
                lit = 0
                for y in range(gy * height // 3, (gy + 1) * height // 3, 7):
                    for x in range(gx * width // 3, (gx + 1) * width // 3, 7):
                        i = (y * width + x) * 3
                        lit += sum(pixels[i:i + 3]) > 60
                self.assertGreater(lit, 20, f"ninth {gx},{gy} of {width}x{height} is dark")

    def next_match(self, config, fighter, size, name):
        """Escape to a 640x480 menu with new settings, then a match in them
        drawn whole at `size`."""
        self.folder.write_config("playerName Wide\n" + config)
        self.display.press("Escape")
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (640, 480)))
        start_match(self.display, self.game, fighter)
        self.assertTrue(self.game.wait_trace_after(TRACE_MATCH_OPENED.lead, TRACE_FIRST_FRAME % size))
        self.display.focus(self.game.window())
        self.frames_after(TRACE_MATCH_OPENED.lead)
        shot = self.f12(name)
        self.assertEqual(shot[:2], size)
        self.assert_map_fills(shot)

    def test_desktop_full_screen_menu_and_match_then_a_wide_window(self):
        self.open((1920, 1080), "videoMode 8\nfullscreen 1\n")
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (1920, 1080), 20))
        window = self.game.window()
        self.assertEqual(self.display.geometry(window), (0, 0, 1920, 1080))
        self.display.focus(window)
        self.display.move_mouse(1900, 20)  # on a bar, off the picture
        time.sleep(0.5)
        shot = self.display.screenshot(os.path.join(ARTIFACTS, "e2e-displays-menu-1920.png"))
        # The picture as large as fits (1440x1080, in the middle), its shape
        # kept, bars of one colour on both sides.
        self.assertLess(mean_difference(shot, targa_to_ppm(MAIN_PICTURE, shot + ".main.ppm"),
                                        "-crop", "1440x1080+240+0", "-resize", "640x480!"), 0.03)
        bars = {self.display.pixel(x, y) for x, y in ((5, 5), (120, 1075), (1910, 540))}
        self.assertEqual(len(bars), 1, bars)

        # Play, where the picture shows it: 2.25 window pixels a picture pixel.
        self.display.click(240 + int(PLAY[0] * 2.25), int(PLAY[1] * 2.25))
        self.assertTrue(self.game.wait_trace(TRACE_MENU_CLICK % 1))
        fighter = FIGHTERS[0]
        self.display.click(240 + int(fighter[0] * 2.25), int(fighter[1] * 2.25))
        self.assertTrue(self.game.wait_trace_after(TRACE_MATCH_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (1920, 1080)))
        self.assertTrue(self.game.wait_trace(TRACE_FONT % 25))  # the menu's are 36
        self.display.focus(self.game.window())
        self.assertEqual(self.display.geometry(self.game.window()), (0, 0, 1920, 1080))
        self.frames_after(TRACE_MATCH_OPENED.lead)
        shot = self.f12("match-desktop-1920")
        self.assertEqual(shot[:2], (1920, 1080))
        self.assert_map_fills(shot)

        # 1920x1080 in a window: the menu is the usual 640x480 again.
        self.next_match("videoMode 7\nfullscreen 0\n", 1, (1920, 1080), "match-mode7")

    def test_wide_and_desktop_windows_resized_mid_match_keep_their_shape(self):
        self.open((1280, 1024), "videoMode 6\n")
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (640, 480), 20))
        window = start_match(self.display, self.game, 0)
        self.assertTrue(self.game.wait_trace_after(TRACE_MATCH_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (1280, 720)))
        self.display.focus(window)
        self.display.move_mouse(640, 360)
        self.frames_after(TRACE_MATCH_OPENED.lead)
        time.sleep(3.5)  # the "connected" line has gone
        wide = self.f12("match-mode6")
        self.assertEqual(wide[:2], (1280, 720))
        self.assert_map_fills(wide)

        # Taller and narrower: the same height of the world on 900 lines
        # instead of 720, so shrunk by 0.8 it is the middle of the wide shot.
        self.display.run("xdotool", "windowsize", str(window), "1000", "900")
        self.assertTrue(self.game.wait_trace(TRACE_WINDOW_SIZE % (1000, 900)))
        self.frames_after(TRACE_WINDOW_SIZE % (1000, 900))
        tall = self.f12("match-resized")
        self.assertEqual(tall[:2], (1000, 900))
        # Against the wide shot's middle, measured both ways: a picture
        # stretched to the new window would match the whole wide one instead.
        middle = os.path.join(ARTIFACTS, "e2e-displays-match-mode6-middle.ppm")
        subprocess.run(["convert", wide[3], "-crop", "800x720+240+0", "+repage", middle], check=True)
        kept = mean_difference(tall[3], middle, "-resize", "800x720!")
        stretched = mean_difference(tall[3], wide[3], "-resize", "1280x720!")
        self.assertLess(kept, 0.04)
        self.assertLess(kept * 2, stretched)

        # Squeezed to one line and back: frames go on, the text follows.
        self.display.run("xdotool", "windowsize", str(window), "800", "1")
        self.assertTrue(self.game.wait_trace(TRACE_WINDOW_SIZE % (800, 1)))
        self.frames_after(TRACE_WINDOW_SIZE % (800, 1))
        self.display.run("xdotool", "windowsize", str(window), "1280", "1024")
        self.assertTrue(self.game.wait_trace(TRACE_WINDOW_SIZE % (1280, 1024)))
        self.assertTrue(self.game.wait_trace_after(TRACE_WINDOW_SIZE % (1280, 1024), TRACE_FONT % 24))
        self.frames_after(TRACE_WINDOW_SIZE % (1280, 1024))
        shot = self.f12("match-enlarged")
        self.assertEqual(shot[:2], (1280, 1024))
        self.assert_map_fills(shot)
        self.assertTrue(self.game.running())

        # The desktop's mode in a window on this screen: 1280x1024.
        self.next_match("videoMode 8\n", 2, (1280, 1024), "match-desktop-1280")


if __name__ == "__main__":
    unittest.main(verbosity=2)
