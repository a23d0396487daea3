// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

#include <sys/types.h>

namespace desktop {

// Hands a URL or URL command to whatever the desktop has registered for its scheme, and
// tells once of each way it went wrong.
class UrlOpener {
public:
    enum class Problem { NoHandler, CannotStart, OpenerFailed, TooLong, HandlerSlow };

    virtual ~UrlOpener() = default;
    virtual void open(const QString& url) = 0;

    void setOnProblem(std::function<void(const QString& message)> handler) {
        onProblem_ = std::move(handler);
    }

protected:
    // Each kind of problem is told once per run: a rotation must not repeat it every tick.
    void report(Problem problem, const QString& message) {
        const unsigned bit = 1u << static_cast<unsigned>(problem);
        if (onProblem_ && !(reported_ & bit)) {
            reported_ |= bit;
            onProblem_(message);
        }
    }

private:
    std::function<void(const QString&)> onProblem_;
    unsigned reported_ = 0;
};

// xdg-open, started with the URL as its one argument, without a shell; the text reaches the
// handler byte for byte. aim: links go only when a program is registered for them, and one
// at a time: while one runs, the newest waits and replaces any older waiting one.
class XdgOpener final : public QObject, public UrlOpener {
    Q_OBJECT

public:
    // `hasAimHandler` answers whether a program takes aim: links, or nothing when it can't tell.
    explicit XdgOpener(std::function<std::optional<bool>()> hasAimHandler,
                       std::chrono::milliseconds slowAfter = std::chrono::seconds(30));
    void open(const QString& url) override;

private:
    void start(const QString& url);
    void checkRunning();

    std::function<std::optional<bool>()> hasAimHandler_;
    std::chrono::milliseconds slowAfter_;
    bool hasHandler_ = false; // looked up again after a few seconds
    QElapsedTimer handlerAge_;
    pid_t running_ = 0;
    QElapsedTimer runningFor_;
    std::optional<QString> waiting_;
    QTimer check_;
};

// Starts a program found on PATH with these arguments and returns once it has been
// executed, without waiting for it to end: its process id, or 0 with errno set.
pid_t spawn(const QString& program, const QStringList& arguments);

} // namespace desktop
