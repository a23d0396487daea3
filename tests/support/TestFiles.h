#pragma once

#include "MessageListFile.h"

#include <QFile>

#include <sys/stat.h>

// A plain list standing in for the window's list box.
class StringListMessages final : public Misc::MessageList {
public:
    QStringList entries;
    int count() const override { return int(entries.size()); }
    QString entry(int index) const override { return entries.at(index); }
    void append(const QStringList& more) override { entries += more; }
};

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool Chmod(const QString& path, mode_t mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}
