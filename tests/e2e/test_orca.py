"""What Orca says while a pupil plays by ear; its speech goes to a file instead of a sound card."""
import os
import re
import shutil
import sys
import unittest

from harness import CAPTION, HERE, Game, expected_answer, wait

try:
    from orca import speechserver
except ImportError:
    speechserver = None

STEMS = dict(ml="millilitr", cl="centilitr", dl="decilitr", l="litr", dal="decalitr", hl="ettolitr")
# Orca refuses to start beside another of the same account's: let it, so that runs can overlap.
LAUNCH = ("import runpy, sys; main = runpy.run_path('/usr/bin/orca')['main']; "
          "main.__globals__['otherOrcas'] = lambda: []; sys.argv[1:] = ['-u', sys.argv[1]]; sys.exit(main())")

if speechserver:
    class SpeechServer(speechserver.SpeechServer):
        getSpeechServer = getSpeechServers = staticmethod(lambda info=None: SpeechServer())

        def getInfo(self):
            return ["log", "log"]

        def speak(self, text=None, acss=None, interrupt=True):
            with open(os.environ["MIRABOLO_SPEECH"], "a", encoding="utf-8") as log:
                log.write((text or "").replace("\n", " ") + "\n")


@unittest.skipUnless(speechserver and shutil.which("orca"), "needs orca (scripts/install-deps --test)")
class OrcaTest(Game):

    def said(self, pattern):
        def heard():
            with open(self.speech, encoding="utf-8") as log:
                lines = log.read().splitlines()[self.heard:]
            return next((self.heard + i + 1 for i, line in enumerate(lines) if re.fullmatch(pattern, line)), 0)
        self.heard = wait(heard, "Orca saying %r" % pattern)

    def question(self, quantity, source, target):
        end = "o" if quantity == 1 else "i"
        return re.escape("Quanti %si sono %d %s%s?" % (STEMS[target], quantity, STEMS[source], end)) + ".*"

    def test_exercise_verdict_and_next_exercise_are_spoken(self):
        prefs, self.speech, self.heard = os.path.join(self.dir, "orca"), os.path.join(self.dir, "speech"), 0
        os.makedirs(prefs)
        with open(os.path.join(prefs, "orca-customizations.py"), "w") as custom:
            custom.write("import orca.settings as s\ns.speechServerFactory = 'test_orca'\ns.enableBraille = False\n")
        open(self.speech, "w").close()
        self.spawn([sys.executable, "-c", LAUNCH, prefs], env=dict(self.env, PYTHONPATH=HERE,
                                                                  MIRABOLO_SPEECH=self.speech))
        self.said(".+")  # Orca is up
        self.greet()
        exercise = self.exercise()
        self.focus(CAPTION)  # a window manager's part: the window shown becomes active
        self.said(self.question(*exercise))
        expected = expected_answer(*exercise)
        self.answer(expected + "9")
        self.said(re.escape("Sbagliato!! %s. Esatte 0, errate 1, totali 1. " % expected) + r"Restano \d+ minuti\.")
        self.keys(CAPTION, "Return")
        self.said(self.question(*self.exercise()))
