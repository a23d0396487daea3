// SPDX-License-Identifier: MIT
// The start-up, memory and idle baseline: one empty Qt Widgets window of the main window's fixed
// size and caption, and nothing else.
//   --tick   also runs a 100 ms timer that does nothing: the least that an idle window with
//            the main window's timer can cost
//   --label  also shows one line of text, for reference: the first text a program shows
//            brings in the font configuration, the font database and text shaping

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QWidget window;
    window.setWindowTitle(QStringLiteral("Pellory 100 - Zandrik"));
    window.setFixedSize(366, 201);

    QTimer tick;
    if (args.contains(QStringLiteral("--tick"))) {
        tick.setInterval(100);
        tick.setTimerType(Qt::CoarseTimer);
        QObject::connect(&tick, &QTimer::timeout, &window, [] {});
        tick.start();
    }
    if (args.contains(QStringLiteral("--label")))
        (new QLabel(QStringLiteral("Random Messages: 0"), &window))->move(16, 16);
    window.show();
    return QApplication::exec();
}
