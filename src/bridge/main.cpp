// SPDX-License-Identifier: MIT
// pellory-aim-bridge URL: carries out aim:goaway?message=TEXT on every running messenger it
// knows: libpurple clients (Pidgin, Finch), HexChat, Gajim and nheko over D-Bus, WeeChat and
// mcabber through their FIFOs, and the presence of a Matrix account on its homeserver.

#include "AimUrl.h"
#include "FifoClients.h"
#include "GajimClient.h"
#include "HexchatClient.h"
#include "MatrixCommands.h"
#include "MatrixPresence.h"
#include "NhekoClient.h"
#include "PurpleClient.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// The desktop waits on its handler: the whole run stays under two seconds, counted from the
// start of main. The messengers are called side by side and their calls end by the
// deadline; the watchdog covers what no call timeout bounds.
constexpr auto kDBusDeadline = 1500ms;
constexpr auto kWatchdog = 1800ms;

enum ExitCode { kSet = 0, kClientFailed = 1, kBadUrl = 2 };

// Qt 6.4's D-Bus thread may still dispatch a message from the bus while the program's
// statics are torn down, and then warns about invalid types on standard error. Nothing
// needs cleaning up, so the process ends without that teardown.
[[noreturn]] void exitWith(ExitCode code) {
    std::fflush(nullptr);
    ::_exit(code);
}

void report(const QString& why) {
    std::fprintf(stderr, "pellory-aim-bridge: %s\n", why.toUtf8().constData());
}

[[noreturn]] void fail(const QString& why, ExitCode code) {
    report(why);
    exitWith(code);
}

// Set once a messenger has taken the text, so a later hang still ends as a success.
std::atomic<bool> anyTaken{false};

// Connecting to a frozen bus has no timeout of its own; the watchdog bounds any other hang too.
void armWatchdog() {
    std::thread([] {
        std::this_thread::sleep_for(kWatchdog);
        static const char message[] =
            "pellory-aim-bridge: no answer in time (D-Bus, a FIFO or Matrix)\n";
        (void)!::write(STDERR_FILENO, message, sizeof message - 1);
        ::_exit(anyTaken ? kSet : kClientFailed);
    }).detach();
}

// Every kind of messenger the bridge knows, in the order their failures are told.
std::vector<std::unique_ptr<bridge::Messenger>> messengers(bridge::SessionBus& bus,
                                                           QDeadlineTimer deadline) {
    std::vector<std::unique_ptr<bridge::Messenger>> all;
    all.push_back(std::make_unique<bridge::FifoClients>());
    all.push_back(std::make_unique<bridge::PurpleClient>(bus, deadline));
    all.push_back(std::make_unique<bridge::HexchatClient>(bus, deadline));
    all.push_back(std::make_unique<bridge::GajimClient>(bus, deadline));
    all.push_back(std::make_unique<bridge::NhekoClient>(bus, deadline));
    all.push_back(std::make_unique<bridge::MatrixPresence>(deadline));
    return all;
}

// Hands the text to all of them side by side; each returns by the deadline.
bridge::Delivery setAway(const std::vector<std::unique_ptr<bridge::Messenger>>& all,
                         const bridge::MessengerText& text) {
    std::vector<std::future<bridge::Delivery>> running;
    for (const auto& messenger : all)
        running.push_back(std::async(std::launch::async, [&messenger, &text] {
            bridge::Delivery delivery = messenger->setAway(text);
            if (delivery.taken > 0)
                anyTaken = true;
            return delivery;
        }));
    bridge::Delivery delivery;
    for (std::future<bridge::Delivery>& each : running)
        delivery += each.get();
    return delivery;
}

QString names(const std::vector<std::unique_ptr<bridge::Messenger>>& all) {
    QStringList names;
    for (const auto& messenger : all)
        names << messenger->name();
    return names.join(QStringLiteral(", "));
}

} // namespace

const char kUsage[] =
    "Usage: pellory-aim-bridge 'aim:goaway?message=TEXT'\n"
    "       pellory-aim-bridge --matrix-login HOMESERVER_URL USER_ID\n"
    "Sets TEXT as the away message of every running Pidgin, Finch, HexChat, WeeChat, Gajim,\n"
    "mcabber and nheko, and of the Matrix account logged in with --matrix-login.\n"
    "Register it as the handler of aim: links with\n"
    "  xdg-mime default pellory-aim-bridge.desktop x-scheme-handler/aim\n"
    "\n"
    "Options:\n"
    "  -h, --help     Displays this help.\n"
    "  -v, --version  Displays the version.\n"
    "  --matrix-login HOMESERVER_URL USER_ID\n"
    "                 Logs in to Matrix once, with the password from the terminal or standard\n"
    "                 input, and keeps the login in $XDG_CONFIG_HOME/pellory (mode 0600).\n"
    "  --matrix-token HOMESERVER_URL USER_ID\n"
    "                 The same with an access token on standard input (single sign-on).\n"
    "  --matrix-logout\n"
    "                 Ends the stored Matrix login's session and deletes it.\n"
    "\n"
    "Exit status: 0 when a messenger took the message, 1 when none did, 2 for a bad link.\n";

int main(int argc, char** argv) {
    if (argc > 1 && QByteArrayView(argv[1]).startsWith("--matrix-")) { // typed: no time limit
        QCoreApplication app(argc, argv);
        exitWith(ExitCode(bridge::runMatrixCommand(argc, argv)));
    }
    armWatchdog();
    const QDeadlineTimer deadline(kDBusDeadline);
    const QByteArrayView first = argc == 2 ? QByteArrayView(argv[1]) : QByteArrayView();
    if (first == "-h" || first == "--help") {
        std::fputs(kUsage, stdout);
        exitWith(kSet);
    }
    if (first == "-v" || first == "--version") {
        std::puts("pellory-aim-bridge " PELLORY_VERSION);
        exitWith(kSet);
    }
    if (argc != 2 || first.startsWith("-"))
        fail(QStringLiteral("usage: pellory-aim-bridge 'aim:goaway?message=TEXT' (see --help)"),
             kBadUrl);
    const bridge::AwayRequest request = bridge::parseAimUrl(argv[1]);
    if (!request.ok())
        fail(request.error, kBadUrl);
    QCoreApplication app(argc, argv);
    bridge::SessionBus bus;
    const auto all = messengers(bus, deadline);
    bridge::Delivery delivery = setAway(all, bridge::messengerText(request.text));
    if (const QString failure = bus.failure(); !failure.isEmpty())
        delivery.failures += failure;
    for (const QString& failure : delivery.failures)
        report(failure);
    if (delivery.taken > 0)
        exitWith(kSet);
    if (delivery.failures.isEmpty())
        report(QStringLiteral("no messenger is running (%1)").arg(names(all)));
    exitWith(kClientFailed);
}
