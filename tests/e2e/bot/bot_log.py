"""Reads the log of one bot process (all bots of a match in one process, so
its lines are in the order things happened) and checks the score keeping:
every death credited to its killer exactly once, every round ended exactly
once on every bot.

Lines used (others are ignored):
  kill KILLER VICTIM frags=N     KILLER was credited with a kill of VICTIM
  death VICTIM KILLER            VICTIM was killed by KILLER's beam
  round BOT frags=N              BOT's round ended: its pause begins
  restart BOT                    BOT's pause is over: a new round, 0 frags

Each line comes with the time (seconds) it was read, so that the last moments
of a run, whose credits may still be on their way, can be left out."""
import re
import subprocess
import threading
import time

KILL = re.compile(r"^kill (\S+) (\S+) frags=(\d+)$")
DEATH = re.compile(r"^death (\S+) (\S+)$")
ROUND = re.compile(r"^round (\S+) frags=(-?\d+)$")
RESTART = re.compile(r"^restart (\S+)$")

# A kill of a victim reaches its killer within a network delay; a killer whose
# round ends this soon after the death takes it into its pause, like a kill
# made during the pause.
PAUSE_GRACE_S = 1.0
# Deaths this close to the end of a run may still be waiting for their credit.
TAIL_S = 2.0


class BotRun:
    """One bot process whose output is read, line by line, as it comes."""

    def __init__(self, command, cwd):
        self.lines = []  # (seconds, text)
        self.proc = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE,
                                     stderr=subprocess.STDOUT, text=True, bufsize=1)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.append((time.monotonic(), line.rstrip("\n")))

    def count(self, prefix):
        return sum(1 for _, text in list(self.lines) if text.startswith(prefix))

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
        status = self.proc.wait(timeout=20)
        self.reader.join(timeout=10)
        return status


def death_pairs(lines, tail_s=TAIL_S):
    """Deaths the bots logged by (killer, victim): all of them, and those
    logged more than tail_s before the last line (whose news has surely
    travelled everywhere)."""
    end = lines[-1][0] if lines else 0
    logged, counted = {}, {}
    for at, text in lines:
        m = DEATH.match(text)
        if m:
            pair = (m.group(2), m.group(1))
            logged[pair] = logged.get(pair, 0) + 1
            if at <= end - tail_s:
                counted[pair] = counted.get(pair, 0) + 1
    return logged, counted


def analyse(lines, limit):
    """Score keeping of one run. `lines` are (seconds, text) in order."""
    end = lines[-1][0] if lines else 0
    deaths, counted, credits, exempt = {}, {}, {}, {}
    paused = set()
    restarted = {}   # bot -> number of restarts so far
    pending = []     # (time, pair, killer): deaths that may yet fall in the killer's pause
    round_starts = []  # times of each real round end (a first frag at the limit)
    round_lines = {}   # bot -> times of its round lines
    winners = set()    # (bot, its restarts then) that reached the limit this round
    for at, text in lines:
        pending = [p for p in pending if at - p[0] <= PAUSE_GRACE_S]
        m = KILL.match(text)
        if m:
            killer, victim, frags = m.group(1), m.group(2), int(m.group(3))
            credits[(killer, victim)] = credits.get((killer, victim), 0) + 1
            if frags == limit:
                # A new round's end, unless the bots that won the current one
                # are all still in it (two reaching the limit at once).
                if not winners or any(restarted.get(w, 0) != r for w, r in winners):
                    round_starts.append(at)
                    winners = set()
                winners.add((killer, restarted.get(killer, 0)))
            continue
        m = DEATH.match(text)
        if m:
            victim, killer = m.group(1), m.group(2)
            pair = (killer, victim)
            deaths[pair] = deaths.get(pair, 0) + 1
            if killer in paused:
                exempt[pair] = exempt.get(pair, 0) + 1
            else:
                pending.append((at, pair, killer))
            if at <= end - TAIL_S:
                counted[pair] = counted.get(pair, 0) + 1
            continue
        m = ROUND.match(text)
        if m:
            bot = m.group(1)
            paused.add(bot)
            round_lines.setdefault(bot, []).append(at)
            for p in [p for p in pending if p[2] == bot]:
                exempt[p[1]] = exempt.get(p[1], 0) + 1
                pending.remove(p)
            continue
        m = RESTART.match(text)
        if m:
            bot = m.group(1)
            paused.discard(bot)
            restarted[bot] = restarted.get(bot, 0) + 1

    pairs = set(deaths) | set(credits)
    extra = sum(max(0, credits.get(p, 0) - deaths.get(p, 0)) for p in pairs)
    lost = sum(max(0, counted.get(p, 0) - exempt.get(p, 0) - credits.get(p, 0)) for p in pairs)

    # Every bot ends each real round once: one round line between one real
    # round end and the next. The last round may be cut short by the end of the run.
    bots = set(round_lines) | {p[0] for p in pairs} | {p[1] for p in pairs}
    misfires = 0
    bounds = round_starts + [float("inf")]
    for bot in bots:
        times = round_lines.get(bot, [])
        misfires += sum(1 for t in times if not round_starts or t < round_starts[0])
        for k in range(len(round_starts)):
            n = sum(1 for t in times if bounds[k] <= t < bounds[k + 1])
            last = k == len(round_starts) - 1
            if last and end - round_starts[k] < 10.0:
                misfires += max(0, n - 1)
            else:
                misfires += abs(n - 1)
    return {
        "deaths": sum(deaths.values()),
        "credits": sum(credits.values()),
        "extra": extra,
        "lost": lost,
        "exempt": sum(exempt.values()),
        "rounds": len(round_starts),
        "misfires": misfires,
        "bots": len(bots),
    }
