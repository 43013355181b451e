"""What the end-to-end cases stand on: the Wine session (prefix, Xvfb, probe),
case folders, the Tavrel window seen through the probe, the mouse and the
keyboard through xdotool, the registry and screenshots."""

import json
import os
import re
import selectors
import shutil
import subprocess
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
CONVERT = "/usr/bin/convert"  # ImageMagick itself

EUDC_KEY = r"EUDC\932"
FONT_VALUE = "SystemDefaultEUDCFont"
JOURNAL_KEY = r"Software\Tavrel\Journal"
RUNONCE_KEY = r"Software\Microsoft\Windows\CurrentVersion\RunOnce"
RUNONCE_VALUE = "!Tavrel"
FULL_ACCESS = "D:(A;;KA;;;WD)"  # an access list letting everyone do anything
WINDOWS_DIR = r"C:\windows"  # GetWindowsDirectory in a Wine prefix
REG_SZ, REG_EXPAND_SZ, REG_DWORD = 1, 2, 4

MAIN_CLASS = "TavrelMainWindow"


def version():
    """major.minor.revision as src/product/version.h, the one place it is defined, says."""
    text = (ROOT / "src" / "product" / "version.h").read_text(encoding="utf-8")
    part = {name: re.search(rf"#define TAVREL_VERSION_{name} (\d+)", text).group(1)
            for name in ("MAJOR", "MINOR", "REVISION")}
    return f"{part['MAJOR']}.{part['MINOR']}.{part['REVISION']}"


def shortcut_item():
    """The command id of Tavrel's item in its window's system menu, from src/shell/main_window.h."""
    text = (ROOT / "src" / "shell" / "main_window.h").read_text(encoding="utf-8")
    return int(re.search(r"kShortcutMenuId = (0x[0-9A-Fa-f]+);", text).group(1), 16)


CAPTION = f"Tavrel [ Ver.{version()} ]"
CLIENT_SIZE = [452, 207]  # at 96 DPI
WM_CLOSE, WM_QUERYENDSESSION, WM_ENDSESSION = 0x0010, 0x0011, 0x0016
WM_SYSCOMMAND, SC_RESTORE = 0x0112, 0xF120
WM_NCHITTEST, HTCLOSE = 0x0084, 20
BM_GETCHECK = 0x00F0
IDOK, IDYES, IDNO = 1, 6, 7

# Control ids of the main window.
FRAME1, CHK_EXIT, CMD_END, CMD_EXEC_SOFT, LABEL1_3 = 1000, 1001, 1002, 1003, 1004
LABEL3_0, LABEL1_0, LABEL3_1, LABEL1_1 = 1005, 1006, 1007, 1008
PROGRAM_PROMPT = "実行するソフトをDrag＆Dropしてください"
FONT_PROMPT = "ユーザー外字ファイルをDrag＆Dropしてください。"

# Wine's own processes, which come and go with the prefix, and the probe.
WINE_PROGRAMS = {"services.exe", "winedevice.exe", "plugplay.exe", "svchost.exe", "explorer.exe", "rpcss.exe",
                 "conhost.exe", "tavrel_probe.exe"}

TIMEOUT = 20  # seconds for anything a user would see happen


class ProbeError(Exception):
    pass


def wait_until(condition, what, timeout=TIMEOUT):
    """Polls condition() until it returns something true and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.1)


def wait_equal(get, expected, what, timeout=TIMEOUT):
    """Polls get() until it returns expected; says how it differed if never."""
    last = []

    def same():
        last[:] = [get()]
        return last[0] == expected

    try:
        wait_until(same, what, timeout)
    except AssertionError:
        raise AssertionError(f"{what} after {timeout} s: {difference(last[0], expected)}") from None


def expect(actual, expected, what):
    assert actual == expected, f"{what}: {difference(actual, expected)}"


def difference(actual, expected):
    """What differs, value by value for registry keys."""
    if isinstance(actual, dict) and isinstance(expected, dict):
        def value(values, name):
            return _readable_value(values[name]) if name in values else "missing"

        return "; ".join(f"{name!r} is {value(actual, name)}, expected {value(expected, name)}"
                         for name in {**expected, **actual} if actual.get(name) != expected.get(name))
    return f"got {readable(actual)}, expected {readable(expected)}"


def readable(value):
    """Registry keys with their text decoded, anything else as repr."""
    if isinstance(value, dict):
        return "{" + ", ".join(f"{name!r}: {_readable_value(v)}" for name, v in value.items()) + "}"
    return repr(value)


def _readable_value(value):
    if isinstance(value, tuple) and len(value) == 2 and isinstance(value[1], bytes):
        kind, data = value
        return f"{kind}/{text_of(data)!r}" if kind in (REG_SZ, REG_EXPAND_SZ) else f"{kind}/{data.hex()}"
    return repr(value)


def centre(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


def sz(text):
    """The bytes of a REG_SZ or REG_EXPAND_SZ holding text."""
    return text.encode("utf-16-le") + b"\0\0"


def text_of(data):
    """The text of REG_SZ bytes, without the terminator."""
    return data[:len(data) // 2 * 2].decode("utf-16-le", "replace").split("\0", 1)[0]


def texts(values):
    """A key's values as {name: (type, text)}, None for a missing key."""
    return None if values is None else {name: (kind, text_of(data)) for name, (kind, data) in values.items()}


def windows_path(path):
    """How Windows programs see a Unix path outside drive C: (on Z:)."""
    return "Z:" + str(path).replace("/", "\\")


class Probe:
    """tavrel_probe.exe, driven a line at a time."""

    def __init__(self, exe, env):
        self._process = subprocess.Popen(["wine", str(exe)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                         stderr=subprocess.DEVNULL, env=env)
        self._selector = selectors.DefaultSelector()
        self._selector.register(self._process.stdout, selectors.EVENT_READ)
        self._pending = b""

    def __call__(self, *fields, timeout=60):
        line = "\t".join(str(f).replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")
                         .replace("\r", "\\r") for f in fields)
        self._process.stdin.write(line.encode() + b"\n")
        self._process.stdin.flush()
        answer = json.loads(self._read_line(timeout, fields[0]))
        if not answer.pop("ok"):
            raise ProbeError(answer["error"])
        return answer

    def _read_line(self, timeout, command):
        deadline = time.monotonic() + timeout
        while b"\n" not in self._pending:
            left = deadline - time.monotonic()
            if left <= 0 or not self._selector.select(left):
                raise ProbeError(f"no answer to {command} within {timeout} s")
            chunk = os.read(self._process.stdout.fileno(), 65536)
            if not chunk:
                raise ProbeError(f"the probe ended while answering {command}")
            self._pending += chunk
        line, self._pending = self._pending.split(b"\n", 1)
        return line.decode()

    def alive(self):
        return self._process.poll() is None

    def close(self):
        if self.alive():
            try:
                self("quit", timeout=10)
            except (ProbeError, OSError):
                pass
        try:
            self._process.wait(10)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait()
        self._selector.close()


class Paths:
    """The programs and files the cases use, found in the Windows build folder."""

    def __init__(self, build):
        self.build = Path(build).resolve()
        self.tavrel = self.build / "src" / "tavrel.exe"
        self.font = self.build / "assets" / "sample.tte"
        self.viewer = self._find("eudcview.exe", "samples")
        self.probe = self._find("tavrel_probe.exe", "tests/e2e")
        self.noicon = self._find("noicon.exe", "tests/e2e")
        self.dragsource = self._find("dragsource.exe", "tests/e2e")
        self.planted = self._find("planted.dll", "tests/e2e")

    def _find(self, name, usual_folder):
        for folder, dirs, files in os.walk(self.build):
            # Not in CMake's own folders, nor in Wine prefixes or case folders
            # (which hold copies of the programs).
            dirs[:] = [d for d in dirs if d not in ("CMakeFiles", "googletest") and not d.startswith("wine-prefix")
                       and not (folder == str(self.build) and d == "e2e")]
            if name in files:
                return Path(folder) / name
        return self.build / usual_folder / name  # not there: missing() names it

    def missing(self):
        files = (self.tavrel, self.font, self.viewer, self.probe, self.noicon)
        return [str(p.relative_to(self.build)) for p in files if not p.is_file()]


@dataclass(frozen=True)
class Locale:
    """The Unix locale Wine runs in: lang gives the ANSI code page (and the UI
    language, unless messages names another)."""
    lang: str = "ja_JP.UTF-8"
    messages: str | None = None

    def tag(self):
        """A name for its prefix folder: "" for the usual Japanese session."""
        if self == Locale():
            return ""
        parts = [self.lang] + ([f"messages-{self.messages}"] if self.messages else [])
        return "-" + "-".join(re.sub(r"[^A-Za-z0-9]+", "_", part) for part in parts)

    def variables(self):
        """What scripts/wine-env takes it from."""
        return {"TAVREL_LANG": self.lang, "TAVREL_LC_MESSAGES": self.messages or ""}


JAPANESE = Locale()


class Sessions:
    """The Wine sessions of a run, one per locale and made when a case first
    needs it, of which one runs at a time: a wineserver keeps the locale it
    started with, and each session's virtual desktop covers the whole X screen."""

    def __init__(self, paths):
        self.paths = paths
        self.closed = False
        self._sessions = {}
        self.active = None

    def get(self, locale=JAPANESE):
        """The running session of locale; the one that ran before ends its Wine."""
        session = self._sessions.get(locale)
        if self.active is not None and self.active is not session:
            self.active.suspend()
        if session is None:
            session = self._sessions[locale] = Session(self.paths, locale)
        elif session is not self.active:
            session.resume()
        self.active = session
        return session

    def reset_wine(self):
        if self.active is not None:
            self.active.reset_wine()

    def close(self):
        if self.active is not None:
            self.active.close()
        self.closed = True


class Session:
    """One Wine prefix and one probe, for every case of one locale, on the X
    display the run was given (scripts/e2e starts the run on an Xvfb display
    of its own)."""

    def __init__(self, paths, locale=JAPANESE):
        self.paths = paths
        self.locale = locale
        self.closed = False
        self.env = self._start(locale)
        self.cases = Path(self.env["TAVREL_BUILD"]) / "e2e"
        self.prefix = Path(self.env["WINEPREFIX"])
        self.probe = Probe(paths.probe, self.env)
        self.metrics = self.probe("metrics")
        self.code_page = self.metrics["code_page"]
        self.last_click = None  # (time, x, y)

    @staticmethod
    def _start(locale):
        # scripts/wine-env says how Wine runs here; this layer keeps a prefix of
        # its own per locale, so that clearing it never hits another layer's run.
        if not os.environ.get("TAVREL_OWN_DISPLAY"):
            raise RuntimeError("the cases move the pointer: run them on a display of their own (scripts/e2e)")
        script = r'''
            . "$1/scripts/wine-env"
            export TAVREL_WINEPREFIX=${TAVREL_WINEPREFIX:-$TAVREL_BUILD/wine-prefix-e2e}$2
            . "$1/scripts/wine-env"
            export TAVREL_BUILD
            tavrel_wine_prefix
            env -0
        '''
        out = subprocess.run(["bash", "-c", script, "wine-env", str(ROOT), locale.tag()], check=True,
                             env={**os.environ, **locale.variables()},
                             stdout=subprocess.PIPE, stdin=subprocess.DEVNULL).stdout.decode()
        return dict(item.split("=", 1) for item in out.split("\0") if "=" in item)

    def eudc_key(self):
        """The EUDC key of the session's ANSI code page: the one programs see."""
        return rf"EUDC\{self.code_page}"

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, check=True, stdout=subprocess.PIPE,
                              timeout=30).stdout.decode()

    def check_probe(self):
        if not self.probe.alive():
            self.probe = Probe(self.paths.probe, self.env)

    def reset_wine(self):
        """Ends every Wine process of the prefix and starts a new probe."""
        self._end_wine()
        self.probe = Probe(self.paths.probe, self.env)

    def suspend(self):
        """Ends every Wine process of the prefix, for another session to run."""
        self._end_wine()

    def resume(self):
        self.probe = Probe(self.paths.probe, self.env)

    def _end_wine(self):
        self.probe.close()
        subprocess.run(["wineserver", "-k"], env=self.env, check=False)
        subprocess.run(["wineserver", "-w"], env=self.env, check=False, timeout=60)

    def case_processes(self):
        """The Windows processes the cases started: all but Wine's own and the probe."""
        return [p for p in self.probe("processes")["processes"] if p["image"].lower() not in WINE_PROGRAMS]

    def close(self):
        self._end_wine()
        self.closed = True


class Case:
    """One case: its folder, its programs and the user's hands."""

    def __init__(self, session, name):
        session.check_probe()
        self.session = session
        self.paths = session.paths
        self.env = session.env
        self.folder = session.cases / name
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir(parents=True)
        self._started = []
        self._drives = []
        self._denied = []
        # The key of the code page in use too, when it is not 932.
        self._registry = {key: self.read_key(key) for key in dict.fromkeys((EUDC_KEY, session.eudc_key()))}
        self.forget_journal()

    @property
    def probe(self):
        return self.session.probe

    # --- the case folder ---------------------------------------------------

    def lay_out(self, folder=None, tavrel="tavrel.exe", program="eudcview.exe", font="sample.tte"):
        """A folder as a user prepares it: Tavrel, a program and a font (None
        leaves one out). Returns the folder."""
        folder = self.folder / folder if folder else self.folder
        folder.mkdir(parents=True, exist_ok=True)
        for source, name in ((self.paths.tavrel, tavrel), (self.paths.viewer, program), (self.paths.font, font)):
            if name:
                self.copy(source, name, folder)
        return folder

    def copy(self, source, name, folder=None):
        target = (folder or self.folder) / name
        shutil.copy(source, target)
        return target

    def map_drive(self, letter, folder):
        """A drive letter of the prefix that stands for folder."""
        link = self.session.prefix / "dosdevices" / f"{letter.lower()}:"
        if link.is_symlink():
            link.unlink()
        link.symlink_to(folder)
        self._drives.append(link)

    # --- processes -----------------------------------------------------------

    def start(self, program, cwd=None, env=None, args=()):
        """Starts a Windows program as Explorer would, in the background, with
        args quoted where they hold blanks (as Explorer passes files dropped
        onto an icon). The sample program it starts in turn reports to
        report.txt."""
        process = subprocess.Popen(["wine", str(program), *map(str, args)], cwd=cwd or self.folder,
                                   env={**self.env, **self._report(), **(env or {})}, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._started.append(process)
        return process

    def _report(self):
        return {"EUDCVIEW_REPORT": windows_path(self.folder / "report.txt")}

    def start_command_line(self, command_line, folder, show=None):
        """Starts a Windows command line exactly as written, in folder, as a
        shortcut with that link target and working folder does (and with its
        run setting's show state, SW_*, when given); its pid."""
        variables = [f"{name}={value}" for name, value in self._report().items()]
        shown = [f"SHOW={show}"] if show is not None else []
        return self.probe("start", windows_path(folder), command_line, *variables, *shown)["pid"]

    def viewer_report(self):
        """Everything the sample program reported of its start."""
        report = self.folder / "report.txt"
        wait_until(report.is_file, "the sample program's report")
        return dict(line.split("=", 1) for line in report.read_text(encoding="utf-8").splitlines())

    def start_tavrel(self, exe=None, cwd=None, env=None, args=()):
        """Starts Tavrel and waits for its main window."""
        exe = exe or self.folder / "tavrel.exe"
        before = self.main_window_handles()
        self.start(exe, cwd=cwd or Path(exe).parent, env=env, args=args)
        return self.wait_tavrel(before)

    def main_window_handles(self):
        return {w["hwnd"] for w in self.main_windows()}

    def wait_tavrel(self, before=(), pid=None):
        """Waits for a main window of Tavrel that was not there before (of
        the process pid, if given)."""
        window = wait_until(lambda: [w for w in self.main_windows()
                                     if w["hwnd"] not in before and pid in (None, w["pid"])],
                            "Tavrel's main window")[0]
        return Tavrel(self, window)

    def viewer(self):
        """Waits for the sample program to start: the font setting it saw and
        its window."""
        report = self.folder / "report.txt"
        wait_until(report.is_file, "the sample program's report")
        fields = dict(line.split("=", 1) for line in report.read_text(encoding="utf-8").splitlines())
        pid = int(fields["pid"])
        self.process(pid)
        window = wait_until(lambda: self.windows(title="EUDC Viewer", pid=pid), "the EUDC Viewer window")[0]
        return fields["font"], window

    def processes(self, image=None):
        found = self.session.case_processes()
        return [p for p in found if image is None or p["image"].lower() == image.lower()]

    def process(self, pid):
        """Whether the process runs, and its exit code once it ended. The probe
        keeps every process asked about open, so ask while it runs to learn
        its exit code later."""
        return self.probe("process", pid)

    def wait_ended(self, pid, what, timeout=TIMEOUT):
        state = self.probe("wait", pid, int(timeout * 1000))
        assert not state["alive"], f"{what} still runs after {timeout} s"
        return state["exit_code"]

    # --- windows -------------------------------------------------------------

    def windows(self, title=None, contains=None, cls=None, pid=None, visible=True):
        found = self.probe("windows", pid) if pid else self.probe("windows")
        return [w for w in found["windows"]
                if (title is None or w["title"] == title)
                and (contains is None or contains.lower() in w["title"].lower())
                and (cls is None or w["class"] == cls)
                and (visible is None or w["visible"] == visible)]

    def main_windows(self):
        return self.windows(cls=MAIN_CLASS)

    def controls(self, hwnd):
        """Every descendant of a window by control id (first one wins)."""
        found = {}
        for control in self.probe("tree", hwnd)["controls"]:
            found.setdefault(control["id"], control)
        return found

    def message_box(self, title=None, pid=None):
        """The message box shown, if any: its window, its text and its buttons."""
        for box in self.windows(title=title, cls="#32770", pid=pid):
            controls = self.probe("tree", box["hwnd"])["controls"]
            text = [c["text"] for c in controls if c["class"] == "Static" and c["text"]]
            buttons = {c["id"]: c for c in controls if c["class"] == "Button"}
            return {**box, "text": text[0] if text else "", "buttons": buttons}
        return None

    def wait_message_box(self, title=None, pid=None):
        return wait_until(lambda: self.message_box(title, pid), f"a message box titled {title!r}")

    def send(self, hwnd, message, wparam=0, lparam=0, timeout_ms=10000):
        return self.probe("send", hwnd, message, wparam, lparam, timeout_ms)

    def post(self, hwnd, message, wparam=0, lparam=0):
        self.probe("post", hwnd, message, wparam, lparam)

    # --- the user's hands ----------------------------------------------------

    def xdotool(self, *args):
        return self.session.xdotool(*args)

    def click(self, control, window):
        """A left click at the centre of a control (or window) on screen, as
        soon as the pointer there is over the top-level window hwnd window."""
        self.click_at(*centre(control["rect"]), window)

    def click_at(self, x, y, window):
        self.point_at(x, y, window)
        self._not_a_double_click(x, y)
        self.xdotool("click", "1")
        self.session.last_click = (time.monotonic(), x, y)

    def _not_a_double_click(self, x, y):
        """Lets the double-click time pass after a click at the same spot, so
        that Windows sees two clicks, as from a user, not one double click."""
        if not self.session.last_click:
            return
        clicked, last_x, last_y = self.session.last_click
        width, height = self.session.metrics["double_click_size"]
        if abs(x - last_x) <= width and abs(y - last_y) <= height:
            pause = clicked + self.session.metrics["double_click_ms"] / 1000 + 0.1 - time.monotonic()
            if pause > 0:
                time.sleep(pause)

    def point_at(self, x, y, window):
        """Moves the pointer to x, y and waits until a click there would reach
        the top-level window hwnd window (and not one above it)."""
        here = dict(line.split("=", 1) for line in self.xdotool("getmouselocation", "--shell").split())
        if (here["X"], here["Y"]) == (str(x), str(y)):
            # Wine reads where a click lands from the last motion: a hand on
            # the mouse always moves it a little.
            self.xdotool("mousemove", "--sync", str(x - 1), str(y))
        self.xdotool("mousemove", "--sync", str(x), str(y))
        wait_until(lambda: self.probe("window_at", x, y)["root"] == window,
                   f"window {window} under the pointer at {x},{y}")

    def close_box(self, window):
        """The centre of a top-level window's close box, as the window itself
        tells it (WM_NCHITTEST) along the middle of its caption bar."""
        info = self.probe("window", window)["window"]
        left, top, right, _ = info["rect"]
        y = (top + info["origin"][1]) // 2
        hits = [x for x in range(right - 1, left, -1)
                if self.send(window, WM_NCHITTEST, 0, (y << 16) | x)["result"] == HTCLOSE]
        assert hits, f"no close box on the caption bar of window {window}"
        return (hits[0] + hits[-1]) // 2, y

    def key(self, *keys):
        self.xdotool("key", *keys)

    # --- the registry --------------------------------------------------------

    def read_key(self, key=None):
        """None for a missing key, else {name: (type, bytes)}; by default the
        EUDC key of the session's code page."""
        answer = self.probe("reg_read", key or self.session.eudc_key())
        if not answer["exists"]:
            return None
        return {v["name"]: (v["type"], bytes.fromhex(v["hex"])) for v in answer["values"]}

    def write_key(self, values, key=None):
        """Makes the key (by default the EUDC key of the session's code page)
        hold exactly values ({name: (type, bytes)}), or removes it for None."""
        key = key or self.session.eudc_key()
        self.probe("reg_delete_tree", key)
        if values is None:
            return
        self.probe("reg_create", key)
        for name, (kind, data) in values.items():
            self.probe("reg_set", key, name, kind, data.hex())

    def deny(self, key, sddl):
        """Gives HKCU\\key the access list sddl; the case's end gives full access back."""
        self._denied.append(key)
        self.probe("reg_dacl", key, sddl)

    def allow(self, key):
        self.probe("reg_dacl", key, FULL_ACCESS)

    def journal(self):
        """Tavrel's journal key ({name: (type, bytes)}), None when there is none."""
        return self.read_key(JOURNAL_KEY)

    def run_once(self):
        """The command line of Tavrel's RunOnce value, None when there is none."""
        value = (self.read_key(RUNONCE_KEY) or {}).get(RUNONCE_VALUE)
        return text_of(value[1]) if value else None

    def forget_journal(self):
        """No journal and no RunOnce value of Tavrel's, as on a machine that never ran it."""
        self.probe("reg_delete_tree", r"Software\Tavrel")
        if self.run_once() is not None:
            self.probe("reg_delete_value", RUNONCE_KEY, RUNONCE_VALUE)

    # --- the screen ----------------------------------------------------------

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", str(path)], env=self.env, check=True, timeout=60)
        return path

    def colours(self, rect):
        """How many pixels of each colour ("#RRGGBB") a screen rectangle holds."""
        shot = self.screenshot(self.folder / "shot.png")
        left, top, right, bottom = rect
        out = subprocess.run([CONVERT, str(shot), "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                              "+repage", "-depth", "8", "-format", "%c", "histogram:info:-"],
                             check=True, stdout=subprocess.PIPE, timeout=60).stdout.decode()
        counts = {}
        for line in out.splitlines():  # "   12: (  0,  0,255) #0000FF blue"
            count, rest = line.split(":", 1)
            colour = next(word for word in rest.split() if word.startswith("#"))
            counts[colour[:7].upper()] = int(count)
        return counts

    # --- the end of a case ---------------------------------------------------

    def finish(self):
        """Ends every process the case started and puts back what it changed."""
        self.session.check_probe()
        for process in self.session.case_processes():
            try:
                self.probe("kill", process["pid"])
                self.probe("wait", process["pid"], 10000)
            except ProbeError:
                pass
        for own in self.windows(cls="E2eForeignWindow", visible=None):
            self.probe("destroy_window", own["hwnd"])
        for process in self._started:
            try:
                process.wait(20)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        for link in self._drives:
            link.unlink(missing_ok=True)
        for key in self._denied:
            try:
                self.allow(key)
            except ProbeError:
                pass
        for key, values in self._registry.items():
            self.write_key(values, key)
        self.forget_journal()
        left = self.session.case_processes()
        assert not left, f"processes that would not end: {left}"


class Tavrel:
    """One running Tavrel, seen through its main window."""

    def __init__(self, case, window):
        self.case = case
        self.hwnd = window["hwnd"]
        self.pid = window["pid"]
        case.process(self.pid)

    def window(self):
        return self.case.probe("window", self.hwnd)["window"]

    def controls(self):
        return self.case.controls(self.hwnd)

    def control(self, control_id):
        return self.controls()[control_id]

    def text(self, control_id):
        return self.control(control_id)["text"]

    def enabled(self, control_id):
        return self.control(control_id)["enabled"]

    def checked(self, control_id):
        return self.case.send(self.control(control_id)["hwnd"], BM_GETCHECK)["result"] == 1

    def click(self, control_id):
        self.case.click(self.control(control_id), self.hwnd)

    def focus(self):
        """The control id that has the keyboard focus (0: none of ours)."""
        return self.case.probe("focus", self.hwnd)["focus_id"]

    def alive(self):
        return self.case.process(self.pid)["alive"]

    def normal(self):
        """Shown at its own size, neither minimised nor hidden."""
        window = self.window()
        return window["visible"] and not window["iconic"] and window["client"] == CLIENT_SIZE

    def restore(self):
        """Brings the window back as a click on its taskbar button would."""
        self.case.post(self.hwnd, WM_SYSCOMMAND, SC_RESTORE)
        wait_until(self.normal, "Tavrel's window restored")

    def wait_ended(self, what="Tavrel"):
        return self.case.wait_ended(self.pid, what)

    def message_box(self):
        return self.case.message_box(title="Tavrel", pid=self.pid)

    def wait_message_box(self):
        return self.case.wait_message_box(title="Tavrel", pid=self.pid)
