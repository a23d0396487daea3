#include "AwayText.h"

#include <QtTest>

using Engine::AwayCommand;
using Engine::ComposeAwayText;
using Engine::FontChoice;

class TestAwayText : public QObject {
    Q_OBJECT

private slots:
    void commandFromComposedText_data() {
        QTest::addColumn<int>("fontTags");
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");

        QTest::newRow("plain") << 0 << ""
                               << ""
                               << "Back soon"
                               << "aim:goaway?message=Back+soon";
        QTest::newRow("arial")
            << 1 << "Arial"
            << "2"
            << "Out to lunch"
            << "aim:goaway?message=<fontface=\"Arial\"><fontsize=\"2\">Out+to+lunch";
        QTest::newRow("spaces in face")
            << 1 << "Times New Roman"
            << "3"
            << "Hi"
            << "aim:goaway?message=<fontface=\"Times+New+Roman\"><fontsize=\"3\">Hi";
        QTest::newRow("empty, tags off") << 0 << ""
                                         << ""
                                         << ""
                                         << "aim:goaway?message=";
        QTest::newRow("empty, tags on")
            << 1 << "Arial"
            << "2"
            << ""
            << "aim:goaway?message=<fontface=\"Arial\"><fontsize=\"2\">";
        QTest::newRow("greyed box means off") << 2 << "Arial"
                                              << "2"
                                              << "x"
                                              << "aim:goaway?message=x";
        QTest::newRow("empty font selection")
            << 1 << ""
            << ""
            << "x"
            << "aim:goaway?message=<fontface=\"\"><fontsize=\"\">x";
        QTest::newRow("three spaces") << 0 << ""
                                      << ""
                                      << "a   b"
                                      << "aim:goaway?message=a+++b";
        QTest::newRow("characters a messenger would decode")
            << 0 << ""
            << ""
            << "C++ 100%&up#1"
            << "aim:goaway?message=C%2B%2B+100%25%26up%231";
        QTest::newRow("font colour") << 0 << ""
                                     << ""
                                     << "<font color=\"#ff0000\">red</font>"
                                     << "aim:goaway?message=<font+color=\"%23ff0000\">red</font>";
        QTest::newRow("passes the rest unchanged") << 0 << ""
                                                   << ""
                                                   << "?=\t\"é\r\n"
                                                   << "aim:goaway?message=?=\t\"é\r\n";
    }
    void commandFromComposedText() {
        QFETCH(int, fontTags);
        QFETCH(QString, face);
        QFETCH(QString, size);
        QFETCH(QString, text);
        QFETCH(QString, command);
        const QString composed = ComposeAwayText(text, fontTags, [&] {
            return FontChoice{face, size};
        });
        QCOMPARE(AwayCommand(composed), command);
    }

    void fontIsReadOnlyWhenTagsAreOn_data() {
        QTest::addColumn<int>("fontTags");
        QTest::addColumn<int>("reads");
        QTest::newRow("off") << 0 << 0;
        QTest::newRow("on") << 1 << 1;
        QTest::newRow("greyed") << 2 << 0;
        QTest::newRow("negative") << -1 << 0;
    }
    void fontIsReadOnlyWhenTagsAreOn() {
        QFETCH(int, fontTags);
        QFETCH(int, reads);
        int calls = 0;
        ComposeAwayText("x", fontTags, [&] {
            ++calls;
            return FontChoice{"Arial", "2"};
        });
        QCOMPARE(calls, reads);
    }

    void prefixIsExactlyThirtyTwoCharactersForArial() {
        const QString prefix = Engine::FontPrefix("Arial", "2");
        QCOMPARE(prefix, QStringLiteral("<fontface=\"Arial\"><fontsize=\"2\">"));
        QCOMPARE(prefix.size(), 32);
    }
};

QTEST_GUILESS_MAIN(TestAwayText)
#include "tst_AwayText.moc"
