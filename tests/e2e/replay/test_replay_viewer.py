"""The Replays page and the viewer, as a player meets them after a bot
match: the page lists the recording (and one of a map the game lacks, which
it will not play), deletes one only after a confirmation, and plays the
other; the viewer follows a player, switches to another, speeds up, pauses,
seeks back, jumps by a click on the timeline, takes a screenshot and returns
to the page with Escape."""
import os
import socket
import struct
import sys
import time
import unittest
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "bot"))
from harness import ARTIFACTS, STAGE_BIN, Display, Game, GameFolder, Server, wait_for  # noqa: E402
from bot_log import BotRun  # noqa: E402
from trace_lines import (TRACE_FIRST_FRAME, TRACE_MENU_OPENED, TRACE_REPLAY_AT,  # noqa: E402
                         TRACE_REPLAY_CHOSEN, TRACE_REPLAY_CLOSED, TRACE_REPLAY_DELETED,
                         TRACE_REPLAY_FOLLOW, TRACE_REPLAY_LISTED, TRACE_REPLAY_OPENED,
                         TRACE_REPLAY_PAUSED, TRACE_REPLAY_SEEK, TRACE_REPLAY_SELECTED,
                         TRACE_REPLAY_SPEED, TRACE_SCREENSHOT)

REPLAYS = (320, 415)   # the main page's Replays button, window pixels from the top
NO = (587, 429)        # the confirmation's No
TIMELINE_Y = 480 - 22


def head_only_recording(path, map_name):
    """A recording cut short after its header: the format's first chunk alone."""
    payload = struct.pack("<HIQi", 1, 5000, 1577836800, 3)
    for text in (map_name, "Ghost"):
        payload += bytes([len(text)]) + text.encode()
    header = struct.pack("<4sB3xIII", b"HEAD", 0, 0, len(payload), len(payload))
    with open(path, "wb") as f:
        f.write(b"BLASTREC" + header + struct.pack("<I", zlib.crc32(header + payload)) + payload)


class ReplayViewerTest(unittest.TestCase):
    def setUp(self):
        self.display = Display()
        self.addCleanup(self.display.stop)
        self.folder = GameFolder("playerName Viewer\n")
        self.addCleanup(self.folder.remove)
        self.replays = os.path.join(self.folder.root, "replays")

    def values(self, line):
        return [v for v in map(line.parse, self.game.trace()) if v]

    def record_a_bot_match(self):
        """The server records four bots into the game's own replays folder."""
        server = Server(self.folder, "hall", 8, 3, env={"BLASTAVIA_RECORD": self.replays})
        self.addCleanup(server.stop)
        bots = BotRun([os.path.join(STAGE_BIN, "bot"), "--count", "4", "--name", "Rob",
                       "--skill", "5"], self.folder.bin)
        self.addCleanup(bots.stop)
        self.assertTrue(wait_for(lambda: bots.count("death ") >= 6, 300), "too little happened")
        time.sleep(12)  # some seconds more than a seek back
        self.assertEqual(bots.stop(), 0)
        probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        def finished():
            probe.sendto(b"wake", ("127.0.0.1", 2184))
            return [n for n in os.listdir(self.replays) if n.endswith(".bvr")]
        self.assertTrue(wait_for(finished, 20, interval=0.2))
        probe.close()

    def test_page_lists_deletes_after_asking_and_the_viewer_plays(self):
        self.record_a_bot_match()
        head_only_recording(os.path.join(self.replays, "20200101-000000-nowhere.bvr"), "nowhere")
        self.game = Game(self.display, self.folder)
        self.addCleanup(self.game.kill)
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (640, 480), 20))
        window = self.game.window()
        self.display.focus(window)
        self.display.click(*REPLAYS)
        self.assertTrue(wait_for(lambda: len(self.values(TRACE_REPLAY_LISTED)) >= 2))
        rows = self.values(TRACE_REPLAY_LISTED)
        self.assertEqual([(r[0], r[1], r[5]) for r in rows], [(0, "hall", 1), (1, "nowhere", 0)])
        self.assertEqual(rows[0][3], 4)  # players
        self.assertRegex(rows[0][4], r"^Rob\d")  # a round's winner
        self.display.screenshot(os.path.join(ARTIFACTS, "e2e-replays-page.png"))

        # The recording of a map we lack is not played; deleting asks first.
        self.display.press("Down")
        self.assertTrue(self.game.wait_trace(TRACE_REPLAY_SELECTED % 1))
        self.display.press("Return")
        self.display.press("Delete")
        self.display.screenshot(os.path.join(ARTIFACTS, "e2e-replays-confirm.png"))
        self.display.click(*NO)
        self.assertFalse(self.values(TRACE_REPLAY_CHOSEN))
        self.assertFalse(self.values(TRACE_REPLAY_DELETED))
        self.assertEqual(len(os.listdir(self.replays)), 2)
        self.display.press("Delete")
        self.display.press("Return")
        self.assertTrue(wait_for(lambda: self.values(TRACE_REPLAY_DELETED)))
        self.assertEqual(len(os.listdir(self.replays)), 1)
        self.assertTrue(self.game.wait_trace(TRACE_REPLAY_SELECTED % 0))

        # Enter plays the selected one.
        self.display.press("Return")
        self.assertTrue(self.game.wait_trace(TRACE_REPLAY_OPENED.lead + "hall"))
        self.assertTrue(self.game.wait_trace_after(TRACE_REPLAY_OPENED.lead, TRACE_FIRST_FRAME.lead))
        window = self.game.window()
        self.display.focus(window)
        self.assertRegex(self.values(TRACE_REPLAY_FOLLOW)[-1][0], r"^Rob\d$")
        # Once every bot has joined, 1 and 2 follow two different players.
        self.assertTrue(wait_for(lambda: (self.values(TRACE_REPLAY_AT) or [(0,)])[-1][0] > 4000))
        n = len(self.values(TRACE_REPLAY_FOLLOW))
        self.display.key("1")
        self.assertTrue(wait_for(lambda: len(self.values(TRACE_REPLAY_FOLLOW)) > n))
        first = self.values(TRACE_REPLAY_FOLLOW)[-1][0]
        self.display.key("2")
        self.assertTrue(wait_for(lambda: len(self.values(TRACE_REPLAY_FOLLOW)) > n + 1))
        second = self.values(TRACE_REPLAY_FOLLOW)[-1][0]
        self.assertRegex(first, r"^Rob\d$")
        self.assertRegex(second, r"^Rob\d$")
        self.assertNotEqual(second, first)
        self.assertTrue(wait_for(lambda: any(v[1] == second for v in self.values(TRACE_REPLAY_AT))))
        start = self.values(TRACE_REPLAY_AT)[-1][0]
        self.display.key("plus")
        self.assertTrue(self.game.wait_trace(TRACE_REPLAY_SPEED % 2.0))
        self.assertTrue(wait_for(lambda: self.values(TRACE_REPLAY_AT)[-1][0] > start + 3000, 60))

        self.display.key("space")
        self.assertTrue(wait_for(lambda: self.values(TRACE_REPLAY_PAUSED)))
        paused, at = self.values(TRACE_REPLAY_PAUSED)[-1]
        self.assertEqual(paused, 1)
        n = len(self.values(TRACE_REPLAY_AT))
        self.assertTrue(wait_for(lambda: len(self.values(TRACE_REPLAY_AT)) > n + 3))
        self.assertEqual({v[0] for v in self.values(TRACE_REPLAY_AT)[n:]}, {at})
        self.display.screenshot(os.path.join(ARTIFACTS, "e2e-replay-viewer.png"))

        self.display.key("Left")
        self.assertTrue(wait_for(lambda: self.values(TRACE_REPLAY_SEEK)))
        self.assertEqual(self.values(TRACE_REPLAY_SEEK)[-1][0], max(0, at - 10000))
        # A click at the timeline's middle jumps to the middle of the recording.
        length = self.values(TRACE_REPLAY_OPENED)[-1][1]
        self.display.click(320, TIMELINE_Y)
        self.assertTrue(wait_for(lambda: len(self.values(TRACE_REPLAY_SEEK)) >= 2))
        self.assertAlmostEqual(self.values(TRACE_REPLAY_SEEK)[-1][0], length / 2, delta=length / 50)
        self.display.press("F12")
        self.assertTrue(self.game.wait_trace_after(TRACE_REPLAY_OPENED.lead, TRACE_SCREENSHOT))
        self.assertTrue([n for n in os.listdir(self.folder.root) if n.endswith(".tga")])

        self.display.press("Escape")
        self.assertTrue(self.game.wait_trace(TRACE_REPLAY_CLOSED))
        self.assertTrue(self.game.wait_trace_after(TRACE_REPLAY_CLOSED, TRACE_REPLAY_LISTED.lead))
        self.assertTrue(self.game.running())


if __name__ == "__main__":
    unittest.main(verbosity=2)
