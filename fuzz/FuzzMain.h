#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// What both fuzz targets share: an application object (the list reader lets events run),
// a scratch folder in memory, and the way a broken promise ends the run.
namespace FuzzMain {

inline QString ScratchFolder() {
    static QTemporaryDir* folder = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        auto* dir = new QTemporaryDir(base + QStringLiteral("/pellory-fuzz-XXXXXX"));
        if (!dir->isValid())
            std::abort();
        return dir;
    }();
    return folder->path();
}

inline void Start(int* argc, char*** argv) {
    new QCoreApplication(*argc, *argv); // lives as long as the fuzzing run
    ScratchFolder();
}

// A found problem is a crash to libFuzzer, which then keeps the input.
inline void Report(const QStringList& problems) {
    if (problems.isEmpty())
        return;
    for (const QString& problem : problems)
        std::fprintf(stderr, "broken promise: %s\n", qPrintable(problem));
    std::abort();
}

} // namespace FuzzMain
