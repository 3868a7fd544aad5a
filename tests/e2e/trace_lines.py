"""The game's trace lines, read from the header the game writes them with
(client/core/trace_lines.h), so the tests and the game share one list.

Each name of the header (TRACE_FIRST_FRAME, ...) becomes a module constant, a
TraceLine: the printf format itself, so `TRACE_MENU_CLICK % 1` is the text
the game writes ("menu click page=1"). `.lead` is its fixed words before the
first value (what a test matches when any values do), `.start(*values)` the
line up to and with its first few values, and `.parse(line)` the values of a
written line, or None when the line is another one."""
import os
import re

HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                      "client", "core", "trace_lines.h")

# printf conversions the header uses, as patterns and as Python types.
_CONVERSIONS = {"d": (r"(-?\d+)", int), "s": (r"(.*?)", str),
                "f": (r"(-?(?:\d+\.?\d*|nan|inf))", float)}
_CONVERSION = re.compile(r"%(?:\.\d+)?([dsf])")


class TraceLine(str):
    @property
    def lead(self):
        return self.split("%", 1)[0]

    def start(self, *values):
        ends = [m.end() for m in _CONVERSION.finditer(self)]
        return str(self[:ends[len(values) - 1]] % values)

    def parse(self, line):
        """The values of `line` (with or without its clock stamp), as a tuple."""
        if not hasattr(self, "_pattern"):
            parts, types, at = [], [], 0
            for m in _CONVERSION.finditer(self):
                parts.append(re.escape(self[at:m.start()]))
                pattern, kind = _CONVERSIONS[m.group(1)]
                parts.append(pattern)
                types.append(kind)
                at = m.end()
            parts.append(re.escape(self[at:]))
            self._pattern = re.compile(r"(?:\d+ )?" + "".join(parts) + "$")
            self._types = types
        m = self._pattern.match(line)
        return tuple(kind(v) for kind, v in zip(self._types, m.groups())) if m else None


def _read():
    with open(HEADER) as f:
        found = re.findall(r'^constexpr char (TRACE_\w+)\[\] = "((?:[^"\\]|\\.)*)";', f.read(), re.M)
    if not found:
        raise RuntimeError(f"no trace lines in {HEADER}")
    return {name: TraceLine(text) for name, text in found}


globals().update(_read())
