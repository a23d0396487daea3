// SPDX-License-Identifier: MIT
#include "AimUrl.h"
#include "AwayText.h"
#include "FifoClient.h"
#include "FuzzInputs.h"
#include "MessengerText.h"

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

    // What libpurple and the plain-text clients get of a link's text, which any web page
    // can choose: never a control character, raw or as a reference, never too long.
    void messengerText_data() {
        QTest::addColumn<QString>("away");
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("plain");
        const QString a398(398, u'a');
        // clang-format off
        QTest::newRow("tags") << "<b>Gone</b> <a href=\"x\">out</a>, 1 < 2<br/>ok" << "<b>Gone</b> <a href=\"x\">out</a>, 1 < 2<br/>ok" << "Gone out, 1 < 2 ok";
        QTest::newRow("entities") << "&amp;&lt;&gt;&quot;&apos;&nbsp;&#233;&#x20ac;&#10;&x; &" << "&amp;&lt;&gt;&quot;&apos;&nbsp;é€ &x; &amp;" << "&<>\"' é€ &x; &";
        QTest::newRow("IRC commands") << "back soon&#13;JOIN #t&#13;NICK x" << "back soon JOIN #t NICK x" << "back soon JOIN #t NICK x";
        QTest::newRow("every spelling of a control") << "a&#x0d;&#X0D;&#0000013;&#13&# 13;&#+13;&#4294967309;&#x85;&#127;&#0;b" << "a        b" << "a b";
        QTest::newRow("raw controls") << "\r\n a\r\n\tb  \x01\u007f\u0085\ufffe" "c\n" << "<br> a<br> b  c<br>" << "a b c";
        QTest::newRow("references to text") << "&#60;b&#62;&#x26;#13;&amp;#13;" << "&lt;b&gt;&amp;#13;&amp;#13;" << "<b>";
        QTest::newRow("references to no character") << "&#xD800;&#1114112;" << "&amp;#xD800;&amp;#1114112;" << "&#xD800;&#1114112;";
        QTest::newRow("inside a tag") << "<a href=\"x&#13;y&#34;\r\n\">a\tb</a>" << "<a href=\"x y&quot; \">a b</a>" << "a b";
        QTest::newRow("400 bytes fit") << a398 + "éb" << a398 + "é" << a398 + "é";
        QTest::newRow("cut before é") << a398 + "aé" << a398 + "a" << a398 + "a";
        QTest::newRow("not inside a tag or entity") << a398 + "<b>x&amp;" << a398 << a398 + "x&";
        QTest::newRow("nothing left") << "<p> </p>" << "<p> </p>" << "Away";
        // clang-format on
    }
    void messengerText() {
        QFETCH(QString, away);
        QFETCH(QString, markup);
        QFETCH(QString, plain);
        const bridge::MessengerText text = bridge::messengerText(away);
        QCOMPARE(text.markup(), markup);
        QCOMPARE(text.plain(), plain);
    }

    // Which running program gets which line through the FIFO it holds.
    void fifoClients_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QByteArray>("line"); // empty: not a client
        QTest::newRow("WeeChat") << "/usr/bin/weechat" << "*/away -all a b\n"_qba;
        QTest::newRow("upgraded") << "/usr/bin/weechat-headless (deleted)" << "*/away -all a b\n"_qba;
        QTest::newRow("mcabber") << "/home/u/bin/mcabber" << "/status away a b\n"_qba;
        QTest::newRow("other program") << "/usr/bin/mcabber-notify" << QByteArray();
    }
    void fifoClients() {
        QFETCH(QString, executable);
        QFETCH(QByteArray, line);
        const std::optional<bridge::FifoClient> client = bridge::fifoClientOf(executable);
        QCOMPARE(client ? bridge::fifoAwayLine(*client, QStringLiteral("a b")) : QByteArray(),
                 line);
    }

    // The fuzz target's promises, on every link kept in fuzz/inputs/links.
    void fuzzInputs() { QVERIFY(runKeptFuzzInputs("links") > 3); }
};

QTEST_APPLESS_MAIN(BridgeTest)
#include "tst_bridge.moc"
