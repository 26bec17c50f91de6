import collections
import os
import pathlib
import signal
from decimal import Decimal

from harness import CAPTION, UNITS, Game, expected_answer, text, tree, wait


def off_by_ten(quantity, source, target):
    text = format(Decimal(quantity).scaleb(UNITS.index(source) - UNITS.index(target) + 1), "f")
    return (text.rstrip("0").rstrip(".") if "." in text else text).replace(".", ",")


def reversed_answer(quantity, source, target):
    return expected_answer(quantity, target, source)


def cells(table):
    return [text(n) for n in tree(table) if n.get_role_name() == "table cell"]


def settled(read, expected, what):
    # What the window shows once it has read the answers, or what it shows at the end of the wait.
    try:
        wait(lambda: read() == expected, what)
    except AssertionError:
        pass
    return read()


class AnswersTest(Game):

    def test_a_logout_keeps_every_answer_as_typed_and_the_register_window_names_them(self):
        self.greet()
        # Ten times a whole number is one step off; with decimals the same slip is the comma's, so that
        # answer waits for a whole solution, and right answers fill the wait.
        pending, typed = [off_by_ten, reversed_answer, expected_answer], []
        while pending:
            exercise = self.exercise()
            whole = "," not in expected_answer(*exercise)
            answer = next((a for a in pending if whole or a is not off_by_ten), expected_answer)
            if answer in pending:
                pending.remove(answer)
            typed.append([exercise[1], exercise[2], str(exercise[0]), expected_answer(*exercise), answer(*exercise)])
            self.answer(typed[-1][-1])
            self.keys(CAPTION, "Return")
        self.exercise()
        self.game.send_signal(signal.SIGTERM)
        self.assertEqual(self.game.wait(60), 0)
        folder = pathlib.Path(self.data, "mirabolo")
        lines = (folder / "risposte.csv").read_bytes().decode("utf-8").split("\r\n")
        self.assertEqual(lines[0], "\ufeffData;Ora;Nome;Inizio partita;Da;A;Quantità;Soluzione;Risposta;"
                                   "Secondi impiegati;Esito")
        self.assertEqual(lines[len(typed) + 1:], [""])
        for line, fields in zip(lines[1:], typed):
            self.assertRegex(line, r"^\d{4}-\d\d-\d\d;\d\d:\d\d:\d\d;Zoe;\d{4}-\d\d-\d\d \d\d:\d\d:\d\d;")
            self.assertEqual(line.split(";")[4:9] + line.split(";")[10:],
                             fields + ["esatta" if fields[3] == fields[4] else "errata"])
        self.assertRegex((folder / "registro.csv").read_bytes().decode("utf-8"),
                         r"\r\n\d{4}-\d\d-\d\d;\d\d:\d\d:\d\d;Zoe;%d;2;%d;\d+;interrotta;\r\n$"
                         % (len(typed) - 2, len(typed)))

        self.launch([os.environ["MIRABOLO_REGISTRO"], "--periodo", "tutto", "--cartella-record", str(folder)])
        self.keys("^Registro di Mirabolo", "alt+r")
        given, right = collections.Counter(), collections.Counter()
        for source, target, _, solution, answer in typed:
            given[source, target] += 1
            right[source, target] += solution == answer
        played = {"da %s a %s: %d%% giuste su %d %s" % (*pair, (200 * right[pair] + n) // (2 * n), n,
                                                         "risposta" if n == 1 else "risposte")
                  for pair, n in given.items()}
        grid = self.find("table", "Conversioni: risposte esatte e risposte date")
        shown = settled(lambda: {c for c in cells(grid) if c and not c.endswith("nessuna risposta")}, played,
                        "the pairs played in the grid")
        self.assertEqual(shown, played)
        kinds = self.find("table", "Tipi di errore")
        named = {"Verso sbagliato": ("1", "50%"), "Un passaggio sbagliato": ("1", "50%")}
        rows = settled(lambda: {k: (n, share) for k, n, share in zip(*[iter(cells(kinds))] * 3) if n != "0"},
                       named, "the kinds of the two wrong answers")
        self.assertEqual(rows, named)
