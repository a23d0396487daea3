#include "Dialogs.h"
#include "MessageLimits.h"
#include "TestWindow.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {
const QString kPrompt = QStringLiteral("Pellory|Enter Away Message (Use HTML tags if you want)");
}

class TestMessageList : public QObject {
    Q_OBJECT

    static QString countLabel(const TestWindow& w) { return w.get<QLabel>("Label1(0)")->text(); }

private slots:
    void promptLoop_data() {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("prompts");

        QTest::newRow("cancel at once")
            << QStringList{"a"} << QStringList{} << QStringList{"a"} << 1;
        QTest::newRow("three then empty") << QStringList{"a"} << QStringList{"x", "y", "z", ""}
                                          << QStringList{"a", "x", "y", "z"} << 4;
        QTest::newRow("blank answers are entries")
            << QStringList{} << QStringList{"  ", " lead and trail "}
            << QStringList{"  ", " lead and trail "} << 3;
        QTest::newRow("duplicates stay")
            << QStringList{} << QStringList{"same", "same"} << QStringList{"same", "same"} << 3;
        QTest::newRow("html unchanged") << QStringList{} << QStringList{"<b>back</b> soon"}
                                        << QStringList{"<b>back</b> soon"} << 2;
    }
    void promptLoop() {
        QFETCH(QStringList, existing);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, expected);
        QFETCH(int, prompts);
        TestWindow w;
        w.get<QListWidget>("lstMessages")->addItems(existing);
        w.fakes.dialogs.answers = answers;
        const QString labelBefore = countLabel(w);

        w.window->cmdAddMsg_Click();

        QCOMPARE(w.entries(), expected);
        QCOMPARE(w.fakes.dialogs.prompts, QStringList(prompts, kPrompt));
        if (expected.size() == existing.size())
            QCOMPARE(countLabel(w), labelBefore);
        else
            QCOMPARE(countLabel(w), QStringLiteral("Random Messages: %1").arg(expected.size()));
    }

    // The label follows each append, not only the end of the loop.
    void labelFollowsEachAppend() {
        TestWindow w;
        QStringList seenAtPrompt;
        w.fakes.dialogs.beforeAnswer = [&] { seenAtPrompt << countLabel(w); };
        w.fakes.dialogs.answers = {"one", "two"};
        w.window->cmdAddMsg_Click();
        QCOMPARE(seenAtPrompt,
                 (QStringList{"Random Messages: 0", "Random Messages: 1", "Random Messages: 2"}));
    }

    void removeSelected_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("middle") << 1 << QStringList{"a", "c"};
        QTest::newRow("first") << 0 << QStringList{"b", "c"};
        QTest::newRow("nothing selected") << -1 << QStringList{"a", "b", "c"};
    }
    void removeSelected() {
        QFETCH(int, selected);
        QFETCH(QStringList, expected);
        TestWindow w;
        auto* list = w.get<QListWidget>("lstMessages");
        list->addItems({"a", "b", "c"});
        list->setCurrentRow(selected);
        w.get<QLabel>("Label1(0)")->setText("stale");
        w.window->cmdRmvMsg_Click();
        QCOMPARE(w.entries(), expected);
        QCOMPARE(countLabel(w), QStringLiteral("Random Messages: %1").arg(expected.size()));
    }

    void removeRightAfterClearRemovesNothing() {
        TestWindow w;
        auto* list = w.get<QListWidget>("lstMessages");
        list->addItems({"a", "b"});
        list->setCurrentRow(1);
        w.window->CheckMess_Timer();
        QVERIFY(w.get<QPushButton>("cmdRmvMsg")->isEnabled());
        w.window->cmdClearMsgs_Click();
        QCOMPARE(countLabel(w), QStringLiteral("Random Messages: 0"));
        w.window->cmdRmvMsg_Click(); // the button has not been disabled by a tick yet
        QCOMPARE(list->count(), 0);
        QCOMPARE(countLabel(w), QStringLiteral("Random Messages: 0"));
        w.window->cmdClearMsgs_Click();
        QCOMPARE(countLabel(w), QStringLiteral("Random Messages: 0"));
    }

    void removeButtonFollowsCurrentText_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("an entry") << 0 << true;
        QTest::newRow("nothing") << -1 << false;
        QTest::newRow("an empty entry") << 1 << false;
        QTest::newRow("a blank entry") << 2 << true;
    }
    void removeButtonFollowsCurrentText() {
        QFETCH(int, selected);
        QFETCH(bool, enabled);
        TestWindow w;
        auto* list = w.get<QListWidget>("lstMessages");
        list->addItems({"text", "", " "});
        list->setCurrentRow(selected);
        w.window->CheckMess_Timer();
        QCOMPARE(w.get<QPushButton>("cmdRmvMsg")->isEnabled(), enabled);
    }

    void checkMessTicksOnItsOwn() {
        TestWindow w;
        auto* list = w.get<QListWidget>("lstMessages");
        list->addItem("x");
        list->setCurrentRow(0);
        QTRY_VERIFY_WITH_TIMEOUT(w.get<QPushButton>("cmdRmvMsg")->isEnabled(), 1000);
    }

    void fullListTakesNoMore() {
        TestWindow w;
        auto* list = w.get<QListWidget>("lstMessages");
        QStringList many;
        for (int i = 0; i < Engine::MaxMessages - 1; ++i)
            many << QString::number(i);
        list->addItems(many);
        w.fakes.dialogs.answers = {"last", "one too many", "and another"};
        w.window->cmdAddMsg_Click();
        QCOMPARE(list->count(), Engine::MaxMessages);
        QCOMPARE(list->item(Engine::MaxMessages - 1)->text(), QStringLiteral("last"));
        QCOMPARE(countLabel(w), QStringLiteral("Random Messages: 32767"));
        // The loop ends once the list is full: the rest is never asked for.
        QCOMPARE(w.fakes.dialogs.answers, (QStringList{"one too many", "and another"}));
    }

    // The real prompt: typed text is returned on OK; Cancel returns the empty string.
    void realPromptReturnsTypedTextOrNothing() {
        QtDialogs dialogs;
        QWidget parent;
        auto answer = [&](bool accept) {
            QTimer::singleShot(0, [accept] {
                auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Pellory"));
                QCOMPARE(dialog->labelText(), QStringLiteral("Enter Away Message"));
                QCOMPARE(dialog->textValue(), QString());
                dialog->setTextValue(QStringLiteral("  typed <b>text</b>"));
                accept ? dialog->accept() : dialog->reject();
            });
            return dialogs.askText(&parent, "Enter Away Message", "Pellory");
        };
        QCOMPARE(answer(true), QStringLiteral("  typed <b>text</b>"));
        QCOMPARE(answer(false), QString());
    }
};

QTEST_MAIN(TestMessageList)
#include "tst_MessageList.moc"
