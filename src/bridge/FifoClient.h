// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace bridge {

// The clients that carry out every line written to a FIFO they keep open: WeeChat with its
// fifo plugin (on by default) and mcabber with its fifo module. Where the FIFO is, only their
// options say, so the bridge finds it among the open files of the running client.
enum class FifoClient { WeeChat, Mcabber };

// Which client a process runs, by the target of its /proc/PID/exe link; that ends in
// " (deleted)" while an upgraded client still runs. Nothing for any other program.
std::optional<FifoClient> fifoClientOf(QString executable);

QString fifoClientName(FifoClient client);

// Whether a file name is the one WeeChat's fifo plugin gives its FIFO: weechat_fifo_PID
// (the PID of the WeeChat that made it, which its forked children share), or weechat_fifo.
bool isWeechatFifoName(QStringView fileName);

// The FIFO an mcabber configuration names: its last `set fifo_name = PATH`, with a leading
// "~/" as the home folder. Empty when it names none.
QString mcabberFifoSetting(const QByteArray& config, const QString& home);

// The line that sets the away text: WeeChat's on all its servers ("*" runs it in the current
// buffer), mcabber's on its account. plainText must hold no line break.
QByteArray fifoAwayLine(FifoClient client, const QString& plainText);

} // namespace bridge
