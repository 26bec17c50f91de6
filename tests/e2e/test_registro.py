import os
import re
import subprocess

from harness import CAPTION, Game, expected_answer, text, tree


class RegisterWindowTest(Game):

    def test_register_of_the_class_folder_from_the_system_configuration(self):
        folder = os.path.join(self.dir, "classe")
        os.mkdir(folder)
        with open(os.path.join(folder, "registro.csv"), "w", newline="") as register:
            register.write("Data;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r\n"
                           "2026-12-07;09:12:00;Zoe;9;1;10;0;uscita;nuovo\r\n"
                           "2026-12-07;09:40:00;Luca;3;1;4;0;tempo scaduto;\r\n")
        with open(os.path.join(self.dir, "mirabolo.conf"), "w") as conf:
            conf.write("[Record]\nCartella=%s\n" % folder)
        self.launch([os.environ["MIRABOLO_REGISTRO"], "--periodo", "tutto"], XDG_CONFIG_DIRS=self.dir)
        self.find("frame", "Registro di Mirabolo — " + folder)
        pupils = self.find("table", "Alunni della classe")
        cells = [text(n) for n in tree(pupils) if n.get_role_name() == "table cell"]
        self.assertEqual(cells[:2], ["Luca", "1"])
        self.assertIn("75,0%", cells)
        self.assertIn("Zoe", cells)

    def test_names_a_spreadsheet_would_run_read_back_as_typed(self):
        folder = os.path.join(self.dir, "classe")
        os.mkdir(folder)
        with open(os.path.join(self.dir, "mirabolo.conf"), "w") as conf:
            conf.write("[Record]\nCartella=%s\n" % folder)
        # Each game beats the record, so that both end alike.
        for name, right in ((" =Ugo", 1), ("'=Ugo", 2)):
            self.greet(name, XDG_CONFIG_DIRS=self.dir)
            for _ in range(right):
                self.answer(expected_answer(*self.exercise()))
                self.keys(CAPTION, "Return")
            self.finish(folder)
        pdf = os.path.join(self.dir, "resoconto.pdf")
        env = {k: v for k, v in self.env.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
        subprocess.run([os.environ["MIRABOLO_REGISTRO"], "--cartella-record", folder, "--periodo", "tutto",
                        "--pdf", pdf], env=env, check=True, timeout=120)
        report = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True, text=True,
                                check=True).stdout
        self.assertRegex(report, re.compile(r"^ *=Ugo +1 +0 +1 +0 ", re.M))
        self.assertRegex(report, re.compile(r"^ *'=Ugo +1 +0 +2 +0 ", re.M))
