// The class as the teacher's program holds it: the register followed live,
// the figures of the period shown, and the period. It says what changed, so
// that what shows it (item models, and through them tables and charts)
// changes no more than a game changed. The window and the report with no
// window read the register through it alike.
#pragma once

#include "classregister/answerscheckpoint.h"
#include "classregister/classfigures.h"
#include "classregister/classlist.h"
#include "classregister/registerfile.h"
#include "registro/classanswers.h"
#include "registro/liveanswers.h"
#include "registro/liveregister.h"

#include <QDate>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

namespace mirabolo::registro {

struct ReportContent;

class ClassSession : public QObject
{
    Q_OBJECT

public:
    using Today = std::function<QDate()>;

    // Nothing is read before the first refresh() or readToEnd().
    ClassSession(const QString &path, classregister::Period period, Today today, QObject *parent = nullptr);

    // Another register in place of this one, read from its start.
    void openRegister(const QString &path);
    QString registerPath() const { return filePath; }
    // What the report and the title call the register: its folder for a
    // class's registro.csv, else the file itself.
    QString source() const;

    // The teacher's class list: her own for this register's class (see
    // classregister::classListPath()), read again when another register is
    // opened, unless `path` is given here (the command line's --classe).
    void setClassListPath(const QString &path);
    QString classListPath() const { return listPath; }
    const classregister::ClassList &classList() const { return list; }
    // Why the list could not be read at all, or the lines of it passed over.
    QString classListError() const { return listError; }
    const QStringList &classListProblems() const { return listProblems; }
    // The list's name for the class, else source(): what the window and the
    // report call the class.
    QString className() const;
    // Saves `classList` as the teacher's list and counts the class afresh by
    // it; false, with the reason in Italian, when it cannot be saved.
    bool saveClassList(const classregister::ClassList &classList, QString *error);
    // The names typed in the whole register, in any period, that are nobody's
    // on the list (all of them without a list), each in the spelling used
    // most, in the order first typed.
    QStringList unlistedNames() const;

    // The figures of another period: the register is read again, since the
    // games outside the period shown were not kept.
    void setPeriod(classregister::Period period);
    // The days from chosen.first to chosen.last, as Period::Range.
    void setRange(const classregister::DateSpan &chosen);
    classregister::Period period() const { return shownPeriod; }
    // The days of the period shown.
    classregister::DateSpan span() const;
    QDate today() const { return clock(); }

    const classregister::ClassFigures &figures() const { return classFigures; }
    // The answers of the period, beside the register.
    const ClassAnswers &answers() const { return *classAnswers; }
    const classregister::RegisterFile &file() const { return live->file(); }

    // Watched and polled while on: games ending on any PC show within seconds.
    void setFollowing(bool on);
    // Looks for news now (the rest of a large register over the next turns
    // of the event loop).
    void refresh();
    // Reads up to the file's end now, without the event loop.
    void readToEnd();
    // The register and its answers read to their ends once since it was opened.
    bool isReady() const { return readyOnce; }
    // Slices of the file are waiting to be read.
    bool loading() const { return live->loading() || liveAnswers->loading(); }

    // What the report says of the class as it stands.
    ReportContent reportContent() const;

    // Bytes read at a time before the event loop gets its turn again; set
    // before the first refresh().
    void setSliceBytes(qint64 bytes);

    // Where the figures of the answers read are kept, so that the next
    // window or report reads only the answers added since; none by default.
    // They are kept after a reading that read at least `leastNewBytes` since
    // the last kept. Set before the first refresh().
    static constexpr qint64 checkpointBytes = qint64(4) << 20;
    void setCheckpointFolder(const QString &path, qint64 leastNewBytes = checkpointBytes);
    // The teacher's own cache folder for them.
    static QString defaultCheckpointFolder();

Q_SIGNALS:
    // The figures are built again from scratch (another file, or period):
    // from aboutToReset() to reset() the register is read whole, maybe over
    // several turns of the event loop, and there is no class to show.
    void aboutToReset();
    void reset();
    // The figures of pupil `row` changed; a row past the last one shown is a
    // new pupil.
    void pupilChanged(qsizetype row);
    // A game of pupil `row` went in at `position` among that pupil's games.
    void gameInserted(qsizetype row, qsizetype position);
    // Read up to the file's end after a change: its state and skipped lines
    // may be new too.
    void settled();
    // The register and its answers read to their ends for the first time
    // since the register was opened, after the settled() of the register.
    void ready();
    // Another class list was read or saved; the figures follow with a reset.
    void classListChanged();

private:
    void follow(const QString &registerPath);
    void registerReloaded();
    void gamesAppended(qsizetype first);
    void registerSettled();
    void readClassList();
    void readAgain();
    void answersSettled();
    std::optional<LiveAnswers::Resume> resumeAnswers();
    void keepCheckpoint();
    void noteTyped(const QString &name);
    void noteRead();

    QString filePath;
    QString listPath;
    bool listGiven = false; // by the command line: kept for any register
    classregister::ClassList list;
    QString listError;
    QStringList listProblems;
    classregister::DateSpan range;
    // Each spelling typed in the whole register, and how often, by its first
    // appearance: the names nobody on the list has are found among them.
    QHash<QString, qint64> typedNames;
    QStringList typedOrder;
    Today clock;
    classregister::Period shownPeriod;
    classregister::ClassFigures classFigures;
    ClassAnswers *classAnswers;
    QPointer<LiveRegister> live;
    QPointer<LiveAnswers> liveAnswers;
    qint64 sliceBytes = LiveRegister::sliceBytes;
    std::optional<classregister::CheckpointFolder> checkpoints;
    qint64 checkpointNewBytes = checkpointBytes;
    qint64 checkpointOffset = 0; // of the reading shown: where it was last kept or taken up
    bool following = false;
    bool rebuilding = false; // reading the register whole: one reset, not a signal per game
    bool readOnce = false;
    bool answersReadOnce = false;
    bool readyOnce = false;
};

} // namespace mirabolo::registro
