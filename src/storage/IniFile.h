// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace storage {

using IniValues = QList<std::pair<QString, QString>>;

// The value of the first key of that name in a section of that name (names compared
// without regard to case), blanks around it trimmed, at most 254 characters; "" when the
// section or the key is missing.
QString iniValue(const QByteArray& content, const QString& section, const QString& key);

// The content with the key set in place, or added to its section, or added with its
// section; every other line stays byte for byte.
QByteArray withIniValue(const QByteArray& content, const QString& section, const QString& key,
                        const QString& value);

// The same on a file, in UTF-8 or Windows-1252, or UTF-16 with its mark: "" when the file
// can't be read.
QString readIniValue(const QString& path, const QString& section, const QString& key);

// Sets the keys in order and replaces the file atomically, in the encoding it came in, only
// when something changed. A refused write, a file that is there but can't be read, or one
// marked as UTF-16 that isn't valid UTF-16, changes nothing. Returns why the file could not be
// written, or an empty string.
[[nodiscard]] QString writeIniValues(const QString& path, const QString& section,
                                     const IniValues& values);

} // namespace storage
