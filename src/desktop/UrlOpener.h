#pragma once

#include <QString>
#include <QStringList>

namespace Desktop {

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
bool SpawnDetached(const QString& program, const QStringList& arguments);

} // namespace Desktop

namespace Misc {

// Turns the composed away text into an aim:goaway command and hands it to the opener.
void SetAwayMessage(const QString& text, Desktop::UrlOpener& opener);

void OpenWebPage(const QString& address, Desktop::UrlOpener& opener);

} // namespace Misc
