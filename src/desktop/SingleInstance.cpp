// SPDX-License-Identifier: MIT
#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace desktop {

SingleInstance::SingleInstance(const QString& programDir, QObject* parent) : QObject(parent) {
    const QString canonical = QDir(programDir).canonicalPath();
    const QByteArray folder =
        QFile::encodeName(canonical.isEmpty() ? QDir::cleanPath(programDir) : canonical);
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex();
    socketPath_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                  QStringLiteral("/pellory-") + QString::fromLatin1(hash.left(16));
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* other = server_.nextPendingConnection()) {
            other->deleteLater();
            emit showRequested();
        }
    });
}

bool SingleInstance::claim() {
    // Two copies started at the same moment must not both find no one and both listen.
    QLockFile lock(socketPath_ + QStringLiteral(".lock"));
    lock.lock();
    QLocalSocket first;
    first.connectToServer(socketPath_);
    if (first.waitForConnected(2000))
        return false;
    QLocalServer::removeServer(socketPath_); // what a copy that crashed left behind
    server_.listen(socketPath_);
    return true;
}

} // namespace desktop
