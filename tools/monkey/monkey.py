#!/usr/bin/env python3
"""Seeded random input to the real Horavel.exe under Wine, watched for
crashes, hangs, error boxes and files changed without a command.

  monkey.py run --minutes 30 --look 1 --seed 7      a run; its folder is printed
  monkey.py replay OUT [--reduce]                   the failing session of a run
                                                    again, and a shorter sequence
                                                    that still fails
  monkey.py replay OUT --actions OUT/reduced.jsonl  that shorter sequence again

Every action is kept with its time in OUT/actions.jsonl; the folder the
program ran in is kept as it was when each session began, so a failure
replays from the log (or, the same way, from its seed).
"""

import argparse
import datetime
import json
import os
import random
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from actions import Generator, Words, weighted  # noqa: E402
from guard import Guard  # noqa: E402
from screen import Screen, kind_of  # noqa: E402
from session import EndedByCommand, Failure, Session, windows_path  # noqa: E402
from wine import Probe, ProbeDied, Wine, file_digest  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WATCHED = ("everyday.mis", "config.ini")
# Which windows' commands may write which of the program's own files.
PERMITS = {"everyday.mis": {"daily", "menu", "filedlg"}, "config.ini": {"setup", "filedlg"}}
FILE_ERRORS = ("File not found", "Invalid filename", "File access denied", "Too many open files", "Disk full",
               "I/O error", "Read beyond end of file")
STM_GETICON = 0x171

# Reminders and rings that fire now and then during a run, and one mission of
# each risky kind dated long ago, which must never fire.
SAMPLE_DAILY = [
    ("提示消息", "该起床了!"), ("系统响铃", "内置铃声"), ("提示消息", "下班了"),
]


def gbk(text):
    return text.encode("gbk", "replace")


class Monkey:
    def __init__(self, out, seed, look, minutes, replay=None, exe=None):
        self.out = out = os.path.abspath(out)
        self.exe = os.path.abspath(exe or os.path.join(ROOT, "build", "windows", "bin", "Horavel.exe"))
        self.seed = seed
        self.look = look
        self.minutes = minutes
        self.replaying = replay  # the actions to carry out again, or None
        self.rng = random.Random(seed)
        os.makedirs(out, exist_ok=True)
        self.folder = os.path.join(out, "folder")
        self.wine = Wine(ROOT)
        self.actions_log = open(os.path.join(out, "actions.jsonl"), "a", encoding="utf-8")
        self.events_log = open(os.path.join(out, "events.jsonl"), "a", encoding="utf-8")
        self.count = 0
        self.started = time.time()
        self.recent = []  # (time, window kind) of the last actions
        self.seen_boxes = set()
        self.boxes = []
        self.expected_errors = 0
        self.file_changes = 0
        self.digests = {}
        self.quit_expected_until = 0

    # Logging.
    def event(self, what, **fields):
        record = {"t": round(time.time() - self.started, 3), "clock": self.clock(), "event": what, **fields}
        self.events_log.write(json.dumps(record, ensure_ascii=False) + "\n")
        self.events_log.flush()

    @staticmethod
    def clock():
        return datetime.datetime.now().strftime("%H:%M:%S.%f")[:-3]

    def record(self, action, session, guard=False):
        self.count += 1
        entry = {"i": self.count, "t": round(time.time() - self.started, 3), "clock": self.clock(),
                 "session": session.number, **action}
        if guard:
            entry["guard"] = True
        self.actions_log.write(json.dumps(entry, ensure_ascii=False) + "\n")
        self.actions_log.flush()
        self.recent.append((time.time(), action.get("ctx", "")))
        self.recent = self.recent[-12:]

    # The folder the program runs in.
    def make_folder(self):
        os.makedirs(self.folder, exist_ok=True)
        shutil.copy2(self.exe, self.folder)
        with open(os.path.join(self.folder, "config.ini"), "wb") as f:
            f.write(b"[theme]\r\nselect=%d\r\n" % self.look)
        now = datetime.datetime.now()
        lines = []
        for i, (kind, detail) in enumerate(SAMPLE_DAILY):
            # Spread over the run, so that some fire while it goes on.
            at = now + datetime.timedelta(minutes=2 + i * 7, seconds=self.rng.randint(0, 50))
            lines.append("%s$%s$2000/1/1$%s" % (kind, detail, at.strftime("%H:%M:%S")))
        for kind in ("关闭计算机", "执行程序", "打开网页"):
            # Risky kinds at a second long past today.
            lines.append("%s$%s$2000/1/1$00:00:01" % (kind, kind))
        with open(os.path.join(self.folder, "everyday.mis"), "wb") as f:
            f.write(gbk("\r\n".join(lines) + "\r\n"))

    def folder_files(self):
        return {n for n in os.listdir(self.folder) if n != "Horavel.exe"}

    def snapshot(self, session):
        target = os.path.join(self.out, "snapshots", "session-%d" % session.number)
        if os.path.exists(target):
            shutil.rmtree(target)
        shutil.copytree(self.folder, target, ignore=shutil.ignore_patterns("Horavel.exe"))

    # Looking.
    def observe(self, session, timeout_ms=10000):
        state = self.probe.state(timeout_ms)
        rows = self.probe.rows() if state.get("main") else None
        toolbar = self.probe.ask("toolbar") if state.get("main") else None
        self.last_screen = Screen(state, rows, toolbar)
        return self.last_screen

    def check(self, session, screen):
        """Raises a Failure for what must never happen."""
        if session.ended() or not screen.alive:
            code = session.process.wait(timeout=60)
            time.sleep(1)  # winedbg writes the last lines
            crashed = os.path.exists(session.crash_file())
            if code == 0 and not crashed and time.time() < self.quit_expected_until:
                raise EndedByCommand()
            raise Failure("crash", "the program ended", code=code, trace=session.trace())
        if screen.answer < 0:
            again = self.observe(session, 20000)
            if again.answer < 0 and not session.ended():
                raise Failure("hang", "the main window did not answer within 30 s",
                              trace=session.backtrace(screen.pid))
        for box in screen.message_boxes():
            if box["h"] in self.seen_boxes:
                continue
            self.seen_boxes.add(box["h"])
            icon = bool(box["icon"] and self.probe.send(box["icon"], STM_GETICON))
            self.event("box", title=box["title"], text=box["text"], icon=icon)
            self.boxes.append(box["text"])
            if box["title"] == "Horavel" and icon:
                after_file_command = any(ctx == "filedlg" for _, ctx in self.recent[-6:])
                if after_file_command and box["text"].startswith(FILE_ERRORS):
                    self.expected_errors += 1
                else:
                    raise Failure("error", box["text"])
        for w in screen.foreign:
            key = ("foreign", w["h"])
            if key not in self.seen_boxes and w["cls"] not in ("tooltips_class32",):
                self.seen_boxes.add(key)
                self.event("foreign window", cls=w["cls"], title=w["title"], pid=w["pid"])
        self.check_files()

    def check_files(self):
        recent = {ctx for at, ctx in self.recent if time.time() - at < 6}
        for name in WATCHED:
            digest = file_digest(os.path.join(self.folder, name))
            if digest != self.digests.get(name):
                if recent & PERMITS[name]:
                    self.file_changes += 1
                    self.event("file changed by a command", file=name)
                    self.digests[name] = digest
                else:
                    raise Failure("file", name + " changed without a command that writes it")

    # Doing.
    def perform(self, action):
        k = action["k"]
        w = self.wine
        if k == "key":
            w.xdotool("key", "--clearmodifiers", action["keys"])
        elif k == "type":
            self.probe.type(action["text"])
        elif k == "paste":
            self.probe.clip(action["text"])
            w.xdotool("key", "--clearmodifiers", "ctrl+v")
        elif k == "click":
            x, y = self.where(action)
            w.xdotool("mousemove", x, y, "click", "--repeat", action.get("n", 1), "--delay", 90, action.get("button", 1))
        elif k == "click_type":
            self.perform(action["click"])
            time.sleep(0.1)
            if action.get("select_all"):
                w.xdotool("key", "--clearmodifiers", "ctrl+a")
            self.perform({"k": "paste" if action.get("paste") else "type", "text": action["text"]})
        elif k == "keys":
            for keys in action["seq"]:
                w.xdotool("key", "--clearmodifiers", keys)
                time.sleep(0.05)
        elif k == "keys_type":
            for keys in action["keys"]:
                w.xdotool("key", "--clearmodifiers", keys)
            time.sleep(0.1)
            self.probe.type(action["text"])
        elif k == "click_key":
            self.perform(action["click"])
            time.sleep(0.1)
            w.xdotool("key", "--clearmodifiers", action["keys"])
        elif k == "wait":
            time.sleep(action["s"])
        if k == "keys" or action.get("ctx") in ("menu", "hidden"):
            # A menu or the tray may have chosen to end the program.
            self.quit_expected_until = time.time() + 8

    def where(self, action):
        """A click's point: on its control as the control lies now, when it can
        be found again, else where it was."""
        ctrl = action.get("ctrl")
        if not (ctrl and self.replaying is not None):
            return action["at"]
        screen = self.last_screen
        for window in screen.windows:
            if (kind_of(window) or window["cls"]) != action.get("win"):
                continue
            for c in window.get("ctrls", []):
                if c["cls"] == ctrl[0] and c["id"] == ctrl[1] and c["text"][:40] == ctrl[2]:
                    r = c["r"]
                    rel = action.get("rel", [0.5, 0.5])
                    return [int(r[0] + rel[0] * (r[2] - r[0])), int(r[1] + rel[1] * (r[3] - r[1]))]
        return action["at"]

    def pause(self):
        return weighted(self.rng, [(70, lambda: self.rng.uniform(0.02, 0.2)), (25, lambda: self.rng.uniform(0.2, 1)),
                                   (5, lambda: self.rng.uniform(1, 4))])()

    # Running.
    def setup(self):
        self.wine.prepare()
        probe_log = open(os.path.join(self.out, "probe.log"), "ab")
        self.probe = Probe(self.wine, os.path.join(ROOT, "build", "monkey", "probe.exe"), probe_log)
        self.guard = Guard(self)

    def run(self):
        self.setup()
        self.make_folder()
        words = Words(self.rng, windows_path(self.folder))
        generator = Generator(self.rng, words, self.folder_files)
        end = self.started + self.minutes * 60
        midnight = datetime.datetime.combine(datetime.date.today() + datetime.timedelta(days=1), datetime.time())
        end = min(end, midnight.timestamp() - 120)  # a run never passes midnight: dates would move
        number = 0
        failure = None
        while time.time() < end and failure is None:
            number += 1
            session = Session(self, number)
            self.snapshot(session)
            self.digests = {n: file_digest(os.path.join(self.folder, n)) for n in WATCHED}
            try:
                session.start()
                while time.time() < end:
                    screen = self.observe(session)
                    self.check(session, screen)
                    screen = self.guard.after(session, screen)
                    action = generator.next(screen)
                    action = self.guard.instead(action, screen) or action
                    action["focus"] = "%s:%d" % (screen.focus_class, screen.focus_id)
                    self.perform(action)
                    self.record(action, session)
                    time.sleep(self.pause())
            except EndedByCommand:
                self.event("ended by a command", session=number)
            except Failure as f:
                failure = f
                self.failed(session, f)
            except ProbeDied as e:
                failure = Failure("probe", str(e))
                self.failed(session, failure)
            finally:
                session.stop()
        self.report(failure, sessions=number)
        return failure

    def failed(self, session, failure):
        self.event("failure", session=session.number, **failure.signature())
        try:
            self.wine.screenshot(os.path.join(self.out, "failure.png"))
        except Exception:  # noqa: BLE001 - the picture is a help, not a need
            pass
        with open(os.path.join(self.out, "failure.json"), "w", encoding="utf-8") as f:
            json.dump({"session": session.number, "seed": self.seed, "look": self.look, "exe": self.exe,
                       **failure.signature()}, f,
                      ensure_ascii=False, indent=1)

    def report(self, failure, sessions):
        minutes = (time.time() - self.started) / 60
        summary = {"seed": self.seed, "look": self.look, "exe": self.exe, "minutes": round(minutes, 1),
                   "actions": self.count,
                   "sessions": sessions, "message boxes": len(self.boxes),
                   "their texts": sorted(set(self.boxes)),
                   "file errors after file commands": self.expected_errors,
                   "files changed by commands": self.file_changes, "guard stops": self.guard.stops,
                   "saves withheld": self.guard.withheld,
                   "failure": failure.signature() if failure else None}
        with open(os.path.join(self.out, "summary.json"), "w", encoding="utf-8") as f:
            json.dump(summary, f, ensure_ascii=False, indent=1)
        print(json.dumps(summary, ensure_ascii=False))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    run = sub.add_parser("run")
    run.add_argument("--minutes", type=float, default=15)
    run.add_argument("--look", type=int, choices=range(4), default=0)
    run.add_argument("--seed", type=int, default=None)
    run.add_argument("--out", default=None)
    run.add_argument("--exe", default=None, help="another Horavel.exe (default: the windows preset's)")
    again = sub.add_parser("replay")
    again.add_argument("out")
    again.add_argument("--reduce", action="store_true")
    again.add_argument("--actions", help="these actions (e.g. RUN/reduced.jsonl) instead of the failing session's")
    again.add_argument("--exe", help="another Horavel.exe than the run's (e.g. one with a mend)")
    again.add_argument("--budget", type=float, default=60, help="minutes the reduction may take")
    args = parser.parse_args()

    if args.command == "run":
        seed = args.seed if args.seed is not None else random.randrange(1 << 30)
        out = args.out or os.path.join(ROOT, "build", "monkey", "runs",
                                       time.strftime("%Y%m%d-%H%M%S") + "-seed%d-look%d" % (seed, args.look))
        print("monkey: seed %d, look %d, %g minutes, output in %s" % (seed, args.look, args.minutes, out), flush=True)
        monkey = Monkey(out, seed, args.look, args.minutes, exe=args.exe)
        failure = monkey.run()
        sys.exit(1 if failure else 0)
    else:
        from replay import replay_command
        sys.exit(replay_command(args))


if __name__ == "__main__":
    main()
