// SPDX-License-Identifier: MIT
#include "matrix/MatrixLogin.h"

#include "FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bridge {

namespace {

constexpr qint64 kMostLoginBytes = 64 * 1024;

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString octal(uint mode) {
    return QStringLiteral("0%1").arg(mode & 07777, 3, 8, QLatin1Char('0'));
}

QString refusal(const QString& path, const QString& why) {
    return QStringLiteral("refusing the Matrix login %1: %2").arg(path, why);
}

std::optional<MatrixLogin> fromJson(const QByteArray& json) {
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    MatrixLogin login{object.value(QLatin1String("homeserver")).toString(),
                      object.value(QLatin1String("user_id")).toString(),
                      object.value(QLatin1String("device_id")).toString(),
                      object.value(QLatin1String("access_token")).toString()};
    if (login.homeserver.isEmpty() || login.userId.isEmpty() || login.accessToken.isEmpty())
        return std::nullopt;
    return login;
}

QByteArray toJson(const MatrixLogin& login) {
    const QJsonObject object{{QLatin1String("homeserver"), login.homeserver},
                             {QLatin1String("user_id"), login.userId},
                             {QLatin1String("device_id"), login.deviceId},
                             {QLatin1String("access_token"), login.accessToken}};
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

} // namespace

QString matrixLoginPath(const QProcessEnvironment& environment) {
    QString config = environment.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (!QDir::isAbsolutePath(config))
        config = environment.value(QStringLiteral("HOME"), QDir::homePath()) +
                 QStringLiteral("/.config");
    return config + QStringLiteral("/pellory/matrix-login.json");
}

QString homeserverRefusal(const QString& typed) {
    const QUrl base(typed, QUrl::StrictMode);
    const QString host = base.host();
    if (!base.isValid() || host.isEmpty() || base.hasQuery() || base.hasFragment() ||
        !base.userInfo().isEmpty())
        return QStringLiteral("%1 is not a homeserver URL such as https://matrix.example.org")
            .arg(typed);
    if (base.scheme() == QLatin1String("https"))
        return {};
    // Only an address literal is connected to as it stands: "127.0.0.256" is a name, and the
    // resolver may send a name anywhere.
    const QHostAddress address(host);
    const bool loopback =
        host == QLatin1String("localhost") || (!address.isNull() && address.isLoopback());
    if (base.scheme() == QLatin1String("http") && loopback)
        return {};
    return QStringLiteral("%1: only https:// keeps the password and the token from being read "
                          "on the way (plain http:// only to this computer's loopback address)")
        .arg(typed);
}

StoredLogin readMatrixLogin(const QString& path, uint user) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return {std::nullopt, errno == ENOENT ? QString() : refusal(path, systemError())};
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return {std::nullopt, refusal(path, QStringLiteral("not a regular file"))};
    if (status.st_uid != user)
        return {std::nullopt,
                refusal(path,
                        QStringLiteral("it belongs to user id %1, not to you").arg(status.st_uid))};
    if ((status.st_mode & 077) != 0)
        return {std::nullopt,
                refusal(path, QStringLiteral("mode %1 lets other users read or change the token; "
                                             "run chmod 600 %2, and --matrix-login again if "
                                             "someone may have read it")
                                  .arg(octal(status.st_mode), path))};
    const std::optional<MatrixLogin> login = fromJson(file.read(kMostLoginBytes));
    if (!login)
        return {std::nullopt,
                refusal(path, QStringLiteral("not a login the bridge wrote; "
                                             "run pellory-aim-bridge --matrix-login"))};
    if (const QString why = homeserverRefusal(login->homeserver); !why.isEmpty())
        return {std::nullopt, refusal(path, why)};
    return {login, QString()};
}

QString writeMatrixLogin(const QString& path, const MatrixLogin& login) {
    const QString folder = QFileInfo(path).absolutePath();
    if (const QString why = storage::makePrivateFolder(folder); !why.isEmpty())
        return why;
    if (const QString why = storage::replaceFile(path, toJson(login), storage::FileMode::Private);
        !why.isEmpty())
        return QStringLiteral("cannot write %1: %2").arg(path, why);
    return {};
}

} // namespace bridge
