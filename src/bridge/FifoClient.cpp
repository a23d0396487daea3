// SPDX-License-Identifier: MIT
#include "FifoClient.h"

#include <QRegularExpression>

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

bool isWeechatFifoName(QStringView fileName) {
    static const QRegularExpression form(QStringLiteral("^weechat_fifo(_[0-9]+)?$"));
    return form.match(fileName).hasMatch();
}

QString mcabberFifoSetting(const QByteArray& config, const QString& home) {
    static const QRegularExpression setting(
        QStringLiteral("^\\s*set\\s+fifo_name\\s*=\\s*(.*?)\\s*$"));
    QString path;
    for (const QByteArray& line : config.split('\n')) {
        const QRegularExpressionMatch match = setting.match(QString::fromUtf8(line));
        if (match.hasMatch())
            path = match.captured(1);
    }
    if (path.startsWith(QLatin1String("~/")))
        path.replace(0, 1, home);
    return path;
}

QByteArray fifoAwayLine(FifoClient client, const QString& plainText) {
    const QByteArray command = client == FifoClient::WeeChat ? "*/away -all " : "/status away ";
    return command + plainText.toUtf8() + '\n';
}

} // namespace bridge
