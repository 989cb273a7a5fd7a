"""A failing session again from its log, and the shortest sequence of its
actions that still fails (delta debugging: halves, then smaller pieces, are
left out while the failure stays the same)."""

import json
import os
import shutil
import time

from monkey import WATCHED, Monkey
from session import EndedByCommand, Failure, Session
from wine import ProbeDied, file_digest

KEPT = ("i", "t", "clock", "session", "guard")


def load(out):
    with open(os.path.join(out, "failure.json"), encoding="utf-8") as f:
        failure = json.load(f)
    actions = []
    with open(os.path.join(out, "actions.jsonl"), encoding="utf-8") as f:
        for line in f:
            a = json.loads(line)
            # The guard acts again by itself; withheld saves were replaced
            # by what was done instead, which is what the log holds.
            if a.get("session") == failure["session"] and not a.get("guard"):
                actions.append(a)
    return failure, actions


def same(found, wanted):
    if found is None or found.kind != wanted["kind"]:
        return False
    if found.kind == "crash":
        # The same fault at the same function, as far as both say.
        a, b = found.extra.get("trace", ""), wanted.get("trace", "")
        return a.split(" < ")[0] == b.split(" < ")[0] if a and b else True
    if found.kind in ("error", "file"):
        return found.detail == wanted["detail"]
    return True


class Replayer:
    def __init__(self, out, failure):
        self.out = out
        self.failure = failure
        self.trials = 0
        self.monkey = Monkey(os.path.join(out, "replay-" + time.strftime("%H%M%S")), failure.get("seed", 0), failure.get("look", 0), 0,
                             replay=True, exe=failure.get("exe"))
        self.monkey.setup()
        self.snapshot = os.path.join(out, "snapshots", "session-%d" % failure["session"])

    def run(self, actions, tail=15):
        """Carries the actions out on a fresh start from the session's folder;
        the failure they led to, or None."""
        m = self.monkey
        self.trials += 1
        if os.path.exists(m.folder):
            shutil.rmtree(m.folder)
        shutil.copytree(self.snapshot, m.folder)
        shutil.copy2(m.exe, m.folder)
        session = Session(m, self.trials)
        m.digests = {n: file_digest(os.path.join(m.folder, n)) for n in WATCHED}
        m.recent = []
        m.event("trial", number=self.trials, actions=len(actions))
        try:
            session.start()
            for n, a in enumerate(actions):
                screen = m.observe(session)
                m.check(session, screen)
                screen = m.guard.after(session, screen)
                action = {k: v for k, v in a.items() if k not in KEPT}
                action = m.guard.instead(action, screen) or action
                m.perform(action)
                m.record(action, session)
                gap = actions[n + 1]["t"] - a["t"] if n + 1 < len(actions) else 0.5
                time.sleep(min(max(gap, 0.05), 3))
            end = time.time() + tail
            while time.time() < end:
                screen = m.observe(session)
                m.check(session, screen)
                m.guard.after(session, screen)
                time.sleep(0.5)
            return None
        except EndedByCommand:
            return None
        except Failure as f:
            m.event("trial failed", number=self.trials, **f.signature())
            return f
        except ProbeDied as e:
            return Failure("probe", str(e))
        finally:
            session.stop()
            # A crash may leave the program's windows behind in the desktop.
            time.sleep(1)

    def fails(self, actions):
        found = self.run(actions)
        ok = same(found, self.failure)
        if ok and self.trials == 1:
            # What this replay saw is said the same way as the trials after it.
            self.failure = dict(self.failure, **found.signature())
        print("monkey: trial %d, %d actions: %s" % (self.trials, len(actions),
                                                     "fails the same way" if ok else
                                                     ("fails otherwise: %s" % found if found else "passes")),
              flush=True)
        return ok


def ddmin(items, fails, deadline):
    n = 2
    while len(items) >= 2 and time.time() < deadline:
        size = len(items)
        chunks = [items[i * size // n:(i + 1) * size // n] for i in range(n)]
        reduced = False
        for chunk in chunks:
            if chunk and fails(chunk):
                items, n, reduced = chunk, 2, True
                break
        if not reduced:
            for i in range(n):
                rest = [a for j, c in enumerate(chunks) if j != i for a in c]
                if rest and len(rest) < size and fails(rest):
                    items, n, reduced = rest, max(n - 1, 2), True
                    break
        if not reduced:
            if n >= size:
                break
            n = min(size, 2 * n)
        if time.time() >= deadline:
            break
    return items


def replay_command(args):
    failure, actions = load(args.out)
    if args.exe:
        failure["exe"] = os.path.abspath(args.exe)
    if args.actions:
        with open(args.actions, encoding="utf-8") as f:
            actions = [json.loads(line) for line in f if line.strip()]
    print("monkey: session %d of %s: %d actions, failure %s" % (failure["session"], args.out, len(actions),
                                                                 {k: failure[k] for k in ("kind", "detail")}),
          flush=True)
    replayer = Replayer(args.out, failure)
    try:
        if not replayer.fails(actions):
            print("monkey: the whole session does not fail again")
            if not args.reduce:
                return 1
        if not args.reduce:
            return 0
        deadline = time.time() + args.budget * 60
        # The shortest tail first: what a failure needs is mostly at the end.
        start = actions
        for count in (10, 30, 100, 300, 1000):
            if count >= len(actions):
                break
            if replayer.fails(actions[-count:]):
                start = actions[-count:]
                break
        reduced = ddmin(start, replayer.fails, deadline)
        path = os.path.join(args.out, "reduced.jsonl")
        with open(path, "w", encoding="utf-8") as f:
            for a in reduced:
                f.write(json.dumps(a, ensure_ascii=False) + "\n")
        print("monkey: %d of %d actions still fail, in %d trials: %s" % (len(reduced), len(actions),
                                                                       replayer.trials, path))
        return 0
    finally:
        replayer.monkey.probe.close()
