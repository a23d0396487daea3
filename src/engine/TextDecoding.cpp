// SPDX-License-Identifier: MIT
#include "TextDecoding.h"

#include <QStringDecoder>

#include <array>

namespace engine {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; the five bytes it leaves undefined
// keep their own code point, as Windows maps them.
constexpr std::array<char16_t, 32> kCp1252From80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = byte >= 0x80 && byte < 0xA0 ? QChar(kCp1252From80[byte - 0x80]) : QChar(byte);
    }
    return text;
}

} // namespace

QString decodeUtf8Or1252(QByteArrayView bytes) {
    // Most texts are valid UTF-8, which the plain conversion handles quickest; a text where
    // it had to substitute something needs the strict check, and so does one starting with
    // U+FEFF, which the plain conversion would drop.
    QString text = QString::fromUtf8(bytes);
    if (!bytes.startsWith("\xEF\xBB\xBF") && !text.contains(QChar::ReplacementCharacter))
        return text;
    // ConvertInitialBom: a U+FEFF that starts the text is text; only the list file's own
    // mark is dropped, by the reader of the file.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    text = utf8.decode(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}

Utf8Bytes asUtf8(const QByteArray& fileBytes) {
    const std::optional<QStringConverter::Encoding> utf16 =
        fileBytes.startsWith("\xFF\xFE")   ? std::optional(QStringConverter::Utf16LE)
        : fileBytes.startsWith("\xFE\xFF") ? std::optional(QStringConverter::Utf16BE)
                                           : std::nullopt;
    if (!utf16)
        return {fileBytes, std::nullopt};
    QStringDecoder decoder(*utf16, QStringConverter::Flag::Stateless);
    return {QString(decoder.decode(QByteArrayView(fileBytes).sliced(2))).toUtf8(), utf16};
}

QByteArray inFileEncoding(const QByteArray& utf8, std::optional<QStringConverter::Encoding> utf16) {
    if (!utf16)
        return utf8;
    QStringEncoder encoder(*utf16, QStringConverter::Flag::WriteBom);
    return encoder.encode(QString::fromUtf8(utf8));
}

} // namespace engine
