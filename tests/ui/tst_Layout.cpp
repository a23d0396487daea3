#include "Appearance.h"
#include "TabControl.h"
#include "TestWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTimer>
#include <QtTest>

// The width a button leaves for its caption: what the style keeps for the text beside a
// check or option indicator, or the button less a little room at each end.
int captionRoom(QAbstractButton* button) {
    if (qobject_cast<QPushButton*>(button))
        return button->width() - 8;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const auto element = qobject_cast<QRadioButton*>(button) ? QStyle::SE_RadioButtonContents
                                                             : QStyle::SE_CheckBoxContents;
    return button->style()->subElementRect(element, &option, button).width();
}

// Geometry in pixels at 96 dots per inch: twips divided by 15.
class TestLayout : public QObject {
    Q_OBJECT

    TestWindow w;

private slots:
    void initTestCase() { QApplication::setFont(Appearance::WindowFont()); }

    void windowFrame() {
        frmMain& win = *w.window;
        QCOMPARE(win.windowTitle(), QStringLiteral("Pellory 100 - Zandrik"));
        QCOMPARE(win.size(), QSize(366, 201));
        QCOMPARE(win.minimumSize(), win.maximumSize());
        QVERIFY(!(win.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(win.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(win.windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(win.windowIcon().pixmap(32).size(), QSize(32, 32));
    }

    void controlGeometry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        // Twips at 96 dpi, each in its own container: the window, a page, the frame.
        QTest::newRow("SSTab1") << "SSTab1" << QRect(8, 8, 353, 185);
        QTest::newRow("lstMessages") << "lstMessages" << QRect(8, 24, 193, 134);
        QTest::newRow("cmdStop") << "cmdStop" << QRect(272, 104, 65, 25);
        QTest::newRow("Combo2") << "Combo2" << QRect(168, 32, 153, 21);
        QTest::newRow("Image1") << "Image1" << QRect(304, 120, 32, 32);
    }
    void controlGeometry() {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QCOMPARE(w.get<QWidget>(qPrintable(name))->geometry(), rect);
    }

    void tabsShareTheRowAlongTheBottom() {
        auto* tabs = w.get<TabControl>("SSTab1");
        const QStringList captions = {"Away Randomization", "Away Count Down", "Config", "About"};
        QCOMPARE(tabs->tabBar()->count(), 4);
        QCOMPARE(tabs->currentIndex(), 0);
        int left = 0;
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(tabs->tabBar()->tabText(i), captions[i]);
            const QRect tab = tabs->tabBar()->tabRect(i);
            QCOMPARE(tab.left(), left);
            QVERIFY2(qAbs(tab.width() - 353 / 4) <= 1, qPrintable(QString::number(tab.width())));
            left = tab.right() + 1;
        }
        QCOMPARE(left, 353);
        // The pages' controls end 158 pixels down; the tab row lies below them.
        QCOMPARE(tabs->tabBar()->geometry().top(), 158);
        QCOMPARE(tabs->tabBar()->geometry().bottom(), 184);
    }

    void tabCaptionsWrapWithoutClipping() {
        auto* bar = w.get<TabControl>("SSTab1")->tabBar();
        const QFontMetrics metrics(bar->font());
        for (int i = 0; i < bar->count(); ++i) {
            const QRect area = bar->captionRect(i);
            const QRect needed =
                metrics.boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, bar->tabText(i));
            QVERIFY2(area.contains(needed), qPrintable(bar->tabText(i)));
        }
        const QRect first = bar->captionRect(0);
        QVERIFY2(metrics.horizontalAdvance("Away Randomization") > first.width(),
                 "the first caption is expected to need two lines");
    }

    void windowFontIsTahoma() {
        const QFontInfo regular(w.get<QLabel>("Label1(0)")->font());
        QCOMPARE(regular.family(), QStringLiteral("Tahoma"));
        QCOMPARE(regular.pointSizeF(), 8.25);
        QVERIFY(!regular.bold());
        const QFontInfo link(w.get<QLabel>("Label7")->font());
        QCOMPARE(link.family(), QStringLiteral("Tahoma"));
        QVERIFY(link.bold());
    }

    // Every caption fits its control with the font that was actually resolved.
    void captionsFit() {
        for (QAbstractButton* button : w.window->findChildren<QAbstractButton*>()) {
            if (button->text().isEmpty())
                continue;
            QVERIFY2(captionRoom(button) >= button->fontMetrics().horizontalAdvance(button->text()),
                     qPrintable(button->text()));
        }
        for (QLabel* label : w.window->findChildren<QLabel*>()) {
            if (label->text().isEmpty() || label->wordWrap())
                continue;
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->text()));
        }
        auto* paragraph = w.get<QLabel>("Label6");
        QVERIFY(paragraph->heightForWidth(paragraph->width()) <= paragraph->height());
    }

    void linksStayClearOfTheirNeighbours() {
        const QRect home = w.get<QLabel>("Label7")->geometry();
        const QRect bar = w.get<QLabel>("Label9")->geometry();
        const QRect author = w.get<QLabel>("Label8")->geometry();
        const QRect image = w.get<QLabel>("Image1")->geometry();
        QCOMPARE(home.topLeft(), QPoint(8, 136));
        QCOMPARE(author.topLeft(), QPoint(132, 136));
        QVERIFY(home.right() < bar.left());
        QVERIFY(bar.right() < author.left());
        QVERIFY(author.right() < image.left());
        QCOMPARE(w.get<QLabel>("Label9")->text(), QStringLiteral("|"));
    }

    void initialStateBeforeSettingsAreRead() {
        QCOMPARE(w.get<QLabel>("Label1(0)")->text(), QStringLiteral("Random Messages: 0"));
        QVERIFY(w.get<QRadioButton>("op2")->isChecked());
        QVERIFY(!w.get<QRadioButton>("op1")->isChecked());
        QVERIFY(!w.get<QRadioButton>("op3")->isChecked());
        for (const char* disabled : {"cmdStop", "cmdRmvMsg", "Command7"})
            QVERIFY2(!w.get<QWidget>(disabled)->isEnabled(), disabled);
        for (const char* enabled : {"cmdStart", "cmdAddMsg", "cmdClearMsgs", "Command6", "Frame1"})
            QVERIFY2(w.get<QWidget>(enabled)->isEnabled(), enabled);
        for (const char* box : {"Check1", "Check2", "Check3", "Check6"})
            QCOMPARE(w.get<QCheckBox>(box)->checkState(), Qt::Unchecked);
        QCOMPARE(w.get<QLineEdit>("Text3")->text(), QStringLiteral("2"));
        QCOMPARE(w.get<QComboBox>("Combo1")->count(), 0);
        auto* sizes = w.get<QComboBox>("Combo2");
        QCOMPARE(sizes->currentIndex(), -1);
        QStringList items;
        for (int i = 0; i < sizes->count(); ++i)
            items << sizes->itemText(i);
        QCOMPARE(items, QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
        QVERIFY(!sizes->isEditable());
        QVERIFY(!w.get<QComboBox>("Combo1")->isEditable());
    }

    void countdownTextsEndInALineBreak() {
        QCOMPARE(w.get<QPlainTextEdit>("Text2")->toPlainText(),
                 QStringLiteral("I will be back in %m minutes.\n"));
        QCOMPARE(w.get<QPlainTextEdit>("Text6")->toPlainText(),
                 QStringLiteral("I should have been back by now!\n"));
    }

    void timers_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("period");
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("precise");
        QTest::newRow("tmrM") << "tmrM" << 10000 << false << true;
        QTest::newRow("Timer") << "Timer" << 60000 << false << true;
        QTest::newRow("CheckMess") << "CheckMess" << 100 << true << false;
    }
    void timers() {
        QFETCH(QString, name);
        QFETCH(int, period);
        QFETCH(bool, running);
        QFETCH(bool, precise);
        auto* timer = w.get<QTimer>(qPrintable(name));
        QCOMPARE(timer->interval(), period);
        QCOMPARE(timer->isActive(), running);
        QCOMPARE(timer->timerType() == Qt::PreciseTimer, precise);
    }

    void onlyTheSelectedPageIsReachable() {
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        auto* tabs = w.get<TabControl>("SSTab1");
        QVERIFY(w.get<QWidget>("lstMessages")->isVisible());
        QVERIFY(!w.get<QWidget>("Text2")->isVisible());
        QVERIFY(!w.get<QWidget>("Check1")->isVisible());

        // Tabbing from the list walks page 0 only, in its order.
        w.get<QWidget>("lstMessages")->setFocus();
        QStringList visited;
        for (int i = 0; i < 8; ++i) {
            QWidget* next = QApplication::focusWidget()->nextInFocusChain();
            while (
                !(next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)))
                next = next->nextInFocusChain();
            visited << next->objectName();
            next->setFocus();
        }
        // An exclusive group of options is one stop; the tab row follows the last control.
        QCOMPARE(visited.mid(0, 6), QStringList({"cmdAddMsg", "cmdClearMsgs", "cmdStart", "op1",
                                                 "SSTab1Tabs", "lstMessages"}));

        tabs->setCurrentIndex(2);
        QVERIFY(!w.get<QWidget>("lstMessages")->isVisible());
        QVERIFY(w.get<QWidget>("Check1")->isVisible());
        w.window->hide();
    }

    void aboutPageTakesNoFocus() {
        for (const char* name : {"Label7", "Label8"})
            QCOMPARE(w.get<QWidget>(name)->focusPolicy(), Qt::NoFocus);
        QCOMPARE(w.get<QWidget>("Label7")->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(w.get<QLabel>("Label7")->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    }
};

QTEST_MAIN(TestLayout)
#include "tst_Layout.moc"
