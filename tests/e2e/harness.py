"""Drives the real mirabolo binary on a private X server.

Each test case gets its own Xvfb, its own scratch HOME and data directory and
its own program instance; everything it started is killed in the clean-up,
whatever happened. The program is read through the accessibility tree (what a
screen reader sees) and through screenshots, and driven with real X key and
mouse events from xdotool.
"""

import atexit
import datetime
import locale
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import xml.etree.ElementTree as ElementTree
from decimal import Decimal

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, Gio, GLib
except (ImportError, ValueError) as error:  # checked again by run_e2e.py
    Atspi = None
    GI_ERROR = error
else:
    GI_ERROR = None

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))
FORM_FILE = os.environ.get("MIRABOLO_FORM", os.path.join(SOURCE_DIR, "src", "ui", "tavola.ui"))

REQUIRED_TOOLS = ("Xvfb", "setxkbmap", "xdotool", "import")

# Polling: short enough to keep the suite quick, long enough not to hog a core.
POLL_INTERVAL = 0.03
DEFAULT_TIMEOUT = 15.0

UNITS = ("ml", "cl", "dl", "l", "dal", "hl")

# Texts the pupil meets, exactly as the game shows them.
NAME_PROMPT = "Come ti chiami?"
GREETING_TAIL = " vediamo se sei un vero campione  "
RIGHT_MESSAGE = "Esatto. Sei proprio ok!!!"
WRONG_MESSAGE = "Sbagliato!! "
NEW_GAME_TITLE = "INIZIARE NUOVA GARA"
NEW_GAME_PROMPT = "INIZIAMO UNA NUOVA GARA  ?"
NEW_RECORD_MESSAGE = 'Ok ho registrato il tuo record, C A M P I O N E"'
APP_TITLE = "Mirabolo"
WINDOW_CAPTION = "Giocare con le brunaste"

CANVAS_SIZE = (792, 554)

# Letters with a key of their own on the Italian keyboard, by X key name.
ITALIAN_KEYS = {"à": "agrave", "è": "egrave", "é": "eacute", "ì": "igrave", "ò": "ograve", "ù": "ugrave"}

# Set by run_e2e.py inside the dbus-run-session it starts.
PRIVATE_BUS_MARKER = "MIRABOLO_E2E_PRIVATE_BUS"


def missing_prerequisites():
    """What this machine lacks to run the suite, as a list of readable reasons."""
    reasons = []
    for tool in REQUIRED_TOOLS:
        if shutil.which(tool) is None:
            reasons.append("program %s" % tool)
    if GI_ERROR is not None:
        reasons.append("PyGObject with Atspi 2.0 (%s)" % GI_ERROR)
    if not os.path.exists("/usr/libexec/at-spi-bus-launcher") and shutil.which("at-spi-bus-launcher") is None:
        reasons.append("at-spi-bus-launcher (package at-spi2-core)")
    try:
        previous = locale.setlocale(locale.LC_ALL)
        locale.setlocale(locale.LC_ALL, "it_IT.UTF-8")
        locale.setlocale(locale.LC_ALL, previous)
    except locale.Error:
        reasons.append("the it_IT.UTF-8 locale (enable it in /etc/locale.gen, run locale-gen)")
    return reasons


def expected_answer(quantity, source, target):
    """The answer text for `quantity source` converted into `target`, as a pupil
    under Italian settings must type it: comma, no trailing zeros, no grouping,
    never an exponent."""
    value = Decimal(quantity).scaleb(UNITS.index(source) - UNITS.index(target))
    text = format(value, "f")
    if "." in text:
        text = text.rstrip("0").rstrip(".")
    return text.replace(".", ",")


def read_form_geometry(path=FORM_FILE):
    """Object name -> (x, y, width, height) of every widget on the canvas."""
    geometry = {}
    for widget in ElementTree.parse(path).iter("widget"):
        rect = widget.find("./property[@name='geometry']/rect")
        if rect is None or widget.get("class") in ("QMainWindow", "QMenuBar", "QMenu", "QStatusBar"):
            continue
        geometry[widget.get("name")] = tuple(int(rect.find(k).text) for k in ("x", "y", "width", "height"))
    return geometry


def ere_escape(text):
    """`text` as a POSIX extended regular expression matching itself."""
    return re.sub(r"([.^$*+?()\[\]{}|\\])", r"\\\1", text)


class WaitTimeout(AssertionError):
    pass


def wait_for(predicate, timeout=DEFAULT_TIMEOUT, what="condition", interval=POLL_INTERVAL):
    """Polls `predicate` until it returns something truthy and returns that.

    Errors from the accessibility bus while the program is changing (an
    object gone between two calls) count as "not yet". `what` may be a
    callable, asked only when the wait has failed."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        try:
            result = predicate()
            if result:
                return result
            last = result
        except GLib.Error as error:
            last = error
        if time.monotonic() >= deadline:
            if callable(what):
                try:
                    what = what()
                except GLib.Error as error:
                    what = "? (%s)" % error
            raise WaitTimeout("timed out after %.1f s waiting for %s (last: %r)" % (timeout, what, last))
        time.sleep(interval)


# ---------------------------------------------------------------------------
# Processes
# ---------------------------------------------------------------------------

# Every process group and scratch folder a case made and has not cleaned up
# yet. Ctrl+C or a CTest time-out skips unittest's clean-ups; these must not
# outlive the suite.
_live_processes = {}
_live_workdirs = set()


def kill_leftovers():
    for process in list(_live_processes.values()):
        if process.poll() is None:
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
    _live_processes.clear()
    for folder in list(_live_workdirs):
        shutil.rmtree(folder, ignore_errors=True)
    _live_workdirs.clear()


def _exit_on_signal(signum, _frame):
    kill_leftovers()
    os._exit(128 + signum)


def install_signal_handlers():
    atexit.register(kill_leftovers)
    for signum in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, _exit_on_signal)


# ---------------------------------------------------------------------------
# Accessibility helpers
# ---------------------------------------------------------------------------

_a11y_bus_ready = False


def ensure_a11y_bus():
    """Starts the accessibility bus on this session bus (D-Bus activation).

    Qt only watches for the bus to appear and never starts it, so it must be
    up before the program is."""
    global _a11y_bus_ready
    if _a11y_bus_ready:
        return
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                  GLib.VariantType.new("(s)"), Gio.DBusCallFlags.NONE, 10000, None)
    Atspi.get_desktop(0)
    _a11y_bus_ready = True


def role(acc):
    return acc.get_role_name()


def showing(acc):
    return acc.get_state_set().contains(Atspi.StateType.SHOWING)


def children(acc):
    found = (acc.get_child_at_index(i) for i in range(acc.get_child_count()))
    return [child for child in found if child is not None]


def descendants(acc):
    stack = [acc]
    while stack:
        node = stack.pop()
        yield node
        stack.extend(reversed(children(node)))


def text_of(acc):
    """What a screen reader reads as the value: a text field's text, else the name."""
    if "Text" in acc.get_interfaces():
        return acc.get_text(0, -1)
    return acc.get_name()


def screen_extents(acc):
    e = acc.get_extents(Atspi.CoordType.SCREEN)
    return (e.x, e.y, e.width, e.height)


def everything_exposed(acc):
    """Every string the tree offers about `acc` and its descendants, with a
    path for the failure message."""
    found = []
    for node in descendants(acc):
        where = "%s %r (%s)" % (role(node), node.get_name(), "showing" if showing(node) else "hidden")
        found.append((where + " name", node.get_name() or ""))
        found.append((where + " description", node.get_description() or ""))
        interfaces = node.get_interfaces()
        if "Text" in interfaces:
            found.append((where + " text", node.get_text(0, -1) or ""))
        if "Value" in interfaces:
            found.append((where + " value", str(node.get_current_value())))
        if "Action" in interfaces:
            for i in range(node.get_n_actions()):
                found.append((where + " action description", node.get_action_description(i) or ""))
    return found


# ---------------------------------------------------------------------------
# Screenshots
# ---------------------------------------------------------------------------

class Screenshot:
    """The whole X screen, RGB, read from ImageMagick's binary PPM."""

    def __init__(self, path):
        self.path = path
        with open(path, "rb") as f:
            data = f.read()
        header = re.match(rb"P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(\d+)\s+(\d+)\s", data)
        if header is None:
            raise AssertionError("not a binary PPM: %s" % path)
        self.width, self.height, maxval = (int(v) for v in header.groups())
        if maxval != 255:
            raise AssertionError("unexpected PPM depth %d" % maxval)
        self.pixels = data[header.end():]

    def pixel(self, x, y):
        offset = 3 * (y * self.width + x)
        return tuple(self.pixels[offset:offset + 3])


# ---------------------------------------------------------------------------
# The test case base
# ---------------------------------------------------------------------------

class GameTestCase(unittest.TestCase):
    """One private X server, one scratch home per test; `start_game` runs the
    real program in it."""

    form_geometry = None

    @classmethod
    def setUpClass(cls):
        cls.binary = os.environ.get("MIRABOLO_BINARY", "")
        if not cls.binary or not os.access(cls.binary, os.X_OK):
            raise unittest.SkipTest("MIRABOLO_BINARY does not name the mirabolo program")
        # Never the desktop's own buses: run_e2e.py starts a private one.
        if os.environ.get(PRIVATE_BUS_MARKER) != "1" or not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            raise unittest.SkipTest("no private session bus: run the suite through run_e2e.py")
        if cls.form_geometry is None:
            GameTestCase.form_geometry = read_form_geometry()
        ensure_a11y_bus()

    def setUp(self):
        self._processes = []
        self.game = None
        self.app = None
        self._controls = {}
        self.env = dict(os.environ)  # replaced below, once the display is known
        self.workdir = tempfile.mkdtemp(prefix="mirabolo-e2e-")
        _live_workdirs.add(self.workdir)
        self.addCleanup(self._remove_workdir)
        self.addCleanup(self._stop_all)
        self.addCleanup(self._keep_evidence_if_failed)
        self._last_shot = None
        self.home = os.path.join(self.workdir, "home")
        self.data_home = os.path.join(self.workdir, "data")
        runtime = os.path.join(self.workdir, "runtime")
        for folder in (self.home, self.data_home, runtime):
            os.makedirs(folder)
        os.chmod(runtime, 0o700)
        self.display = self._start_xvfb()
        # An Italian keyboard, as at school; it also puts ò, è and the like on
        # real keys, which xdotool would otherwise map on the fly, racing the
        # program's keymap update.
        subprocess.run(["setxkbmap", "-display", self.display, "-layout", "it"], check=True, timeout=20,
                       capture_output=True)
        self.env = dict(os.environ)
        for variable in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY", "SESSION_MANAGER",
                         "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_STYLE_OVERRIDE"):
            self.env.pop(variable, None)
        self.env.update({
            "DISPLAY": self.display,
            "HOME": self.home,
            "XDG_DATA_HOME": self.data_home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_RUNTIME_DIR": runtime,
            "LANG": "it_IT.UTF-8",
            "LC_ALL": "it_IT.UTF-8",
            "LANGUAGE": "it",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
            "QT_QPA_PLATFORM": "xcb",
        })

    # -- processes ---------------------------------------------------------

    def _spawn(self, argv, **kwargs):
        # A process group of its own, so that the clean-up reaches its children.
        process = subprocess.Popen(argv, start_new_session=True, **kwargs)
        self._processes.append(process)
        _live_processes[process.pid] = process
        return process

    def _start_xvfb(self):
        # Xvfb picks a free display itself and writes its number to the pipe.
        read_end, write_end = os.pipe()
        try:
            with open(os.path.join(self.workdir, "xvfb.log"), "wb") as log:
                self.xvfb = self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                         "-nolisten", "tcp"],
                                        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=log)
            os.close(write_end)
            write_end = -1
            number = b""
            deadline = time.monotonic() + 20
            while not number.endswith(b"\n"):
                remaining = max(deadline - time.monotonic(), 0)
                if not select.select([read_end], [], [], remaining)[0]:
                    raise AssertionError("Xvfb gave no display number in 20 s (see xvfb.log)")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise AssertionError("Xvfb exited without a display: %s" % self._read(
                        os.path.join(self.workdir, "xvfb.log")))
                number += chunk
        finally:
            os.close(read_end)
            if write_end >= 0:
                os.close(write_end)
        return ":" + number.decode().strip()

    @staticmethod
    def _read(path):
        try:
            with open(path, "rb") as f:
                return f.read().decode("utf-8", "replace")
        except OSError:
            return ""

    def _remove_workdir(self):
        shutil.rmtree(self.workdir, ignore_errors=True)
        _live_workdirs.discard(self.workdir)

    def _stop_all(self):
        for process in reversed(self._processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for process in reversed(self._processes):
            try:
                process.wait(timeout=3)
            except subprocess.TimeoutExpired:
                try:
                    os.killpg(process.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                process.wait(timeout=3)
            _live_processes.pop(process.pid, None)
        self._processes.clear()

    def _keep_evidence_if_failed(self):
        """Keeps the screen, the tree and the program's output of a failed case
        in $MIRABOLO_E2E_ARTIFACTS, for a CI run that nobody watched."""
        destination_root = os.environ.get("MIRABOLO_E2E_ARTIFACTS")
        result = getattr(getattr(self, "_outcome", None), "result", None)
        if not destination_root or result is None:
            return
        if not any(test is self for test, _ in result.failures + result.errors):
            return
        try:
            subprocess.run(["import", "-window", "root", os.path.join(self.workdir, "final.png")],
                           env=self.env, timeout=20, capture_output=True)
        except (OSError, subprocess.SubprocessError):
            pass
        if self.app is not None:
            try:
                with open(os.path.join(self.workdir, "tree.txt"), "w") as f:
                    for where, text in everything_exposed(self.app):
                        if text:
                            f.write("%s: %r\n" % (where, text))
            except (GLib.Error, OSError):
                pass
        destination = os.path.join(destination_root, self.id())
        shutil.rmtree(destination, ignore_errors=True)
        shutil.copytree(self.workdir, destination, ignore=shutil.ignore_patterns("home", "runtime"))
        print("\n  evidence kept in %s" % destination, file=sys.stderr)

    def start_game(self, data_home=None):
        """Starts mirabolo and waits until it is on the accessibility bus."""
        env = dict(self.env)
        if data_home is not None:
            env["XDG_DATA_HOME"] = data_home
        self.log_path = os.path.join(self.workdir, "mirabolo-%d.log" % len(self._processes))
        with open(self.log_path, "wb") as log:
            self.game = self._spawn([self.binary], env=env, stdin=subprocess.DEVNULL, stdout=log,
                                    stderr=subprocess.STDOUT)
        self._controls = {}
        self.app = wait_for(self._find_app, what="mirabolo on the accessibility bus")
        # Values are read fresh on every call: the program changes them under us.
        self.app.set_cache_mask(Atspi.Cache.NONE)
        return self.game

    def _find_app(self):
        desktop = Atspi.get_desktop(0)
        for app in children(desktop):
            try:
                if app is not None and app.get_process_id() == self.game.pid:
                    return app
            except GLib.Error:
                continue
        if self.game.poll() is not None:
            raise AssertionError("mirabolo exited with %s before showing anything:\n%s"
                                 % (self.game.returncode, self.program_log()))
        return None

    def program_log(self):
        return self._read(self.log_path)

    def wait_for_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            return self.game.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("mirabolo still running after %.0f s" % timeout) from None

    # -- X input -----------------------------------------------------------

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=10)
        if result.returncode != 0 and args[0] != "search":
            raise AssertionError("xdotool %s failed: %s" % (" ".join(args), result.stderr.strip()))
        return result.stdout.split()

    def focus_window(self, title):
        """Gives the X input focus to the visible window titled `title`.

        There is no window manager, so the focus is set directly."""
        pattern = "^%s$" % ere_escape(title)
        windows = wait_for(lambda: self.xdotool("search", "--onlyvisible", "--name", pattern),
                           what="a visible window titled %r" % title)
        # The newest window of that title is the one just opened.
        window = max(windows, key=int)
        self.xdotool("windowfocus", "--sync", window)
        return window

    def type_text(self, title, text):
        self.focus_window(title)
        # Accented letters go by their own key on the Italian keyboard: "type"
        # may bind them to a spare keycode on the fly, and the program can
        # read the key before it learns the new binding.
        for run in re.split(r"([%s])" % "".join(ITALIAN_KEYS), text):
            if run in ITALIAN_KEYS:
                self.xdotool("key", ITALIAN_KEYS[run])
            elif run:
                self.xdotool("type", "--delay", "10", "--", run)

    def enter_text(self, title, field, text, attempts=3):
        """Types `text` into the focused line edit of window `title` until the
        accessible `field()` shows exactly that text."""
        for attempt in range(attempts):
            self.press(title, "ctrl+a", "BackSpace")
            self.type_text(title, text)
            try:
                wait_for(lambda: text_of(field()) == text, timeout=3, what="%r in the field" % text)
                return
            except WaitTimeout:
                if attempt == attempts - 1:
                    raise
                # Keep retries visible: they would hide a slow or lossy input path.
                print("\n  retyping %r, the field showed %r (attempt %d)"
                      % (text, text_of(field()), attempt + 2), file=sys.stderr)

    def press(self, title, *keys):
        self.focus_window(title)
        self.xdotool("key", "--delay", "20", *keys)

    def click(self, acc):
        """A real mouse click in the middle of `acc` (not through AT-SPI, which
        would block while the modal box it opens is up)."""
        x, y, w, h = screen_extents(acc)
        self.xdotool("mousemove", "--sync", str(x + w // 2), str(y + h // 2), "click", "1")

    # -- accessibility queries ---------------------------------------------

    def top_levels(self):
        return [w for w in children(self.app) if showing(w)]

    def wait_for_box(self, title=APP_TITLE, roles=("alert", "dialog"), timeout=DEFAULT_TIMEOUT,
                     title_matches=None, text_matches=None):
        """The showing message box or dialog titled `title` (or whose title
        satisfies `title_matches`), and whose text satisfies `text_matches`."""
        def find():
            for window in self.top_levels():
                if role(window) not in roles:
                    continue
                name = window.get_name()
                if not (title_matches(name) if title_matches else name == title):
                    continue
                if text_matches and not any(text_matches(t) for t in self.box_texts(window)):
                    continue
                return window
            return None
        return wait_for(find, timeout, lambda: "a box titled %r; open: %s" % (title, self.describe_top_levels()))

    def describe_top_levels(self):
        try:
            return ", ".join("%s %r %r" % (role(w), w.get_name(), self.box_texts(w)[:3]) for w in self.top_levels())
        except (GLib.Error, AttributeError):
            return "?"

    def box_texts(self, box):
        """The texts of the showing labels of a box, in tree order."""
        return [n.get_name() for n in descendants(box)
                if role(n) == "label" and showing(n) and n.get_name()]

    def box_message(self, box):
        texts = self.box_texts(box)
        self.assertEqual(len(texts), 1, "one message expected in the box, got %r" % texts)
        return texts[0]

    def wait_for_box_gone(self, title):
        wait_for(lambda: all(w.get_name() != title or role(w) not in ("alert", "dialog")
                             for w in self.top_levels()), what="the box %r to close" % title)

    def main_window(self, timeout=DEFAULT_TIMEOUT):
        def find():
            for window in self.top_levels():
                if role(window) == "frame":
                    return window
            return None
        return wait_for(find, timeout, lambda: "the main window; open: %s" % self.describe_top_levels())

    def canvas(self):
        """The 792 x 554 client area below the menu bar."""
        for node in descendants(self.main_window()):
            x, y, w, h = screen_extents(node)
            if (w, h) == CANVAS_SIZE and role(node) != "frame":
                return node
        raise AssertionError("no %dx%d client area in the tree" % CANVAS_SIZE)

    def control(self, name):
        """The accessible of the control `name` of the form, found by where the
        form places it (the tree carries no object names)."""
        x, y, _, _ = self.form_geometry[name]
        cached = self._controls.get(name)
        if cached is not None:
            # Still the control of a showing window (a new game makes new ones)?
            node, (cx, cy) = cached
            try:
                if showing(node) and screen_extents(node)[:2] == (cx + x, cy + y):
                    return node
            except GLib.Error:
                pass
        canvas = self.canvas()
        cx, cy, _, _ = screen_extents(canvas)
        for node in descendants(canvas):
            if node is canvas or not showing(node):
                continue
            nx, ny, _, _ = screen_extents(node)
            if (nx - cx, ny - cy) == (x, y):
                self._controls[name] = (node, (cx, cy))
                return node
        raise AssertionError("control %s not found at (%d, %d) of the client area" % (name, x, y))

    def form_name(self, node):
        """The form's object name of a control, for messages; else its role and place."""
        cx, cy, _, _ = screen_extents(self.canvas())
        x, y, w, h = screen_extents(node)
        for name, (fx, fy, _, _) in self.form_geometry.items():
            if (fx, fy) == (x - cx, y - cy) and w > 0:
                return name
        return "%s at %s" % (role(node), (x, y, w, h))

    def read(self, name):
        return text_of(self.control(name))

    def wait_for_value(self, name, predicate, what=None):
        def check():
            value = self.read(name)
            return (value,) if predicate(value) else None
        return wait_for(check, what=what or "a new value in %s" % name)[0]

    # -- screenshots -------------------------------------------------------

    def screenshot(self):
        # Only the latest picture is kept: polling takes many.
        path = os.path.join(self.workdir, "shot-%d.ppm" % int(time.monotonic() * 1000))
        subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:" + path], env=self.env,
                       check=True, timeout=20, capture_output=True)
        if self._last_shot and self._last_shot != path:
            os.remove(self._last_shot)
        self._last_shot = path
        return Screenshot(path)

    # -- game steps ----------------------------------------------------------

    def answer_name(self, name):
        """Answers the name prompt and returns the greeting box."""
        prompt = self.wait_for_box(APP_TITLE, roles=("dialog",))
        self.assertIn(NAME_PROMPT, self.box_texts(prompt))
        fields = [n for n in descendants(prompt) if role(n) == "text" and showing(n)]
        self.assertEqual(len(fields), 1, "one text field in the name prompt")
        self.enter_text(APP_TITLE, lambda: fields[0], name)
        self.press(APP_TITLE, "Return")
        return self.wait_for_box(APP_TITLE, roles=("alert",))

    def start_playing(self, name="Zoe", data_home=None):
        """Starts the game, gives the name, confirms the greeting and waits
        for the first exercise."""
        self.start_game(data_home)
        greeting = self.answer_name(name)
        self.assertEqual(self.box_message(greeting), " " + name + GREETING_TAIL)
        self.press(APP_TITLE, "Return")
        return self.wait_for_exercise()

    def current_exercise(self):
        quantity = self.read("Text6")
        source = self.read("Text3")
        target = self.read("Text4").strip()
        if not quantity.isdigit() or source not in UNITS or target not in UNITS:
            return None
        return int(quantity), source, target

    def wait_for_exercise(self, other_than=None):
        """The exercise on screen once it is ready for an answer."""
        def ready():
            if self.read("txtAnswer") != "" or self.read("lblMessage") != "":
                return None
            exercise = self.current_exercise()
            return exercise if exercise and exercise != other_than else None
        self.main_window()
        return wait_for(ready, what="an exercise awaiting its answer")

    def give_answer(self, text):
        """Types `text` in the answer box, presses Enter and returns the verdict."""
        self.enter_text(WINDOW_CAPTION, lambda: self.control("txtAnswer"), text)
        self.press(WINDOW_CAPTION, "Return")
        return self.wait_for_value("lblMessage", bool, "a verdict")

    def scores(self):
        return tuple(self.read(n) for n in ("lblScore", "lblScore1", "lblScore2"))

    def wait_for_scores(self, expected):
        wait_for(lambda: self.scores() == expected, what=lambda: "scores %r (now %r)" % (expected, self.scores()))

    # -- pictures --------------------------------------------------------------

    def bare_points(self, step=23):
        """Points of the client area (relative to it) that no control covers."""
        canvas = self.canvas()
        cx, cy, cw, ch = screen_extents(canvas)
        covered = []
        for node in descendants(canvas):
            if node is canvas or not showing(node):
                continue
            x, y, w, h = screen_extents(node)
            if w > 0 and h > 0:
                covered.append((x - cx - 2, y - cy - 2, x - cx + w + 2, y - cy + h + 2))
        points = []
        for y in range(1, ch - 1, 3):
            for x in range(3, cw - 3, step):
                if not any(l <= x < r and t <= y < b for l, t, r, b in covered):
                    points.append((x, y))
        return (cx, cy, ch), points

    def band_faults(self, shot, origin, points):
        """Why the pixels at `points` are not the colour bands, or [] when they are."""
        cx, cy, height = origin
        faults = []
        colours = {shot.pixel(cx + x, cy + y)[:2] for x, y in points}
        if len(colours) != 1:
            return ["red and green vary over the surface: %s" % sorted(colours)[:6]]
        red, green = colours.pop()
        if red not in range(20, 181, 20):
            faults.append("red %d is not 20, 40, ... 180" % red)
        if green not in range(0, 181, 20):
            faults.append("green %d is not 0, 20, ... 180" % green)
        for x, y in points:
            blue = shot.pixel(cx + x, cy + y)[2]
            # 256 bands tile the height: blue grows by one per band, 0 at the top.
            band = y * 256 / height
            if not band - 1.5 <= blue <= band + 1.5:
                faults.append("blue %d at row %d, expected about %.0f" % (blue, y, band))
                break
        return faults

    def wait_for_bands(self):
        origin, points = self.bare_points()
        self.assertGreater(len(points), 500, "too few bare points to judge the bands")
        state = {}

        def banded():
            state["shot"] = self.screenshot()
            state["faults"] = self.band_faults(state["shot"], origin, points)
            return not state["faults"]
        try:
            wait_for(banded, what="the colour bands", interval=0.1)
        except WaitTimeout:
            self.fail("no colour bands on screen (%s): %s" % (state["shot"].path, state["faults"]))
        cx, cy, _ = origin
        return state["shot"].pixel(cx + points[0][0], cy + points[0][1])

    def wait_for_black(self):
        origin, points = self.bare_points()
        cx, cy, _ = origin
        state = {}

        def black():
            state["shot"] = self.screenshot()
            state["others"] = sorted({state["shot"].pixel(cx + x, cy + y) for x, y in points} - {(0, 0, 0)})
            return not state["others"]
        try:
            wait_for(black, what="a black background", interval=0.1)
        except WaitTimeout:
            self.fail("background not black (%s): colours %s" % (state["shot"].path, state["others"][:6]))


def today_titles():
    """The farewell titles possible now (the date may turn during the test)."""
    days = {datetime.date.today(), datetime.date.today() - datetime.timedelta(days=1)}
    return {"Data " + d.strftime("%d/%m/%y") for d in days}


def clock_seconds(text):
    match = re.fullmatch(r"(\d\d):(\d\d):(\d\d)", text)
    if match is None:
        raise AssertionError("not a clock text: %r" % text)
    hours, minutes, seconds = (int(v) for v in match.groups())
    return hours * 3600 + minutes * 60 + seconds
