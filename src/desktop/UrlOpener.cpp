#include "UrlOpener.h"

#include "AwayText.h"

#include <QProcess>

namespace Desktop {

void XdgOpener::open(const QString& url) {
    // The result is ignored on purpose: nobody is told when the desktop can't open it.
    QProcess::startDetached(QStringLiteral("xdg-open"), {url});
}

} // namespace Desktop

namespace Misc {

void SetAwayMessage(const QString& text, Desktop::UrlOpener& opener) {
    opener.open(Engine::AwayCommand(text));
}

void OpenWebPage(const QString& address, Desktop::UrlOpener& opener) {
    opener.open(address);
}

} // namespace Misc
