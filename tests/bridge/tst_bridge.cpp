// SPDX-License-Identifier: MIT
#include "AimUrl.h"
#include "AwayText.h"
#include "PlainText.h"
#include "StatusText.h"

#include <QTest>

class BridgeTest : public QObject {
    Q_OBJECT

private slots:
    void decodes_data() {
        QTest::addColumn<QByteArray>("url");
        QTest::addColumn<QString>("text"); // empty: the link is refused, with one line naming why
        QString ascii;
        for (char16_t c = 1; c < 0x80; ++c)
            ascii += QChar(c);
        for (const QString& sent : {ascii, QStringLiteral("%2B + %25 %zz % \u20ac\U0001F600")})
            QTest::newRow("what the sender encodes") << engine::awayCommand(sent).toUtf8() << sent;
        // clang-format off
        QTest::newRow("+ and %2B") << "aim:goaway?message=a+b%2Bc%2b"_qba << "a b+c+";
        QTest::newRow("Windows-1252") << "aim:goaway?message=%93caf%E9%94+%80"_qba << "“café” €";
        QTest::newRow("other parameters") << "aim:goaway?x=1&message=a&message=b"_qba << "a";
        QTest::newRow("# raw, any case") << "AIM:GoAway?Message=<b+id=\"#1\">&x"_qba << "<b id=\"#1\">";
        QTest::newRow("lone %") << "aim:goaway?message=100%"_qba << "";
        QTest::newRow("other command") << "aim:goim?message=hi"_qba << "";
        QTest::newRow("no message") << "aim:goaway?msg=a"_qba << "";
        QTest::newRow("other scheme") << "http:goaway?message=a"_qba << "";
        // clang-format on
    }
    void decodes() {
        QFETCH(QByteArray, url);
        QFETCH(QString, text);
        const bridge::AwayRequest request = bridge::parseAimUrl(url);
        QCOMPARE(request.ok(), !text.isEmpty());
        QCOMPARE(request.text, text);
        QVERIFY(request.ok() || (!request.error.isEmpty() && !request.error.contains('\n')));
    }

    // What the client can keep in its status file, and gives back unchanged.
    void storableText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("storable");
        // clang-format off
        QTest::newRow("line breaks") << "a\r\nb\rc\r\r\n" << "a\nb\nc\n\n";
        QTest::newRow("C0 but tab dropped") << QString("\x01\ta\x07\x1f") + QChar(0) << "\ta";
        QTest::newRow("DEL, C1 kept") << "\u007f\u0081" << "\u007f\u0081";
        QTest::newRow("non-characters dropped") << "\ufffe\uffff\ufffd\U0001F600" << "\ufffd\U0001F600";
        // clang-format on
    }
    void storableText() {
        QFETCH(QString, text);
        QFETCH(QString, storable);
        QCOMPARE(bridge::storableStatusText(text), storable);
        QCOMPARE(bridge::storableStatusText(storable), storable);
    }

    // What other IRC users see: no markup, one line, within the AWAY line's limit.
    void ircAwayText_data() {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("plain");
        const QString a398(398, u'a');
        // clang-format off
        QTest::newRow("tags") << "<b>Gone</b> <a href=\"x\">out</a>, 1 < 2<br/>ok" << "Gone out, 1 < 2 ok";
        QTest::newRow("entities") << "&amp;&lt;&gt;&quot;&apos;&nbsp;&#233;&#x20ac;&#10;&x; &" << "&<>\"' é€ &x; &";
        QTest::newRow("line breaks, blanks") << "\r\n a\r\n\tb  \x01" "c\n" << "a b c";
        QTest::newRow("400 bytes fit") << a398 + "éb" << a398 + "é";
        QTest::newRow("cut before é") << a398 + "aé" << a398 + "a";
        QTest::newRow("nothing left") << "<p> </p>" << "Away";
        // clang-format on
    }
    void ircAwayText() {
        QFETCH(QString, markup);
        QFETCH(QString, plain);
        QCOMPARE(bridge::ircAwayText(markup), plain);
    }
};

QTEST_APPLESS_MAIN(BridgeTest)
#include "tst_bridge.moc"
