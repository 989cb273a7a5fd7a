"""Keeping missions that must not run from ever coming due: a save in the
editor, a start question answered Yes and a mission file loaded while the
scheduler runs are checked before they happen; a risky mission that turns
up anyway stops the scheduler and is deleted at once."""

import datetime
import os
import re
import time

from actions import click_on
from screen import (EDITOR_ADD, EDITOR_ADD_ON, EDITOR_DATE, EDITOR_REPEAT, EDITOR_TIME, IDNO, IDYES, NO_REPEAT,
                    PAGE_CAPTIONS, RISKY_KINDS, SAFE_PAGES, control_at, dangerous_rows, due_soon, kind_of, seconds_of)
from session import Failure

DELETE_QUESTION = "确定要删除该任务吗?"


class Guard:
    def __init__(self, monkey):
        self.m = monkey
        self.rng = monkey.rng
        self.probe = monkey.probe
        self.stops = 0
        self.withheld = 0

    def after(self, session, screen):
        """Stops the scheduler and deletes every mission that must not come due
        the moment one is in the table; the screen as it is then."""
        if not dangerous_rows(screen.rows):
            return screen
        if screen.running():
            self.probe.ask("stop")
            self.stops += 1
            self.m.event("guard stopped the scheduler", rows=dangerous_rows(screen.rows))
        for _ in range(40):
            screen = self.m.observe(session)
            self.m.check(session, screen)
            rows = dangerous_rows(screen.rows)
            if not rows:
                return screen
            front = screen.front()
            kind = kind_of(front) if front else "hidden"
            if kind == "main":
                self.probe.ask("select %d" % rows[0])
                action = {"k": "key", "keys": "ctrl+Delete", "ctx": "main"}
            elif kind == "msgbox":
                box = [b for b in screen.message_boxes() if b["h"] == front["h"]]
                yes = box and box[0]["text"] == DELETE_QUESTION and box[0]["buttons"].get(IDYES)
                no = box and box[0]["buttons"].get(IDNO)
                button = yes or no
                action = click_on(self.rng, front, button) if button else {"k": "key", "keys": "Return"}
                action["ctx"] = "msgbox"
            elif kind == "hidden":
                action = {"k": "click", "at": [screen.tray[2] - 11, (screen.tray[1] + screen.tray[3]) // 2],
                          "button": 1, "n": 2, "win": "tray", "ctx": "hidden"}
            else:
                action = {"k": "key", "keys": "Escape", "ctx": kind}
            self.m.perform(action)
            self.m.record(action, session, guard=True)
            time.sleep(0.4)
        raise Failure("guard", "could not remove a mission that must not come due")

    def instead(self, action, screen):
        """Turns an action that could let a risky mission come due into a
        harmless one; None when it may go ahead as it is."""
        ctx = action.get("ctx")
        if ctx == "msgbox" and action.get("answer") == "yes" and dangerous_rows(screen.rows):
            front = screen.front()
            box = [b for b in screen.message_boxes() if b["h"] == front["h"]]
            no = box and box[0]["buttons"].get(IDNO)
            return dict(click_on(self.rng, front, no), ctx=ctx, answer="no") if no else {"k": "key", "keys": "Escape",
                                                                                         "ctx": ctx}
        if ctx == "editor" and self.may_commit(action, screen) and not self.editor_safe(screen):
            return self.move_date_on(screen)
        if ctx == "filedlg" and self.may_confirm(action) and screen.running() and self.files_risky():
            return {"k": "key", "keys": "Escape", "ctx": ctx}
        return None

    def may_commit(self, action, screen):
        if action["k"] == "key":
            return action["keys"] in ("Return", "space", "KP_Enter")
        if action["k"] == "keys":
            return True
        if action["k"] == "click":
            editor = screen.find("editor")
            c = control_at(editor[0], *action["at"]) if editor else None
            return bool(c and c["cls"] == "Button" and c["id"] in (EDITOR_ADD, EDITOR_ADD_ON))
        return False

    def editor_safe(self, screen):
        editor = screen.find("editor")
        if not editor:
            return True
        ctrls = editor[0].get("ctrls", [])
        pages = [c["text"] for c in ctrls if c["cls"] == "HoravelEditorPanel" and c["text"] in PAGE_CAPTIONS]
        if pages and pages[0] in SAFE_PAGES:
            return True
        values = []
        for id_ in (EDITOR_DATE, EDITOR_TIME):
            picker = [c for c in ctrls if c["cls"] == "SysDateTimePick32" and c["id"] == id_]
            if not picker:
                return False
            values.append(self.probe.ask("picker %d" % picker[0]["h"]))
        (y, mo, d, _, _, _), (_, _, _, h, mi, s) = values[0]["st"], values[1]["st"]
        try:
            datetime.datetime(y, mo, d, h, mi, s)
        except ValueError:
            return False  # a value that is no date: nobody knows what would be saved
        repeat = [c["text"] for c in ctrls if c["cls"] == "ComboBox" and c["id"] == EDITOR_REPEAT]
        if repeat and repeat[0] != NO_REPEAT:
            # A repeating mission is dated on to its next occurrence, which
            # may be today whatever the date: safe only when it starts later.
            return datetime.date(y, mo, d) > datetime.date.today()
        return not due_soon("关闭计算机", "%d/%d/%d" % (y, mo, d), "%02d:%02d:%02d" % (h, mi, s))

    def move_date_on(self, screen):
        """Instead of saving a mission that could come due: the date picker's
        year one on."""
        self.withheld += 1
        editor = screen.find("editor")[0]
        picker = [c for c in editor.get("ctrls", []) if c["cls"] == "SysDateTimePick32" and c["id"] == EDITOR_DATE]
        if not picker:
            return {"k": "key", "keys": "Escape", "ctx": "editor"}
        r = picker[0]["r"]
        click = click_on(self.rng, editor, picker[0], point=[r[0] + 14, (r[1] + r[3]) // 2])
        return {"k": "click_key", "click": click, "keys": "Up", "ctx": "editor", "withheld": True}

    @staticmethod
    def may_confirm(action):
        if action["k"] == "key":
            return action["keys"] in ("Return", "KP_Enter", "space")
        return action["k"] in ("click", "click_type", "keys")

    def files_risky(self):
        """A mission file of the folder holds a risky mission at a time of day
        close ahead (loading it to today would date it today)."""
        now = datetime.datetime.now()
        second = now.hour * 3600 + now.minute * 60 + now.second
        for name in self.m.folder_files():
            try:
                with open(os.path.join(self.m.folder, name), "rb") as f:
                    text = f.read(4 << 20).decode("gbk", "replace")
            except OSError:
                continue
            for line in text.split("\r\n"):
                fields = re.split("[\ufffd$]", line)  # 0x80 does not decode
                if len(fields) >= 4 and fields[0] in RISKY_KINDS:
                    at = seconds_of(fields[3].strip())  # a repeating row's rule follows its time
                    if at is not None and second - 65 <= at <= second + 900:
                        return True
        return False
