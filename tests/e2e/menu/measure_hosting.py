"""Figures for hosting from the menu, five runs: from the Host click to the
hosted server on the list (game clock), and from killing the game to the
hosted server's end (wall clock). Not a test: it prints what it measured.
Run from build/stage/bin: ../../../scripts/isolated.sh python3 \
    ../../../tests/e2e/menu/measure_hosting.py"""
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
sys.path.insert(0, HERE)
from harness import Display, Game, GameFolder  # noqa: E402
from test_servers import HOST, SERVERS, process_gone  # noqa: E402
from trace_lines import (TRACE_FIRST_FRAME, TRACE_HOST_STARTED, TRACE_MENU_CLICK,  # noqa: E402
                         TRACE_MENU_OPENED)

listed, ended = [], []
for run in range(5):
    d, f = Display(), GameFolder("")
    g = Game(d, f)
    try:
        assert g.wait_trace_after(TRACE_MENU_OPENED.lead, TRACE_FIRST_FRAME % (640, 480))
        d.focus(g.window())
        d.click(*SERVERS)
        assert g.wait_trace(TRACE_MENU_CLICK % 5)
        d.click(*HOST)
        assert g.wait_trace(TRACE_HOST_STARTED.lead)
        assert g.wait_trace("hosted=1")
        listed.append(g.trace_time("hosted=1") - g.trace_time(TRACE_HOST_STARTED.lead))
        pid = [v for v in map(TRACE_HOST_STARTED.parse, g.trace()) if v][-1][4]
        t = time.time()
        g.proc.kill()
        g.proc.wait()
        while not process_gone(pid):
            time.sleep(0.005)
        ended.append(round((time.time() - t) * 1000))
    finally:
        g.kill()
        d.stop()
        f.remove()
print("host click -> listed (ms):", listed)
print("game killed -> server gone (ms):", ended)
