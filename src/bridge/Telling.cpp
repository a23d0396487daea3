// SPDX-License-Identifier: MIT
#include "Telling.h"

#include "FileAccess.h"

#include <QVariantMap>

namespace bridge {

QStringList untoldCauses(const QStringList& causes, const QString& folder) {
    if (folder.isEmpty() || !storage::makePrivateFolder(folder).isEmpty())
        return causes;
    const QString path = folder + QStringLiteral("/told");
    const QStringList told =
        QString::fromUtf8(storage::readRegularFile(path).value_or(QByteArray())).split(u'\n');
    QStringList untold;
    for (const QString& cause : causes)
        if (!told.contains(cause))
            untold << cause;
    if (told.join(u'\n') != causes.join(u'\n'))
        (void)storage::replaceFile(path, causes.join(u'\n').toUtf8(), storage::FileMode::Private);
    return untold;
}

void tellDesktop(const Delivery& delivery, bool away, Bus& bus, const QString& folder) {
    if (!bus.connected()) // nothing can be shown, so nothing counts as told
        return;
    const QStringList untold = untoldCauses(delivery.failures, folder);
    if (untold.isEmpty())
        return;
    const QString summary =
        delivery.taken > 0 ? (away ? QStringLiteral("Not every messenger took the away message")
                                   : QStringLiteral("Not every messenger set you back"))
                           : (away ? QStringLiteral("No messenger took the away message")
                                   : QStringLiteral("No messenger set you back"));
    bus.call(QStringLiteral("org.freedesktop.Notifications"),
             QStringLiteral("/org/freedesktop/Notifications"),
             QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"),
             {QStringLiteral("Pellory AIM bridge"), uint(0), QStringLiteral("pellory"), summary,
              untold.join(u'\n'), QStringList(), QVariantMap(), int(-1)});
}

} // namespace bridge
