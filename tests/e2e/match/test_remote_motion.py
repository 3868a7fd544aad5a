"""Another player walks past the real game on a jittery network: the server's
datagrams both ways are delayed by 50 +- 20 ms, a quarter more reordered and a
tenth duplicated. The walker (this test, sending states as a client does,
every 20 ms at 8 units a second along a straight line) then respawns far
away. Where the game draws it each frame (its trace) must never step back
along the walk, never leave the line, and must show the respawn at once, with
nothing drawn between the end of the walk and the respawn point."""
import os
import socket
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (STAGE_BIN, Display, Game, GameFolder, Server, start_match,  # noqa: E402
                     wait_for)
from trace_lines import TRACE_EVENT, TRACE_REMOTE, TRACE_REMOTE_DRAWN  # noqa: E402

FAULTS = "jitter=50:20,reorder=25:10,dup=10,seed=24"
START_X, LINE_Y, SPEED = -20.0, 40.0, 8.0  # units, units, units a second
WALK_SECONDS = 3.0
RESPAWN = (30.0, -30.0)


def state_datagram(x, y, yaw):
    text = (f"walker1 Walker 0 {x:f} {y:f} {yaw:f} 0 0 0 0 0 "
            f"0.000000 0.000000 0.000000 0.000000 0.000000 0.000000")
    total = sum(b - 256 if b > 127 else b for b in text.encode())
    return f"{text}+{total} ".encode()


class Walker(threading.Thread):
    """Walks along +x, then stands at a respawn point until told to stop."""

    def __init__(self):
        super().__init__(daemon=True)
        self.stopping = threading.Event()
        self.walk_ended = threading.Event()
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)

    def run(self):
        # A player asks the join port first: only then does the server give
        # its states a slot.
        with socket.create_connection(("127.0.0.1", 2185), 5) as lobby:
            lobby.recv(128)
        start = time.monotonic()
        next_send = start
        while not self.stopping.is_set():
            elapsed = time.monotonic() - start
            if elapsed < WALK_SECONDS:
                x, y = START_X + SPEED * elapsed, LINE_Y
            else:
                x, y = RESPAWN
                self.walk_ended.set()
            self.sock.sendto(state_datagram(x, y, 270.0), ("127.0.0.1", 2184))
            next_send += 0.02
            time.sleep(max(0.0, next_send - time.monotonic()))
        self.sock.close()


class RemoteMotionTest(unittest.TestCase):
    def setUp(self):
        self.display = Display()
        self.folder = GameFolder("playerName Watcher\n")
        shim = os.path.abspath(os.path.join(STAGE_BIN, "libnetfault.so"))
        self.server = Server(self.folder, "hall", 8, 50,
                             env={"LD_PRELOAD": shim, "BLAST_NETFAULT": FAULTS})
        self.game = None
        self.walker = None

    def tearDown(self):
        if self.walker:
            self.walker.stopping.set()
            self.walker.join(5)
        if self.game:
            self.game.kill()
        self.display.stop()
        self.server.stop()
        self.folder.remove()

    def drawn(self):
        return [v for v in map(TRACE_REMOTE_DRAWN.parse, self.game.trace()) if v]

    def test_a_walker_glides_on_its_line_and_respawns_at_once(self):
        self.game = Game(self.display, self.folder)
        start_match(self.display, self.game, 0)
        self.walker = Walker()
        self.walker.start()
        self.assertTrue(self.game.wait_trace(TRACE_EVENT % "Walker has connected"))
        self.assertTrue(self.walker.walk_ended.wait(WALK_SECONDS + 5))
        self.assertTrue(wait_for(lambda: any(abs(x - RESPAWN[0]) < 0.01 for _, x, _ in self.drawn()),
                                 10), "the respawn was never drawn")
        slot = next(v for v in map(TRACE_REMOTE.parse, self.game.trace()) if v)[0]
        drawn = [(x, y) for s, x, y in self.drawn() if s == slot]

        walk = [(x, y) for x, y in drawn if abs(y - LINE_Y) < 1.0]
        end = next(i for i, (x, y) in enumerate(drawn) if abs(x - RESPAWN[0]) < 0.01)
        self.assertGreater(len(walk), 50, "too few frames drew the walk")
        # The walk's first states may come in any order (a quarter are held
        # back), and the first two tell no direction: from half a unit on
        # (about three states) the drawing must only go forward.
        settled = [(x, y) for x, y in walk if x > START_X + 0.5]
        back = [(a, b) for a, b in zip(settled, settled[1:]) if b[0] < a[0] - 1e-3]
        self.assertEqual(back, [], "steps backwards")
        self.assertTrue(all(abs(y - LINE_Y) < 0.01 for _, y in walk), "off the walked line")
        self.assertTrue(all(START_X - 0.01 <= x <= START_X + SPEED * WALK_SECONDS + 0.5
                            for x, _ in walk), "beyond the walk")
        # Respawned: at once, nothing between the walk and the respawn point.
        self.assertEqual(len(walk), end, "drawn between the walk and the respawn point")
        self.assertTrue(all(abs(x - RESPAWN[0]) < 0.01 and abs(y - RESPAWN[1]) < 0.01
                            for x, y in drawn[end:]))


if __name__ == "__main__":
    unittest.main(verbosity=2)
