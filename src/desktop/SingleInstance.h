// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <memory>

namespace desktop {

// One running copy per program folder, so that two copies never overwrite each other's
// list: a second start hands over to the first, which shows its window. The first copy
// holds an flock() on the program folder for as long as it runs (the kernel drops it when
// the copy ends, however it ends) and listens on a Unix socket for the next starts.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    enum class Claim {
        First,        // no other copy runs on the folder: this one now takes requests
        HandedOver,   // another copy runs and has been asked to show itself
        NotAnswering, // another copy holds the lock but did not take the request
        NoLock,       // no lock could be had anywhere: running would be unguarded
    };

    // The socket goes into `runtimeDir` (the user's runtime folder, empty when there is none
    // that is usable), or else into the program folder itself.
    SingleInstance(const QString& programDir, const QString& runtimeDir, QObject* parent = nullptr);
    ~SingleInstance() override;

    Claim claim();
    // Why the last claim() found no lock.
    QString problem() const { return problem_; }

signals:
    void showRequested();

private:
    enum class Outcome { Claimed, Busy, Unusable };
    Outcome lockProgramDir();
    bool askToShowAny() const;
    QString runtimeSocketPath() const;
    QString folderSocketPath() const;
    bool listen(const QString& socketPath);
    void acceptAll();

    QString programDir_;
    QString runtimeDir_;
    QString name_; // pellory-<hash of the program folder>, for the runtime folder
    QString problem_;
    QString socketPath_;
    int lockFd_ = -1;
    int listenFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace desktop
