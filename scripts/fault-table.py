#!/usr/bin/env python3
"""Score keeping under network faults, measured with the real server and bots:
for each fault (injected into the server's datagrams by bin/libnetfault.so)
bots play on hall, and their log gives deaths, kills credited, extra and lost
credits and round-end misfires. Before the matches, a probe measures how late
a player's state can arrive after newer ones under each fault.

  scripts/fault-table.py                  # the whole table (about 25 minutes)
  scripts/fault-table.py --minutes 1      # 1 minute per fault, 3 for "none"
  scripts/fault-table.py --probe-only     # only the lateness of states

Runs from the built stage (build/stage/bin), in a private network namespace
where the machine allows it, so no other server's ports get in the way."""
import argparse
import os
import socket
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
STAGE_BIN = os.environ.get("BLAST_STAGE_BIN", os.path.join(ROOT, "build", "stage", "bin"))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e", "bot"))
from bot_log import BotRun, analyse  # noqa: E402

# (label, BLAST_NETFAULT, bots, minutes, frag limit); minutes None: --minutes.
FAULTS = [
    ("none, 6 bots, limit 20", "", 6, "long", 20),
    ("loss 5 %", "loss=5", 4, None, 10),
    ("loss 30 %", "loss=30", 4, None, 10),
    ("delay 50 ms +- 20 ms (normal; reorders)", "jitter=50:20", 4, None, 10),
    ("duplicate 10 %", "dup=10", 4, None, 10),
    ("reorder 25 % (rest delayed 10 ms)", "reorder=25:10", 4, None, 10),
]


def server_env(faults):
    env = dict(os.environ)
    if faults:
        env["LD_PRELOAD"] = os.path.join(STAGE_BIN, "libnetfault.so")
        env["BLAST_NETFAULT"] = faults + ",seed=3"
    return env


def start_server(faults, frag_limit):
    proc = subprocess.Popen([os.path.join(STAGE_BIN, "server"), "hall", "10", str(frag_limit)],
                            cwd=STAGE_BIN, env=server_env(faults), stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True)
    line = proc.stdout.readline()
    if "Server started" not in line:
        proc.kill()
        raise RuntimeError("server did not start: " + line)
    return proc


def stop(proc):
    proc.terminate()
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def checksum(text):
    return sum(b - 256 if b > 127 else b for b in text.encode())


def state_text(client_id, name, x):
    body = (f"{client_id} {name} 0 {x:f} 0.000000 0.000000 0 0 0 0 0 "
            "0.000000 0.000000 0.000000 0.000000 0.000000 0.000000")
    return f"{body}+{checksum(body)} ".encode()


def join():
    """Asks the lobby, as the game does before its first state: the server
    gives a slot only to a host it has just answered."""
    with socket.create_connection(("127.0.0.1", 2185), timeout=5) as s:
        s.recv(512)


def probe(faults, seconds=20, listeners=3):
    """How late a state arrives after a newer one from the same player: one
    sender numbers its states (in x), three listeners play along and note
    each state that arrives after a higher number already had."""
    server = start_server(faults, 10)
    try:
        sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        others = [socket.socket(socket.AF_INET, socket.SOCK_DGRAM) for _ in range(listeners)]
        for s in others:
            s.setblocking(False)
        to = ("127.0.0.1", 2184)
        for _ in range(listeners + 1):
            join()
        first_seen = [dict() for _ in others]  # number -> first arrival
        highest = [(-1, 0.0) for _ in others]
        late = []
        start = time.monotonic()
        seq = 0
        received = 0
        next_send = start
        while time.monotonic() - start < seconds:
            now = time.monotonic()
            if now >= next_send:
                sender.sendto(state_text("1probe", "Probe", float(seq)), to)
                for i, s in enumerate(others):
                    s.sendto(state_text(f"{i + 2}probe", f"L{i}", 0.0), to)
                seq += 1
                next_send += 0.020
            for i, s in enumerate(others):
                while True:
                    try:
                        data = s.recv(600)
                    except BlockingIOError:
                        break
                    fields = data.decode(errors="replace").split()
                    if len(fields) < 5 or fields[1] != "1probe":
                        continue
                    n = int(float(fields[4]))
                    at = time.monotonic()
                    received += 1
                    top, top_at = highest[i]
                    if n > top:
                        highest[i] = (n, at)
                        first_seen[i].setdefault(n, at)
                    elif n < top:
                        # Late by the time since the first newer state came.
                        newer = min(t for k, t in first_seen[i].items() if k > n)
                        late.append((at - newer) * 1000.0)
                    if len(first_seen[i]) > 400:
                        for k in sorted(first_seen[i])[:200]:
                            del first_seen[i][k]
            time.sleep(0.002)
        late.sort()
        return {
            "late": len(late),
            "p99": late[int(len(late) * 0.99)] if late else 0.0,
            "max": late[-1] if late else 0.0,
            "states": seq,
            "arrivals": received,
        }
    finally:
        stop(server)


def match(faults, bots, minutes, frag_limit):
    server = start_server(faults, frag_limit)
    try:
        run = BotRun([os.path.join(STAGE_BIN, "bot"), "--count", str(bots), "--name", "Ace",
                      "--skill", "4"], STAGE_BIN)
        time.sleep(minutes * 60)
        # End outside a round's pause, so that the last round is whole.
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline and any(
                t.startswith("round ") for _, t in run.lines[-2 * bots:]):
            time.sleep(0.2)
        run.stop()
        return analyse(run.lines, frag_limit)
    finally:
        stop(server)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--minutes", type=float, default=3, help="per fault (3)")
    parser.add_argument("--long-minutes", type=float, default=None,
                        help='for "none" with 6 bots (10, or 3 x --minutes when that is given)')
    parser.add_argument("--probe-only", action="store_true")
    parser.add_argument("--probe-seconds", type=float, default=20)
    args = parser.parse_args()
    if args.long_minutes is None:
        args.long_minutes = 10 if args.minutes == 3 else 3 * args.minutes
    if os.environ.get("BLAST_ISOLATED") != "1":
        os.environ["BLAST_ISOLATED"] = "1"
        os.execvp(os.path.join(ROOT, "scripts", "isolated.sh"),
                  [os.path.join(ROOT, "scripts", "isolated.sh"), sys.executable] + sys.argv)

    print("| fault | states late after newer ones | p99 lateness | max lateness |")
    print("|---|---|---|---|")
    for label, faults, _, _, _ in FAULTS:
        p = probe(faults, args.probe_seconds)
        print(f"| {label.split(',')[0]} | {p['late']} of {p['arrivals']} | {p['p99']:.0f} ms | "
              f"{p['max']:.0f} ms |", flush=True)
    if args.probe_only:
        return
    print()
    print("| fault | bots | minutes | deaths | kills credited | extra | lost | "
          "in the killer's pause | round-end misfires |")
    print("|---|---|---|---|---|---|---|---|---|")
    for label, faults, bots, minutes, limit in FAULTS:
        minutes = args.long_minutes if minutes == "long" else args.minutes
        r = match(faults, bots, minutes, limit)
        print(f"| {label} | {bots} | {minutes:g} | {r['deaths']} | {r['credits']} | {r['extra']} | "
              f"{r['lost']} | {r['exempt']} | {r['misfires']} of {r['rounds']} rounds |", flush=True)


if __name__ == "__main__":
    main()
