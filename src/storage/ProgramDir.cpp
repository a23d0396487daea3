#include "ProgramDir.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace storage {

QString resolveProgramDir(const QString& executableDir, const QString& configHome) {
    const QByteArray native = QFile::encodeName(executableDir);
    if (!executableDir.isEmpty() && ::access(native.constData(), W_OK) == 0)
        return executableDir;
    return QDir::cleanPath(configHome + QStringLiteral("/pellory"));
}

ProgramFiles::ProgramFiles(const QString& programDir)
    : settings(programDir + (programDir.endsWith(u'/') ? QString() : QStringLiteral("/")) +
               QStringLiteral("Config.ini")),
      messageList(programDir + QStringLiteral("/RandomMsgs.lst")),
      startupSound(programDir + QStringLiteral("/Intro.wav")) {}

} // namespace storage
