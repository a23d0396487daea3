// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

namespace desktop {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the main thread. The handler only
// writes to a pipe; everything else happens in the event loop.
class ShutdownSignals final : public QObject {
    Q_OBJECT

public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;
    // While held, signals that arrive are kept and reported once released.
    void setHeld(bool held);
    bool held() const;
    // From now on the signals end the program at once, as for any program with nothing to
    // save; one that came in the meantime ends it now.
    void endProgramOnSignals();
    // From now on until the process ends, these signals change nothing: the shutdown that
    // the first one started runs to its end.
    void ignoreFurther();

signals:
    void received(int signalNumber);

private:
    void readPipe();
    QSocketNotifier* notifier_ = nullptr;
    bool ignoring_ = false;
};

} // namespace desktop
