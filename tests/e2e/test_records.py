import os
import pathlib
import signal
import stat

from harness import CAPTION, Game, expected_answer


class RecordsTest(Game):

    def test_pipe_in_place_of_the_record_file(self):
        pipe = os.path.join(self.data, "mirabolo", "eqc.txt")
        os.makedirs(os.path.dirname(pipe))
        os.mkfifo(pipe)
        self.greet()
        self.find("label", "Non riesco a leggere o a creare i file dei record. Puoi giocare lo stesso, ma il record "
                  "non potrà essere salvato.")
        self.keys("^Mirabolo$", "Return")
        self.exercise()
        self.assertTrue(stat.S_ISFIFO(os.stat(pipe).st_mode))

    def test_class_folder_from_the_system_configuration(self):
        folder = os.path.join(self.dir, "classe")
        os.mkdir(folder)
        with open(os.path.join(self.dir, "mirabolo.conf"), "w") as conf:
            conf.write("[Record]\nCartella=%s\n" % folder)
        self.greet(XDG_CONFIG_DIRS=self.dir)
        self.answer(expected_answer(*self.exercise()))
        files = self.finish(folder)
        self.assertEqual((files.get("eqc.txt"), files.get("neqc.txt")), (b"1\r\n", b"Zoe\r\n"))
        self.assertRegex(files.get("registro.csv", b"").decode("utf-8"),
                         "^\ufeffData;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r\n"
                         r"\d{4}-\d\d-\d\d;\d\d:\d\d:\d\d;Zoe;1;0;1;\d+;uscita;nuovo\r\n$")

    def test_logout_and_hangup_leave_the_game_in_the_register(self):
        private = {"XDG_CONFIG_DIRS": os.path.join(self.dir, "xdg")}
        # A logout's SIGTERM in the middle of a game that beats the empty record.
        self.greet(**private)
        for typed in ("%s", "%s0", "%s"):
            self.answer(typed % expected_answer(*self.exercise()))
            self.keys(CAPTION, "Return")
        self.exercise()
        self.game.send_signal(signal.SIGTERM)
        self.assertEqual(self.game.wait(60), 0)
        # A hang-up while the new-game question is open.
        self.greet(**private)
        self.answer(expected_answer(*self.exercise()) + "0")
        self.keys(CAPTION, "alt", "Right", "Return")
        self.find("alert", "INIZIARE NUOVA GARA")
        self.game.send_signal(signal.SIGHUP)
        self.assertEqual(self.game.wait(60), 0)
        folder = pathlib.Path(self.data, "mirabolo")
        self.assertEqual((folder / "eqc.txt").read_bytes(), b"")  # the record is not compared
        self.assertRegex((folder / "registro.csv").read_bytes().decode("utf-8"),
                         r"\r\n\d{4}-\d\d-\d\d;\d\d:\d\d:\d\d;Zoe;2;1;3;\d+;interrotta;\r\n"
                         r"\d{4}-\d\d-\d\d;\d\d:\d\d:\d\d;Zoe;0;1;1;\d+;interrotta;\r\n$")
