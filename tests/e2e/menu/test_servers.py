"""The Servers and Options pages as a player meets them: the LAN list with the
running server, picking it and joining; hosting from the menu and the hosted
server ending with the game, however the game ends; forged replies that must
never reach the list; options saved, or held for the run when the file is
read-only."""
import os
import re
import socket
import struct
import sys
import threading
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (ARTIFACTS, FIGHTERS, QUIT, STAGE_BIN, Display, Game, GameFolder,  # noqa: E402
                     Server, wait_for)
from trace_lines import (TRACE_FIRST_FRAME, TRACE_HOST_BOTS, TRACE_HOST_STARTED,  # noqa: E402
                         TRACE_MATCH_OPENED, TRACE_MENU_CLICK, TRACE_MENU_OPENED,
                         TRACE_OPTION_REFUSED, TRACE_OPTION_SET, TRACE_SERVER_CHOSEN, TRACE_SERVER_LISTED,
                         TRACE_SERVERS_FIELDS)

# Hot spots on the screen (y counted down from the top, as xdotool counts).
SERVERS = (230, 365)
OPTIONS = (410, 365)
ROW0 = (200, 104)
NAME_FIELD = (375, 307)
MAP_MORE = (200, 371)
BOTS_MORE = (602, 371)
HOST = (94, 413)


def _option_row_centres():
    """The Options page's rows as the game lays them out (client/ui/menu_layout.h):
    one for each setting with a page row in the settings table
    (client/core/settings.h): the first four 58 apart, rows beyond 30 apart below."""
    with open(os.path.join(os.path.dirname(__file__), "..", "..", "..", "client", "core",
                           "settings.h")) as f:
        table = f.read().replace("\\\n", " ")
    rows = [int(r) for r in re.findall(r"INT\([^()]*?OutOfRange::\w+,\s*(-?\d+),", table)]
    count = sum(1 for r in rows if r >= 0)
    return [112 + row * 58 + 18 if row < 4 else 112 + 3 * 58 + 36 + 8 + (row - 4) * 30 + 13
            for row in range(count)]


OPTION_LESS = [(344, y) for y in _option_row_centres()]
OPTION_MORE = [(546, y) for y in _option_row_centres()]

DISCOVERY_PORT = 2186


def process_gone(pid):
    """Ended and reaped, or a zombie nobody has reaped yet: no longer running."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] == "Z"
    except FileNotFoundError:
        return True


def read(path):
    with open(path) as f:
        return f.read()


class Forger(threading.Thread):
    """A fake server on the discovery port: it answers every query with a run
    of malformed or spoofed replies, and from the third query on with one
    well-formed reply for the map "genuine" after them."""

    def __init__(self):
        super().__init__(daemon=True)
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind(("0.0.0.0", DISCOVERY_PORT))
        self.sock.settimeout(0.2)
        self.other = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)  # a port of no server
        self.queries = 0
        self.running = True

    @staticmethod
    def reply(token, occupied=1, players=6, frags=9, name=b"genuine", magic=b"BLR!", version=1,
              reserved=b"\0\0"):
        head = magic + bytes([version, occupied]) + reserved + struct.pack(">Iii", token, players,
                                                                          frags)
        return head + name.ljust(32, b"\0")[:32]

    def forgeries(self, token):
        good = self.reply(token)
        yield good[:51]                                  # one byte short
        yield good + b"\0"                               # one byte long
        yield good * 20                                  # oversized
        yield self.reply(token, magic=b"BLQ?", name=b"magic")
        yield self.reply(token, version=2, name=b"version")
        yield self.reply(token, reserved=b"\0\1", name=b"reserved")
        yield self.reply(token, occupied=11, name=b"crowded")
        yield self.reply(token, name=b"ctrl\x07name")
        yield self.reply(token, name=b"two words")
        yield self.reply(token, name=b"x" * 32)          # no terminator
        yield self.reply(token, name=b"tail\0junk")      # bytes after the terminator
        yield self.reply(token, name=b"")                # no name
        yield self.reply(token, name=b"\xe9t\xe9")       # not ASCII
        yield self.reply(token ^ 0x80000000, name=b"session")  # another game's token
        yield self.reply((token & 0xFFFF0000) | ((token + 40) & 0xFFFF), name=b"round")  # unsent

    def run(self):
        while self.running:
            try:
                data, source = self.sock.recvfrom(2048)
            except socket.timeout:
                continue
            except OSError:
                return
            if len(data) != 52 or data[:4] != b"BLQ?":
                continue
            self.queries += 1
            token = struct.unpack(">I", data[8:12])[0]
            for forged in self.forgeries(token):
                self.sock.sendto(forged, source)
            self.other.sendto(self.reply(token, name=b"port"), source)  # not from 2186
            if self.queries >= 3:
                self.sock.sendto(self.reply(token), source)

    def stop(self):
        self.running = False
        self.join(timeout=5)
        self.sock.close()
        self.other.close()


class ServersPageTest(unittest.TestCase):
    def start(self, config="# my settings\nplayerName Ace\nsomeKey kept\n", server=True,
              with_bots=False):
        self.display = Display()
        self.addCleanup(self.display.stop)
        self.folder = GameFolder(config)
        self.addCleanup(self.folder.remove)
        if with_bots:
            os.symlink(os.path.abspath(os.path.join(STAGE_BIN, "bot")),
                       os.path.join(self.folder.bin, "bot"))
        if server:
            self.server = Server(self.folder, "duel", 6, 15)
            self.addCleanup(self.server.stop)
        self.game = Game(self.display, self.folder)
        self.addCleanup(self.game.kill)
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED.lead,
                                                   TRACE_FIRST_FRAME % (640, 480)))
        self.display.focus(self.game.window())

    def shot(self, name):
        return self.display.screenshot(os.path.join(ARTIFACTS, f"e2e-servers-{name}.png"))

    def lines(self, line):
        return [values for values in map(line.parse, self.game.trace()) if values]

    def config(self):
        with open(os.path.join(self.folder.root, "config.cfg")) as f:
            return f.read()

    def focus_only_window(self):
        """Focuses the game's window once the last screen's window has gone."""
        windows = wait_for(lambda: (lambda w: w if len(w) == 1 else None)(
            self.display.windows("Blastavia")))
        self.assertTrue(windows, "not one game window")
        self.display.focus(windows[0])

    def open_servers(self):
        self.display.click(*SERVERS)
        self.assertTrue(self.game.wait_trace(TRACE_MENU_CLICK % 5))

    def wait_listed(self, **expected):
        def found():
            for row, address, map_name, occupied, limit, frags, hosted in self.lines(
                    TRACE_SERVER_LISTED):
                seen = dict(row=row, address=address, map=map_name, players=(occupied, limit),
                            frags=frags, hosted=hosted)
                if all(seen[k] == v for k, v in expected.items()):
                    return True
            return False
        self.assertTrue(wait_for(found), f"not listed: {expected}")

    def pick_fighter_and_join(self, log, fighter=2):
        self.assertTrue(self.game.wait_trace(TRACE_MENU_CLICK % 1))
        self.display.click(*FIGHTERS[fighter])
        self.assertTrue(self.game.wait_trace_after(TRACE_MATCH_OPENED.lead, TRACE_FIRST_FRAME.lead))
        self.assertTrue(wait_for(lambda: "New Client" in log()), "the server saw no join")

    def test_the_running_server_is_listed_picked_with_a_typed_name_and_joined(self):
        self.start()
        self.open_servers()
        self.wait_listed(row=0, address="127.0.0.1", map="duel", players=(0, 6), frags=15, hosted=0)
        self.display.move_mouse(600, 460)
        self.shot("listed")

        # A new name: the old one erased, a blank and a '+' refused, typing
        # stops at 14 characters.
        self.display.click(*NAME_FIELD)
        for _ in range(3):
            self.display.press("BackSpace")
        self.display.run("xdotool", "type", "--delay", "60", "Zed +Quickfingers99")
        self.assertTrue(wait_for(lambda: self.lines(TRACE_SERVERS_FIELDS)[-1:]
                                 == [("127.0.0.1", "ZedQuickfinger")]))

        self.display.click(*ROW0)
        self.assertTrue(self.game.wait_trace(TRACE_SERVER_CHOSEN % ("127.0.0.1", "ZedQuickfinger", 1)))
        self.pick_fighter_and_join(self.server.output)
        self.assertTrue(self.game.wait_trace(TRACE_MATCH_OPENED.start(2, "ZedQuickfinger")))
        config = self.config()
        self.assertTrue(config.startswith("# my settings\nplayerName ZedQuickfinger\nsomeKey kept\n"),
                        config)
        self.assertIn("serverName 127.0.0.1\n", config)

    def test_a_listed_server_that_refuses_the_join_shows_its_box(self):
        self.start(server=False)
        self.server = Server(self.folder, "hall", 0, 20)  # full before anyone comes
        self.addCleanup(self.server.stop)
        self.open_servers()
        self.wait_listed(row=0, map="hall", players=(0, 0))
        self.display.click(*ROW0)
        self.assertTrue(self.game.wait_trace(TRACE_MENU_CLICK % 1))
        self.display.click(*FIGHTERS[0])
        boxes = wait_for(lambda: self.display.windows("Error"))
        self.assertEqual(len(boxes), 1)
        self.shot("refused")
        x, y, width, height = self.display.geometry(boxes[0])
        self.display.click(x + width // 2, y + height - 28, sync=False)  # its OK button
        self.assertIsNotNone(self.game.wait_exit())
        self.assertIn("Server is full", self.game.error_output())

    def test_hosting_from_the_menu_lists_it_first_and_it_ends_when_the_game_quits(self):
        self.start(server=False)
        self.open_servers()
        self.display.click(*MAP_MORE)  # hall, the first choice, then maze
        self.display.click(*HOST)
        self.assertTrue(wait_for(lambda: self.lines(TRACE_HOST_STARTED)))
        map_name, players, frags, bots, pid = self.lines(TRACE_HOST_STARTED)[-1]
        self.assertEqual((map_name, players, frags, bots), ("maze", 8, 20, 0))
        self.wait_listed(row=0, address="127.0.0.1", map="maze", players=(0, 8), hosted=1)
        self.display.move_mouse(600, 460)
        self.shot("hosting")

        # The keyboard way: down to the first row, Enter.
        self.display.press("Down")
        self.display.press("Return")
        self.assertTrue(self.game.wait_trace(TRACE_SERVER_CHOSEN.start("127.0.0.1")))
        log = os.path.join(self.folder.root, "server.log")
        self.pick_fighter_and_join(lambda: read(log), fighter=0)
        self.assertFalse(process_gone(pid))

        # Back to the menu (it still runs), then quit.
        self.focus_only_window()
        self.display.press("Escape")
        self.assertTrue(self.game.wait_trace_after(TRACE_MENU_OPENED % 0,
                                                   TRACE_FIRST_FRAME % (640, 480)))
        self.assertFalse(process_gone(pid))
        self.focus_only_window()
        self.display.click(*QUIT)
        if self.game.running():
            self.shot("debug-quit")
            print("\n".join(self.game.trace()[-12:]), file=sys.stderr)
        self.assertEqual(self.game.wait_exit(), 0)
        self.assertTrue(wait_for(lambda: process_gone(pid)), "the hosted server outlived the game")

    def test_a_hosted_server_and_its_bots_end_when_the_game_is_killed(self):
        self.start(server=False, with_bots=True)
        self.open_servers()
        self.display.click(*BOTS_MORE)
        self.display.click(*HOST)
        self.assertTrue(wait_for(lambda: self.lines(TRACE_HOST_STARTED)))
        pid = self.lines(TRACE_HOST_STARTED)[-1][4]
        self.assertTrue(wait_for(lambda: self.lines(TRACE_HOST_BOTS)))
        bots = self.lines(TRACE_HOST_BOTS)[-1][1]
        log = os.path.join(self.folder.root, "server.log")
        self.assertTrue(wait_for(lambda: "New Client" in read(log)), "the bot did not join")
        self.wait_listed(row=0, players=(1, 8), hosted=1)
        self.game.proc.kill()
        self.game.proc.wait()
        self.assertTrue(wait_for(lambda: process_gone(pid)), "the hosted server outlived the game")
        self.assertTrue(wait_for(lambda: process_gone(bots)), "the bots outlived the game")

    def test_malformed_and_spoofed_replies_are_never_listed(self):
        forger = Forger()
        forger.start()
        self.addCleanup(forger.stop)
        self.start(server=False)
        self.open_servers()
        self.wait_listed(map="genuine", players=(1, 6), frags=9, hosted=0)
        self.assertGreaterEqual(forger.queries, 3)
        listed = {values[2] for values in self.lines(TRACE_SERVER_LISTED)}
        self.assertEqual(listed, {"genuine"})
        self.display.move_mouse(600, 460)
        self.shot("forged")
        self.assertTrue(self.game.running())


class OptionsPageTest(unittest.TestCase):
    def test_choices_are_saved_and_held_for_the_run_when_the_file_is_read_only(self):
        self.display = Display()
        self.addCleanup(self.display.stop)
        original = "# my settings\nvolume 10\n  videoMode 0   \nunknownKey 7\n"
        self.folder = GameFolder(original)
        self.addCleanup(self.folder.remove)
        server = Server(self.folder)
        self.addCleanup(server.stop)
        game = Game(self.display, self.folder)
        self.addCleanup(game.kill)
        self.assertTrue(game.wait_trace_after(TRACE_MENU_OPENED.lead, TRACE_FIRST_FRAME % (640, 480)))
        self.display.focus(game.window())
        path = os.path.join(self.folder.root, "config.cfg")

        def option_set(*values):
            return game.wait_trace(TRACE_OPTION_SET % values)

        self.display.click(*OPTIONS)
        self.assertTrue(game.wait_trace(TRACE_MENU_CLICK % 6))
        self.display.click(*OPTION_LESS[0])
        self.assertTrue(option_set(0, "9", 1))
        # This screen has no 640x480 mode: full screen would leave the game
        # unable to open its next window, at this start and every one after.
        self.display.click(*OPTION_MORE[3])
        self.assertTrue(game.wait_trace(TRACE_OPTION_REFUSED % (3, "640x480")))
        self.display.move_mouse(600, 460)
        self.display.screenshot(os.path.join(ARTIFACTS, "e2e-options-refused.png"))
        with open(path) as f:
            saved = f.read()
        self.assertEqual(saved, "# my settings\nvolume 9\n  videoMode 0   \nunknownKey 7\n")

        os.chmod(path, 0o444)
        self.display.click(*OPTION_MORE[2])
        self.assertTrue(option_set(2, "800x600 16-bit", 0))
        self.display.move_mouse(600, 460)
        self.display.screenshot(os.path.join(ARTIFACTS, "e2e-options-held.png"))
        with open(path) as f:
            self.assertEqual(f.read(), saved)

        # The held mode is the match's window.
        self.display.press("Escape")
        self.display.click(320, 480 - 297)  # Play
        self.assertTrue(game.wait_trace(TRACE_MENU_CLICK % 1))
        self.display.click(*FIGHTERS[1])
        self.assertTrue(game.wait_trace_after(TRACE_MATCH_OPENED.lead, TRACE_FIRST_FRAME % (800, 600)))


if __name__ == "__main__":
    unittest.main(verbosity=2)
