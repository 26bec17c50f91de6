#include "game/random.h"
#include "records/recordstore.h"
#include "runtime/commandline.h"
#include "ui/application.h"
#include "ui/artwork.h"
#include "ui/endsignals.h"
#include "ui/qtplatform.h"
#include "ui/session.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QProxyStyle>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Boxes with plain "OK", "Sì", "No" buttons, as a pupil knows them; looking up
// the theme's button icons also cost a third of the start-up.
class PlainButtonsStyle final : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *data) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// The class folder given on the command line, if any.
QString parseCommandLine(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Mirabolo: gioco per esercitarsi con le misure di capacità."_s);
    mirabolo::runtime::addHelpAndVersion(parser);
    const QCommandLineOption classFolder(u"cartella-record"_s,
                                         u"Cartella dei record della classe, condivisa dai PC del laboratorio "
                                         u"(sostituisce Cartella= della sezione [Record] di mirabolo.conf)."_s,
                                         u"CARTELLA"_s);
    parser.addOption(classFolder);
    mirabolo::runtime::processCommandLine(parser, app);
    return parser.value(classFolder);
}

} // namespace

int main(int argc, char *argv[])
{
    if (!mirabolo::runtime::displayAvailable()) {
        QCoreApplication core(argc, argv);
        mirabolo::ui::setUpApplication(core);
        parseCommandLine(core);
        std::fputs("mirabolo: nessuno schermo disponibile (DISPLAY non impostato); "
                   "per giocare senza schermo usa: xvfb-run -a mirabolo\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    mirabolo::ui::setUpApplication(app);
    const QString classFolder = mirabolo::records::classFolder(parseCommandLine(app));
    QApplication::setStyle(new PlainButtonsStyle);
    QGuiApplication::setWindowIcon(mirabolo::ui::artwork::icon(u"mirabolo.ico"_s));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(u"org.example.mirabolo"_s);
    // The game decides when it ends: a closed box must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    mirabolo::ui::QtPlatform platform;
    mirabolo::game::ClockSeededRandom random;
    mirabolo::ui::Session session(platform, random, classFolder);
    QObject::connect(&session, &mirabolo::ui::Session::finished, &app, &QCoreApplication::quit);
    // A logout or a shutdown leaves the game's line in the register.
    const mirabolo::ui::EndSignals endSignals;
    QObject::connect(&endSignals, &mirabolo::ui::EndSignals::received, &session, &mirabolo::ui::Session::interrupt);
    session.start();
    return QApplication::exec();
}
