import os

from harness import Game, text, tree


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
