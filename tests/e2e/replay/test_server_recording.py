"""The real server with BLASTAVIA_RECORD and four real bots on hall: while
they play, the recording is an unfinished .bvr.part; once the last one has
left it is a finished .bvr, and every death the bots logged is in it, read
both by a script written from the README and by bin/replay-info. The console
shows only its usual lines."""
import os
import socket
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "bot"))
sys.path.insert(0, os.path.dirname(__file__))
from harness import STAGE_BIN, GameFolder, Server, wait_for  # noqa: E402
from bot_log import BotRun, death_pairs  # noqa: E402
import replay_file  # noqa: E402

FRAG_LIMIT = 3
MIN_DEATHS = 8
TAIL_S = 2.0  # deaths this close to the bots' end may not have reached the server


class ServerRecordingTest(unittest.TestCase):
    def setUp(self):
        self.folder = GameFolder()
        self.recordings = os.path.join(self.folder.root, "recordings")
        self.server = Server(self.folder, "hall", 8, FRAG_LIMIT,
                             env={"BLASTAVIA_RECORD": self.recordings})
        self.bots = None

    def tearDown(self):
        if self.bots:
            self.bots.stop()
        self.server.stop()
        self.folder.remove()

    def files(self, suffix):
        if not os.path.isdir(self.recordings):
            return []
        return [n for n in os.listdir(self.recordings) if n.endswith(suffix)]

    def test_every_logged_death_is_in_the_servers_recording(self):
        self.bots = BotRun([os.path.join(STAGE_BIN, "bot"), "--count", "4", "--name", "Ace",
                            "--skill", "4"], self.folder.bin)
        self.assertTrue(wait_for(lambda: self.bots.count("death ") >= MIN_DEATHS and
                                 self.bots.count("restart ") >= 4, 300),
                        "too little happened")
        self.assertEqual(len(self.files(".bvr.part")), 1)
        self.assertEqual(self.files(".bvr"), [])
        self.assertEqual(self.bots.stop(), 0)
        lines, self.bots = self.bots.lines, None

        # The server frees silent slots only when a datagram arrives: a few
        # that fail their checksum free them one by one.
        probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        def all_gone():
            probe.sendto(b"wake", ("127.0.0.1", 2184))
            return self.server.output().count("has disconnected") >= 4
        self.assertTrue(wait_for(all_gone, 20, interval=0.2))
        probe.close()
        self.assertTrue(wait_for(lambda: self.files(".bvr") and not self.files(".bvr.part"), 10))
        path = os.path.join(self.recordings, self.files(".bvr")[0])

        logged, counted = death_pairs(lines, TAIL_S)

        head, recs, tags = replay_file.read(path)
        self.assertEqual((head["map"], head["recorded_by"], head["frag_limit"]),
                         ("hall", "server", FRAG_LIMIT))
        self.assertEqual(tags[0], "HEAD")
        self.assertEqual(tags[-2:], ["SUMM", "INDX"])
        self.assertEqual(sorted({r[1] for r in recs}), [0, 1, 2, 3])
        recorded = {}
        for _, killer, victim in replay_file.kills(recs):
            recorded[(killer, victim)] = recorded.get((killer, victim), 0) + 1
        print(f"{sum(logged.values())} deaths logged, {sum(recorded.values())} kills recorded "
              f"in {len(recs)} records", flush=True)
        for pair in set(logged) | set(recorded):
            self.assertGreaterEqual(recorded.get(pair, 0), counted.get(pair, 0), pair)
            self.assertLessEqual(recorded.get(pair, 0), logged.get(pair, 0), pair)

        # The game's own reader, through the operators' tool, agrees.
        info = subprocess.run([os.path.join(STAGE_BIN, "replay-info"), path], check=True,
                              capture_output=True, text=True).stdout
        self.assertIn("finished yes\n", info)
        self.assertIn("players 4\n", info)
        tool_kills = sorted(tuple(l.split()[2:4]) for l in info.splitlines()
                            if l.startswith("kill "))
        self.assertEqual(tool_kills, sorted((k, v) for _, k, v in replay_file.kills(recs)))
        self.assertRegex(info, r"round 1 from=\d+ to=\d+ ended winner=Ace\d")
        states = subprocess.run([os.path.join(STAGE_BIN, "replay-info"), path, "--states"],
                                check=True, capture_output=True, text=True).stdout
        self.assertEqual(sum(1 for l in states.splitlines() if l.startswith("state ")), len(recs))

        # Only the usual console lines.
        for line in self.server.output().splitlines():
            self.assertRegex(line, r"^(Server started|New Client:  Ace\d|Ace\d has disconnected) $")


if __name__ == "__main__":
    unittest.main(verbosity=2)
