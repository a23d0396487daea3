// SPDX-License-Identifier: MIT
#include "FifoClient.h"

namespace bridge {

std::optional<FifoClient> fifoClientOf(QString executable) {
    if (executable.endsWith(QLatin1String(" (deleted)")))
        executable.chop(10);
    const QString name = executable.section(u'/', -1);
    if (name == QLatin1String("weechat") || name == QLatin1String("weechat-headless"))
        return FifoClient::WeeChat;
    if (name == QLatin1String("mcabber"))
        return FifoClient::Mcabber;
    return std::nullopt;
}

QString fifoClientName(FifoClient client) {
    return client == FifoClient::WeeChat ? QStringLiteral("WeeChat") : QStringLiteral("mcabber");
}

QByteArray fifoAwayLine(FifoClient client, const QString& plainText) {
    const QByteArray command = client == FifoClient::WeeChat ? "*/away -all " : "/status away ";
    return command + plainText.toUtf8() + '\n';
}

} // namespace bridge
