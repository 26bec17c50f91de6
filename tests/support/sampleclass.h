// A small class's register, as the game writes it and then with lines as a
// spreadsheet saves them again; Mia played in an earlier school year.
#pragma once

#include <QByteArray>

namespace mirabolo::test {

inline const QByteArray sampleRegister = "\xEF\xBB\xBF"
                                         "Data;Ora;Nome;Esatte;Errate;Totali;Secondi rimasti;Fine;Record\r\n"
                                         "2025-05-10;11:00:00;Mia;10;0;10;0;tempo scaduto;nuovo\r\n"
                                         "2026-10-05;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                                         "2026-10-06;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                                         "non è una partita\r\n"
                                         "2026-10-07;10:00:00;Luca;2;8;10;0;uscita;\r\n"
                                         "01/12/2026;10:00;zoe ;3;7;10;0;finestra chiusa;\r\n"
                                         "2026-12-07;\"09:12:00\";\"Zoe\";9;1;10;0;\"tempo scaduto\";\"nuovo\"\n";

} // namespace mirabolo::test
