#pragma once

#include <QString>

namespace Storage {

// The folder beside the program when the user can write there, otherwise
// <configHome>/pellory, so that an installed copy still keeps its files.
QString ResolveProgramDir(const QString& executableDir, const QString& configHome);

// The settings path gets a separator only when the folder doesn't end in one.
QString SettingsFilePathIn(const QString& programDir);
// The list and sound paths always get one.
QString MessageListPathIn(const QString& programDir);
QString StartupSoundPathIn(const QString& programDir);

} // namespace Storage
