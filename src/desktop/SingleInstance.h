// SPDX-License-Identifier: MIT
#pragma once

#include <QLocalServer>
#include <QObject>

namespace desktop {

// One running copy per program folder, so that two copies never overwrite each other's
// list: a second start hands over to the first, which shows its window.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& programDir, QObject* parent = nullptr);

    // True for the first copy on the folder, which from now on takes requests; false when
    // another copy runs and has been asked to show itself.
    bool claim();

signals:
    void showRequested();

private:
    QString socketPath_;
    QLocalServer server_;
};

} // namespace desktop
