#include "SoundPlayer.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <limits>

namespace {

// A 0.1 s, 8 kHz, 16-bit mono PCM WAV of silence.
QByteArray silentWav() {
    const quint32 samples = 800;
    const quint32 dataBytes = samples * 2;
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    wav.append(QByteArray(dataBytes, '\0'));
    return wav;
}

// The real player, noting which event sounds were asked for.
class NotingPlayer final : public Desktop::SoundPlayer {
public:
    Desktop::CanberraPlayer real;
    QStringList events;
    bool playFile(const QString& path) override { return real.playFile(path); }
    void playEvent(const QString& id) override {
        events << id;
        real.playEvent(id);
    }
};

} // namespace

class TestCanberra : public QObject {
    Q_OBJECT

    QTemporaryDir home;

private slots:
    // A null ALSA device stands in for a sound card, so playable files really play.
    void initTestCase() {
        QVERIFY(home.isValid());
        QFile asoundrc(home.filePath(".asoundrc"));
        QVERIFY(asoundrc.open(QIODevice::WriteOnly));
        asoundrc.write("pcm.!default { type null }\nctl.!default { type hw card 0 }\n");
        asoundrc.close();
        qputenv("HOME", home.path().toUtf8());
        qunsetenv("PULSE_SERVER");
    }

    void playsOrFallsBackPromptly_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("fallsBack");
        QTest::newRow("valid wav") << "Intro.wav" << silentWav() << false;
        QTest::newRow("missing") << "Missing.wav" << QByteArray() << true;
        QTest::newRow("garbage") << "Garbage.wav" << QByteArray("not a sound at all") << true;
    }
    void playsOrFallsBackPromptly() {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(bool, fallsBack);
        const QString path = home.filePath(file);
        if (!content.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        NotingPlayer player;
        player.playFile(home.filePath("warm-up.wav")); // context creation is not what we time
        player.events.clear();
        // The quickest of three tries, so that a busy machine's scheduling is not measured.
        qint64 quickest = std::numeric_limits<qint64>::max();
        for (int attempt = 0; attempt < 3; ++attempt) {
            QElapsedTimer timer;
            timer.start();
            Misc::PlayStartupSound(path, player);
            quickest = std::min(quickest, timer.elapsed());
        }
        QVERIFY2(quickest < 50, qPrintable(QString::number(quickest) + " ms"));
        QCOMPARE(player.events, fallsBack ? QStringList(3, "bell") : QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestCanberra)
#include "tst_Canberra.moc"
