#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What save_loop writes, over and over, and the crash-safety test expects to find.
namespace SaveLoop {

inline constexpr int Entries = 20000;
inline const QString Section = QStringLiteral("Main");
inline const QString Key = QStringLiteral("Load/Save");

// Two large lists of different sizes, so that a cut or a mix of them shows.
inline QStringList List(bool second) {
    QStringList list;
    list.reserve(Entries);
    for (int i = 0; i < Entries; ++i)
        list << (second ? QStringLiteral("B %1: back in a while, caf\u00E9 \u20AC").arg(i)
                        : QStringLiteral("A %1 <b>lunch</b>").arg(i));
    return list;
}

// Settings with many lines besides the key that changes.
inline QByteArray Settings(bool second) {
    QByteArray content = "[Main]\r\nLoad/Save=" + QByteArray(second ? "0" : "1") + "\r\n";
    for (int i = 0; i < Entries / 4; ++i)
        content += "; line " + QByteArray::number(i) + " kept as it is\r\n";
    return content;
}

} // namespace SaveLoop
