#include "classregister/registerfile.h"
#include "registro/application.h"
#include "registro/classsession.h"
#include "registro/options.h"
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

void fail(const QString &message)
{
    std::fputs(qPrintable(u"mirabolo-registro: %1\n"_s.arg(message)), stderr);
}

mirabolo::registro::Options parseCommandLine(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Registro di Mirabolo: le partite della classe, con grafici e un resoconto da stampare."_s);
    mirabolo::runtime::addHelpAndVersion(parser);
    mirabolo::registro::addOptions(parser);
    mirabolo::runtime::processCommandLine(parser, app);
    QString error;
    std::optional<mirabolo::registro::Options> options = mirabolo::registro::readOptions(parser, &error);
    if (!options) {
        fail(error);
        std::exit(2);
    }
    if (options->registerPath.isEmpty())
        options->registerPath = mirabolo::classregister::defaultRegisterPath(options->classFolder);
    return *options;
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

int writePdf(const mirabolo::registro::Options &options)
{
    const QDate today = QDate::currentDate();
    mirabolo::registro::ClassSession session(options.registerPath, options.period, [today] { return today; });
    if (!options.classList.isEmpty())
        session.setClassListPath(options.classList);
    if (options.period == Period::Range)
        session.setRange(options.range);
    if (!session.classListError().isEmpty())
        fail(session.classListError());
    for (const QString &problem : session.classListProblems())
        fail(u"elenco della classe %1: %2"_s.arg(session.classListPath(), problem));
    // Nothing waits for its turn meanwhile: slices only as large as the
    // reader's own pieces, since a slice's games are held twice until counted.
    session.setSliceBytes(mirabolo::classregister::RegisterFile::chunkBytes);
    session.setCheckpointFolder(mirabolo::registro::ClassSession::defaultCheckpointFolder());
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
    mirabolo::registro::ReportContent content = session.reportContent();
    if (!options.pupil.isEmpty()) {
        const qsizetype row = session.figures().indexOf(options.pupil);
        if (row < 0) {
            fail(u"nessun alunno \"%1\" nel periodo scelto, né nell'elenco della classe."_s.arg(options.pupil));
            return 1;
        }
        content.sheets = {row};
    } else if (options.sheets) {
        content.sheets = mirabolo::registro::pupilsByName(session.figures());
        if (content.sheets.isEmpty()) {
            fail(u"nessun alunno nel periodo scelto, né nell'elenco della classe: nessuna scheda da scrivere."_s);
            return 1;
        }
    }
    QString error;
    if (!mirabolo::registro::writePdfReport(options.pdf, content, &error)) {
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
    const mirabolo::registro::Options options = parseCommandLine(app);
    if (!options.pdf.isEmpty())
        return writePdf(options);

    QGuiApplication::setDesktopFileName(u"org.example.mirabolo.registro"_s);
    mirabolo::registro::RegisterWindow window(options.registerPath, options.period, &QDate::currentDate);
    if (!options.classList.isEmpty())
        window.session().setClassListPath(options.classList);
    if (options.period == Period::Range)
        window.setRange(options.range.first, options.range.last, nullptr);
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
