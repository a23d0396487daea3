// SPDX-License-Identifier: MIT
#include "UrlOpener.h"

#include <QFile>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace desktop {
namespace {

// Linux takes at most 128 KiB, the terminating NUL included, for one argument.
constexpr qsizetype kLongestArgument = 128 * 1024 - 1;
constexpr std::chrono::seconds kHandlerLookupAge(5);
constexpr std::chrono::milliseconds kCheckInterval(200);

const QString kRegisterHint =
    QStringLiteral("No program receives the away messages: nothing is registered for aim: links.\n"
                   "To make pellory-aim-bridge receive them, run:\n"
                   "xdg-mime default pellory-aim-bridge.desktop x-scheme-handler/aim\n"
                   "Then pellory-aim-bridge --check says which messengers would take them.");

} // namespace

XdgOpener::XdgOpener(std::function<std::optional<bool>()> hasAimHandler,
                     std::chrono::milliseconds slowAfter)
    : hasAimHandler_(std::move(hasAimHandler)), slowAfter_(slowAfter) {
    // Checked only while xdg-open runs, so an idle program is not woken.
    check_.setInterval(kCheckInterval);
    connect(&check_, &QTimer::timeout, this, &XdgOpener::checkRunning);
}

void XdgOpener::open(const QString& url) {
    // A web page opens now and then: detached, with nothing to wait for.
    if (!url.startsWith(QLatin1String("aim:"))) {
        if (!QProcess::startDetached(QStringLiteral("xdg-open"), {url}))
            report(Problem::CannotStart, QStringLiteral("Could not start xdg-open."));
        return;
    }
    if (!handlerAge_.isValid() ||
        handlerAge_.hasExpired(std::chrono::milliseconds(kHandlerLookupAge).count())) {
        // When the lookup can't tell, xdg-open is tried and says if it fails; taking
        // "nobody" instead would hold back every message.
        hasHandler_ = hasAimHandler_().value_or(true);
        handlerAge_.start();
    }
    if (!hasHandler_)
        return report(Problem::NoHandler, kRegisterHint);
    if (QFile::encodeName(url).size() > kLongestArgument)
        return report(Problem::TooLong,
                      QStringLiteral("An away message of %1 characters is too long to send: "
                                     "Linux takes at most 128 KiB in one argument.")
                          .arg(url.size()));
    if (running_)
        waiting_ = url;
    else
        start(url);
}

void XdgOpener::start(const QString& url) {
    running_ = spawn(QStringLiteral("xdg-open"), {url});
    if (running_ == 0)
        return report(Problem::CannotStart, QStringLiteral("Could not start xdg-open: ") +
                                                QString::fromLocal8Bit(std::strerror(errno)));
    runningFor_.start();
    check_.start();
}

void XdgOpener::checkRunning() {
    int status = 0;
    const pid_t ended = ::waitpid(running_, &status, WNOHANG);
    if (ended == 0) {
        if (runningFor_.hasExpired(slowAfter_.count()))
            report(Problem::HandlerSlow,
                   QStringLiteral("The program that handles aim: links has not finished after "
                                  "%1 seconds; newer away messages wait for it.")
                       .arg(slowAfter_.count() / 1000));
        return;
    }
    if (ended == running_ && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        report(Problem::OpenerFailed,
               QStringLiteral("xdg-open could not hand the away message on (exit status %1).")
                   .arg(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)));
    running_ = 0;
    check_.stop();
    if (std::optional<QString> next = std::exchange(waiting_, std::nullopt))
        start(*next);
}

pid_t spawn(const QString& program, const QStringList& arguments) {
    std::vector<QByteArray> bytes;
    bytes.reserve(static_cast<size_t>(arguments.size()) + 1);
    bytes.push_back(QFile::encodeName(program));
    for (const QString& argument : arguments)
        bytes.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    // posix_spawn shares the caller's memory until the exec instead of copying it as fork()
    // does, so the time the window's thread waits doesn't grow with the window's memory. The
    // child gets default signal handling, an empty signal mask and its own session.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t mask;
    sigemptyset(&mask);
    posix_spawnattr_setsigmask(&attributes, &mask);
    sigfillset(&mask);
    posix_spawnattr_setsigdefault(&attributes, &mask);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv.front(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    errno = error;
    return error == 0 ? pid : 0;
}

} // namespace desktop
