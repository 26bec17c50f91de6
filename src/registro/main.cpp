#include "classregister/registerfile.h"
#include "registro/application.h"
#include "registro/classsession.h"
#include "registro/registerwindow.h"
#include "registro/report.h"
#include "runtime/commandline.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <cstring>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using mirabolo::classregister::Period;

namespace {

struct Options
{
    QString registerPath;
    Period period = Period::SchoolYear;
    QString pdf;
    bool quitWhenReady = false;
};

void fail(const QString &message)
{
    std::fputs(qPrintable(u"mirabolo-registro: %1\n"_s.arg(message)), stderr);
}

Options parseCommandLine(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Registro di Mirabolo: le partite della classe, con grafici e un resoconto da stampare."_s);
    mirabolo::runtime::addHelpAndVersion(parser);
    const QCommandLineOption folder(u"cartella-record"_s,
                                    u"Cartella dei record della classe (sostituisce Cartella= della sezione "
                                    u"[Record] di mirabolo.conf)."_s,
                                    u"CARTELLA"_s);
    const QCommandLineOption period(u"periodo"_s,
                                    u"Periodo mostrato: oggi, settimana, mese, anno (scolastico, dal 1° "
                                    u"settembre) o tutto. Predefinito: anno."_s,
                                    u"PERIODO"_s, u"anno"_s);
    const QCommandLineOption pdf(u"pdf"_s, u"Scrive il resoconto in FILE (PDF, A4) senza aprire la finestra."_s,
                                 u"FILE"_s);
    // For benchmarks: the time until the whole register is on screen.
    QCommandLineOption quitWhenReady(u"esci-quando-pronto"_s, u"Esce appena il registro è mostrato."_s);
    quitWhenReady.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({folder, period, pdf, quitWhenReady});
    parser.addPositionalArgument(u"REGISTRO"_s,
                                 u"Il file registro.csv da aprire (predefinito: quello della cartella dei "
                                 u"record)."_s,
                                 u"[REGISTRO]"_s);
    mirabolo::runtime::processCommandLine(parser, app);

    Options options;
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        fail(u"indicare un solo registro."_s);
        std::exit(2);
    }
    options.registerPath =
        files.isEmpty() ? mirabolo::classregister::defaultRegisterPath(parser.value(folder)) : files.first();
    const QStringList names = {u"oggi"_s, u"settimana"_s, u"mese"_s, u"anno"_s, u"tutto"_s};
    const qsizetype index = names.indexOf(parser.value(period).toLower());
    if (index < 0) {
        fail(u"periodo sconosciuto \"%1\": usa oggi, settimana, mese, anno o tutto."_s.arg(parser.value(period)));
        std::exit(2);
    }
    options.period = Period(index);
    options.pdf = parser.value(pdf);
    options.quitWhenReady = parser.isSet(quitWhenReady);
    return options;
}

// A scheduled job has no session, hence no XDG_RUNTIME_DIR, and Qt would warn
// about it on every run: a private folder of the user's, as Qt would fall
// back to, given beforehand.
void provideRuntimeDir()
{
#ifdef Q_OS_UNIX
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QString path = QDir::tempPath() + u"/mirabolo-registro-%1"_s.arg(::getuid());
    if (QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) || QFileInfo(path).isDir())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path));
#endif
}

bool wantsPdf(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--pdf") == 0 || std::strncmp(argv[i], "--pdf=", 6) == 0)
            return true;
    return false;
}

int writePdf(const Options &options)
{
    const QDate today = QDate::currentDate();
    mirabolo::registro::ClassSession session(options.registerPath, options.period, [today] { return today; });
    // Nothing waits for its turn meanwhile: slices only as large as the
    // reader's own pieces, since a slice's games are held twice until counted.
    session.setSliceBytes(mirabolo::classregister::RegisterFile::chunkBytes);
    session.readToEnd();
    const mirabolo::classregister::RegisterFile &file = session.file();
    if (file.state() != mirabolo::classregister::RegisterFile::State::Read) {
        fail(file.statusMessage());
        return 1;
    }
    if (file.skippedCount() > 0)
        fail(mirabolo::classregister::skippedLinesText(file.skippedCount()));
    if (file.skippedForNames() > 0)
        fail(mirabolo::classregister::tooManyNamesText(file.skippedForNames()));
    QString error;
    if (!mirabolo::registro::writePdfReport(options.pdf, session.reportContent(), &error)) {
        fail(error);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool toPdf = wantsPdf(argc, argv);
    provideRuntimeDir();
    // The report needs no screen: a scheduled job has none.
    if (toPdf && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef __GLIBC__
    // Each page's contents grow large and are freed page after page: keeping
    // that memory costs less than the system mapping and clearing it afresh
    // for every page of a long report.
    if (toPdf) {
        mallopt(M_MMAP_THRESHOLD, 64 << 20);
        mallopt(M_TRIM_THRESHOLD, 128 << 20);
        mallopt(M_TOP_PAD, 16 << 20);
    }
#endif
    if (!toPdf && !mirabolo::runtime::displayAvailable()) {
        QCoreApplication core(argc, argv);
        mirabolo::registro::setUpApplication(core);
        parseCommandLine(core);
        fail(u"nessuno schermo disponibile (DISPLAY non impostato); per il solo resoconto usa: "
             u"mirabolo-registro --pdf FILE"_s);
        return 1;
    }

    QApplication app(argc, argv);
    mirabolo::registro::setUpApplication(app);
    const Options options = parseCommandLine(app);
    if (!options.pdf.isEmpty())
        return writePdf(options);

    QGuiApplication::setDesktopFileName(u"org.example.mirabolo.registro"_s);
    mirabolo::registro::RegisterWindow window(options.registerPath, options.period, &QDate::currentDate);
    window.show();
    if (options.quitWhenReady) {
        const auto quit = [&window] {
            window.repaint();
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        };
        if (window.isReady())
            QTimer::singleShot(0, &window, quit);
        else
            QObject::connect(&window, &mirabolo::registro::RegisterWindow::ready, &window, quit);
    }
    return QApplication::exec();
}
