// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

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

// The line that sets the away text: WeeChat's on all its servers ("*" runs it in the current
// buffer), mcabber's on its account. plainText must hold no line break.
QByteArray fifoAwayLine(FifoClient client, const QString& plainText);

} // namespace bridge
