import pathlib
import signal
from decimal import Decimal

from harness import CAPTION, UNITS, Game, expected_answer


def off_by_ten(quantity, source, target):
    text = format(Decimal(quantity).scaleb(UNITS.index(source) - UNITS.index(target) + 1), "f")
    return (text.rstrip("0").rstrip(".") if "." in text else text).replace(".", ",")


class AnswersTest(Game):

    def test_a_logout_keeps_every_answer_as_typed(self):
        self.greet()
        typed = []
        for answer in (expected_answer, lambda q, s, t: expected_answer(q, t, s), off_by_ten):
            exercise = self.exercise()
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
        self.assertEqual(lines[4:], [""])
        for line, fields in zip(lines[1:4], typed):
            self.assertRegex(line, r"^\d{4}-\d\d-\d\d;\d\d:\d\d:\d\d;Zoe;\d{4}-\d\d-\d\d \d\d:\d\d:\d\d;")
            self.assertEqual(line.split(";")[4:9] + line.split(";")[10:],
                             fields + ["esatta" if fields[3] == fields[4] else "errata"])
        self.assertRegex((folder / "registro.csv").read_bytes().decode("utf-8"),
                         r"\r\n\d{4}-\d\d-\d\d;\d\d:\d\d:\d\d;Zoe;1;2;3;\d+;interrotta;\r\n$")
