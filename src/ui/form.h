// The window's stored description: tavola.ui plus the little it cannot hold.
#pragma once

class QMainWindow;

namespace Ui {
class Tavola;
}

namespace mirabolo::ui {

// Completes what Ui::Tavola::setupUi() built on `window`; call it right after
// setupUi(). Text4's initial lines end in CR LF in the description; the text
// box keeps them as paragraphs, so its plain text reads them back as "\n".
void finishForm(QMainWindow *window, Ui::Tavola &ui);

} // namespace mirabolo::ui
