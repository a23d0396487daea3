// SPDX-License-Identifier: MIT
#include "AimUrl.h"
#include "AwayText.h"
#include "FifoClient.h"
#include "FuzzInputs.h"
#include "MatrixApi.h"
#include "MessengerText.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

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
        QTest::newRow("WeeChat") << "/usr/bin/weechat"
                                 << "*/away -all a b\n"_qba;
        QTest::newRow("upgraded") << "/usr/bin/weechat-headless (deleted)"
                                  << "*/away -all a b\n"_qba;
        QTest::newRow("mcabber") << "/home/u/bin/mcabber"
                                 << "/status away a b\n"_qba;
        QTest::newRow("other program") << "/usr/bin/mcabber-notify" << QByteArray();
    }
    void fifoClients() {
        QFETCH(QString, executable);
        QFETCH(QByteArray, line);
        const std::optional<bridge::FifoClient> client = bridge::fifoClientOf(executable);
        QCOMPARE(client ? bridge::fifoAwayLine(*client, QStringLiteral("a b")) : QByteArray(),
                 line);
    }

    // What goes to the homeserver: the user ID escaped as one path segment, the token only in
    // the Authorization header, the text as JSON.
    void matrixRequests_data() {
        QTest::addColumn<QByteArray>("request"); // method, URL, Authorization, body
        QTest::addColumn<QByteArray>("expected");
        const bridge::MatrixLogin login{"https://hs.example/m/", "@al/ice:hs.example", "D", "tok"};
        const auto row =
            [](const char* name, const bridge::HttpRequest& r, const QByteArray& expected) {
                QByteArray authorization;
                for (const auto& [header, value] : r.headers)
                    authorization += header == "Authorization" ? value : QByteArray();
                QTest::newRow(name)
                    << QByteArrayList{r.method, r.url.toEncoded(), authorization, r.body}.join(' ')
                    << expected;
            };
        const QByteArray v3 = "https://hs.example/m/_matrix/client/v3/";
        // clang-format off
        row("presence", bridge::presenceRequest(login, "Gone & \"back\""), "PUT " + v3 + "presence/%40al%2Fice%3Ahs.example/status Bearer tok {\"presence\":\"unavailable\",\"status_msg\":\"Gone & \\\"back\\\"\"}");
        row("login", bridge::passwordLoginRequest(login.homeserver, login.userId, "pw", "P"), "POST " + v3 + "login  {\"identifier\":{\"type\":\"m.id.user\",\"user\":\"@al/ice:hs.example\"},\"initial_device_display_name\":\"P\",\"password\":\"pw\",\"type\":\"m.login.password\"}");
        // clang-format on
    }
    void matrixRequests() {
        QFETCH(QByteArray, request);
        QTEST(request, "expected");
    }

    // The login file reads back as written only while its owner alone may read it, and a
    // password would travel unencrypted only to this computer.
    void matrixLogin_data() {
        QTest::addColumn<QString>("homeserver");
        QTest::addColumn<int>("mode");
        QTest::addColumn<uint>("owner");      // added to the user's id
        QTest::addColumn<QString>("file");    // put at the path instead: "link", "fifo", "group"
        QTest::addColumn<QString>("refusal"); // empty: the login is used
        // clang-format off
        QTest::newRow("private") << "https://hs.example" << 0600 << 0u << "" << "";
        QTest::newRow("group reads") << "https://hs.example" << 0640 << 0u << "" << "mode 0640 lets other users read or change the token";
        QTest::newRow("others write") << "https://hs.example" << 0602 << 0u << "" << "mode 0602";
        QTest::newRow("another user's") << "https://hs.example" << 0600 << 1u << "" << "belongs to user id";
        QTest::newRow("another group's") << "https://hs.example" << 0600 << 0u << "group" << "";
        QTest::newRow("a link to it") << "https://hs.example" << 0600 << 0u << "link" << "symbolic links";
        QTest::newRow("a FIFO") << "https://hs.example" << 0600 << 0u << "fifo" << "not a regular file";
        QTest::newRow("http to loopback") << "http://[::1]:8008/" << 0600 << 0u << "" << "";
        QTest::newRow("http to 127.1") << "http://127.1:8008" << 0600 << 0u << "" << "";
        QTest::newRow("http elsewhere") << "http://127.0.0.1.example" << 0600 << 0u << "" << "only https://";
        QTest::newRow("a name like 127.x") << "http://127.0.0.256:8448" << 0600 << 0u << "" << "http://127.0.0.256:8448: only https://";
        QTest::newRow("named as it came") << "http://%31%32%37.0.0.1/" << 0600 << 0u << "" << "http://%31%32%37.0.0.1/ is not a homeserver URL";
        // clang-format on
    }
    void matrixLogin() {
        QFETCH(QString, homeserver);
        QFETCH(int, mode);
        QFETCH(uint, owner);
        QFETCH(QString, file);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pellory/matrix-login.json"));
        const bridge::MatrixLogin login{homeserver, "@a:hs.example", "D", "secret"};
        QCOMPARE(bridge::writeMatrixLogin(path, login), QString());
        QCOMPARE(::chmod(path.toLocal8Bit(), mode_t(mode)), 0);
        if (file == "group" && ::chown(path.toLocal8Bit(), uid_t(-1), ::getegid() + 1) != 0)
            QSKIP("giving a file to another group needs root");
        if (file == "link" || file == "fifo")
            QVERIFY(QFile::rename(path, path + ".real"));
        if (file == "link")
            QVERIFY(QFile::link(path + ".real", path));
        if (file == "fifo")
            QCOMPARE(::mkfifo(path.toLocal8Bit(), 0600), 0);
        const bridge::StoredLogin stored = bridge::readMatrixLogin(path, ::geteuid() + owner);
        QCOMPARE(stored.login, refusal.isEmpty() ? std::optional(login) : std::nullopt);
        QVERIFY2(stored.error.contains(refusal) && !stored.error.contains("secret"),
                 qPrintable(stored.error));
    }

    // Where WeeChat's and mcabber's own FIFOs are: another FIFO a client holds is not its own.
    void ownFifos_data() {
        QTest::addColumn<QByteArray>("mcabberrc");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("expected"); // mcabber's FIFO; "WeeChat" when it is WeeChat's
        // clang-format off
        QTest::newRow("WeeChat's") << QByteArray() << "weechat_fifo_12" << "WeeChat";
        QTest::newRow("another FIFO") << QByteArray() << "weechat_fifo_12.x" << "";
        QTest::newRow("mcabber's, last set") << "set fifo_name = /a\n#set fifo_name = /b\n  set  fifo_name=~/c d \n"_qba << "" << "/h/c d";
        QTest::newRow("mcabber without") << "module load fifo\n"_qba << "" << "";
        // clang-format on
    }
    void ownFifos() {
        QFETCH(QByteArray, mcabberrc);
        QFETCH(QString, fileName);
        QTEST(fileName.isEmpty()                    ? bridge::mcabberFifoSetting(mcabberrc, "/h")
              : bridge::isWeechatFifoName(fileName) ? QStringLiteral("WeeChat")
                                                    : QString(),
              "expected");
    }

    // The fuzz target's promises, on every link kept in fuzz/inputs/links.
    void fuzzInputs() { QVERIFY(runKeptFuzzInputs("links") > 3); }
};

QTEST_APPLESS_MAIN(BridgeTest)
#include "tst_bridge.moc"
