#include "Garbage.h"

#include <QList>

#include <array>
#include <random>

namespace Garbage {
namespace {

constexpr QByteArrayView Bom("\xEF\xBB\xBF");
constexpr qsizetype TenMegabytes = 10 * 1024 * 1024;
constexpr int ManyLines = 100000;

// The engine is fixed by the standard; the distributions are not, so none is used.
class Dice {
public:
    explicit Dice(int index) : engine_(std::mt19937::result_type(20261206 + index)) {}
    quint32 below(quint32 n) { return n == 0 ? 0 : engine_() % n; }
    bool oneIn(quint32 n) { return below(n) == 0; }
    char byte() { return char(below(256)); }
    template <typename T, std::size_t N> const T& pick(const std::array<T, N>& items) {
        return items[below(N)];
    }

private:
    std::mt19937 engine_;
};

const std::array<const char*, 10> InvalidUtf8 = {"\xC0\x80",         // overlong NUL
                                                 "\xED\xA0\x80",     // an encoded surrogate
                                                 "\xF8\x88\x80\x80", // five-byte form
                                                 "\x80",             // continuation alone
                                                 "\xBF\xBF",         // continuations alone
                                                 "\xE2\x82",         // cut short
                                                 "\xF0\x9F\x98",     // cut short
                                                 "\xFF",             // never in UTF-8
                                                 "\xFE",             // never in UTF-8
                                                 "\xC3\x28"};        // lead byte, then ASCII

const std::array<const char*, 8> Valid = {
    "a", "Z", " ", "\t", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xE2\x80\x8F"};

const std::array<const char*, 10> IniWords = {
    "[Main]", "[main]", "[", "]", "=", ";", "Load/Save", "FontFace", "HideInTray", "FontSize"};

const std::array<const char*, 4> LineEnds = {"\n", "\r\n", "\r", "\r\r\n"};

QByteArray RandomBytes(Dice& dice, quint32 maximum) {
    QByteArray bytes;
    const quint32 size = dice.below(maximum + 1);
    bytes.reserve(size);
    for (quint32 i = 0; i < size; ++i)
        bytes += dice.byte();
    return bytes;
}

QByteArray Text(Dice& dice, quint32 maximum) {
    QByteArray text;
    const quint32 pieces = dice.below(maximum + 1);
    for (quint32 i = 0; i < pieces; ++i)
        text += dice.pick(Valid);
    return text;
}

QByteArray InvalidText(Dice& dice) {
    QByteArray text;
    const quint32 lines = 1 + dice.below(40);
    for (quint32 i = 0; i < lines; ++i) {
        text += Text(dice, 20);
        text += dice.pick(InvalidUtf8);
        text += Text(dice, 20);
        text += dice.pick(LineEnds);
    }
    return text;
}

QByteArray LoneCrs(Dice& dice) {
    QByteArray text;
    const quint32 lines = 1 + dice.below(60);
    for (quint32 i = 0; i < lines; ++i) {
        text += dice.oneIn(3) ? QByteArray(dice.pick(IniWords)) : Text(dice, 12);
        text += dice.oneIn(6) ? "\r\n" : "\r";
    }
    return text;
}

QByteArray Marks(Dice& dice) {
    QByteArray text = Bom.toByteArray();
    if (dice.oneIn(4))
        text += Bom;
    const quint32 lines = dice.below(20);
    for (quint32 i = 0; i < lines; ++i) {
        if (dice.oneIn(3))
            text += Bom;
        text += dice.oneIn(2) ? QByteArray(dice.pick(IniWords)) : Text(dice, 10);
        if (dice.oneIn(2))
            text += "=" + Text(dice, 10);
        text += dice.pick(LineEnds);
    }
    if (dice.oneIn(3))
        text.chop(1);
    return text;
}

QByteArray WithNuls(Dice& dice) {
    QByteArray text;
    const quint32 lines = 1 + dice.below(30);
    for (quint32 i = 0; i < lines; ++i) {
        text += QByteArray(int(dice.below(3)), '\0');
        text += dice.pick(IniWords);
        text += QByteArray(int(dice.below(3)), '\0');
        text += "=" + Text(dice, 8) + QByteArray(int(dice.below(3)), '\0');
        text += dice.pick(LineEnds);
    }
    return text;
}

// Settings-like lines: sections, keys, comments, values around the 254-character limit.
QByteArray IniLike(Dice& dice) {
    QByteArray text;
    const quint32 lines = 1 + dice.below(50);
    for (quint32 i = 0; i < lines; ++i) {
        switch (dice.below(5)) {
        case 0:
            text += " [" + QByteArray(dice.pick(IniWords)) + Text(dice, 3) +
                    (dice.oneIn(4) ? "" : "]") + Text(dice, 2);
            break;
        case 1:
            text += ";" + Text(dice, 10);
            break;
        case 2:
            text += QByteArray(int(240 + dice.below(20)), 'x') + Text(dice, 4);
            break;
        default:
            text += Text(dice, 2) + QByteArray(dice.pick(IniWords)) + Text(dice, 2) + " = " +
                    (dice.oneIn(4) ? QByteArray(int(250 + dice.below(8)), 'v') : QByteArray()) +
                    Text(dice, 30);
        }
        text += dice.pick(LineEnds);
    }
    if (dice.oneIn(2))
        text.chop(1);
    return text;
}

QByteArray ShortLines(Dice& dice) {
    QByteArray text;
    const quint32 lines = 1000 + dice.below(4000);
    for (quint32 i = 0; i < lines; ++i)
        text += Text(dice, 3) + dice.pick(LineEnds);
    return text;
}

QByteArray OneLongLine(Dice& dice, QByteArray start, bool multiByte) {
    QByteArray text = std::move(start);
    text.reserve(TenMegabytes + 8);
    while (text.size() < TenMegabytes) {
        if (multiByte)
            text += dice.pick(Valid);
        else
            text += char(' ' + dice.below(95));
    }
    return text;
}

QByteArray ManyShortLines(bool settingsLike) {
    QByteArray text = settingsLike ? Bom.toByteArray() + "[Main]\r\n" : QByteArray();
    for (int i = 0; i < ManyLines; ++i) {
        text += settingsLike ? "k" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n"
                             : "msg " + QByteArray::number(i) + "\n";
    }
    return text;
}

// The large files come first, then the small kinds in turn.
const QList<QString> SmallKinds = {QStringLiteral("random bytes with NULs"),
                                   QStringLiteral("invalid UTF-8"),
                                   QStringLiteral("lone CRs"),
                                   QStringLiteral("UTF-8 marks"),
                                   QStringLiteral("NULs in names"),
                                   QStringLiteral("settings-like"),
                                   QStringLiteral("short lines"),
                                   QStringLiteral("mixture")};
constexpr int LargeFiles = 4;

} // namespace

QString Kind(int index) {
    switch (index) {
    case 0:
        return QStringLiteral("10 MB single line");
    case 1:
        return QStringLiteral("10 MB value of multi-byte text");
    case 2:
        return QStringLiteral("100,000 short lines");
    case 3:
        return QStringLiteral("100,000 keys after a mark");
    default:
        return SmallKinds[(index - LargeFiles) % SmallKinds.size()];
    }
}

QByteArray File(int index) {
    Dice dice(index);
    switch (index) {
    case 0:
        return OneLongLine(dice, {}, false);
    case 1:
        return OneLongLine(dice, "[Main]\r\nFontFace=", true);
    case 2:
        return ManyShortLines(false);
    case 3:
        return ManyShortLines(true);
    }
    switch ((index - LargeFiles) % SmallKinds.size()) {
    case 0:
        return RandomBytes(dice, 4096);
    case 1:
        return InvalidText(dice);
    case 2:
        return LoneCrs(dice);
    case 3:
        return Marks(dice);
    case 4:
        return WithNuls(dice);
    case 5:
        return IniLike(dice);
    case 6:
        return ShortLines(dice);
    default: {
        QByteArray mixture;
        const quint32 parts = 2 + dice.below(4);
        for (quint32 i = 0; i < parts; ++i) {
            switch (dice.below(5)) {
            case 0:
                mixture += RandomBytes(dice, 512);
                break;
            case 1:
                mixture += InvalidText(dice);
                break;
            case 2:
                mixture += LoneCrs(dice);
                break;
            case 3:
                mixture += Marks(dice);
                break;
            default:
                mixture += IniLike(dice);
            }
        }
        return mixture;
    }
    }
}

} // namespace Garbage
