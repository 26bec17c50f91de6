"""A real game with real keys, and what the accessibility tree gives away."""
import os
import re

from harness import CAPTION, Game, expected_answer, text, tree, wait


class PlayTest(Game):

    def answer(self, typed):
        self.type(CAPTION, typed)
        wait(lambda: self.read("txtAnswer") == (typed,), "%r in the answer box" % typed)
        self.keys(CAPTION, "Return")
        return wait(lambda: self.read("lblMessage")[0], "a verdict")

    def test_keys_verdicts_and_record_files(self):
        exercise, shown = self.begin("Zoe"), self.read("Text6", "Text3", "Text4")
        # Alt+N while the answer is awaited: no letter typed, no new exercise.
        self.keys(CAPTION, "alt+n", "7")
        self.assertEqual(wait(lambda: self.read("txtAnswer")[0], "a key in the answer box"), "7")
        self.assertEqual(self.read("Text6", "Text3", "Text4"), shown)
        self.keys(CAPTION, "BackSpace")
        expected = expected_answer(*exercise)
        self.assertEqual(self.answer(expected + "0"), "Sbagliato!! " + expected)
        # The verdict moved the focus to "Nuovo calcolo": Enter asks for the next exercise.
        self.keys(CAPTION, "Return")
        self.assertEqual(self.answer(expected_answer(*self.exercise())), "Esatto. Sei proprio ok!!!")
        self.assertEqual(self.read("lblScore", "lblScore1", "lblScore2"), ("1", "1", "2"))
        self.keys(CAPTION, "alt+x")
        self.find("alert", within=self.app)
        self.keys("^Data ", "Return")
        self.find("alert", "Mirabolo")
        self.keys("^Mirabolo$", "Return")
        self.assertEqual(self.game.wait(60), 0)
        for name, content in (("eqc.txt", b"1\r\n"), ("neqc.txt", b"Zoe\r\n")):
            with open(os.path.join(self.data, "mirabolo", name), "rb") as f:
                self.assertEqual(f.read(), content, name)

    def test_answer_never_exposed_and_controls_named(self):
        exercise, seen = self.begin("Zoe"), set()
        for _ in range(30):
            expected = expected_answer(*exercise)
            # No text the game shows on purpose can hold an answer of three
            # digits or more that no earlier exercise had: finding one is a leak.
            if len(expected.replace(",", "")) >= 3 and expected not in seen | {"100", "0,01", "0,001"}:
                token = re.compile(r"(?<![\d,])%s(?![\d,])" % re.escape(expected))
                leaks = [(n.get_role_name(), n.get_name()) for n in tree(self.app)
                         if any(token.search(t or "") for t in (n.get_name(), n.get_description(), text(n)))]
                self.assertEqual(leaks, [], "the answer %r can be read" % expected)
                break
            seen.add(expected)
            self.answer(expected + "0")
            self.keys(CAPTION, "Return")
            exercise = self.exercise()
        else:
            self.fail("thirty exercises without an answer of three digits")
        unnamed = [n.get_role_name() for n in tree(self.find("frame", CAPTION))
                   if n.get_role_name() in ("push button", "text", "menu item") and not n.get_name().strip()]
        self.assertEqual(unnamed, [], "controls a screen reader cannot name")
