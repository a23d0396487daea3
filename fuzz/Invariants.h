#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The promises the settings and list readers keep for any bytes on disk. The fuzz targets
// and the regression test in tests/robust run the same checks; each returns what went
// wrong, one sentence per broken promise, and nothing when the input kept them all.
namespace Robust {

// Writes `content` as Config.ini into `folder`, reads the program's keys and every key the
// file holds (the first few dozen of a large file), then writes one of them:
// - a read value has at most 254 characters and is whole UTF-16 (no half of a pair);
// - reading from the file and from its bytes agree;
// - after the write, every other line of the file is there byte-for-byte (a last line
//   without line end may gain CR LF), and the key reads back as written.
QStringList CheckSettingsFile(const QByteArray& content, const QString& folder);

// Writes `content` as RandomMsgs.lst into `folder` and loads it:
// - into an empty list: one entry per line, in order, nothing lost or added, at most
//   32,767 entries;
// - into a list that is almost full: it stops at exactly 32,767;
// - saving the loaded list and loading it again gives the same entries.
QStringList CheckMessageListFile(const QByteArray& content, const QString& folder);

} // namespace Robust
