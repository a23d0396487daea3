#pragma once

#include <QString>

namespace storage {

// The folder beside the program when the user can write there, otherwise
// <configHome>/pellory, so that an installed copy still keeps its files.
QString resolveProgramDir(const QString& executableDir, const QString& configHome);

// The program's files in its folder. The settings path gets a separator only when the
// folder doesn't end in one; the others always get one.
struct ProgramFiles {
    explicit ProgramFiles(const QString& programDir);
    QString settings;
    QString messageList;
    QString startupSound;
};

} // namespace storage
