// SPDX-License-Identifier: MIT
#include "ShutdownSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace desktop {
namespace {

int pipeFds[2] = {-1, -1};
constexpr int kWatched[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const auto written = ::write(pipeFds[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
    if (pipeFds[0] < 0 && ::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::readPipe);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : kWatched)
        ::sigaction(sig, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals() {
    for (const int sig : kWatched)
        ::signal(sig, ignoring_ ? SIG_IGN : SIG_DFL);
}

void ShutdownSignals::ignoreFurther() {
    ignoring_ = true;
    for (const int sig : kWatched)
        ::signal(sig, SIG_IGN);
}

void ShutdownSignals::endProgramOnSignals() {
    for (const int sig : kWatched)
        ::signal(sig, SIG_DFL);
    unsigned char byte = 0;
    if (pipeFds[0] >= 0 && ::read(pipeFds[0], &byte, 1) == 1)
        ::raise(byte);
}

void ShutdownSignals::setHeld(bool held) {
    if (notifier_)
        notifier_->setEnabled(!held);
}

bool ShutdownSignals::held() const {
    return notifier_ && !notifier_->isEnabled();
}

void ShutdownSignals::readPipe() {
    unsigned char byte = 0;
    while (::read(pipeFds[0], &byte, 1) == 1)
        emit received(byte);
}

} // namespace desktop
