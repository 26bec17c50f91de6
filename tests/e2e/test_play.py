"""Playing the game: greeting, answers, scores, bands, new game, screen reader."""

from harness import (APP_TITLE, GREETING_TAIL, NAME_PROMPT, NEW_GAME_PROMPT, NEW_GAME_TITLE, RIGHT_MESSAGE,
                     WINDOW_CAPTION, WRONG_MESSAGE, Atspi, GameTestCase, clock_seconds, descendants,
                     everything_exposed, expected_answer, role, showing, wait_for)


def plausible_mistake(expected):
    """A wrong answer a pupil might give: a point for the comma, or one zero too many."""
    return expected.replace(",", ".") if "," in expected else expected + "0"


class PlayTest(GameTestCase):

    def test_name_prompt_greeting_and_first_exercise(self):
        self.start_game()
        prompt = self.wait_for_box(APP_TITLE, roles=("dialog",))
        self.assertIn(NAME_PROMPT, self.box_texts(prompt))
        self.assertEqual(sorted(b.get_name() for b in descendants(prompt) if role(b) == "push button"),
                         ["Annulla", "OK"])
        # The prompt comes on its own, before the window.
        self.assertEqual([w.get_name() for w in self.top_levels() if role(w) == "frame"], [])

        greeting = self.answer_name("Zoe")
        self.assertEqual(greeting.get_name(), APP_TITLE)
        self.assertEqual(self.box_message(greeting), " Zoe vediamo se sei un vero campione  ")
        self.press(APP_TITLE, "Return")

        quantity, source, target = self.wait_for_exercise()
        self.assertIn(quantity, range(1, 21))
        self.assertNotEqual(source, target)
        self.assertEqual(self.main_window().get_name(), WINDOW_CAPTION)
        self.assertEqual(self.read("lblnome1"), "Zoe")
        self.assertEqual(self.scores(), ("0", "0", "0"))
        self.assertEqual(self.read("lblMessage"), "")

        # The clock is readable and counts down from a quarter of an hour.
        first = clock_seconds(self.read("lblconto"))
        self.assertIn(first, range(890, 901))
        later = wait_for(lambda: clock_seconds(self.read("lblconto")) < first and self.read("lblconto"),
                         what="the clock to count down")
        self.assertLess(clock_seconds(later), first)

    def test_wrong_then_right_answer_scores_and_background(self):
        exercise = self.start_playing()
        expected = expected_answer(*exercise)
        next_button = self.button("Nuovo calcolo")
        self.assertFalse(self.enabled(next_button), "Nuovo calcolo must wait for the answer")
        self.wait_for_bands()

        verdict = self.give_answer(plausible_mistake(expected))
        self.assertEqual(verdict, WRONG_MESSAGE + expected)
        self.wait_for_scores(("0", "1", "1"))
        self.wait_for_black()
        self.assertTrue(self.enabled(next_button))

        # The focus is on Nuovo calcolo now: Enter asks for the next exercise.
        self.press(WINDOW_CAPTION, "Return")
        exercise = self.wait_for_exercise()
        expected = expected_answer(*exercise)
        self.assertFalse(self.enabled(next_button))
        # The new exercise paints its bands over the black.
        tint = self.wait_for_bands()[:2]

        verdict = self.give_answer(expected)
        self.assertEqual(verdict, RIGHT_MESSAGE)
        self.wait_for_scores(("1", "1", "2"))
        # A right answer leaves the bands of its exercise as they were.
        self.assertEqual(self.wait_for_bands()[:2], tint)
        self.assertTrue(self.enabled(next_button))

    def test_new_game_answered_no_changes_nothing(self):
        exercise = self.start_playing()
        self.give_answer(expected_answer(*exercise))
        self.wait_for_scores(("1", "0", "1"))
        before = self.game_state()
        clock_before = clock_seconds(self.read("lblconto"))

        self.click(self.menu_item("NUOVO GIOCO"))
        question = self.wait_for_box(NEW_GAME_TITLE)
        self.assertEqual(self.box_message(question), NEW_GAME_PROMPT)
        self.assertEqual(sorted(b.get_name() for b in descendants(question) if role(b) == "push button"),
                         ["No", "Sì"])
        # No is the default button.
        self.press(NEW_GAME_TITLE, "Return")
        self.wait_for_box_gone(NEW_GAME_TITLE)

        self.assertEqual(self.game_state(), before)
        self.assertEqual(self.current_exercise(), exercise)
        wait_for(lambda: clock_seconds(self.read("lblconto")) < clock_before, what="the clock to go on")
        self.assertEqual([role(w) for w in self.top_levels()], ["frame"])

    def test_new_game_answered_yes_starts_afresh(self):
        exercise = self.start_playing("Zoe")
        self.give_answer(expected_answer(*exercise))
        self.wait_for_scores(("1", "0", "1"))

        self.click(self.menu_item("NUOVO GIOCO"))
        question = self.wait_for_box(NEW_GAME_TITLE)
        self.click(self.button("Sì", within=question))

        greeting = self.answer_name("Ugo")
        self.assertEqual(self.box_message(greeting), " Ugo" + GREETING_TAIL)
        self.press(APP_TITLE, "Return")
        self.wait_for_exercise()
        self.assertEqual(self.scores(), ("0", "0", "0"))
        self.assertEqual(self.read("lblnome1"), "Ugo")
        self.assertEqual(self.read("lblMessage"), "")
        self.assertIn(clock_seconds(self.read("lblconto")), range(890, 901))
        self.assertEqual([role(w) for w in self.top_levels()], ["frame"], "the old window must be gone")
        self.wait_for_bands()

    def test_cancelled_name(self):
        self.start_game()
        self.wait_for_box(APP_TITLE, roles=("dialog",))
        self.type_text(APP_TITLE, "Ada")
        self.press(APP_TITLE, "Escape")
        greeting = self.wait_for_box(APP_TITLE, roles=("alert",))
        self.assertEqual(self.box_message(greeting), "  vediamo se sei un vero campione  ")
        self.press(APP_TITLE, "Return")
        exercise = self.wait_for_exercise()
        self.assertEqual(self.read("lblnome1"), "")
        self.assertEqual(self.give_answer(expected_answer(*exercise)), RIGHT_MESSAGE)

    # -- what a screen reader gets ---------------------------------------------

    def test_hidden_answer_is_not_exposed(self):
        self.start_playing()
        for _ in range(2):
            exercise = self.wait_for_exercise()
            expected = expected_answer(*exercise)
            leaks = [where for where, text in everything_exposed(self.app) if text.strip() == expected]
            self.assertEqual(leaks, [], "exercise %r: the answer %r can be read before it is judged"
                             % (exercise, expected))
            # Wrong on purpose: the verdict then shows the answer, as it should.
            self.assertEqual(self.give_answer(plausible_mistake(expected)), WRONG_MESSAGE + expected)
            self.press(WINDOW_CAPTION, "Return")

    def test_controls_are_named_and_buttons_pressable(self):
        exercise = self.start_playing()
        unnamed = []
        for node in descendants(self.main_window()):
            if showing(node) and role(node) in ("push button", "text", "menu item", "image"):
                if not (node.get_name() or "").strip() and not (node.get_description() or "").strip():
                    unnamed.append(self.form_name(node))
        self.assertEqual(unnamed, [], "controls a screen reader cannot name")

        # Nuovo calcolo through the accessibility interface, as a screen reader presses it.
        self.give_answer(expected_answer(*exercise))
        button = self.button("Nuovo calcolo")
        self.assertTrue(self.enabled(button))
        actions = [button.get_action_name(i) for i in range(button.get_n_actions())]
        self.assertIn("Press", actions)
        button.do_action(actions.index("Press"))
        self.wait_for_exercise()
        self.assertFalse(self.enabled(button))

    # -- helpers -----------------------------------------------------------------

    def game_state(self):
        names = ("Text6", "Text3", "Text4", "txtAnswer", "lblMessage", "lblScore", "lblScore1", "lblScore2",
                 "lblnome1", "lblnome", "lblpunti")
        return {name: self.read(name) for name in names}

    def button(self, name, within=None):
        root = within if within is not None else self.main_window()
        for node in descendants(root):
            if role(node) == "push button" and node.get_name() == name and showing(node):
                return node
        raise AssertionError("no button %r" % name)

    def menu_item(self, name):
        for node in descendants(self.main_window()):
            if role(node) == "menu item" and node.get_name() == name and showing(node):
                return node
        raise AssertionError("no menu item %r" % name)

    @staticmethod
    def enabled(node):
        return node.get_state_set().contains(Atspi.StateType.ENABLED)
