"""What a real game leaves on disk when the record folder is not the usual one."""
import os
import stat

from harness import CAPTION, Game, expected_answer, wait


class RecordsTest(Game):

    def test_pipe_in_place_of_the_record_file(self):
        pipe = os.path.join(self.data, "mirabolo", "eqc.txt")
        os.makedirs(os.path.dirname(pipe))
        os.mkfifo(pipe)
        self.greet("Zoe")
        self.find("label", "Non riesco a leggere o a creare i file dei record. Puoi giocare lo stesso, ma il record "
                  "non potrà essere salvato.", timeout=20)
        self.keys("^Mirabolo$", "Return")
        self.exercise()
        self.assertTrue(stat.S_ISFIFO(os.stat(pipe).st_mode))

    def test_class_folder_from_the_system_configuration(self):
        folder, config = os.path.join(self.dir, "classe"), os.path.join(self.dir, "xdg")
        os.mkdir(folder)
        os.mkdir(config)
        with open(os.path.join(config, "mirabolo.conf"), "w") as conf:
            conf.write("[Record]\nCartella=%s\n" % folder)
        self.type(CAPTION, expected_answer(*self.begin("Zoe", XDG_CONFIG_DIRS=config)))
        self.keys(CAPTION, "Return")
        wait(lambda: self.read("lblScore") == ("1",), "a right answer")
        self.keys(CAPTION, "alt+x")
        self.find("alert")
        self.keys("^Data ", "Return")
        self.find("alert", "Mirabolo")
        self.keys("^Mirabolo$", "Return")
        self.assertEqual(self.game.wait(60), 0)
        files = {}
        for name in os.listdir(folder):
            with open(os.path.join(folder, name), "rb") as f:
                files[name] = f.read()
        self.assertEqual((files.get("eqc.txt"), files.get("neqc.txt")), (b"1\r\n", b"Zoe\r\n"))
        self.assertRegex(files.get("registro.csv", b"").decode("utf-8"),
                         "^\ufeffData;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r\n"
                         r"\d{4}-\d\d-\d\d;\d\d:\d\d:\d\d;Zoe;1;0;1;\d+;uscita;nuovo\r\n$")
