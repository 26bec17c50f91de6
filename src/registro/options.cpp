#include "registro/options.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;
using mirabolo::classregister::Period;

namespace mirabolo::registro {

namespace {

const QString folderName = u"cartella-record"_s;
const QString periodName = u"periodo"_s;
const QString fromName = u"dal"_s;
const QString toName = u"al"_s;
const QString classListName = u"classe"_s;
const QString pdfName = u"pdf"_s;
const QString pupilName = u"alunno"_s;
const QString sheetsName = u"schede"_s;
const QString quitName = u"esci-quando-pronto"_s;

// As the command line names each period.
const std::pair<const char16_t *, Period> periodWords[] = {{u"oggi", Period::Today},
                                                           {u"settimana", Period::ThisWeek},
                                                           {u"mese", Period::ThisMonth},
                                                           {u"quadrimestre1", Period::FirstTerm},
                                                           {u"quadrimestre2", Period::SecondTerm},
                                                           {u"anno", Period::SchoolYear},
                                                           {u"tutto", Period::All}};

} // namespace

void addOptions(QCommandLineParser &parser)
{
    parser.addOption({folderName,
                      u"Cartella dei record della classe (sostituisce Cartella= della sezione [Record] di "
                      u"mirabolo.conf)."_s,
                      u"CARTELLA"_s});
    parser.addOption({periodName,
                      u"Periodo mostrato: oggi, settimana, mese, quadrimestre1 (dal 1° settembre al 31 gennaio), "
                      u"quadrimestre2 (dal 1° febbraio al 31 agosto), anno (scolastico, dal 1° settembre) o tutto. "
                      u"Predefinito: anno."_s,
                      u"PERIODO"_s});
    parser.addOption({fromName, u"Primo giorno del periodo mostrato, insieme a --al."_s, u"GG/MM/AAAA"_s});
    parser.addOption({toName, u"Ultimo giorno del periodo mostrato, insieme a --dal."_s, u"GG/MM/AAAA"_s});
    parser.addOption({classListName,
                      u"Elenco della classe da usare (file di testo) al posto di quello tenuto dal Registro per "
                      u"questa cartella."_s,
                      u"FILE"_s});
    parser.addOption({pdfName, u"Scrive il resoconto in FILE (PDF, A4) senza aprire la finestra."_s, u"FILE"_s});
    parser.addOption(
        {pupilName, u"Con --pdf: solo la scheda di NOME, una pagina A4 per i colloqui con i genitori."_s, u"NOME"_s});
    parser.addOption({sheetsName, u"Con --pdf: una scheda per alunno, una pagina ciascuno, nello stesso PDF."_s});
    // For benchmarks: the time until the whole register is on screen.
    QCommandLineOption quitWhenReady(quitName, u"Esce appena il registro è mostrato."_s);
    quitWhenReady.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(quitWhenReady);
    parser.addPositionalArgument(u"REGISTRO"_s,
                                 u"Il file registro.csv da aprire (predefinito: quello della cartella dei "
                                 u"record)."_s,
                                 u"[REGISTRO]"_s);
}

std::optional<Options> readOptions(const QCommandLineParser &parser, QString *error)
{
    const auto refuse = [error](const QString &why) {
        *error = why;
        return std::nullopt;
    };
    Options options;
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return refuse(u"indicare un solo registro."_s);
    if (!files.isEmpty())
        options.registerPath = files.first();
    options.classFolder = parser.value(folderName);

    if (parser.isSet(periodName)) {
        const QString word = parser.value(periodName).trimmed().toLower();
        const auto *found = std::find_if(std::begin(periodWords), std::end(periodWords),
                                         [&word](const auto &known) { return word == QStringView(known.first); });
        if (found == std::end(periodWords))
            return refuse(u"periodo sconosciuto \"%1\": usa oggi, settimana, mese, quadrimestre1, quadrimestre2, "
                          u"anno o tutto, oppure --dal e --al."_s.arg(parser.value(periodName)));
        options.period = found->second;
    }
    if (parser.isSet(fromName) || parser.isSet(toName)) {
        if (parser.isSet(periodName))
            return refuse(u"--dal e --al scelgono già il periodo: non vanno insieme a --periodo."_s);
        if (!parser.isSet(fromName) || !parser.isSet(toName))
            return refuse(
                u"un periodo a scelta ha bisogno di tutte e due le date: --dal GG/MM/AAAA --al GG/MM/AAAA."_s);
        QString why;
        const auto range = classregister::dateRange(classregister::parseDay(parser.value(fromName)),
                                                    classregister::parseDay(parser.value(toName)), &why);
        if (!range)
            return refuse(
                u"periodo non valido (--dal %1 --al %2): %3"_s.arg(parser.value(fromName), parser.value(toName), why));
        options.period = Period::Range;
        options.range = *range;
    }

    options.classList = parser.value(classListName);
    options.pdf = parser.value(pdfName);
    options.pupil = parser.value(pupilName).trimmed();
    options.sheets = parser.isSet(sheetsName);
    if (parser.isSet(pupilName) && options.pupil.isEmpty())
        return refuse(u"--alunno vuole il nome di un alunno."_s);
    if ((parser.isSet(pupilName) || options.sheets) && options.pdf.isEmpty())
        return refuse(u"--alunno e --schede scelgono le pagine del PDF: vanno insieme a --pdf FILE."_s);
    if (parser.isSet(pupilName) && options.sheets)
        return refuse(u"--alunno dà la scheda di un alunno, --schede quelle di tutti: usane uno solo."_s);
    options.quitWhenReady = parser.isSet(quitName);
    return options;
}

} // namespace mirabolo::registro
