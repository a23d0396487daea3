// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace storage {

// Where an install puts the program, as the build knows it: the bin folder, and the
// launcher's place seen from there, which also finds a copy installed with another prefix.
struct InstallPlace {
    QString binDir;
    QString launcherFromBinDir;
};

// The folder beside the program, when the user can write there and it is not a folder the
// program was installed to (a build tree, an unpacked copy); otherwise <configHome>/pellory,
// so that an installed copy keeps its files in the user's folder.
QString resolveProgramDir(const QString& executableDir, const QString& configHome,
                          const InstallPlace& install);

// The program's files in its folder. The settings path gets a separator only when the
// folder doesn't end in one; the others always get one.
struct ProgramFiles {
    explicit ProgramFiles(const QString& programDir);
    QString settings;
    QString messageList;
    QString startupSound;
};

} // namespace storage
