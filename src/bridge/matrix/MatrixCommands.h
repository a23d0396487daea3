// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace bridge {

// The command lines that set up Matrix once, run in a terminal without the link's time limit:
//   --matrix-login HOMESERVER_URL USER_ID   the password from the terminal or standard input
//   --matrix-token HOMESERVER_URL USER_ID   an access token from there instead (single sign-on)
//   --matrix-logout                         ends the stored login's session and deletes it
// Nothing secret is ever taken from the command line. command is the option's name without
// "--", arguments what follows it. Returns the exit status: 0 done, 1 failed, 2 for a wrong
// command line. Needs a QCoreApplication.
int runMatrixCommand(const QString& command, const QStringList& arguments);

} // namespace bridge
