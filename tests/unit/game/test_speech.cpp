#include "game/exercise.h"
#include "game/speech.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace mirabolo::game;

class TestSpeech : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void speech_data()
    {
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<QString>("expected");
        auto exercise = [](int source, int target, int quantity) {
            return exerciseQuestion(Exercise{1, 0, source, target, quantity, 0.0});
        };
        QTest::newRow("19 cl into ml") << exercise(2, 1, 19) << u"Quanti millilitri sono 19 centilitri?"_s;
        QTest::newRow("1 l into ml") << exercise(4, 1, 1) << u"Quanti millilitri è 1 litro?"_s;
        QTest::newRow("2 hl into dal") << exercise(6, 5, 2) << u"Quanti decalitri sono 2 ettolitri?"_s;
        QTest::newRow("wrong, minutes") << verdictSpeech(u"Sbagliato!! 190"_s, 3, 1, 779)
                                        << u"Sbagliato!! 190. Esatte 3, errate 1, totali 4. Restano 12 minuti."_s;
        QTest::newRow("right, one minute")
            << verdictSpeech(u"Esatto. Sei proprio ok!!!"_s, 1, 0, 60)
            << u"Esatto. Sei proprio ok!!! Esatte 1, errate 0, totali 1. Resta 1 minuto."_s;
        QTest::newRow("last second") << timeLeftSpeech(1) << u"Resta 1 secondo"_s;
        QTest::newRow("record") << startSpeech(u"Zoe"_s, u"12"_s, u"Ada"_s)
                                << u"Sfidante Zoe. Il record è di Ada con 12 punti."_s;
        QTest::newRow("one point") << startSpeech(u"Zoe"_s, u"1"_s, u"Ada"_s)
                                   << u"Sfidante Zoe. Il record è di Ada con 1 punto."_s;
        QTest::newRow("no record, no name") << startSpeech(u""_s, u""_s, u""_s) << u""_s;
        QTest::newRow("no record") << startSpeech(u"Zoe"_s, u""_s, u""_s) << u"Sfidante Zoe."_s;
    }
    void speech()
    {
        QFETCH(QString, spoken);
        QTEST(spoken, "expected");
    }
};

QTEST_GUILESS_MAIN(TestSpeech)
#include "test_speech.moc"
