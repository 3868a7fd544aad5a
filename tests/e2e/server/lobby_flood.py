#!/usr/bin/env python3
"""A host opening connections to the lobby as fast as it can, holding them open
and never reading, while honest joins come in one after another. Prints how
many honest joins were answered and how long the slowest waited.

  lobby_flood.py [SECONDS] [HONEST_JOINS] [PATIENCE_S] [FLOODING_PROCESSES]"""
import socket
import sys
import multiprocessing
import time

LOBBY = ("127.0.0.1", 2185)
seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 4.0
honest = int(sys.argv[2]) if len(sys.argv) > 2 else 20
patience = float(sys.argv[3]) if len(sys.argv) > 3 else 3.0
processes = int(sys.argv[4]) if len(sys.argv) > 4 else 1


def flood(done, opened):
    held = []
    count = 0
    while not done.is_set():
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.setblocking(False)
        try:
            s.connect(LOBBY)
        except BlockingIOError:
            pass
        except OSError:
            s.close()
            continue
        count += 1
        held.append(s)
        # Held open, never read, until the host runs short of descriptors.
        if len(held) > 800:
            held.pop(0).close()
    for s in held:
        s.close()
    with opened.get_lock():
        opened.value += count


def join():
    start = time.monotonic()
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.settimeout(patience)
    try:
        s.connect(LOBBY)
        reply = s.recv(512)
    except OSError:
        reply = b""
    finally:
        s.close()
    return bool(reply), time.monotonic() - start


done = multiprocessing.Event()
opened = multiprocessing.Value("q", 0)
# Processes of their own, so the honest joins below never wait for the flood's turn.
flooders = [multiprocessing.Process(target=flood, args=(done, opened)) for _ in range(processes)]
for t in flooders:
    t.start()
time.sleep(0.5)  # the flood is under way before the first honest join
answered, slowest = 0, 0.0
end = time.monotonic() + seconds
for _ in range(honest):
    ok, took = join()
    answered += ok
    slowest = max(slowest, took)
    time.sleep(max(0.0, min(0.1, end - time.monotonic())))
done.set()
for t in flooders:
    t.join()
print(f"LOBBY flood_connections={opened.value} honest={honest} answered={answered} "
      f"slowest_ms={slowest * 1000:.0f}")
