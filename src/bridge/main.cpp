// pellory-aim-bridge URL: carries out aim:goaway?message=TEXT on a running libpurple client.

#include "AimUrl.h"
#include "PurpleClient.h"
#include "StatusText.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>

#include <chrono>
#include <cstdio>
#include <thread>

#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// The desktop waits on its handler: the whole run stays under two seconds, counted from the
// start of main. D-Bus calls end by the deadline; the watchdog covers what no call timeout
// bounds.
constexpr auto kDBusDeadline = 1500ms;
constexpr auto kWatchdog = 1800ms;

enum ExitCode { kSet = 0, kClientFailed = 1, kBadUrl = 2 };

// Qt 6.4's D-Bus thread may still dispatch a message from the bus while the program's
// statics are torn down, and then warns about invalid types on standard error. Nothing
// needs cleaning up, so the process ends without that teardown.
[[noreturn]] void exitWith(ExitCode code) {
    std::fflush(stderr);
    ::_exit(code);
}

[[noreturn]] void fail(const QString& why, ExitCode code) {
    std::fprintf(stderr, "pellory-aim-bridge: %s\n", why.toUtf8().constData());
    exitWith(code);
}

// Connecting to a frozen bus has no timeout of its own.
void armWatchdog() {
    std::thread([] {
        std::this_thread::sleep_for(kWatchdog);
        static const char message[] = "pellory-aim-bridge: D-Bus did not answer in time\n";
        (void)!::write(STDERR_FILENO, message, sizeof message - 1);
        ::_exit(kClientFailed);
    }).detach();
}

} // namespace

int main(int argc, char** argv) {
    armWatchdog();
    const QDeadlineTimer deadline(kDBusDeadline);
    if (argc != 2)
        fail(QStringLiteral("usage: pellory-aim-bridge 'aim:goaway?message=TEXT'"), kBadUrl);
    const bridge::AwayRequest request = bridge::parseAimUrl(argv[1]);
    if (!request.ok())
        fail(request.error, kBadUrl);
    QCoreApplication app(argc, argv);
    bridge::PurpleClient client(QDBusConnection::sessionBus(), deadline);
    const QString error = client.setAwayMessage(bridge::storableStatusText(request.text));
    if (!error.isEmpty())
        fail(error, kClientFailed);
    exitWith(kSet);
}
