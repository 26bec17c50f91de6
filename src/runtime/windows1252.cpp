#include "runtime/windows1252.h"

#include <array>

namespace mirabolo::runtime {

namespace {

// 0x80-0x9F are where Windows-1252 differs from Latin-1. The five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control of the same value, as Windows itself and web browsers do: every
// byte then reads as a distinct character and writes back unchanged, so no
// file is altered by reading and rewriting it.
constexpr std::array<char16_t, 32> highTable = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021', // 80-87
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F', // 88-8F
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014', // 90-97
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178', // 98-9F
};

char toByte(char16_t unicode)
{
    if (unicode < 0x80 || (unicode >= 0xA0 && unicode <= 0xFF)) {
        return static_cast<char>(unicode);
    }
    for (std::size_t i = 0; i < highTable.size(); ++i) {
        if (highTable[i] == unicode) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

} // namespace

QString decodeWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = (byte >= 0x80 && byte < 0xA0) ? QChar(highTable[byte - 0x80u]) : QChar(char16_t(byte));
    }
    return text;
}

QByteArray encodeWindows1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            // One character outside the code page, one '?'.
            ++i;
            bytes.append('?');
            continue;
        }
        bytes.append(toByte(c.unicode()));
    }
    return bytes;
}

} // namespace mirabolo::runtime
