#include "records/windows1252.h"

#include <QTest>

#if __has_include(<iconv.h>)
#include <iconv.h>
#define MIRABOLO_HAVE_ICONV 1
#endif

using namespace Qt::StringLiterals;
using namespace mirabolo::records;

namespace {

QByteArray allBytes()
{
    QByteArray bytes(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i) {
        bytes[i] = static_cast<char>(i);
    }
    return bytes;
}

} // namespace

class TestWindows1252 : public QObject
{
    Q_OBJECT

private slots:
    void decodeAgreesWithSystemConverter();
    void undefinedBytes_data();
    void undefinedBytes();
    void everyByteRoundTrips();
    void encode_data();
    void encode();
};

// The C library's converter is an independent reading of the code page.
void TestWindows1252::decodeAgreesWithSystemConverter()
{
#ifdef MIRABOLO_HAVE_ICONV
    iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1252");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        QSKIP("the C library has no Windows-1252 converter");
    }
    const QString decoded = decodeWindows1252(allBytes());
    QCOMPARE(decoded.size(), 256);
    int compared = 0;
    for (int byte = 0; byte < 256; ++byte) {
        char in = static_cast<char>(byte);
        char16_t out = 0;
        char *inPtr = &in;
        auto *outPtr = reinterpret_cast<char *>(&out);
        size_t inLeft = 1;
        size_t outLeft = sizeof(out);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            continue; // undefined in the converter: checked on its own below
        }
        QVERIFY2(decoded.at(byte).unicode() == out,
                 qPrintable(u"byte 0x%1 gives U+%2, expected U+%3"_s.arg(byte, 2, 16)
                                .arg(decoded.at(byte).unicode(), 4, 16, QChar(u'0'))
                                .arg(int(out), 4, 16, QChar(u'0'))));
        ++compared;
    }
    iconv_close(cd);
    QVERIFY(compared >= 251);
#else
    QSKIP("no iconv on this platform");
#endif
}

void TestWindows1252::undefinedBytes_data()
{
    QTest::addColumn<int>("byte");

    for (int byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        QTest::newRow(qPrintable(u"0x%1"_s.arg(byte, 2, 16))) << byte;
    }
}

// Bytes the code page leaves undefined read as the C1 control of the same
// value, so a foreign file is rewritten unchanged.
void TestWindows1252::undefinedBytes()
{
    QFETCH(int, byte);

    const QByteArray bytes(1, static_cast<char>(byte));
    QCOMPARE(decodeWindows1252(bytes), QString(QChar(byte)));
    QCOMPARE(encodeWindows1252(QString(QChar(byte))), bytes);
}

void TestWindows1252::everyByteRoundTrips()
{
    const QByteArray bytes = allBytes();
    QCOMPARE(encodeWindows1252(decodeWindows1252(bytes)), bytes);
}

void TestWindows1252::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("plain name") << u"Mario Rossi"_s << QByteArray("Mario Rossi");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("Italian accents") << u"àèéìòùÀÈÉÌÒÙ"_s
                                     << QByteArray("\xE0\xE8\xE9\xEC\xF2\xF9\xC0\xC8\xC9\xCC\xD2\xD9");
    QTest::newRow("euro is 0x80") << u"€"_s << QByteArray("\x80");
    QTest::newRow("quotes and dashes") << u"“ciao” ‘a’ – — …"_s
                                       << QByteArray("\x93"
                                                     "ciao\x94 \x91"
                                                     "a\x92 \x96 \x97 \x85");
    QTest::newRow("letters above Latin-1") << u"ŠšŒœŽžŸƒ"_s << QByteArray("\x8A\x9A\x8C\x9C\x8E\x9E\x9F\x83");
    QTest::newRow("line end kept") << u"12\r\n"_s << QByteArray("12\r\n");
    QTest::newRow("letter outside") << u"Łukasz"_s << QByteArray("?ukasz");
    QTest::newRow("emoji is one question mark") << u"a😀b"_s << QByteArray("a?b");
    QTest::newRow("two emoji") << u"😀😀"_s << QByteArray("??");
    QTest::newRow("lone high surrogate") << QString(QChar(0xD83D)) + u'x' << QByteArray("?x");
    QTest::newRow("lone low surrogate") << QString(QChar(0xDE00)) << QByteArray("?");
    QTest::newRow("C1 control the code page replaces") << QString(QChar(0x80)) << QByteArray("?");
    QTest::newRow("Greek") << u"Ωμέγα"_s << QByteArray("?????");
}

void TestWindows1252::encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QCOMPARE(encodeWindows1252(text), bytes);
    if (!bytes.contains('?')) {
        QCOMPARE(decodeWindows1252(bytes), text);
    }
}

QTEST_GUILESS_MAIN(TestWindows1252)
#include "test_windows1252.moc"
