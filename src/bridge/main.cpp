// SPDX-License-Identifier: MIT
// pellory-aim-bridge URL: carries out aim:goaway?message=TEXT on every running messenger of
// the kinds in MessengerKinds.cpp.

#include "MessengerKinds.h"
#include "RealTransports.h"
#include "Report.h"
#include "Telling.h"
#include "matrix/MatrixCommands.h"
#include "text/AimUrl.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>

#include <atomic>
#include <chrono>
#include <thread>

#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// The desktop waits on its handler: the whole run stays under two seconds, counted from the
// start of main. The messengers are called side by side and their calls end by the
// deadline; the watchdog covers what no call timeout bounds.
constexpr auto kDeadline = 1500ms;
constexpr auto kWatchdog = 1800ms;

enum ExitCode { kSet = 0, kClientFailed = 1, kBadUsage = 2 };

// Qt 6.4's D-Bus thread may still dispatch a message from the bus while the program's
// statics are torn down, and then warns about invalid types on standard error. Nothing
// needs cleaning up, so the process ends without that teardown.
[[noreturn]] void exitWith(int code) {
    std::fflush(nullptr);
    ::_exit(code);
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

QString description() {
    QStringList names;
    for (const bridge::MessengerKind& kind : bridge::messengerKinds())
        names << kind.name;
    return QStringLiteral("Sets TEXT as the away message of every running messenger it knows: %1.\n"
                          "Register it as the handler of aim: links with\n"
                          "  xdg-mime default pellory-aim-bridge.desktop x-scheme-handler/aim\n"
                          "Exit status: 0 when a messenger took the message (for --check: would "
                          "take one), 1 when none did, 2 for a bad link or command line.")
        .arg(names.join(QStringLiteral(", ")));
}

struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Displays this help.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Displays the version.")};
    QCommandLineOption back{QStringLiteral("back"),
                            QStringLiteral("Sets you back, available without a message, "
                                           "everywhere a link reaches.")};
    QCommandLineOption check{QStringLiteral("check"),
                             QStringLiteral("Says for each messenger whether it runs and would "
                                            "take a message now, and what to switch on if not; "
                                            "changes no status.")};
    QCommandLineOption login{QStringLiteral("matrix-login"),
                             QStringLiteral("HOMESERVER_URL USER_ID: logs in to Matrix once, with "
                                            "the password from the terminal or standard input, "
                                            "and keeps the login in $XDG_CONFIG_HOME/pellory "
                                            "(mode 0600).")};
    QCommandLineOption token{QStringLiteral("matrix-token"),
                             QStringLiteral("HOMESERVER_URL USER_ID: the same with an access "
                                            "token on standard input (single sign-on).")};
    QCommandLineOption logout{QStringLiteral("matrix-logout"),
                              QStringLiteral("Ends the stored Matrix login's session and "
                                             "deletes it.")};

    CommandLine() {
        parser.setApplicationDescription(description());
        parser.addOptions({help, version, back, check, login, token, logout});
        parser.addPositionalArgument(QStringLiteral("URL"),
                                     QStringLiteral("The link aim:goaway?message=TEXT."));
    }
};

[[noreturn]] void failUsage(const QString& why) {
    bridge::report(why + QStringLiteral(" (see --help)"));
    exitWith(kBadUsage);
}

[[noreturn]] void printHelp(const QCommandLineParser& parser, const char* invokedAs) {
    QString help = parser.helpText();
    help.replace(QString::fromLocal8Bit(invokedAs), QLatin1String("pellory-aim-bridge"));
    help += QStringLiteral("\nMessengers:\n");
    for (const bridge::MessengerKind& kind : bridge::messengerKinds())
        help += QStringLiteral("  %1: %2. %3\n").arg(kind.name, kind.reachedBy, kind.setUp);
    std::fputs(qPrintable(help), stdout);
    exitWith(kSet);
}

[[noreturn]] void printCheck(bridge::Transports& transports) {
    const bridge::Readout readout = bridge::checkEverywhere(transports);
    for (const QString& kind : readout.lines)
        std::puts(kind.toUtf8().constData());
    if (const QString failure = transports.bus.failure(); !failure.isEmpty())
        bridge::report(failure);
    exitWith(readout.ready > 0 ? kSet : kClientFailed);
}

// The text of the link, byte for byte as the desktop handed it over.
bridge::MessengerText awayTextOf(const char* link) {
    const bridge::AwayRequest request = bridge::parseAimUrl(link);
    if (!request.ok()) {
        bridge::report(request.error);
        exitWith(kBadUsage);
    }
    return bridge::messengerText(request.text);
}

// The failures a desktop would not show on standard error, as a notification.
void tellDesktopIfNoTerminal(const bridge::Delivery& delivery, bool away, bridge::Bus& bus) {
    if (::isatty(STDERR_FILENO))
        return;
    // The folder under it is checked to be the user's own and private before it is used.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    bridge::tellDesktop(delivery, away, bus,
                        QDir::isAbsolutePath(runtime)
                            ? runtime + QStringLiteral("/pellory-aim-bridge")
                            : QString());
}

} // namespace

int main(int argc, char** argv) {
    const QDeadlineTimer deadline(kDeadline);
    QCoreApplication app(argc, argv);
    CommandLine line;
    if (!line.parser.parse(QCoreApplication::arguments()))
        failUsage(line.parser.errorText());
    const QStringList positional = line.parser.positionalArguments();
    if (line.parser.isSet(line.help))
        printHelp(line.parser, argv[0]);
    if (line.parser.isSet(line.version)) {
        std::puts("pellory-aim-bridge " PELLORY_VERSION);
        exitWith(kSet);
    }
    for (const QCommandLineOption* command : {&line.login, &line.token, &line.logout})
        if (line.parser.isSet(*command)) // typed in a terminal: no time limit
            exitWith(bridge::runMatrixCommand(command->names().constFirst(), positional));
    const bool back = line.parser.isSet(line.back), check = line.parser.isSet(line.check);
    if (positional.size() != (back || check ? 0 : 1))
        failUsage(QStringLiteral("usage: pellory-aim-bridge 'aim:goaway?message=TEXT' or "
                                 "pellory-aim-bridge --back or --check"));
    armWatchdog();
    bridge::Away away;
    if (!back && !check)
        away = awayTextOf(argv[argc - 1]); // the only argument left
    bridge::SessionBus bus(deadline);
    bridge::ProcFs processes;
    bridge::NetworkHttp http(deadline);
    bridge::Transports transports{bus, processes, http};
    if (check)
        printCheck(transports);
    const bridge::Delivery delivery = bridge::setEverywhere(away, transports, anyTaken);
    for (const QString& failure : delivery.failures)
        bridge::report(failure);
    tellDesktopIfNoTerminal(delivery, !back, bus);
    exitWith(delivery.taken > 0 ? kSet : kClientFailed);
}
