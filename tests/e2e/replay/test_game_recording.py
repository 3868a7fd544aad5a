"""The real game under Xvfb plays on a real server with three real bots: the
match it played is in ../replays as a finished recording, holding the game's
own states and every bot's, and every death the bots logged while the game
watched is in it (read by the README-only script and by bin/replay-info). A
replays folder that cannot be written costs one event message, and the match
plays on."""
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "bot"))
sys.path.insert(0, os.path.dirname(__file__))
from harness import STAGE_BIN, Display, Game, GameFolder, Server, start_match, wait_for  # noqa: E402
from bot_log import BotRun, death_pairs  # noqa: E402
from trace_lines import (TRACE_EVENT, TRACE_FIRST_FRAME, TRACE_MATCH_CLOSED,  # noqa: E402
                         TRACE_MENU_OPENED, TRACE_RECORDING_FINISHED, TRACE_RECORDING_STARTED,
                         TRACE_STATE)
import replay_file  # noqa: E402

FRAG_LIMIT = 3
MIN_DEATHS = 6
TAIL_S = 2.0  # deaths this close to the bots' end may not have reached the game
OWN_PLAYER = 10  # the game's own states; the others keep their table index


def events(game):
    return [v[0] for v in map(TRACE_EVENT.parse, game.trace()) if v]


class GameRecordingTest(unittest.TestCase):
    def setUp(self):
        self.display = Display()
        self.folder = GameFolder("playerName Human\n")
        self.server = Server(self.folder, "hall", 8, FRAG_LIMIT)
        self.game = None
        self.bots = None

    def tearDown(self):
        if self.bots:
            self.bots.stop()
        if self.game:
            self.game.kill()
        self.display.stop()
        self.server.stop()
        self.folder.remove()

    def open_match(self):
        self.game = Game(self.display, self.folder)
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (640, 480), 20))
        return start_match(self.display, self.game, 0)

    def test_the_match_played_is_recorded_with_every_logged_death(self):
        window = self.open_match()
        self.assertTrue(self.game.wait_trace(TRACE_RECORDING_STARTED % "hall"))
        self.bots = BotRun([os.path.join(STAGE_BIN, "bot"), "--count", "3", "--name", "Rob",
                            "--skill", "5"], self.folder.bin)
        for n in (1, 2, 3):
            self.assertTrue(self.game.wait_trace(TRACE_EVENT % f"Rob{n} has connected"))
        self.assertTrue(wait_for(lambda: self.bots.count("death ") >= MIN_DEATHS, 300),
                        "too little happened")
        self.assertEqual(self.bots.stop(), 0)
        lines, self.bots = self.bots.lines, None
        for n in (1, 2, 3):
            self.assertTrue(self.game.wait_trace(TRACE_EVENT % f"Rob{n} has disconnected"))

        # While it plays the file is unfinished; Escape ends the match and the file.
        replays = os.path.join(self.folder.root, "replays")
        self.assertTrue([n for n in os.listdir(replays) if n.endswith(".bvr.part")])
        self.display.focus(window)
        self.display.press("Escape")
        self.assertTrue(self.game.wait_trace(TRACE_MATCH_CLOSED))
        self.assertTrue(self.game.wait_trace(TRACE_RECORDING_FINISHED.lead))
        finished = [v[0] for v in map(TRACE_RECORDING_FINISHED.parse, self.game.trace()) if v]
        self.assertEqual(len(finished), 1)
        self.assertEqual(os.listdir(replays), [os.path.basename(finished[0])])
        path = os.path.join(replays, os.path.basename(finished[0]))

        head, recs, tags = replay_file.read(path)
        self.assertEqual((head["map"], head["recorded_by"], head["frag_limit"]),
                         ("hall", "Human", FRAG_LIMIT))
        self.assertEqual(tags[-2:], ["SUMM", "INDX"])
        own = [r for r in recs if r[1] == OWN_PLAYER]
        self.assertTrue(own and all(r[3].split(" ")[1] == "Human" for r in own))
        bots = {r[3].split(" ")[1] for r in recs if r[1] != OWN_PLAYER and not r[2]}
        self.assertEqual(bots, {"Rob1", "Rob2", "Rob3"})
        self.assertEqual(sum(1 for r in recs if r[2]), 3)  # each bot's leaving
        times = [r[0] for r in recs]
        self.assertEqual(times, sorted(times))
        # The game's own position, as the trace saw it, travels in its states.
        xs = {round(v[0], 1) for v in map(TRACE_STATE.parse, self.game.trace()) if v}
        self.assertTrue(xs & {round(float(r[3].split(" ")[3]), 1) for r in own})

        logged, counted = death_pairs(lines, TAIL_S)
        recorded = {}
        for _, killer, victim in replay_file.kills(recs):
            recorded[(killer, victim)] = recorded.get((killer, victim), 0) + 1
        print(f"{sum(logged.values())} deaths logged, {sum(recorded.values())} kills recorded "
              f"in {len(recs)} records", flush=True)
        for pair in logged:
            self.assertGreaterEqual(recorded.get(pair, 0), counted.get(pair, 0), pair)
            self.assertLessEqual(recorded.get(pair, 0), logged[pair], pair)
        # The human's deaths, told on screen, are in it too.
        killed_by = [e[len("Killed by "):] for e in events(self.game) if e.startswith("Killed by ")]
        for killer in set(killed_by):
            self.assertGreaterEqual(recorded.get((killer, "Human"), 0), killed_by.count(killer))

        info = subprocess.run([os.path.join(STAGE_BIN, "replay-info"), path], check=True,
                              capture_output=True, text=True).stdout
        self.assertIn("finished yes\n", info)
        self.assertIn("players 4\n", info)

    def test_a_folder_that_cannot_be_written_costs_one_message(self):
        with open(os.path.join(self.folder.root, "replays"), "w") as f:
            f.write("a file where the folder should be\n")
        window = self.open_match()
        self.assertTrue(self.game.wait_trace(TRACE_RECORDING_STARTED % "hall"))
        self.assertTrue(wait_for(lambda: [e for e in events(self.game)
                                          if e.startswith("Recording stopped")]))
        # The match goes on: it still moves and still leaves with Escape.
        states = len([1 for line in self.game.trace() if TRACE_STATE.parse(line)])
        self.assertTrue(wait_for(lambda: len([1 for line in self.game.trace()
                                              if TRACE_STATE.parse(line)]) > states + 5))
        self.display.focus(window)
        self.display.press("Escape")
        self.assertTrue(self.game.wait_trace(TRACE_MATCH_CLOSED))
        self.assertTrue(self.game.wait_trace_after(TRACE_MATCH_CLOSED, TRACE_MENU_OPENED.lead))
        self.assertEqual(len([e for e in events(self.game) if e.startswith("Recording")]), 1)
        self.assertFalse([line for line in self.game.trace()
                          if TRACE_RECORDING_FINISHED.parse(line)])
        self.assertTrue(self.game.running())


if __name__ == "__main__":
    unittest.main(verbosity=2)
