#pragma once

#include <QByteArray>
#include <QString>

namespace Ini {

// The value of the first key of that name in a section of that name (names compared
// without regard to case), blanks around it trimmed, at most 254 characters; "" when the
// file, the section or the key is missing.
QString ReadSetting(const QString& section, const QString& key, const QString& path);

// Sets the key in place, or adds it to its section, or adds the section; every other line
// of the file stays byte-for-byte. The file is replaced atomically; a refused write
// changes nothing.
void WriteSetting(const QString& section, const QString& key, const QString& value,
                  const QString& path);

// The same two operations on the file's bytes.
QString ValueIn(const QByteArray& content, const QString& section, const QString& key);
QByteArray WithValue(const QByteArray& content, const QString& section, const QString& key,
                     const QString& value);

} // namespace Ini
