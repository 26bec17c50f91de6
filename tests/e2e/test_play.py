import os
import re

from harness import CAPTION, Atspi, Game, expected_answer, text, tree, wait


class PlayTest(Game):

    def test_keys_and_record_files(self):
        self.greet()
        exercise, shown = self.exercise(), self.read("Text6", "Text3", "Text4")
        # Alt+N while the answer is awaited: no letter typed, no new exercise.
        self.keys(CAPTION, "alt+n", "7")
        self.assertEqual(wait(lambda: self.read("txtAnswer")[0], "a key in the answer box"), "7")
        self.assertEqual(self.read("Text6", "Text3", "Text4"), shown)
        # The new-game question, answered No, leaves the caret after the 7.
        item = self.find("menu item", "NUOVO GIOCO").get_extents(Atspi.CoordType.SCREEN)
        self.xdotool("mousemove", str(item.x + item.width // 2), str(item.y + item.height // 2), "click", "1")
        self.find("alert", "INIZIARE NUOVA GARA")
        self.keys("^INIZIARE NUOVA GARA$", "Return")
        wait(lambda: not self.xdotool("search", "--onlyvisible", "--name", "^INIZIARE NUOVA GARA$"), "No")
        # Asked from the keyboard (Alt, past the school's menu, Enter) and answered No: the answer box has
        # the focus again, with its caret before the 7.
        self.keys(CAPTION, "Home", "alt", "Right", "Return")
        self.find("alert", "INIZIARE NUOVA GARA")
        self.keys("^INIZIARE NUOVA GARA$", "Return")
        wait(lambda: not self.xdotool("search", "--onlyvisible", "--name", "^INIZIARE NUOVA GARA$"), "No")
        expected = expected_answer(*exercise)
        self.keys(CAPTION, "--", expected, command="type")
        wait(lambda: self.read("txtAnswer") == (expected + "7",), "the whole answer before the 7")
        self.keys(CAPTION, "End", "BackSpace", "Return")
        self.assertEqual(wait(lambda: self.read("lblMessage")[0], "a verdict"), "Esatto. Sei proprio ok!!!")
        # The verdict moved the focus to "Nuovo calcolo": Enter asks for the next exercise.
        self.keys(CAPTION, "Return")
        self.exercise()
        files = self.finish(os.path.join(self.data, "mirabolo"))
        self.assertEqual((files.get("eqc.txt"), files.get("neqc.txt")), (b"1\r\n", b"Zoe\r\n"))

    def test_answer_never_exposed_and_controls_named(self):
        self.greet()
        seen = set()
        for _ in range(30):
            expected = expected_answer(*self.exercise())
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
        else:
            self.fail("thirty exercises without an answer of three digits")
        unnamed = [n.get_role_name() for n in tree(self.find("frame", CAPTION))
                   if n.get_role_name() in ("push button", "text", "menu item") and not n.get_name().strip()]
        self.assertEqual(unnamed, [], "controls a screen reader cannot name")
