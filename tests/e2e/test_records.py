"""The record files on disk: first run, new record, second start, unusable folder."""

import os
import re

from harness import (APP_TITLE, NEW_RECORD_MESSAGE, RIGHT_MESSAGE, WINDOW_CAPTION, GameTestCase, clock_seconds,
                     expected_answer, today_titles)


class RecordsTest(GameTestCase):

    def files(self, data_home=None):
        folder = os.path.join(data_home or self.data_home, "mirabolo")
        return os.path.join(folder, "eqc.txt"), os.path.join(folder, "neqc.txt")

    def read_bytes(self, path):
        with open(path, "rb") as f:
            return f.read()

    def exit_game(self):
        """Alt+X; returns the farewell box after checking its title and text."""
        seconds_before = clock_seconds(self.read("lblconto"))
        self.press(WINDOW_CAPTION, "alt+x")
        farewell = self.wait_for_box(roles=("alert",), title_matches=lambda t: t.startswith("Data "))
        self.assertIn(farewell.get_name(), today_titles())
        match = re.fullmatch(r"Ciao a presto\. Ore (0|[1-9][0-9]*)", self.box_message(farewell))
        self.assertIsNotNone(match, "farewell text %r" % self.box_message(farewell))
        self.assertIn(int(match.group(1)), range(seconds_before - 10, seconds_before + 1))
        return farewell

    def test_first_run_creates_both_files_empty(self):
        self.assertEqual(os.listdir(self.data_home), [])
        self.start_playing()
        for path in self.files():
            self.assertEqual(self.read_bytes(path), b"", path)
        # The record line shows the empty files, not the form's placeholders.
        self.assertEqual(self.read("lblpunti"), "")
        self.assertEqual(self.read("lblnome"), "")

    def test_exit_with_new_record_then_second_start(self):
        exercise = self.start_playing("Zoe")
        self.assertEqual(self.give_answer(expected_answer(*exercise)), RIGHT_MESSAGE)
        self.wait_for_scores(("1", "0", "1"))

        farewell_title = self.exit_game().get_name()
        self.press(farewell_title, "Return")
        stored = self.wait_for_box(APP_TITLE, roles=("alert",))
        self.assertEqual(self.box_message(stored), NEW_RECORD_MESSAGE)
        self.press(APP_TITLE, "Return")
        self.assertEqual(self.wait_for_exit(), 0)

        record, holder = self.files()
        self.assertEqual(self.read_bytes(record), b"1\r\n")
        self.assertEqual(self.read_bytes(holder), b"Zoe\r\n")

        # The next game shows the record, the files' whole text, line ends
        # included; a score of 0 leaves it alone.
        self.start_playing("Ada")
        self.assertEqual(self.read("lblpunti"), "1\r\n")
        self.assertEqual(self.read("lblnome"), "Zoe\r\n")
        self.press(self.exit_game().get_name(), "Return")
        self.assertEqual(self.wait_for_exit(), 0)
        self.assertEqual(self.read_bytes(record), b"1\r\n")
        self.assertEqual(self.read_bytes(holder), b"Zoe\r\n")

    def test_record_holder_is_stored_in_windows_1252(self):
        exercise = self.start_playing("Niccolò")
        self.assertEqual(self.give_answer(expected_answer(*exercise)), RIGHT_MESSAGE)
        self.press(self.exit_game().get_name(), "Return")
        self.wait_for_box(APP_TITLE, roles=("alert",))
        self.press(APP_TITLE, "Return")
        self.assertEqual(self.wait_for_exit(), 0)
        self.assertEqual(self.read_bytes(self.files()[1]), b"Niccol\xf2\r\n")

        self.start_playing("Ada")
        self.assertEqual(self.read("lblnome"), "Niccolò\r\n")

    def test_unusable_data_directory_still_plays(self):
        # A regular file where the data folder should be.
        blocker = os.path.join(self.data_home, "mirabolo")
        with open(blocker, "wb") as f:
            f.write(b"not a folder")

        self.start_game()
        greeting = self.answer_name("Zoe")
        self.assertEqual(self.box_message(greeting), " Zoe vediamo se sei un vero campione  ")
        self.press(APP_TITLE, "Return")
        warning = self.wait_for_box(APP_TITLE, roles=("alert",), text_matches=lambda t: "record" in t)
        self.assertNotEqual(self.box_message(warning).strip(), "")
        self.press(APP_TITLE, "Return")

        exercise = self.wait_for_exercise()
        self.assertEqual(self.read("lblpunti"), "")
        self.assertEqual(self.read("lblnome"), "")
        self.assertEqual(self.give_answer(expected_answer(*exercise)), RIGHT_MESSAGE)
        self.wait_for_scores(("1", "0", "1"))

        # The record beats the empty one but cannot be stored: no success box.
        self.press(self.exit_game().get_name(), "Return")
        failure = self.wait_for_box(APP_TITLE, roles=("alert",))
        self.assertNotEqual(self.box_message(failure), NEW_RECORD_MESSAGE)
        self.press(APP_TITLE, "Return")
        self.assertEqual(self.wait_for_exit(), 0)
        with open(blocker, "rb") as f:
            self.assertEqual(f.read(), b"not a folder")
        self.assertEqual(sorted(os.listdir(self.data_home)), ["mirabolo"])
