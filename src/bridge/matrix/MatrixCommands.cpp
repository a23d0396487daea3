// SPDX-License-Identifier: MIT
#include "matrix/MatrixCommands.h"

#include "Report.h"
#include "matrix/MatrixHttp.h"

#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include <termios.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace bridge {

namespace {

// A person types the password in the meantime: far longer than a link's two seconds.
constexpr auto kCallTimeout = 30s;
const QString kDeviceName = QStringLiteral("Pellory away messages");

enum Status { kDone = 0, kFailed = 1, kUsage = 2 };

int failWith(const QString& why, Status status = kFailed) {
    report(why);
    return status;
}

// The terminal as it was before a prompt hid the typing. A signal that ends the program at
// the prompt (Ctrl-C) puts it back first: the user's shell would go on without echo.
termios terminalBeforePrompt{};
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void restoreTerminalAndEnd(int signalNumber) {
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &terminalBeforePrompt);
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber); // delivered as the handler returns
}

// Hides what is typed on the terminal for as long as it lives.
class HiddenTyping {
public:
    explicit HiddenTyping(const termios& shown) {
        terminalBeforePrompt = shown;
        for (int signalNumber : kEndingSignals)
            ::signal(signalNumber, restoreTerminalAndEnd);
        termios hidden = shown;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    ~HiddenTyping() {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &terminalBeforePrompt);
        for (int signalNumber : kEndingSignals)
            ::signal(signalNumber, SIG_DFL);
        std::fputs("\n", stderr);
    }
    HiddenTyping(const HiddenTyping&) = delete;
    HiddenTyping& operator=(const HiddenTyping&) = delete;
};

std::optional<QString> readLine() {
    char* line = nullptr;
    size_t size = 0;
    const ssize_t length = ::getline(&line, &size, stdin);
    std::optional<QString> text;
    if (length > 0)
        text = QString::fromUtf8(line, length).remove(u'\n').remove(u'\r');
    std::free(line);
    return text;
}

// One line from standard input without its line break; from a terminal without echo, after
// a prompt on standard error.
std::optional<QString> readSecret(const QString& prompt) {
    termios shown{};
    std::optional<HiddenTyping> hidden;
    if (::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &shown) == 0) {
        std::fputs(prompt.toUtf8().constData(), stderr);
        hidden.emplace(shown);
    }
    std::optional<QString> secret = readLine();
    hidden.reset();
    if (!secret || secret->isEmpty())
        return std::nullopt;
    return secret;
}

HttpReply send(const HttpRequest& request) {
    return sendRequest(request, QDeadlineTimer(kCallTimeout));
}

QString loginPath() {
    return matrixLoginPath(QProcessEnvironment::systemEnvironment());
}

// Keeps the new login; a login it replaces is ended, so devices do not pile up.
int store(const MatrixLogin& login) {
    const StoredLogin old = readMatrixLogin(loginPath(), ::geteuid());
    if (const QString why = writeMatrixLogin(loginPath(), login); !why.isEmpty())
        return failWith(why);
    if (old.login && old.login->accessToken != login.accessToken)
        send(logoutRequest(*old.login));
    std::printf("Logged in to Matrix as %s (device %s); the login is kept in %s\n",
                qPrintable(login.userId), qPrintable(serverText(login.deviceId)),
                qPrintable(loginPath()));
    return kDone;
}

int logIn(const QString& homeserver, const QString& userId, bool withToken) {
    const std::optional<QString> secret = readSecret(
        (withToken ? QStringLiteral("Access token of %1: ") : QStringLiteral("Password of %1: "))
            .arg(userId));
    if (!secret)
        return failWith(withToken ? QStringLiteral("no access token on standard input")
                                  : QStringLiteral("no password on standard input"));
    const HttpReply reply =
        send(withToken ? whoamiRequest(homeserver, *secret)
                       : passwordLoginRequest(homeserver, userId, *secret, kDeviceName));
    std::optional<MatrixLogin> login = loginFromReply(homeserver, reply);
    if (!login) {
        const QString failure = matrixFailure(homeserver, userId, reply);
        return failWith(failure.isEmpty()
                            ? QStringLiteral("the homeserver %1 gave no login").arg(homeserver)
                            : failure);
    }
    if (withToken)
        login->accessToken = *secret;
    if (login->userId != userId) {
        if (!withToken) // a session made for another account is of no use: it is ended
            send(logoutRequest(*login));
        return failWith(QStringLiteral("the homeserver says the %1 is %2's, not %3's")
                            .arg(withToken ? QStringLiteral("token") : QStringLiteral("login"),
                                 serverText(login->userId), userId));
    }
    return store(*login);
}

int logOut() {
    const StoredLogin stored = readMatrixLogin(loginPath(), ::geteuid());
    if (!stored.login)
        return failWith(stored.error.isEmpty() ? QStringLiteral("no Matrix login is stored")
                                               : stored.error);
    const HttpReply reply = send(logoutRequest(*stored.login));
    const QString failure = matrixFailure(stored.login->homeserver, stored.login->userId, reply);
    // A token the homeserver no longer knows has no session left to end.
    if (!failure.isEmpty() && reply.status != 401)
        return failWith(failure + QStringLiteral("; the login stays stored"));
    if (!QFile::remove(loginPath()))
        return failWith(QStringLiteral("cannot delete %1").arg(loginPath()));
    std::printf("Logged %s out of Matrix and deleted %s\n", qPrintable(stored.login->userId),
                qPrintable(loginPath()));
    return kDone;
}

} // namespace

int runMatrixCommand(const QString& command, const QStringList& arguments) {
    if (command == QLatin1String("matrix-logout") && arguments.isEmpty())
        return logOut();
    if (command == QLatin1String("matrix-logout") || arguments.size() != 2)
        return failWith(QStringLiteral("usage: pellory-aim-bridge --matrix-login HOMESERVER_URL "
                                       "USER_ID, --matrix-token HOMESERVER_URL USER_ID or "
                                       "--matrix-logout (see --help)"),
                        kUsage);
    const QString& typed = arguments[0];
    const QUrl base = QUrl(typed, QUrl::StrictMode).adjusted(QUrl::NormalizePathSegments);
    const QString& userId = arguments[1];
    if (const QString why = homeserverRefusal(typed); !why.isEmpty())
        return failWith(why, kUsage);
    if (!isMatrixUserId(userId))
        return failWith(
            QStringLiteral("%1 is not a Matrix user ID such as @alice:example.org").arg(userId),
            kUsage);
    return logIn(homeserverBase(base.toString(QUrl::FullyEncoded)), userId,
                 command == QLatin1String("matrix-token"));
}

} // namespace bridge
