"""What a careless user does: random but plausible input, chosen by the
window in front. Every action is a small dict that can be carried out again
from the log alone (keys, text, a click on a control of a window kind)."""

import string

from screen import (FILE_NAME_BOX, FILE_TYPE_BOX, IDCANCEL, IDNO, IDOK, IDYES, SET_CLOCK_BUTTON, START_QUESTIONS,
                    control_at, kind_of)

CHINESE = ("任务提示消息执行程序打开文件网页邮件关闭计算机重启注销时间日期今天明天每日起床吃饭休息下班眼晴远处"
           "系统设置主题整点报时保存加载测试中文输入随机猴子点击窗口按钮菜单列表托盘图标的了是在有我你他好")
PUNCTUATION = " ,.!?-_()[]{}'\"@#%&*+=;~`$€"  # '$' and '€' (0x80 in code page 936) are the files' separators

# Keys anywhere, and keys for lists, pickers and menus.
COMMON_KEYS = ["Return", "Escape", "Tab", "shift+Tab", "Up", "Down", "Left", "Right", "Home", "End", "Prior", "Next",
               "Delete", "BackSpace", "space", "F10", "shift+F10", "Menu", "alt+F4", "ctrl+a", "ctrl+c", "ctrl+v",
               "ctrl+x", "ctrl+z", "F1", "F2", "F5", "KP_Add", "KP_Subtract"]
MAIN_KEYS = ["ctrl+Insert", "ctrl+Delete", "ctrl+s", "ctrl+o", "ctrl+alt+o", "alt+s", "alt+m", "alt+c", "alt+h",
             "alt+s", "alt+m", "alt+c", "Return", "Delete", "Down", "Up", "shift+F10", "Menu", "F10"]
MENU_KEYS = ["Down", "Down", "Up", "Left", "Right", "Return", "Escape", "Down", "Return"]
PICKER_KEYS = ["Up", "Down", "Left", "Right", "Home", "End", "KP_Add", "KP_Subtract", "F4", "alt+Down", "BackSpace",
               "Delete", "space"]
# In the system time dialog no key may press "设定": no Return, Space, Tab
# or Alt key there.
CLOCK_SAFE_KEYS = ["Up", "Down", "Left", "Right", "Home", "End", "Prior", "Next", "KP_Add", "KP_Subtract", "Escape"]


def weighted(rng, choices):
    total = sum(w for w, _ in choices)
    pick = rng.uniform(0, total)
    for w, value in choices:
        pick -= w
        if pick <= 0:
            return value
    return choices[-1][1]


class Words:
    """Texts a user types: short words, Chinese, long pastes, digits, and
    paths, always inside the monkey's own folder."""

    def __init__(self, rng, folder_windows):
        self.rng = rng
        self.folder = folder_windows  # e.g. Z:\work\...\folder

    def short(self):
        rng = self.rng
        alphabet = string.ascii_letters + string.digits + CHINESE * 2 + PUNCTUATION
        return "".join(rng.choice(alphabet) for _ in range(rng.randint(1, 24)))

    def chinese(self):
        return "".join(self.rng.choice(CHINESE) for _ in range(self.rng.randint(1, 30)))

    def digits(self):
        return "".join(self.rng.choice(string.digits) for _ in range(self.rng.randint(1, 40)))

    def run_of_digits(self):
        # A key held down, or a long number typed in the wrong place.
        rng = self.rng
        return "".join(rng.choice(string.digits * 5 + "/: -" + CHINESE[:10]) for _ in range(rng.randint(50, 800)))

    def lines(self):
        return "\r".join(self.short() for _ in range(self.rng.randint(2, 6)))

    def long(self):
        rng = self.rng
        alphabet = string.ascii_letters + string.digits * 4 + CHINESE + " \r" + PUNCTUATION
        return "".join(rng.choice(alphabet) for _ in range(rng.randint(1000, 5000)))

    def name(self, extension=None):
        rng = self.rng
        stem = weighted(rng, [(3, lambda: "".join(rng.choice(string.ascii_lowercase) for _ in range(rng.randint(1, 12)))),
                              (2, lambda: "".join(rng.choice(CHINESE) for _ in range(rng.randint(1, 8)))),
                              (1, lambda: "任务 " + str(rng.randint(1, 99)))])()
        extension = extension if extension is not None else rng.choice([".mis", ".mis", ".txt", ".exe", ".wav", ""])
        return stem + extension

    def path(self, existing=()):
        rng = self.rng
        choice = weighted(rng, [(4, "new"), (3, "existing"), (2, "long"), (1, "bare")])
        if choice == "existing" and existing:
            return self.folder + "\\" + rng.choice(sorted(existing))
        if choice == "long":
            # A name that makes the whole path longer than 260 characters.
            length = rng.randint(262 - len(self.folder), 330 - len(self.folder))
            stem = "".join(rng.choice(string.ascii_lowercase + CHINESE) for _ in range(length))
            return self.folder + "\\" + stem + rng.choice([".mis", ""])
        if choice == "bare":
            return self.name()
        return self.folder + "\\" + self.name()

    def any_text(self):
        return weighted(self.rng, [(5, self.short), (3, self.chinese), (2, self.digits), (1, self.lines),
                                   (1, self.long)])()


def point_in(rng, rect, margin=2):
    left, top, right, bottom = rect
    if right - left <= 2 * margin or bottom - top <= 2 * margin:
        return [(left + right) // 2, (top + bottom) // 2]
    return [rng.randint(left + margin, right - margin - 1), rng.randint(top + margin, bottom - margin - 1)]


def click_on(rng, window, control, button=1, count=1, point=None):
    rect = control["r"] if control else window["r"]
    at = point or point_in(rng, rect)
    action = {"k": "click", "at": at, "button": button, "n": count, "win": kind_of(window) or window["cls"],
              "title": window["title"]}
    if control:
        width = max(1, rect[2] - rect[0])
        height = max(1, rect[3] - rect[1])
        action["ctrl"] = [control["cls"], control["id"], control["text"][:40]]
        action["rel"] = [round((at[0] - rect[0]) / width, 3), round((at[1] - rect[1]) / height, 3)]
    return action


def visible_controls(window, classes=None, exclude=None):
    out = []
    for c in window.get("ctrls", []):
        if not c["en"] or c["r"][2] - c["r"][0] < 2 or c["r"][3] - c["r"][1] < 2:
            continue
        if classes and c["cls"] not in classes:
            continue
        if exclude and exclude(c):
            continue
        out.append(c)
    return out


class Generator:
    def __init__(self, rng, words, files):
        self.rng = rng
        self.words = words
        self.files = files  # callable: names of the files in the folder

    def next(self, screen):
        front = screen.front()
        kind = kind_of(front) if front else "hidden"
        make = getattr(self, "on_" + (kind or "other"), self.on_other)
        action = make(screen, front)
        action.setdefault("ctx", kind or (front["cls"] if front else "hidden"))
        return action

    # Between the kinds of window.
    def key(self, keys):
        return {"k": "key", "keys": keys}

    def wait(self):
        return {"k": "wait", "s": round(self.rng.uniform(1, 12), 1)}

    def type(self, text):
        return {"k": "type", "text": text}

    def paste(self, text):
        return {"k": "paste", "text": text}

    def random_click(self, window, exclude=None, classes=None):
        rng = self.rng
        controls = visible_controls(window, classes, exclude)
        if controls and rng.random() < 0.8:
            c = rng.choice(controls)
            return click_on(rng, window, c, button=weighted(rng, [(8, 1), (2, 3)]),
                            count=weighted(rng, [(8, 1), (2, 2)]))
        for _ in range(10):
            at = point_in(rng, window["r"], 4)
            c = control_at(window, *at)
            if not (c and exclude and exclude(c)):
                return click_on(rng, window, c, point=at)
        return self.key("Escape")

    def on_hidden(self, screen, front):
        # The main window is in the notification area: its icon, or wait.
        rng = self.rng
        if not screen.tray or rng.random() < 0.1:
            return self.wait()
        left, top, right, bottom = screen.tray
        at = [right - 11, (top + bottom) // 2]
        return {"k": "click", "at": at, "button": weighted(rng, [(5, 1), (3, 3)]),
                "n": weighted(rng, [(3, 2), (2, 1)]), "win": "tray", "title": ""}

    def on_main(self, screen, w):
        rng = self.rng
        return weighted(rng, [
            (30, lambda: self.key(rng.choice(MAIN_KEYS))),
            (35, lambda: self.random_click(w)),
            (12, self.menu_walk),
            (5, lambda: self.key(rng.choice(COMMON_KEYS))),
            (4, lambda: self.type(self.words.short())),
            (3, self.wait),
            (3, lambda: self.tray_click(screen)),
            (2, lambda: self.caption_button(w)),
        ])()

    def tray_click(self, screen):
        if not screen.tray:
            return self.wait()
        left, top, right, bottom = screen.tray
        return {"k": "click", "at": [right - 11, (top + bottom) // 2], "button": weighted(self.rng, [(1, 1), (1, 3)]),
                "n": 1, "win": "tray", "title": ""}

    def caption_button(self, w):
        # Minimise, maximise or close, on the caption at the right.
        left, top, right, bottom = w["r"]
        which = self.rng.choice([50, 34, 16])
        return {"k": "click", "at": [right - which + 4, top + 12], "button": 1, "n": 1, "win": kind_of(w),
                "title": w["title"]}

    def on_menu(self, screen, w):
        rng = self.rng
        if rng.random() < 0.5:
            return self.key(rng.choice(MENU_KEYS))
        left, top, right, bottom = w["r"]
        return {"k": "click", "at": [rng.randint(left + 5, right - 5), rng.randint(top + 3, bottom - 3)],
                "button": 1, "n": 1, "win": "menu", "title": ""}

    def on_editor(self, screen, w):
        rng = self.rng
        editable = ("Edit", "ComboBox")
        return weighted(rng, [
            (30, lambda: self.random_click(w)),
            (12, lambda: self.typing_into(w, editable)),
            (14, lambda: self.picker_input(w)),
            (8, lambda: self.key(rng.choice(COMMON_KEYS))),
            (5, lambda: self.paste(self.words.any_text())),
            (4, lambda: self.type(self.words.any_text())),
            (4, lambda: self.tab_and_type()),
            (3, lambda: self.key("Escape")),
            (2, self.wait),
        ])()

    def tab_and_type(self):
        # From field to field with the keyboard, typing into each, at times
        # a long text.
        rng = self.rng
        text = self.words.long() if rng.random() < 0.3 else self.words.any_text()
        return {"k": "keys_type", "keys": [rng.choice(["Tab", "Tab", "shift+Tab"]) for _ in range(rng.randint(1, 3))],
                "text": text}

    def menu_walk(self):
        # A menu of the menu bar, down some items, and Return.
        rng = self.rng
        return {"k": "keys", "seq": [rng.choice(["alt+s", "alt+s", "alt+m", "alt+c", "alt+h"])] +
                ["Down"] * rng.randint(0, 8) + ["Return"]}

    def typing_into(self, w, classes):
        rng = self.rng
        controls = visible_controls(w, classes)
        if not controls:
            return self.type(self.words.short())
        c = rng.choice(controls)
        # A file name field takes paths in the monkey's folder.
        parent = [p for p in w.get("ctrls", []) if p["h"] == c["parent"]]
        is_path = parent and parent[0]["cls"] == "HoravelFileNameEdit"
        text = self.words.path(self.files()) if is_path else self.words.any_text()
        return {"k": "click_type", "click": click_on(rng, w, c), "text": text,
                "paste": rng.random() < 0.3}

    def picker_input(self, w):
        rng = self.rng
        pickers = visible_controls(w, ("SysDateTimePick32",))
        if not pickers:
            return self.key(rng.choice(PICKER_KEYS))
        return weighted(rng, [
            (4, lambda: self.type(self.words.digits())),
            (3, lambda: self.key(rng.choice(PICKER_KEYS))),
            (3, lambda: click_on(rng, w, rng.choice(pickers))),
            (2, lambda: self.type(self.words.short())),
            (2, lambda: self.type(self.words.run_of_digits())),
            (1, lambda: self.paste(self.words.any_text())),
        ])()

    def on_calendar(self, screen, w):
        rng = self.rng
        if rng.random() < 0.3:
            return self.key(rng.choice(["Escape", "Return", "Left", "Right", "Up", "Down", "Prior", "Next"]))
        return self.random_click(w)

    def on_droplist(self, screen, w):
        rng = self.rng
        if rng.random() < 0.4:
            return self.key(rng.choice(["Return", "Escape", "Up", "Down"]))
        return self.random_click(w)

    def on_msgbox(self, screen, w):
        rng = self.rng
        box = [b for b in screen.message_boxes() if b["h"] == w["h"]]
        buttons = box[0]["buttons"] if box else {}
        if box and box[0]["text"] in START_QUESTIONS:
            # Answered by the guard's rule: Yes only when nothing risky is due.
            answer = IDYES if rng.random() < 0.5 else IDNO
            button = buttons.get(answer) or buttons.get(IDNO)
            action = click_on(rng, w, button) if button else self.key("Escape")
            action["answer"] = "yes" if answer == IDYES else "no"
            return action
        return weighted(rng, [
            (5, lambda: self.random_click(w, classes=("Button",))),
            (3, lambda: self.key(rng.choice(["Return", "Escape", "space", "Tab", "Left", "Right", "alt+F4"]))),
            (1, lambda: self.random_click(w)),
        ])()

    def on_filedlg(self, screen, w):
        rng = self.rng
        name_box = [c for c in w.get("ctrls", []) if c["id"] == FILE_NAME_BOX and c["cls"] == "ComboBox"]
        buttons = [c for c in w.get("ctrls", []) if c["id"] in (IDOK, IDCANCEL) and c["cls"] == "Button"]
        type_box = [c for c in w.get("ctrls", []) if c["id"] == FILE_TYPE_BOX]
        choices = [
            (8, lambda: self.key(rng.choice(["Return", "Escape", "Return"]))),
            (5, lambda: self.type(self.words.path(self.files()))),
            (2, lambda: self.key(rng.choice(["ctrl+a", "BackSpace", "Home", "End", "Left"]))),
        ]
        if name_box:
            choices.append((8, lambda: {"k": "click_type", "click": click_on(rng, w, name_box[0]),
                                        "text": self.words.path(self.files()), "select_all": True,
                                        "paste": rng.random() < 0.3}))
        if buttons:
            choices.append((5, lambda: click_on(rng, w, rng.choice(buttons))))
        if type_box:
            choices.append((1, lambda: click_on(rng, w, type_box[0])))
        return weighted(rng, choices)()

    def on_setup(self, screen, w):
        rng = self.rng
        return weighted(rng, [
            (6, lambda: self.random_click(w)),
            (3, lambda: self.key(rng.choice(["Return", "Escape", "space", "Tab", "Up", "Down", "alt+Down"]))),
        ])()

    def on_systime(self, screen, w):
        rng = self.rng

        def never_set(c):
            return c["cls"] == "Button" and c["text"].startswith(SET_CLOCK_BUTTON)
        safe = [c for c in visible_controls(w, exclude=never_set) if c["cls"] != "Button" or c["text"] == "关闭"]
        return weighted(rng, [
            (6, lambda: click_on(rng, w, rng.choice(safe)) if safe else self.key("Escape")),
            (4, lambda: self.key(rng.choice(CLOCK_SAFE_KEYS))),
            (3, lambda: self.type(self.words.digits())),
            (2, lambda: self.key("Escape")),
        ])()

    def on_daily(self, screen, w):
        rng = self.rng
        return weighted(rng, [
            (6, lambda: self.random_click(w)),
            (3, lambda: self.key(rng.choice(["Return", "Escape", "Delete", "Up", "Down", "space", "Tab"]))),
        ])()

    def on_about(self, screen, w):
        rng = self.rng
        return weighted(rng, [(5, lambda: self.random_click(w)),
                              (3, lambda: self.key(rng.choice(["Return", "Escape", "space", "Tab", "alt+o"])))])()

    on_history = on_about

    def on_popup(self, screen, w):
        if self.rng.random() < 0.5:
            return self.wait()
        return self.random_click(w)

    def on_other(self, screen, w):
        if w is None:
            return self.wait()
        return weighted(self.rng, [(3, lambda: self.key("Escape")), (2, lambda: self.random_click(w)),
                                   (1, self.wait)])()
