// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringConverter>

#include <optional>

namespace engine {

// Text from outside (a line of the list or settings file, a message in an aim: link): UTF-8
// when the bytes are valid UTF-8 as a whole, otherwise Windows-1252, so that text written
// on Windows keeps its accents. No byte is ever dropped.
QString decodeUtf8Or1252(QByteArrayView bytes);

// A file's bytes as UTF-8. A file that starts with a UTF-16 mark (as Notepad writes them, in
// either byte order) is converted and its encoding kept, so that it can be written back
// in it; any other file comes back as it is.
struct Utf8Bytes {
    QByteArray bytes;
    std::optional<QStringConverter::Encoding> utf16;
};
Utf8Bytes asUtf8(const QByteArray& fileBytes);

// The file's bytes again: in the UTF-16 it came in, with its mark, or as they are.
QByteArray inFileEncoding(const QByteArray& utf8, std::optional<QStringConverter::Encoding> utf16);

} // namespace engine
