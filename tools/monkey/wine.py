"""The monkey's Wine: a prefix of its own, the program in a folder of its own,
and the probe that looks at the program from inside the desktop.

Everything runs in the prefix under build/wine-monkey (HORAVEL_WINE_STATE), so
whatever the program does there (a power request ends every program of its
prefix) touches no other test run.
"""

import hashlib
import json
import os
import queue
import shutil
import subprocess
import threading
import time

# The virtual desktop every program of the prefix runs in, with a taskbar
# and a notification area; the screen's own coordinates are the desktop's.
DESKTOP = "1024x768"
# Programs the program may start that must not run here: wineboot carries out
# a power request (it would end every program of the prefix), winebrowser
# hands web and mail addresses to the host.
DISARMED = "wineboot.exe,winebrowser.exe=d"


class Wine:
    def __init__(self, root):
        self.root = root
        self.launcher = os.path.join(root, "cmake", "wine-launcher.sh")
        self.state = os.path.join(root, "build", "wine-monkey")
        self.env = dict(os.environ, HORAVEL_WINE_STATE=self.state)
        self.env.pop("DISPLAY", None)  # always our own Xvfb
        self.display = None

    def prepare(self):
        # A fresh start of the prefix, without what an earlier run left to
        # start with it.
        self.shutdown()
        self.forget_autostart()
        subprocess.run([self.launcher, "--prepare"], env=self.env, check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        self.display = subprocess.run([self.launcher, "--display"], env=self.env, check=True,
                                      capture_output=True, text=True).stdout.strip()
        marker = os.path.join(self.state, "monkey.ready")
        if not os.path.exists(marker):
            keys = [
                # One virtual desktop named "shell" (it has the taskbar) for
                # every program of the prefix, the probe included.
                ("HKCU\\Software\\Wine\\Explorer", "Desktop", "REG_SZ", "shell"),
                ("HKCU\\Software\\Wine\\Explorer\\Desktops", "shell", "REG_SZ", DESKTOP),
                # A crash writes its backtrace to a file instead of showing a
                # dialog; the monkey adds it to the session's log.
                ("HKCU\\Software\\Wine\\WineDbg", "ShowCrashDialog", "REG_DWORD", "0"),
                ("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug", "Debugger", "REG_SZ",
                 "C:\\windows\\system32\\cmd.exe /c C:\\windows\\system32\\winedbg.exe --auto %ld %ld"
                 " >>C:\\crash.txt 2>&1"),
            ]
            for key, name, kind, value in keys:
                subprocess.run([self.launcher, "reg", "add", key, "/v", name, "/t", kind, "/d", value, "/f"],
                               env=self.env, check=True, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            open(marker, "w").close()
        self.env["DISPLAY"] = self.display

    def forget_autostart(self):
        """The settings dialog may have told the prefix to start an earlier
        run's Horavel.exe with Windows: wineboot would start it beside this
        run's. Its registry files are edited while its server is down."""
        for name in ("system.reg", "user.reg"):
            path = os.path.join(self.state, "prefix", name)
            if not os.path.exists(path):
                continue
            with open(path, encoding="utf-8", errors="surrogateescape") as f:
                lines = f.readlines()
            section = ""
            kept = []
            for line in lines:
                if line.startswith("["):
                    section = line
                if not (section.startswith("[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run]")
                        and line.startswith('"Horavel"=')):
                    kept.append(line)
            if len(kept) != len(lines):
                with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
                    f.writelines(kept)

    def start(self, args, cwd, log, overrides=None):
        env = dict(self.env)
        if overrides:
            env["HORAVEL_WINE_OVERRIDES"] = overrides
        return subprocess.Popen([self.launcher] + args, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                stdout=log, stderr=subprocess.STDOUT, start_new_session=True)

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)

    def screenshot(self, path):
        subprocess.run([self.launcher, "--screenshot", path], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)

    def end_programs(self):
        """Ends every program of the monkey's prefix (all of them ours)."""
        subprocess.run([os.environ.get("WINESERVER", "wineserver"), "-k"],
                       env=dict(self.env, WINEPREFIX=os.path.join(self.state, "prefix")),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def shutdown(self):
        subprocess.run([self.launcher, "--shutdown"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class ProbeDied(Exception):
    pass


class Probe:
    """tools/monkey/probe.cpp, one process for the whole run: a line in, a
    line of JSON out."""

    def __init__(self, wine, exe, log):
        self.wine, self.exe, self.log = wine, exe, log
        self.process = None

    def _start(self):
        self.process = subprocess.Popen([self.wine.launcher, self.exe], env=self.wine.env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=self.log, start_new_session=True)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, args=(self.process, self.lines), daemon=True).start()

    @staticmethod
    def _read(process, lines):
        for line in iter(process.stdout.readline, b""):
            lines.put(line)
        lines.put(None)

    def ask(self, command, timeout=30):
        for attempt in range(2):
            if self.process is None or self.process.poll() is not None:
                self._start()
            try:
                self.process.stdin.write((command + "\n").encode("utf-8"))
                self.process.stdin.flush()
                line = self.lines.get(timeout=timeout)
                if line is not None:
                    return json.loads(line.decode("utf-8", "replace"))
            except (BrokenPipeError, queue.Empty, ValueError):
                pass
            self.close()
        raise ProbeDied(command)

    def close(self):
        if self.process is not None:
            try:
                self.process.kill()
            except OSError:
                pass
            self.process = None

    def state(self, timeout_ms=5000):
        return self.ask("state %d" % timeout_ms, timeout=timeout_ms / 1000 + 30)

    def rows(self):
        return self.ask("rows")

    def type(self, text):
        return self.ask("type " + text.encode("utf-8").hex(), timeout=120)

    def clip(self, text):
        return self.ask("clip " + text.encode("utf-8").hex())

    def send(self, window, message, wparam=0, lparam=0):
        return self.ask("send %d %d %d %d" % (window, message, wparam, lparam)).get("result")


def file_digest(path):
    try:
        with open(path, "rb") as f:
            return hashlib.sha1(f.read()).hexdigest()
    except FileNotFoundError:
        return None


def copy_folder(source, target):
    if os.path.exists(target):
        shutil.rmtree(target)
    shutil.copytree(source, target)


def wait_until(predicate, seconds, step=0.2):
    end = time.time() + seconds
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()
