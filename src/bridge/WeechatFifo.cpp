// SPDX-License-Identifier: MIT
#include "WeechatFifo.h"

#include <QDir>

#include <algorithm>

namespace bridge {

namespace {

const QString kFifoPrefix = QStringLiteral("weechat_fifo_");

// An XDG base folder: the variable when it holds an absolute path, else the default.
QString xdgFolder(const QProcessEnvironment& environment, const QString& variable,
                  const QString& home, const QString& fallback) {
    const QString value = environment.value(variable);
    return QDir::isAbsolutePath(value) ? value : home + fallback;
}

} // namespace

QStringList weechatFifoFolders(const QProcessEnvironment& environment) {
    const QString home = environment.value(QStringLiteral("HOME"), QDir::homePath());
    QStringList folders;
    if (const QString own = environment.value(QStringLiteral("WEECHAT_HOME")); !own.isEmpty())
        folders += own;
    if (const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
        QDir::isAbsolutePath(runtime))
        folders += runtime + QStringLiteral("/weechat");
    folders +=
        xdgFolder(environment, QStringLiteral("XDG_CACHE_HOME"), home, QStringLiteral("/.cache")) +
        QStringLiteral("/weechat");
    folders += xdgFolder(environment, QStringLiteral("XDG_DATA_HOME"), home,
                         QStringLiteral("/.local/share")) +
               QStringLiteral("/weechat");
    folders += home + QStringLiteral("/.weechat");
    folders.removeDuplicates();
    return folders;
}

qint64 weechatFifoPid(const QString& fileName) {
    if (!fileName.startsWith(kFifoPrefix))
        return 0;
    const QStringView digits = QStringView(fileName).sliced(kFifoPrefix.size());
    bool ok = false;
    const qint64 pid = digits.toLongLong(&ok);
    const bool onlyDigits =
        !digits.isEmpty() &&
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return ok && onlyDigits && pid > 0 ? pid : 0;
}

QByteArray weechatAwayLine(const QString& plainText) {
    return "*/away -all " + plainText.toUtf8() + '\n';
}

} // namespace bridge
