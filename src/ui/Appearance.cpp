// SPDX-License-Identifier: MIT
#include "Appearance.h"

#include <QFile>
#include <QFontDatabase>
#include <QPainter>

namespace ui {
namespace {

constexpr const char* kWineFontDir = "/usr/share/wine/fonts/";

bool hasFamily(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

bool loadWineTahoma() {
    bool loaded = false;
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
        const QString path = QString::fromLatin1(kWineFontDir) + QLatin1String(file);
        if (QFile::exists(path) && QFontDatabase::addApplicationFont(path) >= 0)
            loaded = true;
    }
    return loaded;
}

} // namespace

QFont windowFont() {
    static const QString family = [] {
        if (loadWineTahoma() || hasFamily(QStringLiteral("Tahoma")))
            return QStringLiteral("Tahoma");
        for (const char* narrow : {"DejaVu Sans Condensed", "Liberation Sans Narrow", "Arial"})
            if (hasFamily(QLatin1String(narrow)))
                return QString::fromLatin1(narrow);
        return QStringLiteral("Sans Serif");
    }();
    QFont font(family);
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    // Tahoma's hand-made bitmaps are its real design at this size; the outlines of the bold
    // face would draw it as thin as the regular one.
    if (family == QLatin1String("Tahoma"))
        font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QPixmap iconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // Drawn on a 32-unit grid; other sizes blend the edges that fall between pixels.
    p.setRenderHint(QPainter::Antialiasing, size % 32 != 0);
    p.scale(size / 32.0, size / 32.0);
    p.fillRect(2, 3, 28, 26, Qt::black);
    p.fillRect(3, 4, 26, 24, QColor(0xc0, 0xc0, 0xc0));
    // The checkered area: 4-pixel squares in two blues.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            p.fillRect(4 + x * 4, 5 + y * 4, 4, 4,
                       (x + y) % 2 ? QColor(0x00, 0x00, 0x80) : QColor(0x33, 0x66, 0xff));
    p.fillRect(4, 23, 24, 3, QColor(0x80, 0x80, 0x80));
    p.end();
    return pixmap;
}

QIcon drawnIcon() {
    QIcon drawn;
    for (const int size : {16, 22, 24, 32, 48, 64})
        drawn.addPixmap(iconPixmap(size));
    return drawn;
}

QIcon themeIcon() {
    return QIcon::fromTheme(QStringLiteral("pellory"), drawnIcon());
}

QStringList fontFamilies() {
    // A family offered by several foundries comes as "Family [Foundry]"; the font tag wants
    // the family name alone, once.
    QStringList names;
    for (QString family : QFontDatabase::families()) {
        const qsizetype foundry = family.indexOf(QLatin1String(" ["));
        if (foundry > 0 && family.endsWith(u']'))
            family.truncate(foundry);
        if (!names.contains(family))
            names << family;
    }
    return names;
}

} // namespace ui
