"""The trace lines the end-to-end tests read: every line the game writes is
named in client/core/trace_lines.h, and the tests' reader of that header
(tests/e2e/trace_lines.py) sees each of them and reads back what it wrote."""
import glob
import os
import re
import sys
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import trace_lines  # noqa: E402

SAMPLES = {"d": -12, "s": "Bob", "f": 2.5}


def game_sources():
    for folder in ("client", "platform", "tools"):
        for path in glob.glob(os.path.join(ROOT, folder, "**", "*.[ch]*"), recursive=True):
            with open(path) as f:
                yield path, f.read()


def named_lines():
    return {name: value for name, value in vars(trace_lines).items() if name.startswith("TRACE_")}


class TraceLines(unittest.TestCase):
    def test_the_reader_sees_every_line_of_the_header(self):
        with open(trace_lines.HEADER) as f:
            declared = re.findall(r"\bconstexpr\s+char\s+(TRACE_\w+)", f.read())
        self.assertGreater(len(declared), 10)
        self.assertEqual(sorted(declared), sorted(named_lines()))

    def test_the_game_writes_only_named_lines_and_every_named_line(self):
        unused = set(named_lines())
        for path, text in game_sources():
            self.assertIsNone(re.search(r"\btrace\(\s*\"", text), f"{path} traces a literal")
            if not path.endswith("trace_lines.h"):
                unused -= set(re.findall(r"\bTRACE_\w+", text))
        self.assertEqual(unused, set(), "named but never written")

    def test_each_line_reads_back_with_or_without_its_clock(self):
        for name, line in named_lines().items():
            kinds = re.findall(r"%(?:\.\d+)?(.)", line)
            values = tuple(SAMPLES[k] for k in kinds)  # a KeyError: teach the reader that kind
            text = line % values
            with self.subTest(name):
                self.assertEqual(line.parse(text), values)
                self.assertEqual(line.parse("4294967295 " + text), values)
                self.assertTrue(text.startswith(line.lead))
                for other_name, other in named_lines().items():
                    if other_name != name:
                        self.assertIsNone(other.parse(text), f"{other_name} also reads it")

    def test_a_line_with_values_is_told_from_its_neighbours(self):
        self.assertIsNone(trace_lines.TRACE_KEYS_HELD.parse("10 buttons held 2"))
        self.assertIsNone(trace_lines.TRACE_MENU_CLICK.parse("10 menu click page=x"))
        self.assertEqual(trace_lines.TRACE_EVENT.parse("10 event Rob1 has connected"),
                         ("Rob1 has connected",))
        self.assertEqual(trace_lines.TRACE_MATCH_OPENED.start(1, "Ace"),
                         "match opened fighter=1 name=Ace")


if __name__ == "__main__":
    unittest.main(verbosity=2)
