// Program-wide set-up shared by the program and its window tests.
#pragma once

class QCoreApplication;

namespace mirabolo::ui {

// Identity, fonts and Qt's own Italian texts ("Sì", "No", "Annulla").
void setUpApplication(QCoreApplication &app);

} // namespace mirabolo::ui
