# The real mirabolo on a private Xvfb: real keys from xdotool, the screen read through AT-SPI.
#     /usr/bin/python3 harness.py <mirabolo> [test names]
import os
import pathlib
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
    text = format(Decimal(quantity).scaleb(UNITS.index(source) - UNITS.index(target)), "f")
    return (text.rstrip("0").rstrip(".") if "." in text else text).replace(".", ",")


def wait(predicate, what, timeout=60):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            result = predicate()
            if result:
                return result
        except GLib.Error:  # the tree changed under the query, or a program left: not yet
            pass
        time.sleep(0.05)
    raise AssertionError("no %s within %d s" % (what, timeout))


def tree(node, depth=-1):
    yield node
    for child in (node.get_child_at_index(i) for i in range(node.get_child_count() if depth else 0)):
        if child is not None:
            yield from tree(child, depth - 1)


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def text(node):
    return node.get_text(0, -1) if "Text" in node.get_interfaces() else node.get_name()


class Game(unittest.TestCase):
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
        self.assertTrue(select.select([read_end], [], [], 60)[0], "Xvfb gave no display")
        with os.fdopen(read_end) as pipe:  # Xvfb writes its display number once it is ready
            display = ":" + pipe.readline()
        self.data = os.path.join(self.dir, "data")
        self.env = dict(os.environ, DISPLAY=display.strip(), HOME=self.dir, XDG_DATA_HOME=self.data,
                        XDG_CONFIG_HOME=os.path.join(self.dir, "config"), XDG_RUNTIME_DIR=self.dir,
                        XDG_CONFIG_DIRS=os.path.join(self.dir, "xdg"),
                        XDG_CACHE_HOME=os.path.join(self.dir, "cache"),
                        LANG="it_IT.UTF-8", LC_ALL="it_IT.UTF-8", QT_QPA_PLATFORM="xcb",
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")

    def spawn(self, argv, **options):
        # Should this harness die, nothing it started may live on holding ctest's output open.
        process = subprocess.Popen(["setpriv", "--pdeathsig", "KILL", "--", *argv], **options)
        self.addCleanup(lambda: process.poll() is not None or (process.kill(), process.wait()))
        return process

    def launch(self, argv, **env):
        # Qt only watches for the accessibility bus: activate it before the program starts.
        Gio.bus_get_sync(Gio.BusType.SESSION).call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                                        None, None, Gio.DBusCallFlags.NONE, 60000)
        self.game = self.spawn(argv, env=dict(self.env, **env), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.app = wait(lambda: next((a for a in tree(Atspi.get_desktop(0), 1) if a.get_process_id() == self.game.pid),
                                     None), "%s on the accessibility bus" % argv[0])
        self.app.set_cache_mask(Atspi.Cache.NONE)  # values change under us

    def greet(self, name="Zoe", **env):
        self.launch([os.environ["MIRABOLO"]], **env)
        self.find("dialog", "Mirabolo")
        self.keys("^Mirabolo$", "--", name, command="type")
        self.keys("^Mirabolo$", "Return")
        self.find("alert", "Mirabolo")
        self.keys("^Mirabolo$", "Return")

    def find(self, role, name=None):
        return wait(lambda: next((n for n in tree(self.app) if n.get_role_name() == role and showing(n)
                                  and name in (None, n.get_name())), None), "%s %r" % (role, name))

    def control(self, name):
        frame = self.find("frame", CAPTION)
        extents = {n: n.get_extents(Atspi.CoordType.WINDOW) for n in tree(frame) if showing(n)}
        canvas = next(n for n, e in extents.items() if (e.width, e.height) == (792, 554))
        origin = extents[canvas]
        return next(n for n, e in extents.items()
                    if n != canvas and (e.x - origin.x, e.y - origin.y) == self.places[name])

    def read(self, *names):
        return tuple(text(self.control(name)) for name in names)

    def exercise(self):
        def ready():
            quantity, source, target, answer, verdict = self.read("Text6", "Text3", "Text4", "txtAnswer", "lblMessage")
            return answer == verdict == "" and target.strip() in UNITS and (int(quantity), source, target.strip())
        return wait(ready, "an exercise awaiting its answer")

    def answer(self, typed):
        self.keys(CAPTION, "--", typed, command="type")
        wait(lambda: self.read("txtAnswer") == (typed,), "%r in the answer box" % typed)
        self.keys(CAPTION, "Return")
        return wait(lambda: self.read("lblMessage")[0], "a verdict")

    def finish(self, folder):
        self.keys(CAPTION, "alt+x")
        self.find("alert")
        self.keys("^Data ", "Return")
        self.find("alert", "Mirabolo")
        self.keys("^Mirabolo$", "Return")
        self.assertEqual(self.game.wait(60), 0)
        return {path.name: path.read_bytes() for path in pathlib.Path(folder).iterdir()}

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=60).stdout

    def focus(self, title):
        windows = wait(lambda: self.xdotool("search", "--onlyvisible", "--name", title).split(), "window " + title)
        self.xdotool("windowfocus", "--sync", max(windows, key=int))  # no window manager: the newest

    def keys(self, title, *keys, command="key"):
        self.focus(title)
        self.xdotool(command, "--delay", "30", *keys)


if __name__ == "__main__":
    if Atspi is None or not all(map(shutil.which, ("Xvfb", "xdotool", "dbus-run-session"))):
        print("e2e skipped: needs xvfb, xdotool, dbus, python3-gi with Atspi (scripts/install-deps --test)")
        sys.exit(77)
    # A private session bus: the desktop's own accessibility bus is never touched.
    if "MIRABOLO" not in os.environ:
        os.environ["MIRABOLO"] = os.path.abspath(sys.argv.pop(1))
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])
    # libatspi waits 0.8 s for a program to answer by default: far too little on a busy machine.
    Atspi.set_timeout(60000, 60000)
    sys.dont_write_bytecode = True
    sys.path.insert(0, HERE)
    unittest.main(module=None, argv=[sys.argv[0], *(sys.argv[1:] or ["discover", "-s", HERE])], verbosity=2)
