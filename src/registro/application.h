// Program-wide set-up of the teacher's program, shared with its tests.
#pragma once

class QCoreApplication;

namespace mirabolo::registro {

// Identity, Italian numbers and dates whatever the session's language (the
// report goes into a school's records), and Qt's own Italian texts.
void setUpApplication(QCoreApplication &app);

} // namespace mirabolo::registro
