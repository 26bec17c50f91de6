// The teacher's list of her class: its name, its pupils with the other
// spellings each has typed, and her rule for "da seguire". A plain UTF-8 text
// she can edit, kept in her own settings, never in the class folder (every
// pupil's account can replace a file there); the game never reads it.
//
//     # Notes start with #.
//     Classe: 4ª A
//     Soglia: 60%
//     Partite minime: 3
//     Niccolò Bianchi = Niccol | niccolo b
//     Anna Rossi
//
// One pupil a line; after "=" (or "|") the other spellings of that pupil,
// separated by "|". A name holding = | : " or starting with # goes in double
// quotes, a quote in it doubled, as a spreadsheet writes it.
#pragma once

#include "classregister/classfigures.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace mirabolo::classregister {

struct ListedPupil
{
    QString name;
    QStringList spellings; // besides the name
    friend bool operator==(const ListedPupil &, const ListedPupil &) = default;
};

class ClassList
{
public:
    // A list is a class, not a book: a longer file is read up to here.
    static constexpr qsizetype maxBytes = 256 << 10;

    // Reads the list's text, skipping what cannot be read. Each line passed
    // over adds to `problems` an Italian sentence naming it ("Riga 4: ...").
    static ClassList parse(QByteArrayView text, QStringList *problems = nullptr);
    // The text parse() reads back, with notes saying how to edit it.
    QByteArray text() const;

    QString className() const { return name; }
    void setClassName(const QString &className) { name = className.simplified(); }
    FollowRule rule() const { return followRule; }
    // Out-of-range values are brought within the rule's bounds.
    void setRule(FollowRule rule);

    const QList<ListedPupil> &pupils() const { return listed; }
    bool isEmpty() const { return listed.isEmpty(); }

    // A new pupil at the end; false when the name is blank or already
    // someone's (find() says whose).
    bool addPupil(const QString &pupilName);
    // A further spelling of the pupil at `pupil`; false when blank or already
    // another pupil's.
    bool addSpelling(qsizetype pupil, const QString &spelling);

    // The listed pupil that `typed` names (by name or spelling, without regard
    // to capitals and blanks, as the class's figures compare names); -1 for
    // none.
    qsizetype find(const QString &typed) const;

private:
    QString name;
    FollowRule followRule;
    QList<ListedPupil> listed;
    QHash<QString, qsizetype> index; // by ClassFigures::pupilKey() of each name and spelling
};

// The other spellings as a pupil's line writes them after the name
// ("Niccol | niccolo b"), and back; none when a quote is left open.
QString spellingsText(const QStringList &spellings);
std::optional<QStringList> parseSpellings(QStringView text);

// Where the teacher's list for the class of `classSource` (a class folder, or
// a register given alone) is kept: her own settings folder for the program,
// "classi/", a file named after the folder ("/srv/classe-4a" gives
// "srv_classe-4a.txt"). A name nobody else's folder gives.
QString classListPath(const QString &classSource);

struct ClassListFile
{
    ClassList list;
    bool found = false; // a file stood there and was read
    QString error; // it could not be read at all: why, in Italian
    QStringList problems; // lines passed over, each naming its line
};

// Reads the list at `path`; none is no error.
ClassListFile readClassList(const QString &path);
// Writes it at `path` in full, then in place of the old one, creating its
// folder (the teacher's own, private) when missing. On failure `error` says
// why in Italian.
bool writeClassList(const QString &path, const ClassList &list, QString *error);

} // namespace mirabolo::classregister
