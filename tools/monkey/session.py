"""One start of the program under the monkey, until it ends or the run does,
and what can go wrong with it."""

import os
import re
import signal
import subprocess
import time

from wine import DISARMED


class Failure(Exception):
    def __init__(self, kind, detail, **extra):
        super().__init__("%s: %s" % (kind, detail))
        self.kind, self.detail, self.extra = kind, detail, extra

    def signature(self):
        return {"kind": self.kind, "detail": self.detail, **self.extra}


class EndedByCommand(Exception):
    """The program ended, as a menu or the tray had been told to end it."""


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


class Session:
    """One start of the program, until it ends or the run does."""

    def __init__(self, monkey, number):
        self.monkey = monkey
        self.number = number
        self.process = None
        self.log_path = os.path.join(monkey.out, "session-%d.log" % number)

    def start(self):
        m = self.monkey
        # The program of an earlier start must be gone, or this one would
        # hand over to it and end.
        end = time.time() + 30
        while m.probe.state(2000).get("main") and time.time() < end:
            time.sleep(0.5)
        if os.path.exists(self.crash_file()):
            os.remove(self.crash_file())
        self.log = open(self.log_path, "ab")
        exe = os.path.join(m.folder, "Horavel.exe")
        self.process = m.wine.start([windows_path(exe)], cwd=m.folder, log=self.log, overrides=DISARMED)
        m.event("start", session=self.number, look=m.look)
        # Up once the main window exists (its start question may come first).
        end = time.time() + 90
        while time.time() < end:
            if self.process.poll() is not None:
                raise Failure("start", "ended while starting", code=self.process.returncode, trace=self.trace())
            s = m.probe.state(3000)
            if s.get("main") and s.get("alive"):
                return
            time.sleep(0.3)
        raise Failure("hang", "no main window 90 s after start")

    def ended(self):
        return self.process.poll() is not None

    def crash_file(self):
        return os.path.join(self.monkey.wine.state, "prefix", "drive_c", "crash.txt")

    def trace(self):
        """What Wine said of a crash, addresses left out, and the first
        functions of its backtrace (winedbg writes it to C:\\crash.txt)."""
        if os.path.exists(self.crash_file()):
            with open(self.crash_file(), "rb") as f, open(self.log_path, "ab") as log:
                log.write(b"\n--- winedbg\n" + f.read())
            os.remove(self.crash_file())
        try:
            with open(self.log_path, "rb") as f:
                text = f.read().decode("utf-8", "replace")
        except OSError:
            return ""
        what = ""
        for line in text.splitlines():
            found = re.search(r"Unhandled (.*?)(?: \(thread|, starting|$)", line)
            if found:
                what = re.sub(r"0x[0-9A-Fa-f]+|[0-9A-Fa-f]{8,}", "#", found.group(1)).strip()
                break
        names = []
        for line in text.splitlines():
            frame = re.match(r"^=?>?\s*\d+ 0x[0-9a-f]+ (\w+)", line.strip())
            if frame and frame.group(1) not in names:
                names.append(frame.group(1))
        return (what + (": " if what and names else "") + " < ".join(names[:6])).strip()

    def backtrace(self, windows_pid):
        """What the threads of a program that stopped answering are doing,
        its first thread's first functions as the trace."""
        m = self.monkey
        try:
            out = subprocess.run([m.wine.launcher, "winedbg", "--command", "bt all", "%d" % windows_pid],
                                 env=m.wine.env, capture_output=True, timeout=120, stdin=subprocess.DEVNULL)
            text = out.stdout.decode("utf-8", "replace")
        except subprocess.TimeoutExpired:
            text = "(winedbg did not answer)"
        # "bt all" goes through every process; only the program's threads.
        blocks = [b for b in text.split("Backtracing for thread ")
                  if re.match(r"\w+ in process 0*%x " % windows_pid, b, re.IGNORECASE)]
        with open(self.log_path, "a", encoding="utf-8") as f:
            f.write("\n--- the program stopped answering; its threads:\n" + "".join(blocks))
        names = []
        for line in (blocks[0] if blocks else "").splitlines():
            frame = re.match(r"^=?>?\s*\d+ 0x[0-9a-f]+ (\w+)", line.strip())
            if frame and frame.group(1) not in names:
                names.append(frame.group(1))
        return " < ".join(names[:6])

    def stop(self):
        if self.process and self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except OSError:
                pass
            self.process.wait()
        if getattr(self, "log", None):
            self.log.close()
