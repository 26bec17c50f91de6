#!/usr/bin/python3
"""Runs the end-to-end suite against a built or installed mirabolo.

    /usr/bin/python3 run_e2e.py /path/to/mirabolo [unittest names...]

The suite always runs on a private D-Bus session (so a desktop's own
accessibility bus is never touched); this script starts one with
dbus-run-session and runs itself again inside it. Exit status 77 means the
machine lacks a tool the suite needs (CTest reports the test as skipped).
"""

import os
import shutil
import sys
import time
import unittest

# The source tree stays clean: no __pycache__ beside the tests.
sys.dont_write_bytecode = True

HERE = os.path.dirname(os.path.abspath(__file__))
SKIP = 77


class TimedResult(unittest.TextTestResult):
    """Notes how long each case took, to keep the suite quick."""

    def startTest(self, test):
        self._started = time.monotonic()
        super().startTest(test)

    def stopTest(self, test):
        super().stopTest(test)
        self.durations = getattr(self, "durations", [])
        self.durations.append((time.monotonic() - self._started, test.id()))


def main(argv):
    if len(argv) < 2:
        print("usage: run_e2e.py <mirabolo program> [test names...]", file=sys.stderr)
        return 2
    binary = os.path.abspath(argv[1])
    if not os.access(binary, os.X_OK):
        print("e2e: %s is not an executable program" % binary, file=sys.stderr)
        return 2

    sys.path.insert(0, HERE)
    import harness

    marker = harness.PRIVATE_BUS_MARKER
    missing = harness.missing_prerequisites()
    if os.environ.get(marker) != "1" and shutil.which("dbus-run-session") is None:
        missing.append("program dbus-run-session (package dbus)")
    if missing:
        print("e2e skipped, missing: " + "; ".join(missing), file=sys.stderr)
        print("on Debian: apt-get install xvfb xauth xdotool imagemagick at-spi2-core "
              "gir1.2-atspi-2.0 python3-gi dbus dbus-x11", file=sys.stderr)
        return SKIP

    if os.environ.get(marker) != "1":
        env = dict(os.environ, **{marker: "1"})
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        env.pop("AT_SPI_BUS_ADDRESS", None)
        os.execvpe("dbus-run-session", ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__),
                                        binary, *argv[2:]], env)

    harness.install_signal_handlers()
    os.environ["MIRABOLO_BINARY"] = binary
    loader = unittest.TestLoader()
    if len(argv) > 2:
        suite = loader.loadTestsFromNames(argv[2:])
    else:
        suite = loader.discover(HERE, pattern="test_*.py", top_level_dir=HERE)
    started = time.monotonic()
    result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout, resultclass=TimedResult).run(suite)
    for seconds, name in sorted(getattr(result, "durations", []), reverse=True):
        print("%6.1f s  %s" % (seconds, name))
    print("e2e: %d cases in %.1f s" % (result.testsRun, time.monotonic() - started))
    if result.testsRun == 0 or (result.skipped and len(result.skipped) == result.testsRun):
        return SKIP
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
