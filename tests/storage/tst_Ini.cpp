#include "Ini.h"
#include "ProgramDir.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Main = QStringLiteral("Main");
const QString Key = QStringLiteral("Load/Save");
} // namespace

class IniTest : public QObject {
    Q_OBJECT

private slots:
    void valueIn_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("value");
        QTest::newRow("missing section") << QByteArray("[Other]\r\nLoad/Save=1\r\n") << "";
        QTest::newRow("key before any section") << QByteArray("Load/Save=1\r\n[Main]\r\n") << "";
        QTest::newRow("names in other case") << QByteArray("[MAIN]\r\nload/SAVE=1\r\n") << "1";
        QTest::newRow("blanks trimmed")
            << QByteArray(" [ Main \r\n\t Load/Save \t=  1 2\t \n") << "1 2";
        QTest::newRow("empty value") << QByteArray("[Main]\r\nLoad/Save=\r\nLoad/Save=1\r\n") << "";
        QTest::newRow("line without = is a key")
            << QByteArray("[Main]\r\nLoad/Save\r\nLoad/Save=1") << "";
        QTest::newRow("later section of that name")
            << QByteArray("[Main]\r\na=1\r\n[X]\r\nLoad/Save=3\r\n[main]\r\nLoad/Save=a=b")
            << "a=b";
        QTest::newRow("Windows-1252 value")
            << QByteArray("[Main]\r\nLoad/Save=caf\xE9\r\n") << u"café"_qs;
        QTest::newRow("300 characters cut to 254")
            << "[Main]\r\nLoad/Save=" + QByteArray(300, 'x') << QString(254, u'x');
        QTest::newRow("surrogate pair not split")
            << "[Main]\r\nLoad/Save=" + QByteArray(253, 'x') + "\xF0\x9F\x98\x80"
            << QString(253, u'x');
    }
    void valueIn() {
        QFETCH(QByteArray, content);
        QFETCH(QString, value);
        QCOMPARE(Ini::ValueIn(content, Main, Key), value);
    }

    void withValue_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("in place, spelling kept") << QByteArray("[main]\r\n  LOAD/save = 0 \r\nz=1")
                                                 << QByteArray("[main]\r\nLOAD/save=1\r\nz=1");
        QTest::newRow("other lines byte-for-byte")
            << QByteArray(
                   "; c\r\n[Other]\r\n x = y \r\n\r\nodd\n[Main]\r\na=1\r\n\r\n;n\r\n[T]\r\nz")
            << QByteArray("; c\r\n[Other]\r\n x = y \r\n\r\nodd\n[Main]\r\na=1\r\nLoad/Save=1\r\n"
                          "\r\n;n\r\n[T]\r\nz");
        QTest::newRow("section without keys")
            << QByteArray("[Main]\n\n[Next]\n") << QByteArray("[Main]\nLoad/Save=1\r\n\n[Next]\n");
        QTest::newRow("header without line end")
            << QByteArray("[Main]") << QByteArray("[Main]\r\nLoad/Save=1\r\n");
        QTest::newRow("section added after unended line")
            << QByteArray("[Other]\r\na=b")
            << QByteArray("[Other]\r\na=b\r\n[Main]\r\nLoad/Save=1\r\n");
        QTest::newRow("key in later section of that name")
            << QByteArray("[Main]\r\na=1\r\n[Main]\r\nLoad/Save=0\r\n")
            << QByteArray("[Main]\r\na=1\r\n[Main]\r\nLoad/Save=1\r\n");
        QTest::newRow("same value leaves the line alone")
            << QByteArray("[Main]\r\n load/save = 1 \n")
            << QByteArray("[Main]\r\n load/save = 1 \n");
        QTest::newRow("new key into first section of that name")
            << QByteArray("[Main]\r\na=1\r\n[Main]\r\nb=2\r\n")
            << QByteArray("[Main]\r\na=1\r\nLoad/Save=1\r\n[Main]\r\nb=2\r\n");
    }
    void withValue() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, expected);
        const QByteArray written = Ini::WithValue(content, Main, Key, QStringLiteral("1"));
        QCOMPARE(written, expected);
        QCOMPARE(Ini::ValueIn(written, Main, Key), QStringLiteral("1"));
    }

    void firstWritesCreateFileAndFolder() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pellory/Config.ini"));
        QCOMPARE(Ini::ReadSetting(Main, Key, path), QString());
        Ini::WriteSetting(Main, Key, QStringLiteral("1"), path);
        Ini::WriteSetting(Main, QStringLiteral("FontFace"), u"é"_qs, path);
        QCOMPARE(ReadBytes(path), QByteArray("[Main]\r\nLoad/Save=1\r\nFontFace=\xC3\xA9\r\n"));
        QCOMPARE(Ini::ReadSetting(Main, QStringLiteral("fontface"), path), u"é"_qs);
    }

    void refusedWriteChangesNothing_data() {
        QTest::addColumn<bool>("folderReadOnly");
        QTest::newRow("read-only file") << false;
        QTest::newRow("read-only folder") << true;
    }
    void refusedWriteChangesNothing() {
        QFETCH(bool, folderReadOnly);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Config.ini"));
        QVERIFY(WriteBytes(path, "[Main]\r\nLoad/Save=0\r\n"));
        QVERIFY(Chmod(folderReadOnly ? dir.path() : path, 0555));
        Ini::WriteSetting(Main, Key, QStringLiteral("1"), path);
        QVERIFY(Chmod(dir.path(), 0755));
        QCOMPARE(ReadBytes(path), QByteArray("[Main]\r\nLoad/Save=0\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"Config.ini"});
    }

    void settingsPath_data() {
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("list");
        QTest::newRow("root") << "/"
                              << "/Config.ini"
                              << "//RandomMsgs.lst";
        QTest::newRow("folder") << "/opt/p"
                                << "/opt/p/Config.ini"
                                << "/opt/p/RandomMsgs.lst";
    }
    void settingsPath() {
        QFETCH(QString, programDir);
        QFETCH(QString, settings);
        QFETCH(QString, list);
        QCOMPARE(Storage::SettingsFilePathIn(programDir), settings);
        QCOMPARE(Storage::MessageListPathIn(programDir), list);
    }
};

QTEST_GUILESS_MAIN(IniTest)
#include "tst_Ini.moc"
