// SPDX-License-Identifier: MIT
#include "ProgramDir.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace storage {

QString resolveProgramDir(const QString& executableDir, const QString& configHome,
                          const InstallPlace& install) {
    const QDir folder(executableDir);
    const bool installed = folder.canonicalPath() == QDir(install.binDir).canonicalPath() ||
                           QFile::exists(folder.filePath(install.launcherFromBinDir));
    if (!executableDir.isEmpty() && !installed &&
        ::access(QFile::encodeName(executableDir).constData(), W_OK) == 0)
        return executableDir;
    return QDir::cleanPath(configHome + QStringLiteral("/pellory"));
}

ProgramFiles::ProgramFiles(const QString& programDir)
    : settings(programDir + (programDir.endsWith(u'/') ? QString() : QStringLiteral("/")) +
               QStringLiteral("Config.ini")),
      messageList(programDir + QStringLiteral("/RandomMsgs.lst")),
      startupSound(programDir + QStringLiteral("/Intro.wav")) {}

} // namespace storage
