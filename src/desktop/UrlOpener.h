#pragma once

#include <QString>
#include <QStringList>

namespace desktop {

// Hands a URL or URL command to whatever the desktop has registered for its scheme.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual void open(const QString& url) = 0;
};

// xdg-open, started detached with the URL as its one argument: no shell, no waiting, and the
// text reaches the handler byte-for-byte.
class XdgOpener final : public UrlOpener {
public:
    void open(const QString& url) override;
};

// Starts a program found on PATH with these arguments and returns once it has been executed,
// without waiting for it to end; false when it could not be started.
bool spawnDetached(const QString& program, const QStringList& arguments);

} // namespace desktop
