#include "ProgramDir.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace Storage {

QString ResolveProgramDir(const QString& executableDir, const QString& configHome) {
    const QByteArray native = QFile::encodeName(executableDir);
    if (!executableDir.isEmpty() && ::access(native.constData(), W_OK) == 0)
        return executableDir;
    return QDir::cleanPath(configHome + QStringLiteral("/pellory"));
}

QString SettingsFilePathIn(const QString& programDir) {
    if (programDir.endsWith(u'/'))
        return programDir + QStringLiteral("Config.ini");
    return programDir + QStringLiteral("/Config.ini");
}

QString MessageListPathIn(const QString& programDir) {
    return programDir + QStringLiteral("/RandomMsgs.lst");
}

QString StartupSoundPathIn(const QString& programDir) {
    return programDir + QStringLiteral("/Intro.wav");
}

} // namespace Storage
