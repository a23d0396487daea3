#include "TestWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QtTest>

class TestTraySoundLinks : public QObject {
    Q_OBJECT

    static void minimise(TestWindow& w) {
        w.window->setWindowState(Qt::WindowMinimized);
        QCoreApplication::processEvents(); // the deferred hide
    }

private slots:
    void optionOffLeavesTheTrayAlone() {
        TestWindow w;
        w.window->show();
        minimise(w);
        QVERIFY(w.window->isVisible());
        w.window->showNormal();
        QCOMPARE(w.fakes.tray.requests, 0);
    }

    void minimiseHidesBehindAnIconAndLeftClickRestores() {
        TestWindow w;
        w.get<QCheckBox>("Check2")->setChecked(true);
        w.window->show();
        minimise(w);
        QVERIFY(!w.window->isVisible());
        QVERIFY(w.fakes.tray.visible);
        QCOMPARE(w.fakes.tray.toolTip, QStringLiteral("Pellory"));
        QCOMPARE(w.fakes.tray.icon.pixmap(32).toImage(),
                 w.window->windowIcon().pixmap(32).toImage());

        w.fakes.tray.click();
        QVERIFY(w.window->isVisible());
        QVERIFY(!w.window->isMinimized());
        QVERIFY(!w.fakes.tray.visible);
    }

    void withoutANotificationAreaTheWindowStaysReachable() {
        TestWindow w;
        w.fakes.tray.hasArea = false;
        w.get<QCheckBox>("Check2")->setChecked(true);
        w.window->show();
        minimise(w);
        QVERIFY(w.window->isVisible());
        QVERIFY(w.window->isMinimized());
        QVERIFY(!w.fakes.tray.visible);
    }

    void optionIsReadAtEachMinimise() {
        TestWindow w;
        w.window->show();
        minimise(w);
        QCOMPARE(w.fakes.tray.requests, 0);
        w.window->showNormal();
        w.get<QCheckBox>("Check2")->setChecked(true);
        minimise(w);
        QVERIFY(!w.window->isVisible());
        w.fakes.tray.click();
        w.get<QCheckBox>("Check2")->setChecked(false);
        const int requests = w.fakes.tray.requests;
        minimise(w);
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.fakes.tray.requests, requests);
    }

    void greyedOptionCountsAsOn() {
        TestWindow w;
        w.get<QCheckBox>("Check2")->setCheckState(Qt::PartiallyChecked);
        w.window->show();
        minimise(w);
        QVERIFY(!w.window->isVisible());
        QVERIFY(w.fakes.tray.visible);
    }

    void startupSoundFallsBackToTheBell_data() {
        QTest::addColumn<bool>("playable");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("file plays") << true << QStringList{};
        QTest::newRow("file fails") << false << QStringList{"bell"};
    }
    void startupSoundFallsBackToTheBell() {
        QFETCH(bool, playable);
        QFETCH(QStringList, events);
        FakeSound sound;
        sound.fileCanPlay = playable;
        Misc::PlayStartupSound("/some/dir/Intro.wav", sound);
        QCOMPARE(sound.files, QStringList{"/some/dir/Intro.wav"});
        QCOMPARE(sound.events, events);
    }

    void linksOpenTheirOwnCaptions() {
        TestWindow w;
        w.window->Label7_Click();
        w.window->Label8_Click();
        w.window->Label8_Click();
        const QString home = w.get<QLabel>("Label7")->text();
        const QString author = w.get<QLabel>("Label8")->text();
        QVERIFY(home.startsWith("http") && author.startsWith("http") && home != author);
        QCOMPARE(w.fakes.opener.opened, (QStringList{home, author, author}));
    }

    void linkClickWithTheMouse() {
        TestWindow w;
        w.window->show();
        auto* link = w.get<QLabel>("Label7");
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseClick(link, Qt::RightButton, {}, QPoint(3, 3));
        QCOMPARE(w.fakes.opener.opened, QStringList{link->text()});
    }
};

QTEST_MAIN(TestTraySoundLinks)
#include "tst_TraySoundLinks.moc"
