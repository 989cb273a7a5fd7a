"""What the probe saw, read the way the monkey needs it: which window is in
front, what kind it is, its controls, and the program's missions."""

import datetime

# Kinds whose missions must never come due while the monkey runs: the power
# actions, and everything that starts a program or hands something to the
# host. Reminders and the ring may fire.
RISKY_KINDS = {"关闭计算机", "重启计算机", "注销计算机", "锁定计算机", "关闭显示器", "计算机睡眠", "计算机休眠",
               "执行程序", "打开文件", "打开网页", "发送邮件"}
SAFE_PAGES = {"提示消息", "系统响铃"}
PAGE_CAPTIONS = ["关闭重启", "执行程序", "打开文件", "提示消息", "系统响铃", "打开网页", "发送邮件"]
START_QUESTIONS = {"是否立刻开始执行已设定任务?", "任务已经设定,是否立刻开始执行?"}

# Controls of the system's message box and file dialogs.
MSGBOX_TEXT, MSGBOX_ICON = 0xFFFF, 0x0440
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
FILE_NAME_BOX, FILE_TYPE_BOX = 0x47C, 0x470

# The program's own command ids that matter here.
TOOLBAR_START, TOOLBAR_STOP = 1004, 1006
EDITOR_ADD_ON, EDITOR_ADD = 101, 102
EDITOR_DATE, EDITOR_TIME, EDITOR_REPEAT = 306, 307, 308
NO_REPEAT = "不重复"
SET_CLOCK_BUTTON = "设定"

SS_TYPEMASK, SS_ICON = 0x1F, 0x03
TBSTATE_ENABLED = 4

OWN_CLASSES = {"TForm1": "main", "TfrmMis": "editor", "TfrmSetup": "setup", "TfrmSystemTime": "systime",
               "TfrmEveryDayMis": "daily", "TfrmAbout": "about", "TfrmShengji": "history", "TfrmTishi": "popup",
               "TfrmHistory": "records", "TfrmMissed": "missed", "TfrmNotice": "notice",
               "SysMonthCal32": "calendar", "ComboLBox": "droplist", "#32768": "menu"}
IGNORED_CLASSES = {"HoravelApplication", "tooltips_class32", "IME", "Default IME"}


def kind_of(window):
    cls = window["cls"]
    if cls == "#32770":
        ids = {c["id"] for c in window.get("ctrls", [])}
        classes = {c["cls"] for c in window.get("ctrls", [])}
        if FILE_NAME_BOX in ids or "SHELLDLL_DefView" in classes:
            return "filedlg"
        return "msgbox"
    return OWN_CLASSES.get(cls)


def inside(rect, x, y):
    return rect[0] <= x < rect[2] and rect[1] <= y < rect[3]


def area(rect):
    return max(0, rect[2] - rect[0]) * max(0, rect[3] - rect[1])


class Screen:
    def __init__(self, state, rows=None, toolbar=None):
        self.state = state
        self.main = state.get("main", 0)
        self.pid = state.get("pid", 0)
        self.alive = state.get("alive", False)
        self.answer = state.get("answer", -1)
        self.active = state.get("active", 0)
        self.focus = state.get("focus", 0)
        self.focus_class = state.get("focuscls", "")
        self.focus_id = state.get("focusid", 0)
        self.tray = state.get("tray")
        self.windows = []
        self.foreign = []
        for w in state.get("wins", []):
            if w["cls"] in IGNORED_CLASSES:
                continue
            if w["pid"] == self.pid and self.pid:
                if area(w["r"]) > 4:
                    self.windows.append(w)
            elif w["cls"] not in ("#32769",):
                self.foreign.append(w)
        self.rows = rows.get("rows") if rows else None
        self.selected = rows.get("selected", -1) if rows else -1
        self.buttons = {b[0]: b[1] for b in (toolbar or {}).get("buttons", [])}

    # The window the user's keys go to now.
    def front(self):
        for kind in ("menu", "calendar", "droplist"):
            for w in self.windows:
                if kind_of(w) == kind:
                    return w
        for w in self.windows:
            if w["h"] == self.active:
                return w
        for w in self.windows:
            if w["en"] and kind_of(w):
                return w
        return None

    def front_kind(self):
        w = self.front()
        return kind_of(w) if w else "hidden"

    def find(self, kind):
        return [w for w in self.windows if kind_of(w) == kind]

    def main_visible(self):
        return any(w["h"] == self.main for w in self.windows)

    def running(self):
        """The scheduler's timer runs: Start is disabled, Stop enabled."""
        start, stop = self.buttons.get(TOOLBAR_START), self.buttons.get(TOOLBAR_STOP)
        if start is None or stop is None:
            return True  # unknown: assume the worst
        return not (start & TBSTATE_ENABLED) and bool(stop & TBSTATE_ENABLED)

    def message_boxes(self):
        out = []
        for w in self.windows:
            if kind_of(w) != "msgbox":
                continue
            text = ""
            icon = None  # the static that would show the icon; it is there even without one
            buttons = {}
            for c in w.get("ctrls", []):
                if c["cls"].lower() == "static":
                    if c["id"] == MSGBOX_TEXT:
                        text = c["text"]
                    if c["id"] == MSGBOX_ICON or (c["style"] & SS_TYPEMASK) == SS_ICON:
                        icon = c["h"]
                elif c["cls"].lower() == "button":
                    buttons[c["id"]] = c
            out.append({"h": w["h"], "title": w["title"], "text": text, "icon": icon, "buttons": buttons})
        return out


def control_at(window, x, y):
    """The smallest visible control of the window under the point."""
    best = None
    for c in window.get("ctrls", []):
        if inside(c["r"], x, y) and (best is None or area(c["r"]) < area(best["r"])):
            best = c
    return best


def today_text(now=None):
    now = now or datetime.datetime.now()
    return "%d/%d/%d" % (now.year, now.month, now.day)


def seconds_of(time_text):
    try:
        h, m, s = (int(p) for p in time_text.split(":"))
        return h * 3600 + m * 60 + s
    except ValueError:
        return None


def due_soon(kind, date_text, time_text, now=None, slack=65):
    """A mission of a risky kind that the scheduler could still fire today:
    dated today, at a second no more than a minute behind the clock (a busy
    program catches up that far)."""
    now = now or datetime.datetime.now()
    if kind not in RISKY_KINDS or date_text != today_text(now):
        return False
    at = seconds_of(time_text)
    if at is None:
        return False
    return at >= now.hour * 3600 + now.minute * 60 + now.second - slack


def dangerous_rows(rows, now=None):
    return [i for i, r in enumerate(rows or []) if due_soon(r[0], r[2], r[3], now)]
