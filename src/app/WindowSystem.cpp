// SPDX-License-Identifier: MIT
#include "WindowSystem.h"

#include "MainWindow.h"

#include <QList>
#include <QLoggingCategory>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <utility>

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
QList<HeldMessage> heldMessages;

void holdOrFail(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        heldMessages.append({type, context.category, text});
        return;
    }
    const QByteArray display = qgetenv("DISPLAY");
    std::fprintf(stderr, "pellory: cannot connect to the display %s\n",
                 display.isEmpty() ? "(DISPLAY is not set)" : display.constData());
    ::_exit(1); // the half-made application object must not be torn down
}

ui::MainWindow* windowToStore = nullptr;

} // namespace

DisplayFailureInOneLine::DisplayFailureInOneLine() {
    qInstallMessageHandler(holdOrFail);
}

DisplayFailureInOneLine::~DisplayFailureInOneLine() {
    qInstallMessageHandler(nullptr);
    for (const HeldMessage& message : std::exchange(heldMessages, {})) {
        const QMessageLogger logger(nullptr, 0, nullptr, message.category.constData());
        switch (message.type) {
        case QtDebugMsg:
            logger.debug("%s", qPrintable(message.text));
            break;
        case QtInfoMsg:
            logger.info("%s", qPrintable(message.text));
            break;
        case QtWarningMsg:
            logger.warning("%s", qPrintable(message.text));
            break;
        default:
            logger.critical("%s", qPrintable(message.text));
            break;
        }
    }
}

StoreWhenDisplayLost::StoreWhenDisplayLost(ui::MainWindow& window) {
    static const bool registered =
        std::atexit([] {
            if (windowToStore)
                windowToStore->shutDown(); // runs once, whichever way out came first
        }) == 0;
    (void)registered;
    windowToStore = &window;
}

StoreWhenDisplayLost::~StoreWhenDisplayLost() {
    windowToStore = nullptr;
}
