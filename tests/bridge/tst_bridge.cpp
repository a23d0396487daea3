// SPDX-License-Identifier: MIT
#include "AwayText.h"
#include "FakeTransports.h"
#include "FuzzInputs.h"
#include "MessengerKinds.h"
#include "Telling.h"
#include "TestFiles.h"
#include "fifo/FifoClient.h"
#include "text/AimUrl.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using Script = std::function<void(FakeTransports&)>;
Q_DECLARE_METATYPE(Script)

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

    // Every kind of messenger, through scripted transports: how many running clients took
    // the text, every failure line, and what went out.
    void delivery_data() {
        QTest::addColumn<Script>("script");
        QTest::addColumn<int>("taken");
        QTest::addColumn<QStringList>("failures");
        QTest::addColumn<QString>("sent"); // one of the lines sent; empty: none checked
        using R = bridge::BusReply;
        const auto owner = [](const char* service, QList<R> answers = {R{true, {}, {}}}) -> Script {
            return [=](FakeTransports& f) { f.replies[service] = answers; };
        };
        const auto answers = [](QMap<QString, QList<R>> script) -> Script {
            return [=](FakeTransports& f) { f.replies.insert(script); };
        };
        const auto both = [](const Script& a, const Script& b) -> Script {
            return [=](FakeTransports& f) { a(f), b(f); };
        };
        const auto process = [](const char* exe, long pid, const char* fifo,
                                uint other = 0) -> Script {
            return [=](FakeTransports& f) {
                f.running.push_back({pid,
                                     ::geteuid() + other,
                                     exe,
                                     {},
                                     {{fifo, 1, ino_t(qHash(QByteArray(fifo)))}}});
            };
        };
        const auto matrix = [](bridge::HttpReply reply) -> Script {
            return [=](FakeTransports& f) {
                f.httpReply = reply;
                QVERIFY(bridge::writeMatrixLogin(
                            bridge::matrixLoginPath(QProcessEnvironment::systemEnvironment()),
                            {"https://hs.example", "@a:hs.example", "D", "tok"})
                            .isEmpty());
            };
        };
        const R no{std::nullopt, "org.freedesktop.DBus.Error.NoReply", ""};
        const R ok{QVariant(), {}, {}};
        const auto purple = [&](int current, const QList<R>& ownerAnswers = {R{true, {}, {}}},
                                R activate = {QVariant(), {}, {}}) {
            return both(owner("im.pidgin.purple.PurpleService", ownerAnswers),
                        answers({{"PurplePrimitiveGetTypeFromId", {R{5, {}, {}}}},
                                 {"PurpleSavedstatusFindTransientByTypeAndMessage", {R{0, {}, {}}}},
                                 {"PurpleSavedstatusNew", {R{7, {}, {}}}},
                                 {"PurpleSavedstatusSetMessage", {ok}},
                                 {"PurpleSavedstatusActivate", {activate}},
                                 {"PurpleSavedstatusGetCurrent", {R{current, {}, {}}}}}));
        };
        const Script hexchat = both(owner("org.hexchat.service"),
                                    answers({{"Connect", {R{"/c", {}, {}}}}, {"Command", {ok}}}));
        const QString lpc = "the libpurple client (Pidgin, Finch)";
        const QString account = "Matrix account @a:hs.example on https://hs.example: ";
        // clang-format off
        QTest::newRow("nothing runs") << Script([](FakeTransports&) {}) << 0 << QStringList{"no messenger is running (WeeChat, mcabber, Pidgin or Finch, HexChat, Gajim, Konversation, Psi, nheko, Matrix)"} << "";
        QTest::newRow("no bus") << Script([](FakeTransports& f) { f.busUp = false; }) << 0 << QStringList{"no D-Bus session bus: down"} << "";
        QTest::newRow("bus can't tell") << owner("org.hexchat.service", {no}) << 0 << QStringList{"HexChat did not answer in time"} << "";
        QTest::newRow("libpurple taken") << purple(7) << 1 << QStringList{} << "PurpleSavedstatusSetMessage 7 Gone &amp; <b>back</b>";
        QTest::newRow("libpurple status not kept") << purple(8) << 0 << QStringList{lpc + " did not keep the away status"} << "";
        QTest::newRow("libpurple crash mid-call") << purple(7, {R{true, {}, {}}, R{false, {}, {}}}, no) << 0 << QStringList{lpc + " quit or crashed during the call"} << "";
        QTest::newRow("HexChat taken") << hexchat << 1 << QStringList{} << "Command allserv away Gone & back";
        QTest::newRow("HexChat frozen") << both(owner("org.hexchat.service"), answers({{"Connect", {no}}})) << 0 << QStringList{"HexChat did not answer in time"} << "";
        QTest::newRow("Gajim's remote control off") << both(owner("org.gajim.Gajim"), answers({{"change_status", {FakeTransports::error("org.freedesktop.DBus.Error.UnknownObject")}}})) << 0 << QStringList{"Gajim: switch its setting remote_control on (Preferences, Advanced, Advanced Configuration Editor) to let it take away messages"} << "";
        QTest::newRow("Gajim refuses, HexChat takes") << both(hexchat, both(owner("org.gajim.Gajim"), answers({{"change_status", {R{false, {}, {}}}}}))) << 1 << QStringList{"Gajim refused the away status"} << "change_status away Gone & back ";
        QTest::newRow("nheko left the bus") << both(owner("im.nheko.Nheko"), answers({{"setStatusMessage", {FakeTransports::error("org.freedesktop.DBus.Error.ServiceUnknown")}}})) << 0 << QStringList{"nheko left the D-Bus session bus"} << "";
        QTest::newRow("nheko fails") << both(owner("im.nheko.Nheko"), answers({{"setStatusMessage", {FakeTransports::error("x.Err")}}})) << 0 << QStringList{"nheko: D-Bus error x.Err: boom"} << "";
        QTest::newRow("WeeChat and its child") << both(process("/usr/bin/weechat-headless (deleted)", 12, "/r/weechat_fifo_12"), process("/usr/bin/weechat", 13, "/r/weechat_fifo_12")) << 1 << QStringList{} << "/r/weechat_fifo_12 */away -all Gone & back\n";
        QTest::newRow("WeeChat with another FIFO") << process("/usr/bin/weechat", 12, "/r/other") << 0 << QStringList{"WeeChat (process 12) has no FIFO of its own open (its fifo plugin, on by default: /fifo enable)"} << "";
        QTest::newRow("FIFO without a reader") << both(process("/usr/bin/weechat", 12, "/r/weechat_fifo"), [](FakeTransports& f) { f.fifoError = "nothing reads it"; }) << 0 << QStringList{"WeeChat (process 12)'s FIFO /r/weechat_fifo: nothing reads it"} << "";
        QTest::newRow("another user's process") << process("/usr/bin/weechat", 12, "/r/weechat_fifo_12", 1) << 0 << QStringList{"no messenger is running (WeeChat, mcabber, Pidgin or Finch, HexChat, Gajim, Konversation, Psi, nheko, Matrix)"} << "";
        QTest::newRow("mcabber's configured FIFO") << both(process("/usr/bin/mcabber", 9, "/r/m"), [](FakeTransports& f) {
            QVERIFY(QDir().mkpath(QDir::homePath() + "/.mcabber") && writeBytes(QDir::homePath() + "/.mcabber/mcabberrc", "set fifo_name = ~/f\n"));
            f.files[QDir::homePath() + "/f"] = {1, qHash("/r/m"_qba)};
        }) << 1 << QStringList{} << "/r/m /status away Gone & back\n";
        QTest::newRow("mcabber without") << process("/usr/bin/mcabber", 9, "/r/m") << 0 << QStringList{"mcabber (process 9) has no FIFO of its own open (`module load fifo` and `set fifo_name` in its mcabberrc)"} << "";
        QTest::newRow("Matrix taken") << matrix({200, "{}", {}, false, false}) << 1 << QStringList{} << "PUT https://hs.example/_matrix/client/v3/presence/%40a%3Ahs.example/status {\"presence\":\"unavailable\",\"status_msg\":\"Gone & back\"}";
        QTest::newRow("M_UNKNOWN_TOKEN") << matrix({401, "{\"errcode\":\"M_UNKNOWN_TOKEN\"}", {}, false, false}) << 0 << QStringList{account + "the homeserver no longer accepts the stored login (M_UNKNOWN_TOKEN); run pellory-aim-bridge --matrix-login again"} << "";
        QTest::newRow("Matrix error") << matrix({500, "{\"errcode\":\"M_X\",\"error\":\"a\\u001bb\"}", {}, false, false}) << 0 << QStringList{account + "the homeserver answered HTTP 500 M_X: a b"} << "";
        QTest::newRow("Matrix timeout") << matrix({0, {}, {}, true, false}) << 0 << QStringList{account + "no answer from the homeserver in time"} << "";
        QTest::newRow("Matrix unreachable") << matrix({0, {}, "refused", false, false}) << 0 << QStringList{account + "cannot reach the homeserver: refused"} << "";
        const Script konversation = both(owner("org.kde.konversation"), answers({{"setAway", {ok}}, {"setBack", {ok}}}));
        const Script psi = answers({{"ListNames", {R{QStringList{"org.psi-im.Psi", "org.psi-im.Psi.a", "org.psi-im.Psi.b", "x"}, {}, {}}}}, {"setStatus", {ok}}});
        QTest::newRow("Konversation taken") << konversation << 1 << QStringList{} << "setAway Gone & back";
        QTest::newRow("Psi, every profile") << psi << 2 << QStringList{} << "setStatus away Gone & back";
        QTest::newRow("Psi without profiles") << both(owner("org.psi-im.Psi"), answers({{"ListNames", {R{QStringList{"org.psi-im.Psi"}, {}, {}}}}, {"setStatus", {no}}})) << 0 << QStringList{"Psi did not answer in time"} << "";
        QTest::newRow("back: Konversation") << konversation << 1 << QStringList{} << "setBack";
        QTest::newRow("back: Psi") << psi << 2 << QStringList{} << "setStatus online ";
        QTest::newRow("back: libpurple") << purple(7) << 1 << QStringList{} << "PurpleSavedstatusSetMessage 7 ";
        QTest::newRow("back: HexChat") << hexchat << 1 << QStringList{} << "Command allserv back";
        QTest::newRow("back: Gajim") << both(owner("org.gajim.Gajim"), answers({{"change_status", {R{true, {}, {}}}}})) << 1 << QStringList{} << "change_status online  ";
        QTest::newRow("back: nheko") << both(owner("im.nheko.Nheko"), answers({{"setStatusMessage", {ok}}})) << 1 << QStringList{} << "setStatusMessage ";
        QTest::newRow("back: WeeChat") << process("/usr/bin/weechat", 12, "/r/weechat_fifo_12") << 1 << QStringList{} << "/r/weechat_fifo_12 */away -all\n";
        QTest::newRow("back: Matrix") << matrix({200, "{}", {}, false, false}) << 1 << QStringList{} << "PUT https://hs.example/_matrix/client/v3/presence/%40a%3Ahs.example/status {\"presence\":\"online\",\"status_msg\":\"\"}";
        const Script gajim = owner("org.gajim.Gajim"), nheko = owner("im.nheko.Nheko");
        const auto offers = [&](const Script& client, const char* method) { return both(client, answers({{"Introspect", {R{QString("<method name=\"%1\"/>").arg(method), {}, {}}}}})); };
        const QString notLoggedIn = "Matrix: not logged in: pellory-aim-bridge --matrix-login";
        QTest::newRow("check: nothing runs") << Script([](FakeTransports&) {}) << 0 << QStringList{"WeeChat: not running", "HexChat: not running", notLoggedIn} << "";
        QTest::newRow("check: Gajim's remote control off") << offers(gajim, "x") << 0 << QStringList{"Gajim: running, but its remote control is off: switch its setting remote_control on (Preferences, Advanced, Advanced Configuration Editor)"} << "";
        QTest::newRow("check: Gajim takes") << offers(gajim, "change_status") << 1 << QStringList{"Gajim: running; takes messages"} << "";
        QTest::newRow("check: nheko without its interface") << nheko << 0 << QStringList{"nheko: running, but without its D-Bus interface: set expose_dbus_api=true under [user] in nheko.conf"} << "";
        QTest::newRow("check: nheko and HexChat take") << both(offers(nheko, "setStatusMessage"), hexchat) << 2 << QStringList{"nheko: running; takes messages", "HexChat: running; takes messages"} << "";
        QTest::newRow("check: WeeChat without its FIFO") << process("/usr/bin/weechat", 12, "/r/other") << 0 << QStringList{"WeeChat: running, but without a FIFO of its own: its fifo plugin, on by default: /fifo enable"} << "";
        QTest::newRow("check: WeeChat takes") << process("/usr/bin/weechat", 12, "/r/weechat_fifo_12") << 1 << QStringList{"WeeChat: running; takes messages"} << "";
        QTest::newRow("check: Matrix token works") << matrix({200, "{}", {}, false, false}) << 1 << QStringList{"Matrix: logged in as @a:hs.example on https://hs.example, the login file private; the token works"} << "GET https://hs.example/_matrix/client/v3/account/whoami ";
        QTest::newRow("check: Matrix token revoked") << matrix({401, "{\"errcode\":\"M_UNKNOWN_TOKEN\"}", {}, false, false}) << 0 << QStringList{"Matrix: " + account + "the homeserver no longer accepts the stored login (M_UNKNOWN_TOKEN); run pellory-aim-bridge --matrix-login again"} << "";
        // clang-format on
    }
    void delivery() {
        QFETCH(Script, script);
        QFETCH(QString, sent);
        QTemporaryDir home;
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
        FakeTransports fakes;
        script(fakes);
        bridge::Transports transports{fakes, fakes, fakes};
        std::atomic<bool> anyTaken{false};
        const QByteArray tag = QTest::currentDataTag();
        if (tag.startsWith("check: ")) { // the lines that must be among the seven, no status set
            const bridge::Readout readout = bridge::checkEverywhere(transports);
            QFETCH(QStringList, failures);
            for (const QString& line : failures)
                QVERIFY2(readout.lines.contains(line), qPrintable(readout.lines.join('\n')));
            QTEST(readout.ready, "taken");
            for (const QString& line : fakes.sent)
                QVERIFY2(line.startsWith("Introspect") || line == "ListNames" || line.startsWith("GetNameOwner") || line.startsWith("GET "), qPrintable(line));
        } else {
            const bridge::Delivery delivery = bridge::setEverywhere(
                tag.startsWith("back: ") ? bridge::Away() : bridge::messengerText("Gone &amp; <b>back</b>"),
                transports, anyTaken);
            QTEST(delivery.failures, "failures");
            QTEST(delivery.taken, "taken");
            QCOMPARE(anyTaken, delivery.taken > 0);
        }
        QVERIFY2(sent.isEmpty() || fakes.sent.contains(sent), qPrintable(fakes.sent.join('|')));
    }

    // A cause is told once while it lasts, again once it went away and came back; success
    // says nothing. What is remembered is the user's alone.
    void toldOnce() {
        QTemporaryDir dir;
        const QString folder = dir.filePath("told");
        const QList<std::pair<QStringList, QStringList>> runs{
            {{"a", "b"}, {"a", "b"}}, {{"a", "b"}, {}}, {{"b"}, {}},
            {{"a", "b"}, {"a"}},      {{}, {}},         {{"b"}, {"b"}}};
        for (const auto& [causes, untold] : runs)
            QCOMPARE(bridge::untoldCauses(causes, folder), untold);
        struct stat status {};
        QVERIFY(::stat(QFile::encodeName(folder), &status) == 0 && (status.st_mode & 0777) == 0700);
        FakeTransports fakes;
        for (int run = 0; run < 2; ++run)
            bridge::tellDesktop({1, {"HexChat did not answer in time"}}, false, fakes,
                                dir.filePath("t"));
        QCOMPARE(fakes.sent.size(), 1);
        QVERIFY2(fakes.sent[0].startsWith("Notify Pellory AIM bridge 0 pellory Not every messenger "
                                          "set you back HexChat did not answer in time"),
                 qPrintable(fakes.sent[0]));
    }

    // The password login goes as JSON, never in the URL.
    void passwordLogin() {
        const bridge::HttpRequest r =
            bridge::passwordLoginRequest("https://hs.example/m/", "@al/ice:hs.example", "pw", "P");
        QCOMPARE(r.method + ' ' + r.url.toEncoded() + ' ' + r.body,
                 "POST https://hs.example/m/_matrix/client/v3/login "
                 "{\"identifier\":{\"type\":\"m.id.user\",\"user\":\"@al/"
                 "ice:hs.example\"},\"initial_device_display_name\":\"P\",\"password\":\"pw\","
                 "\"type\":\"m.login.password\"}");
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

    // The FIFO an mcabberrc names: the last setting that is not a comment.
    void mcabberFifo() {
        QCOMPARE(bridge::mcabberFifoSetting(
                     "set fifo_name = /a\n#set fifo_name = /b\n  set  fifo_name=~/c d \n", "/h"),
                 "/h/c d");
        QCOMPARE(bridge::mcabberFifoSetting("module load fifo\n", "/h"), "");
    }

    // The fuzz target's promises, on every link kept in fuzz/inputs/links.
    void fuzzInputs() { QVERIFY(runKeptFuzzInputs("links") > 3); }
};

QTEST_APPLESS_MAIN(BridgeTest)
#include "tst_bridge.moc"
