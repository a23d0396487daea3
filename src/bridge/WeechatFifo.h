// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

namespace bridge {

// WeeChat's fifo plugin makes a FIFO named weechat_fifo_PID for each running WeeChat and
// carries out every line written to it as a command.

// Where WeeChat 3.8 puts that FIFO, for the environment the desktop's programs share:
// $WEECHAT_HOME when set; the runtime folder, $XDG_RUNTIME_DIR/weechat or else the cache
// folder; the data folder that earlier 3.x versions used; and ~/.weechat, which a set-up
// from before 3.2 keeps using.
QStringList weechatFifoFolders(const QProcessEnvironment& environment);

// The process id in the FIFO's file name, or 0 when the name is not weechat_fifo_PID.
qint64 weechatFifoPid(const QString& fileName);

// The line that sets the away text on all of WeeChat's servers; "*" runs it in the current
// buffer. plainText must hold no line break.
QByteArray weechatAwayLine(const QString& plainText);

} // namespace bridge
