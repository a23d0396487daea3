// SPDX-License-Identifier: MIT
#include "ProgramDir.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace storage {

QString resolveProgramDir(const QString& executableDir, const QString& configHome,
                          const QString& installedBinDir) {
    const QByteArray native = QFile::encodeName(executableDir);
    const QString canonical = QDir(executableDir).canonicalPath();
    if (!executableDir.isEmpty() && ::access(native.constData(), W_OK) == 0 &&
        canonical != QDir(installedBinDir).canonicalPath())
        return executableDir;
    return QDir::cleanPath(configHome + QStringLiteral("/pellory"));
}

ProgramFiles::ProgramFiles(const QString& programDir)
    : settings(programDir + (programDir.endsWith(u'/') ? QString() : QStringLiteral("/")) +
               QStringLiteral("Config.ini")),
      messageList(programDir + QStringLiteral("/RandomMsgs.lst")),
      startupSound(programDir + QStringLiteral("/Intro.wav")) {}

} // namespace storage
