#include "classregister/classlist.h"

#include "classregister/registerformat.h"
#include "records/folderfile.h"
#include "runtime/windows1252.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirabolo::classregister {

namespace {

const QString classKey = u"classe"_s;
const QString thresholdKey = u"soglia"_s;
const QString gamesKey = u"partite minime"_s;

QString keyOf(const QString &name)
{
    return ClassFigures::pupilKey(storedName(name));
}

QString cleaned(const QString &name)
{
    return storedName(name).simplified();
}

// A name as the list writes it: in quotes when it holds what the reader
// would take for a separator, a key or a note.
QString field(const QString &name)
{
    const bool plain = !name.contains(u'=') && !name.contains(u'|') && !name.contains(u':') && !name.contains(u'"') &&
        !name.startsWith(u'#');
    if (plain)
        return name;
    return u'"' + QString(name).replace(u"\""_s, u"\"\""_s) + u'"';
}

// The fields of a pupil's line, split at = and |; false when a quote is left open.
bool splitNames(QStringView line, QStringList &names)
{
    qsizetype pos = 0;
    const qsizetype n = line.size();
    while (true) {
        while (pos < n && line[pos].isSpace())
            ++pos;
        QString name;
        if (pos < n && line[pos] == u'"') {
            ++pos;
            while (true) {
                const qsizetype quote = line.indexOf(u'"', pos);
                if (quote < 0)
                    return false;
                name += line.sliced(pos, quote - pos);
                pos = quote + 1;
                if (pos < n && line[pos] == u'"') {
                    name += u'"';
                    ++pos;
                    continue;
                }
                break;
            }
            // Anything after the closing quote, up to the separator, goes on the name.
            qsizetype end = pos;
            while (end < n && line[end] != u'=' && line[end] != u'|')
                ++end;
            name += line.sliced(pos, end - pos);
            pos = end;
        } else {
            qsizetype end = pos;
            while (end < n && line[end] != u'=' && line[end] != u'|')
                ++end;
            name = line.sliced(pos, end - pos).toString();
            pos = end;
        }
        names << cleaned(name);
        if (pos >= n)
            return true;
        ++pos; // the separator
    }
}

// A whole number from `minimum` to `maximum`, with a "%" after it when
// `percent`; -1 otherwise.
int wholeNumber(QString text, int minimum, int maximum, bool percent)
{
    text = text.trimmed();
    if (percent && text.endsWith(u'%'))
        text = text.chopped(1).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= minimum && value <= maximum ? value : -1;
}

} // namespace

void ClassList::setRule(FollowRule rule)
{
    followRule.percent = std::clamp(rule.percent, FollowRule::minPercent, FollowRule::maxPercent);
    followRule.games = std::clamp(rule.games, FollowRule::minGames, FollowRule::maxGames);
}

qsizetype ClassList::find(const QString &typed) const
{
    return index.value(keyOf(typed), -1);
}

bool ClassList::addPupil(const QString &pupilName)
{
    const QString key = keyOf(pupilName);
    if (key.isEmpty() || index.contains(key))
        return false;
    index.insert(key, listed.size());
    listed.append(ListedPupil{cleaned(pupilName), {}});
    return true;
}

bool ClassList::addSpelling(qsizetype pupil, const QString &spelling)
{
    const QString key = keyOf(spelling);
    if (key.isEmpty() || pupil < 0 || pupil >= listed.size())
        return false;
    const auto owner = index.constFind(key);
    if (owner != index.cend())
        return *owner == pupil;
    index.insert(key, pupil);
    listed[pupil].spellings << cleaned(spelling);
    return true;
}

ClassList ClassList::parse(QByteArrayView text, QStringList *problems)
{
    ClassList list;
    const auto problem = [problems](qint64 line, const QString &what) {
        if (problems)
            *problems << u"Riga %1: %2"_s.arg(line).arg(what);
    };
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    qint64 lastLine = -1;
    if (text.size() > maxBytes) {
        text = text.first(maxBytes);
        if (const qsizetype end = text.lastIndexOf('\n'); end >= 0)
            text = text.first(end + 1);
        lastLine = text.count('\n');
    }
    QList<qint64> pupilLines; // the line of each listed pupil
    qint64 classLine = 0;
    qint64 lineNumber = 0;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        QByteArrayView bytes = text.sliced(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString line = utf8(bytes);
        if (utf8.hasError()) {
            line = runtime::decodeWindows1252(bytes.toByteArray());
            problem(lineNumber,
                    u"non è testo UTF-8: letta come testo di Windows (Windows-1252), «%1». Salvando "
                    u"l'elenco dal Registro diventa UTF-8."_s.arg(line.trimmed()));
        }
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;

        // "Chiave: valore", where the key holds no quote or separator.
        const qsizetype colon = line.indexOf(u':');
        if (colon >= 0 && !QStringView(line).first(colon).contains(u'"') &&
            !QStringView(line).first(colon).contains(u'=') && !QStringView(line).first(colon).contains(u'|')) {
            const QString key = line.first(colon).simplified().toCaseFolded();
            const QString value = line.sliced(colon + 1).trimmed();
            if (key == classKey) {
                if (classLine > 0) {
                    problem(lineNumber,
                            u"la classe ha già un nome alla riga %1: questa riga non conta."_s.arg(classLine));
                    continue;
                }
                classLine = lineNumber;
                list.setClassName(value);
            } else if (key == thresholdKey) {
                const int percent = wholeNumber(value, FollowRule::minPercent, FollowRule::maxPercent, true);
                if (percent < 0)
                    problem(lineNumber,
                            u"la soglia «%1» non va: serve un numero intero da %2 a %3 (per cento). Resta "
                            u"%4%."_s.arg(value)
                                .arg(FollowRule::minPercent)
                                .arg(FollowRule::maxPercent)
                                .arg(list.followRule.percent));
                else
                    list.followRule.percent = percent;
            } else if (key == gamesKey) {
                const int games = wholeNumber(value, FollowRule::minGames, FollowRule::maxGames, false);
                if (games < 0)
                    problem(lineNumber,
                            u"le partite minime «%1» non vanno: serve un numero intero da %2 a %3. "
                            u"Restano %4."_s.arg(value)
                                .arg(FollowRule::minGames)
                                .arg(FollowRule::maxGames)
                                .arg(list.followRule.games));
                else
                    list.followRule.games = games;
            } else {
                problem(lineNumber,
                        u"«%1» non si capisce. Una riga è un alunno, oppure «Classe:», «Soglia:» o "
                        u"«Partite minime:»; un nome con i due punti va tra virgolette."_s.arg(line));
            }
            continue;
        }

        QStringList names;
        if (!splitNames(line, names)) {
            problem(lineNumber, u"virgolette non chiuse in «%1»: questa riga non conta."_s.arg(line));
            continue;
        }
        const QString &pupilName = names.constFirst();
        if (keyOf(pupilName).isEmpty()) {
            problem(lineNumber, u"manca il nome dell'alunno prima di «=» in «%1»: questa riga non conta."_s.arg(line));
            continue;
        }
        if (const qsizetype owner = list.find(pupilName); owner >= 0) {
            problem(lineNumber,
                    u"«%1» è già un nome di %2 (riga %3): questa riga non conta."_s
                        .arg(pupilName, list.listed.at(owner).name)
                        .arg(pupilLines.at(owner)));
            continue;
        }
        list.addPupil(pupilName);
        pupilLines << lineNumber;
        const qsizetype added = list.listed.size() - 1;
        for (const QString &spelling : names.sliced(1)) {
            const qsizetype owner = list.find(spelling);
            if (owner >= 0 && owner != added)
                problem(
                    lineNumber,
                    u"«%1» è già un nome di %2 (riga %3): qui non conta."_s.arg(spelling, list.listed.at(owner).name)
                        .arg(pupilLines.at(owner)));
            else
                list.addSpelling(added, spelling);
        }
    }
    if (lastLine >= 0 && problems)
        *problems << u"L'elenco supera i %1 kB: lette solo le prime %2 righe."_s.arg(maxBytes >> 10).arg(lastLine);
    return list;
}

QByteArray ClassList::text() const
{
    QString text = u"# Elenco della classe per il Registro di Mirabolo (testo UTF-8).\n"
                   u"# Un alunno per riga; dopo \"=\" le altre grafie con cui ha scritto il suo nome,\n"
                   u"# separate da \"|\". Un nome con = | : o \" va tra virgolette. Le righe con # sono note.\n"
                   u"# Da seguire: chi ha una precisione sotto la soglia in almeno le partite minime.\n"_s;
    text +=
        u"Classe: %1\nSoglia: %2%\nPartite minime: %3\n\n"_s.arg(name).arg(followRule.percent).arg(followRule.games);
    for (const ListedPupil &pupil : listed) {
        text += field(pupil.name);
        if (!pupil.spellings.isEmpty())
            text += u" = "_s + spellingsText(pupil.spellings);
        text += u'\n';
    }
    return text.toUtf8();
}

QString spellingsText(const QStringList &spellings)
{
    QStringList fields;
    for (const QString &spelling : spellings)
        fields << field(spelling);
    return fields.join(u" | "_s);
}

std::optional<QStringList> parseSpellings(QStringView text)
{
    QStringList names;
    if (!splitNames(text, names))
        return std::nullopt;
    names.removeAll(QString());
    return names;
}

QString classListPath(const QString &classSource)
{
    QString path = QDir::cleanPath(QFileInfo(classSource).absoluteFilePath());
    QString name;
    for (const QChar c : path) {
        if (c == u'/' || c == u'\\')
            name += u'_';
        else if (c == u'_' || c == u'%' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' || c == u'>' ||
                 c == u'|' || c.unicode() < 0x20)
            name += u'%' + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            name += c;
    }
    while (name.startsWith(u'_'))
        name.remove(0, 1);
    // A file name has room for 255 bytes: a deep folder keeps its end,
    // told apart from others by a digest of the whole.
    constexpr qsizetype roomBytes = 200;
    if (name.toUtf8().size() > roomBytes) {
        const QByteArray digest = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
        while (name.toUtf8().size() > roomBytes - 17)
            name.remove(0, 1);
        name = QString::fromLatin1(digest) + u'-' + name;
    }
    if (name.isEmpty())
        name = u"radice"_s;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + u"/classi/"_s + name + u".txt"_s;
}

ClassListFile readClassList(const QString &path)
{
    ClassListFile read;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return read;
    QFile file;
    if (!records::openRegularFile(file, path)) {
        read.error = u"Impossibile leggere l'elenco della classe %1: non è un file di testo che si possa aprire "
                     u"(un collegamento, una cartella, o mancano i permessi)."_s.arg(path);
        return read;
    }
    const QByteArray bytes = file.read(ClassList::maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        read.error = u"Impossibile leggere l'elenco della classe %1: %2"_s.arg(path, file.errorString());
        return read;
    }
    read.found = true;
    read.list = ClassList::parse(bytes, &read.problems);
    return read;
}

bool writeClassList(const QString &path, const ClassList &list, QString *error)
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    // Her settings are hers alone: the list names the pupils.
    if (!QFileInfo(folder).isDir()) {
        QDir().mkpath(QFileInfo(folder).absolutePath());
        QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    records::StagedFile file(path, false);
    if (!file.write(list.text()) || !file.place()) {
        *error = u"Impossibile salvare l'elenco della classe %1: la cartella non si può scrivere, oppure il disco è "
                 u"pieno."_s.arg(path);
        return false;
    }
    return true;
}

} // namespace mirabolo::classregister
