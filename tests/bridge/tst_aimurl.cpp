#include "AimUrl.h"
#include "AwayText.h"
#include "StatusText.h"

#include <QTest>

class TestAimUrl : public QObject {
    Q_OBJECT

private slots:
    void sentTextRoundTrips_data();
    void sentTextRoundTrips();
    void decodesValue_data();
    void decodesValue();
    void rejects_data();
    void rejects();
    void storableText_data();
    void storableText();
};

void TestAimUrl::sentTextRoundTrips_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("markup, escapes, CR LF")
        << QStringLiteral("C++ 100%&up#1 <font color=\"#ff0000\">\u00e9\r\nsecond line");
    QString ascii;
    for (char16_t c = 0x01; c < 0x80; ++c)
        ascii += QChar(c);
    QTest::newRow("every ASCII character") << ascii;
    QTest::newRow("escapes written out") << QStringLiteral("%2B + %25 %zz %");
    QTest::newRow("beyond the BMP and C1")
        << QStringLiteral("\u20ac \u00a0\U0001F600 \u0085\u4e2d");
    QTest::newRow("empty") << QString();
}

// Whatever the sending side encodes comes out of the decoder unchanged.
void TestAimUrl::sentTextRoundTrips() {
    QFETCH(QString, text);
    const Bridge::AwayRequest request = Bridge::ParseAimUrl(Engine::AwayCommand(text).toUtf8());
    QVERIFY2(request.ok(), qPrintable(request.error));
    QCOMPARE(request.text, text);
}

void TestAimUrl::decodesValue_data() {
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QString>("text");
    QTest::newRow("plus is a space") << QByteArray("aim:goaway?message=a+b") << "a b";
    QTest::newRow("%2B is a plus") << QByteArray("aim:goaway?message=a%2Bb%2bc") << "a+b+c";
    QTest::newRow("UTF-8 escaped") << QByteArray("aim:goaway?message=%C3%A9%e2%82%ac") << "é€";
    QTest::newRow("Windows-1252") << QByteArray("aim:goaway?message=%93caf%E9%94+%80%9F")
                                  << "“café” €Ÿ";
    QTest::newRow("1252 between UTF-8")
        << QByteArray("aim:goaway?message=\xc3\xa9%E9\xe2\x82\xac") << "éé€";
    QTest::newRow("1252 unassigned byte") << QByteArray("aim:goaway?message=%81") << "\u0081";
    QTest::newRow("overlong UTF-8") << QByteArray("aim:goaway?message=%C0%AF") << "À¯";
    QTest::newRow("UTF-8 surrogate") << QByteArray("aim:goaway?message=%ED%A0%80") << "í\u00a0€";
    QTest::newRow("truncated UTF-8") << QByteArray("aim:goaway?message=%E2%82") << "â‚";
    QTest::newRow("past U+10FFFF") << QByteArray("aim:goaway?message=%F4%90%80%80") << "ô\u0090€€";
    QTest::newRow("other parameters") << QByteArray("aim:goaway?x=1&message=a&foo=b") << "a";
    QTest::newRow("fragment") << QByteArray("aim:goaway?message=a#b") << "a";
    QTest::newRow("names in any case") << QByteArray("AIM:GoAway?Message=a") << "a";
    QTest::newRow("empty value") << QByteArray("aim:goaway?message=") << "";
    QTest::newRow("no equals sign") << QByteArray("aim:goaway?message&x=1") << "";
}

void TestAimUrl::decodesValue() {
    QFETCH(QByteArray, url);
    QFETCH(QString, text);
    const Bridge::AwayRequest request = Bridge::ParseAimUrl(url);
    QVERIFY2(request.ok(), qPrintable(request.error));
    QCOMPARE(request.text, text);
}

void TestAimUrl::rejects_data() {
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QString>("mentioned");
    QTest::newRow("lone %") << QByteArray("aim:goaway?message=100%") << "%";
    QTest::newRow("one hex digit") << QByteArray("aim:goaway?message=%4") << "%";
    QTest::newRow("not hex") << QByteArray("aim:goaway?message=%G1") << "%";
    QTest::newRow("other command") << QByteArray("aim:goim?screenname=x&message=hi") << "goim";
    QTest::newRow("control in command") << QByteArray("aim:go\naway?message=a") << "go?away";
    QTest::newRow("no query") << QByteArray("aim:goaway") << "message";
    QTest::newRow("no message") << QByteArray("aim:goaway?msg=a") << "message";
    QTest::newRow("other scheme") << QByteArray("http:goaway?message=a") << "aim:";
    QTest::newRow("empty") << QByteArray() << "aim:";
}

void TestAimUrl::rejects() {
    QFETCH(QByteArray, url);
    QFETCH(QString, mentioned);
    const Bridge::AwayRequest request = Bridge::ParseAimUrl(url);
    QVERIFY(!request.ok());
    QVERIFY2(request.error.contains(mentioned), qPrintable(request.error));
    QVERIFY(!request.error.contains(u'\n'));
}

void TestAimUrl::storableText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("storable");
    QTest::newRow("CR LF") << "a\r\nb\r\n"
                           << "a\nb\n";
    QTest::newRow("lone CR") << "a\rb\r"
                             << "a\nb\n";
    QTest::newRow("CR CR LF") << "\r\r\n"
                              << "\n\n";
    QTest::newRow("tab and LF kept") << "a\tb\nc"
                                     << "a\tb\nc";
    QTest::newRow("C0 dropped") << QString::fromLatin1("\x01"
                                                       "a\x07\x0b\x0c\x1b\x1f"
                                                       "b")
                                << "ab";
    QTest::newRow("NUL dropped") << QString(QChar(0)) + u'a' << "a";
    QTest::newRow("DEL and C1 kept") << "\u007f\u0081\u009f"
                                     << "\u007f\u0081\u009f";
    QTest::newRow("non-characters dropped") << "a\ufffe\uffffb\ufffd"
                                            << "ab\ufffd";
    QTest::newRow("beyond the BMP kept") << "\U0001F600\U0010FFFF"
                                         << "\U0001F600\U0010FFFF";
}

// Also checks that storable text is left alone when it comes round again, the way the
// client's status file gives it back.
void TestAimUrl::storableText() {
    QFETCH(QString, text);
    QFETCH(QString, storable);
    QCOMPARE(Bridge::StorableStatusText(text), storable);
    QCOMPARE(Bridge::StorableStatusText(storable), storable);
}

QTEST_APPLESS_MAIN(TestAimUrl)
#include "tst_aimurl.moc"
