// SPDX-License-Identifier: MIT
#include "Appearance.h"
#include "MessageLimits.h"
#include "ShutdownSignals.h"
#include "TabControl.h"
#include "TestWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSessionManager>

#include <csignal>
#include <optional>

namespace {

QString away(const QString& encoded) {
    return QStringLiteral("aim:goaway?message=") + encoded;
}

QByteArray config(const char* loadSave, const char* tray, const char* tags, const char* sound) {
    return QStringLiteral("[Main]\r\nLoad/Save=%1\r\nHideInTray=%2\r\nFontTags=%3\r\nPlaySound=%4"
                          "\r\nFontFace=1\r\nFontSize=0\r\n")
        .arg(loadSave, tray, tags, sound)
        .toUtf8();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setFont(ui::windowFont()); }

    // "Remove Selected" is enabled exactly while the selected entry has text, and a removal
    // leaves nothing selected; the count follows every change, and the prompt stops asking
    // once the list is full. Each change within the autosave second pushes the save back.
    void messageList() {
        TestWindow w;
        w.click("autoSaveBox");
        auto* list = w.get<QListWidget>("messageList");
        list->addItems({"b", "a", "", " "});
        for (const auto& [row, enabled] :
             {std::pair(1, true), std::pair(2, false), std::pair(3, true), std::pair(-1, false)}) {
            list->setCurrentRow(row);
            QCOMPARE(w.get("removeSelectedButton")->isEnabled(), enabled);
        }
        list->setCurrentRow(0);
        w.click("removeSelectedButton");
        QCOMPARE(w.entries(), QStringList({"a", "", " "}));
        QVERIFY(!w.get("removeSelectedButton")->isEnabled() && list->selectedItems().isEmpty());
        QCOMPARE(w.get<QLabel>("messageCountLabel")->text(), "Random Messages: 3");
        QTest::qSleep(300);
        w.click("clearAllButton");
        QVERIFY(w.get<QTimer>("autoSaveTimer")->remainingTime() > 900);
        QCOMPARE(w.get<QLabel>("messageCountLabel")->text(), "Random Messages: 0");
        list->addItems(QStringList(engine::kMaxMessages - 1, "m"));
        w.dialogs.answers = {"last", "one too many"};
        w.click("addMessageButton");
        QCOMPARE(w.entries().last() + w.dialogs.answers.join(','), "lastone too many");
        QCOMPARE(w.get<QLabel>("messageCountLabel")->text(), "Random Messages: 32767");
    }

    // Start sends at once, then the timer sends every 5, 10 or 20 seconds until Stop.
    void rotation() {
        TestWindow w;
        w.click("startButton");
        QCOMPARE(w.dialogs.notices, QStringList{"Pellory|No Messages!"});
        w.get<QListWidget>("messageList")->addItems({"Back soon", "Out to lunch", "Gone"});
        w.random.draws = {0.5, 0.0, 0.99};
        auto* timer = w.get<QTimer>("rotationTimer");
        const std::pair<const char*, int> intervals[] = {
            {"interval5Option", 5000}, {"interval20Option", 20000}, {"interval10Option", 10000}};
        for (const auto& [option, period] : intervals) {
            w.click(option);
            w.click("startButton");
            QVERIFY(timer->isActive() && timer->interval() == period &&
                    !w.get(option)->isEnabled());
            w.click("stopButton");
            QVERIFY(!timer->isActive() && w.get(option)->isEnabled());
        }
        QCOMPARE(w.opener.opened,
                 QStringList({away("Out+to+lunch"), away("Back+soon"), away("Gone")}));
        QCOMPARE(w.get<QListWidget>("messageList")->currentRow(), 2);
        QCOMPARE(w.tray.tip, "Pellory\nGone");
    }

    // Font tags go out only while the box is ticked, not greyed, read afresh at every send.
    void fontTagsWhenTicked() {
        TestWindow w;
        w.get<QListWidget>("messageList")->addItem("Hi");
        w.get<QComboBox>("fontFaceList")->addItem("Times New Roman");
        w.get<QComboBox>("fontSizeList")->setCurrentIndex(2);
        w.click("startButton");
        for (const Qt::CheckState state : {Qt::Checked, Qt::PartiallyChecked}) {
            w.get<QCheckBox>("fontTagsBox")->setCheckState(state);
            w.tick("rotationTimer");
        }
        QCOMPARE(w.opener.opened,
                 QStringList({away("Hi"), away("<fontface=\"Times+New+Roman\"><fontsize=\"3\">Hi"),
                              away("Hi")}));
    }

    void countdown() {
        TestWindow w;
        auto* timer = w.get<QTimer>("countdownTimer");
        w.get<QLineEdit>("minutesEdit")->setText("2");
        w.click("enableCountdownButton");
        QVERIFY(timer->isActive() && timer->interval() == 60000 &&
                !w.get("minutesEdit")->isEnabled());
        w.tick("countdownTimer");
        QCOMPARE(w.tray.tip, "Pellory\n1 minutes left");
        w.get<QPlainTextEdit>("notBackMessageEdit")->setPlainText("Late\nagain");
        w.tick("countdownTimer");
        QVERIFY(!timer->isActive() && w.get("enableCountdownButton")->isEnabled());
        w.click("enableCountdownButton");
        w.click("disableCountdownButton");
        QVERIFY(!timer->isActive() && w.get("minutesEdit")->isEnabled());
        const QString two = away("I+will+be+back+in+2+minutes.\r\n");
        QCOMPARE(w.opener.opened, QStringList({two, away("I+will+be+back+in+1+minutes.\r\n"),
                                               away("Late\r\nagain"), two}));
    }

    void hideInTray_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<bool>("area");
        QTest::newRow("option off") << int(Qt::Unchecked) << true;
        QTest::newRow("greyed is on") << int(Qt::PartiallyChecked) << true;
        QTest::newRow("no notification area") << int(Qt::Checked) << false;
    }
    void hideInTray() {
        QFETCH(int, option);
        QFETCH(bool, area);
        TestWindow w;
        w.tray.hasArea = area;
        w.get<QCheckBox>("hideInTrayBox")->setCheckState(Qt::CheckState(option));
        w.window->show();
        w.window->setWindowState(Qt::WindowMinimized);
        QCoreApplication::processEvents(); // the hide waits for the event loop
        const bool hides = area && option != Qt::Unchecked;
        QVERIFY(w.window->isVisible() != hides && w.tray.visible == hides);
        w.tray.hasArea = false; // the notification area goes away: the window comes back
        w.tick("trayCheckTimer");
        QVERIFY(w.window->isVisible() && (!hides || !w.window->isMinimized()));
        w.tray.quit(); // Quit in the icon's menu closes the window, storing what it holds
        QVERIFY(!w.window->isVisible() && QFile::exists(w.path("Config.ini")));
    }

    // Start-up restores what Config.ini and RandomMsgs.lst hold; closing stores it again.
    void startUpAndClose_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("started"); // entries | font lists enabled | sounds
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QByteArray>("listAfter");
        // clang-format off
        const QByteArray list = "one\r\ntwo\r\n", none = "<none>";
        const QByteArray on = "[main]\nload/save=1\r\nHideInTray=0\r\nFontTags=0\r\nPlaySound=0\r\nFontFace=1\r\nFontSize=0\r\n";
        QTest::newRow("first start") << QByteArray() << list << "|0|" << config("0", "0", "0", "0") << list;
        QTest::newRow("auto save on") << "[main]\nload/save = 1.0\n"_qba << list << "one,two|0|" << on << "two\r\nadded\r\n"_qba;
        QTest::newRow("auto save on, no list") << "[main]\nload/save=1"_qba << none << "|0|" << on << "added\r\n"_qba;
        QTest::newRow("greyed") << config("2", "2", "2", "2") << list << "|1|" << config("2", "2", "2", "2") << list;
        QTest::newRow("odd values") << config("yes", "3", "1", "1") << list << "|1|Intro.wav,bell" << config("0", "0", "1", "1") << list;
        QTest::newRow("more lines than the list holds") << "[Main]\nLoad/Save=1\n"_qba << "x\n"_qba.repeated(32768)
            << QString("x,").repeated(32767).chopped(1) + "|0|" << "[Main]\nLoad/Save=1\nHideInTray=0\r\nFontTags=0\r\nPlaySound=0\r\nFontFace=1\r\nFontSize=0\r\n"_qba
            << "x\r\n"_qba.repeated(32766) + "added\r\nx\n";
        // clang-format on
    }
    void startUpAndClose() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, list);
        QFETCH(QString, started);
        QFETCH(QByteArray, after);
        QFETCH(QByteArray, listAfter);
        TestWindow w;
        QVERIFY(before.isEmpty() || writeBytes(w.path("Config.ini"), before));
        QVERIFY(list == "<none>" || writeBytes(w.path("RandomMsgs.lst"), list));
        for (const char* name : {"RandomMsgs.lst.pellory-save-Ab12Cd", "RandomMsgs.lst.backup"})
            QVERIFY(writeBytes(w.path(name), "")); // what a save cut short left, and the user's
        w.window->startUp();
        QCOMPARE(QDir(w.dir.path()).entryList({"*.lst.*"}).join(' '), "RandomMsgs.lst.backup");
        QCOMPARE(w.entries().join(',') + '|' + QString::number(w.get("fontFrame")->isEnabled()) +
                     '|' + w.sound.played.replaceInStrings(w.dir.path() + '/', "").join(','),
                 started);
        QCOMPARE(w.get<QLabel>("messageCountLabel")->text(),
                 QString("Random Messages: %1").arg(w.entries().size()));
        QCOMPARE(w.get<QComboBox>("fontSizeList")->currentText(), "1");
        w.get<QListWidget>("messageList")->setCurrentRow(0);
        w.click("removeSelectedButton");
        w.dialogs.answers = {"added\nnot this line"};
        w.click("addMessageButton");
        w.get<QComboBox>("fontFaceList")->setCurrentIndex(1);
        w.window->close();
        QCOMPARE(readBytes(w.path("Config.ini")), after);
        QCOMPARE(readBytes(w.path("RandomMsgs.lst")), listAfter);
    }

    void optionsAreStoredWhenTicked() {
        TestWindow w;
        for (const char* box :
             {"autoSaveBox", "hideInTrayBox", "fontTagsBox", "playSoundBox", "fontTagsBox"})
            w.click(box);
        QCOMPARE(readBytes(w.path("Config.ini")),
                 "[Main]\r\nLoad/Save=1\r\nHideInTray=1\r\nFontTags=0\r\nPlaySound=1\r\n");
        QVERIFY(!w.get("fontFrame")->isEnabled());
        w.click("fontTagsBox");
        QVERIFY(w.get("fontFrame")->isEnabled());
    }

    // A failed save is told once per file while running; at the end the user may try again.
    void saveFailuresAreTold() {
        TestWindow w;
        QVERIFY(QDir().mkdir(w.path("Config.ini")) && QDir().mkdir(w.path("RandomMsgs.lst")));
        w.click("autoSaveBox");
        w.click("playSoundBox");
        w.dialogs.answers = {"x"};
        w.click("addMessageButton");
        w.tick("autoSaveTimer");
        w.tick("autoSaveTimer");
        w.dialogs.retries = 1;
        w.window->close();
        const QString config = "Could not save " + w.path("Config.ini") + ": it is a folder.";
        const QString list = "Could not save " + w.path("RandomMsgs.lst") + ": it is a folder.";
        QCOMPARE(w.dialogs.notices,
                 QStringList({config, list, config + '\n' + list, config + '\n' + list}));
    }

    // Tab moves on from the countdown texts, and lands on the chosen interval.
    void tabOrder() {
        TestWindow w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        w.get("startButton")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.get("interval10Option"));
        w.get<QListWidget>("messageList")->addItems({"a", "b"});
        w.get<QListWidget>("messageList")->setCurrentRow(0);
        w.get("messageList")->setFocus();
        QTest::keyClick(w.get("messageList"), Qt::Key_Delete);
        QCOMPARE(w.entries(), QStringList{"b"});
        w.get<ui::TabControl>("tabs")->setCurrentIndex(1);
        w.get("countdownMessageEdit")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.get("enableCountdownButton"));
    }

    // Space on a button that greys out after its own action leaves the focus where a second
    // Space does no harm.
    void focusAfterOwnAction_data() {
        QTest::addColumn<QByteArray>("before"); // clicked first
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QByteArray>("focus");
        // clang-format off
        QTest::newRow("Remove Selected") << ""_qba << "removeSelectedButton"_qba << "messageList"_qba;
        QTest::newRow("Start") << ""_qba << "startButton"_qba << "stopButton"_qba;
        QTest::newRow("Stop") << "startButton"_qba << "stopButton"_qba << "startButton"_qba;
        QTest::newRow("Enable") << ""_qba << "enableCountdownButton"_qba << "disableCountdownButton"_qba;
        QTest::newRow("Disable") << "enableCountdownButton"_qba << "disableCountdownButton"_qba << "enableCountdownButton"_qba;
        // clang-format on
    }
    void focusAfterOwnAction() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, button);
        QFETCH(QByteArray, focus);
        TestWindow w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        w.get<QListWidget>("messageList")->addItems({"a", "b"});
        w.get<QListWidget>("messageList")->setCurrentRow(0);
        w.get<ui::TabControl>("tabs")->setCurrentIndex(button.contains("Countdown") ? 1 : 0);
        if (!before.isEmpty())
            w.click(before);
        w.get(button)->setFocus();
        QTest::keyClick(w.get(button), Qt::Key_Space);
        QCOMPARE(QApplication::focusWidget(), w.get(focus));
    }

    // A session's save leaves the final one to come, and that one runs once.
    void storingOnTheWayOut() {
        TestWindow w;
        std::optional<desktop::ShutdownSignals> watcher(std::in_place);
        w.window->shutDownOnEveryWayOut(*watcher);
        alignas(QSessionManager) char session[sizeof(QSessionManager)]; // nothing reads it
        emit qGuiApp->commitDataRequest(*reinterpret_cast<QSessionManager*>(session));
        QVERIFY(QFile::remove(w.path("Config.ini")));
        QTimer::singleShot(0, &QCoreApplication::quit);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(QFile::remove(w.path("Config.ini")));
        // A signal or a close while a list loads waits for the load: the save holds it all.
        TestWindow loading;
        loading.window->shutDownOnEveryWayOut(*watcher);
        loading.window->startUp();
        const QByteArray lines = QByteArray(98, 'x').append("\r\n").repeated(engine::kMaxMessages);
        QVERIFY(writeBytes(loading.path("RandomMsgs.lst"), lines));
        loading.dialogs.answers = {"added"};
        loading.click("addMessageButton");
        QTimer::singleShot(0, [&] {
            ::raise(SIGHUP);
            QTimer::singleShot(0, [&] { // between the load's batches: an autosave and a close
                loading.tick("autoSaveTimer");
                QVERIFY(readBytes(loading.path("RandomMsgs.lst")) == lines &&
                        !loading.window->close());
            });
            loading.click("autoSaveBox");
        });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(readBytes(loading.path("RandomMsgs.lst")), "added\r\n" + lines);
        watcher.reset();
        ::raise(SIGHUP); // after the first signal, no later one ends the program, not even now
        w.window->close();
        QVERIFY(!QFile::exists(w.path("Config.ini")));
    }

    // What a screen reader tells of the controls without a caption, on every page.
    void accessibleNames() {
        TestWindow w;
        w.window->show();
        QStringList names;
        const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
            names << node->text(QAccessible::Name);
            for (int i = 0; i < node->childCount(); ++i)
                walk(node->child(i));
        };
        for (int page = 0; page < 4; ++page) {
            w.get<ui::TabControl>("tabs")->setCurrentIndex(page);
            walk(QAccessible::queryAccessibleInterface(w.window.get()));
        }
        for (const char* name : {"Away messages", "Interval: 5 seconds", "Interval: 10 seconds",
                                 "Interval: 20 seconds", "Countdown message", "Minutes away",
                                 "Message when not back in time", "Font type", "Font size"})
            QVERIFY2(names.contains(name), name);
    }

    // The links are the designed blue, or on a dark window the palette's link colour; a
    // click opens each link's address.
    void links() {
        const QPalette light = QApplication::palette();
        QPalette dark(Qt::white, QColor(30, 30, 30));
        dark.setColor(QPalette::Link, QColor(120, 170, 255));
        const std::pair<QPalette, QColor> cases[] = {{light, QColor(0, 0, 192)},
                                                     {dark, QColor(120, 170, 255)}};
        for (const auto& [palette, colour] : cases) {
            QApplication::setPalette(palette);
            TestWindow w;
            QCOMPARE(w.get("homePageLink")->palette().color(QPalette::WindowText), colour);
            w.window->show();
            for (const char* link : {"homePageLink", "authorPageLink"})
                QTest::mouseClick(w.get(link), Qt::LeftButton, {}, QPoint(3, 3));
            QCOMPARE(w.opener.opened,
                     QStringList({"http://zandrik.net", "http://zandrik.net/pellory"}));
        }
        QApplication::setPalette(light);
    }

    // At 96 dpi: 366x201 pixels, the controls where the layout table puts them (twips / 15),
    // each caption whole in the window's own font.
    void layout() {
        TestWindow w;
        QCOMPARE(w.window->size(), QSize(366, 201));
        QCOMPARE(w.get("enableCountdownButton")->geometry(), QRect(136, 88, 65, 25));
        QCOMPARE(w.get("disableCountdownButton")->geometry(), QRect(208, 88, 73, 25));
        QCOMPARE(QFontInfo(w.get("messageCountLabel")->font()).family(), "Tahoma");
        for (QAbstractButton* button : w.window->findChildren<QAbstractButton*>()) {
            const int indicator = qobject_cast<QPushButton*>(button) ? 8 : 20;
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) <=
                         button->width() - indicator,
                     qPrintable(button->text()));
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_MainWindow.moc"
