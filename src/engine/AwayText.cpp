// SPDX-License-Identifier: MIT
#include "AwayText.h"

namespace engine {

QString fontPrefix(const QString& face, const QString& size) {
    return QStringLiteral("<fontface=\"") + face + QStringLiteral("\"><fontsize=\"") + size +
           QStringLiteral("\">");
}

QString composeAwayText(const QString& text, bool fontTags,
                        const std::function<FontChoice()>& currentFont) {
    if (!fontTags)
        return text;
    const FontChoice font = currentFont();
    return fontPrefix(font.face, font.size) + text;
}

QString encodeAwayText(const QString& text) {
    QString encoded;
    encoded.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u' ':
            encoded += u'+';
            break;
        case u'%':
            encoded += QLatin1String("%25");
            break;
        case u'+':
            encoded += QLatin1String("%2B");
            break;
        case u'&':
            encoded += QLatin1String("%26");
            break;
        case u'#':
            encoded += QLatin1String("%23");
            break;
        case u'\0': // an argument ends at a NUL, so the rest of the text would be lost
            encoded += QLatin1String("%00");
            break;
        default:
            encoded += c;
        }
    }
    return encoded;
}

QString awayCommand(const QString& text) {
    return QStringLiteral("aim:goaway?message=") + encodeAwayText(text);
}

} // namespace engine
