"""The real mirabolo on a private Xvfb: real keys from xdotool, the screen read
through AT-SPI, as a pupil and a screen reader meet it.

    /usr/bin/python3 harness.py <mirabolo> [test names]

runs the test_*.py cases beside it inside a private D-Bus session. A case
subclasses Game and uses start(), control(), find(), wait(), keys(), type().
"""
import os
import select
import shutil
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
except (ImportError, ValueError):
    Atspi = None  # reported as a skip below

HERE = os.path.dirname(os.path.abspath(__file__))
FORM = os.path.join(HERE, "..", "..", "src", "ui", "tavola.ui")
UNITS = ("ml", "cl", "dl", "l", "dal", "hl")
CAPTION = "Giocare con le brunaste"


def expected_answer(quantity, source, target):
    """The right answer as typed under Italian settings: comma, no trailing zeros, no exponent."""
    text = format(Decimal(quantity).scaleb(UNITS.index(source) - UNITS.index(target)), "f")
    return (text.rstrip("0").rstrip(".") if "." in text else text).replace(".", ",")


def wait(predicate, what, timeout=60):
    """Polls `predicate` until it gives something true, and returns that; the
    tree may change under a query, which counts as "not yet"."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            result = predicate()
            if result:
                return result
        except GLib.Error:
            pass
        if time.monotonic() > deadline:
            raise AssertionError("no %s within %d s" % (what, timeout))
        time.sleep(0.05)


def tree(node, depth=-1):
    """`node` and what lies under it, `depth` levels down (all when negative)."""
    yield node
    for child in (node.get_child_at_index(i) for i in range(node.get_child_count() if depth else 0)):
        if child is not None:
            yield from tree(child, depth - 1)


def pid(app):
    try:
        return app.get_process_id()
    except GLib.Error:  # a program that has gone
        return None


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def text(node):
    """What a screen reader reads: a text field's text, else the name."""
    return node.get_text(0, -1) if "Text" in node.get_interfaces() else node.get_name()


class Game(unittest.TestCase):
    """One X server, one scratch home and one program per case."""

    # Object name -> place on the client area, from the form (the tree carries no object names).
    places = {w.get("name"): tuple(int(w.find("property[@name='geometry']/rect/" + k).text) for k in "xy")
              for w in ElementTree.parse(FORM).iter("widget") if w.find("property[@name='geometry']") is not None}

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="mirabolo-e2e-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        read_end, write_end = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                   pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        display = ":"
        while not display.endswith("\n"):  # Xvfb writes its display number once it is ready
            self.assertTrue(select.select([read_end], [], [], 60)[0], "Xvfb gave no display")
            display += os.read(read_end, 32).decode() or self.fail("Xvfb ended")
        os.close(read_end)
        self.data = os.path.join(self.dir, "data")
        self.env = dict(os.environ, DISPLAY=display.strip(), HOME=self.dir, XDG_DATA_HOME=self.data,
                        XDG_CONFIG_HOME=os.path.join(self.dir, "config"), XDG_RUNTIME_DIR=self.dir,
                        LANG="it_IT.UTF-8", LC_ALL="it_IT.UTF-8", QT_QPA_PLATFORM="xcb",
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")

    def spawn(self, argv, **options):
        process = subprocess.Popen(argv, **options)
        self.addCleanup(lambda: process.poll() is not None or (process.kill(), process.wait()))
        return process

    def start(self, *args, **env):
        """Starts mirabolo with `args` and environment overrides; returns once it is on the bus."""
        # Qt only watches for the accessibility bus: activate it before the program starts.
        Gio.bus_get_sync(Gio.BusType.SESSION).call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                                        None, None, Gio.DBusCallFlags.NONE, 60000)
        self.game = self.spawn([os.environ["MIRABOLO"], *args], env=dict(self.env, **env),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        desktop = Atspi.get_desktop(0)
        self.app = wait(lambda: next((a for a in tree(desktop, 1) if pid(a) == self.game.pid), None),
                        "mirabolo on the accessibility bus")
        self.app.set_cache_mask(Atspi.Cache.NONE)  # values change under us

    def find(self, role, name=None, within=None, timeout=60):
        """The first showing node of `role` (and `name`) in the program, once there is one."""
        return wait(lambda: next((n for n in tree(within or self.app) if n.get_role_name() == role and showing(n)
                                  and name in (None, n.get_name())), None), "%s %r" % (role, name), timeout)

    def control(self, name):
        """The main window's control `name`, found by its place on the client area."""
        frame = self.find("frame", CAPTION)
        extents = {n: n.get_extents(Atspi.CoordType.WINDOW) for n in tree(frame) if showing(n)}
        canvas = next(n for n, e in extents.items() if (e.width, e.height) == (792, 554))
        origin = extents[canvas]
        return next(n for n, e in extents.items()
                    if n != canvas and (e.x - origin.x, e.y - origin.y) == self.places[name])

    def greet(self, name, *args, **env):
        """Starts mirabolo, gives `name` and confirms the greeting."""
        self.start(*args, **env)
        self.find("dialog", "Mirabolo")
        self.type("^Mirabolo$", name)
        self.keys("^Mirabolo$", "Return")
        self.find("alert", "Mirabolo")
        self.keys("^Mirabolo$", "Return")

    def begin(self, name="Zoe", *args, **env):
        """Starts a game as `name`; returns its first exercise."""
        self.greet(name, *args, **env)
        return self.exercise()

    def read(self, *names):
        return tuple(text(self.control(name)) for name in names)

    def exercise(self):
        """(quantity, source, target) once an exercise awaits its answer."""
        def ready():
            quantity, source, target, answer, verdict = self.read("Text6", "Text3", "Text4", "txtAnswer", "lblMessage")
            return answer == verdict == "" and target.strip() in UNITS and (int(quantity), source, target.strip())
        return wait(ready, "an exercise awaiting its answer")

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=60).stdout

    def focus(self, title):
        windows = wait(lambda: self.xdotool("search", "--onlyvisible", "--name", title).split(), "window " + title)
        self.xdotool("windowfocus", "--sync", max(windows, key=int))  # no window manager: the newest

    def keys(self, title, *keys):
        """Real key presses into the window whose title matches `title`."""
        self.focus(title)
        self.xdotool("key", "--delay", "30", *keys)

    def type(self, title, typed):
        self.focus(title)
        self.xdotool("type", "--delay", "30", "--", typed)


if __name__ == "__main__":
    if Atspi is None or not all(map(shutil.which, ("Xvfb", "xdotool", "dbus-run-session"))):
        print("e2e skipped: needs xvfb, xdotool, dbus, python3-gi with Atspi (scripts/install-deps --test)")
        sys.exit(77)
    # A private session bus: the desktop's own accessibility bus is never touched.
    if "MIRABOLO" not in os.environ:
        os.environ["MIRABOLO"] = os.path.abspath(sys.argv.pop(1))
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])
    sys.dont_write_bytecode = True
    sys.path.insert(0, HERE)
    suite = (unittest.defaultTestLoader.loadTestsFromNames(sys.argv[1:]) if len(sys.argv) > 1
             else unittest.defaultTestLoader.discover(HERE, "test_*.py"))
    sys.exit(not unittest.TextTestRunner(verbosity=2).run(suite).wasSuccessful())
