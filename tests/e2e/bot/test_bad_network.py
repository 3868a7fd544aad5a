"""Four bots on hall against the real server on a bad network: the server's
datagrams (both ways) are delayed by a normal 50 +- 20 ms, so they overtake
one another, a quarter more are reordered and a tenth duplicated. Over dozens
of deaths and several rounds, every death is credited to its killer exactly
once and every round ends exactly once on every bot."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.dirname(__file__))
from harness import STAGE_BIN, GameFolder, Server, wait_for  # noqa: E402
from bot_log import BotRun, analyse  # noqa: E402

FRAG_LIMIT = 5
FAULTS = "jitter=50:20,reorder=25:10,dup=10,seed=14"
MIN_DEATHS = 30
MIN_ROUNDS = 3
MAX_SECONDS = 300  # a limit, not a duration: the wait ends on the bots' lines


class BadNetworkTest(unittest.TestCase):
    def setUp(self):
        self.folder = GameFolder()
        shim = os.path.abspath(os.path.join(STAGE_BIN, "libnetfault.so"))
        self.assertTrue(os.path.exists(shim), shim)
        self.server = Server(self.folder, "hall", 8, FRAG_LIMIT,
                             env={"LD_PRELOAD": shim, "BLAST_NETFAULT": FAULTS + ",stats=1"})
        self.bots = None

    def tearDown(self):
        if self.bots:
            self.bots.stop()
        self.server.stop()
        self.folder.remove()

    def test_every_death_is_credited_once_and_every_round_ends_once(self):
        self.bots = BotRun([os.path.join(STAGE_BIN, "bot"), "--count", "4", "--name", "Ace",
                            "--skill", "4"], self.folder.bin)
        self.assertTrue(wait_for(lambda: self.bots.count("seen ") >= 12, 60),
                        "the bots did not all see each other")
        start = time.monotonic()
        # Play until enough has happened; the wait ends on the bots' own lines.
        enough = wait_for(lambda: self.bots.count("death ") >= MIN_DEATHS and
                          self.bots.count("restart ") >= 4 * MIN_ROUNDS, MAX_SECONDS)
        # Let the last round's pause run out, so its restarts are in the log too.
        wait_for(lambda: not any(t.startswith("round ") for _, t in self.bots.lines[-8:]), 10)
        self.assertEqual(self.bots.stop(), 0)
        self.bots_stopped = True
        lines = self.bots.lines
        self.bots = None
        result = analyse(lines, FRAG_LIMIT)
        print(f"{time.monotonic() - start:.0f} s: {result}", flush=True)
        log = "\n".join(t for _, t in lines if not t.startswith(("seen ", "gone ")))
        self.assertTrue(enough, f"too little happened in {MAX_SECONDS} s: {result}")
        self.assertGreaterEqual(result["deaths"], MIN_DEATHS)
        self.assertGreaterEqual(result["rounds"], MIN_ROUNDS)
        self.assertEqual(result["bots"], 4)
        self.assertEqual(result["extra"], 0, log)
        self.assertEqual(result["lost"], 0, log)
        self.assertEqual(result["misfires"], 0, log)
        # The faults were really there.
        self.assertTrue(wait_for(lambda: "netfault:" in self.server.output() or
                                 self.server.stop() or "netfault:" in self.server.output(), 20))
        self.assertRegex(self.server.output(), r"netfault: \d+ datagrams, 0 lost, [1-9]\d* duplicated")


if __name__ == "__main__":
    unittest.main(verbosity=2)
