// SPDX-License-Identifier: MIT
#pragma once

#include "Messenger.h"
#include "Transports.h"

#include <QStringList>

#include <memory>
#include <optional>

namespace bridge {

// A client that carries out every line written to a FIFO it reads. Where the FIFO is, only
// its options say, so the bridge finds it among the open files of the running client.
struct FifoClient {
    QStringList executables; // names of the programs that /proc/PID/exe points to
    QString name;
    QByteArray awayCommand; // the line is this, the plain text and a line break
    QByteArray backCommand; // the line that comes back
    QString setUp;          // what makes it hold a FIFO of its own
    // Which of the FIFOs the process reads is the client's own; any other may be anyone's.
    std::optional<HeldFifo> (*ownFifo)(const Process& process, ProcessTable& table);
};

// WeeChat with its fifo plugin (on by default): the line runs on all its servers ("*" runs
// it in the current buffer); "/away -all" without a text comes back.
extern const FifoClient kWeeChat;
// mcabber with its fifo module, on its account.
extern const FifoClient kMcabber;

// Whether a process runs the client, by the target of its /proc/PID/exe link; that ends in
// " (deleted)" while an upgraded client still runs.
bool runs(const FifoClient& client, QString executable);

// Whether a file name is the one WeeChat's fifo plugin gives its FIFO: weechat_fifo_PID
// (the PID of the WeeChat that made it, which its forked children share), or weechat_fifo.
bool isWeechatFifoName(QStringView fileName);

// The FIFO an mcabber configuration names: its last `set fifo_name = PATH`, with a leading
// "~/" as the home folder. Empty when it names none.
QString mcabberFifoSetting(const QByteArray& config, const QString& home);

// Every running client of this kind, through its own FIFO. Never waits: a FIFO that takes
// nothing at once is a failure.
std::unique_ptr<Messenger> makeFifoMessenger(const FifoClient& client, Transports& transports);

} // namespace bridge
