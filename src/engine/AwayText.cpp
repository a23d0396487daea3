#include "AwayText.h"

namespace Engine {

bool FontTagsOn(int fontTagsOption) {
    return fontTagsOption == 1;
}

QString FontPrefix(const QString& face, const QString& size) {
    return QStringLiteral("<fontface=\"") + face + QStringLiteral("\"><fontsize=\"") + size +
           QStringLiteral("\">");
}

QString ComposeAwayText(const QString& text, int fontTagsOption,
                        const std::function<FontChoice()>& currentFont) {
    if (!FontTagsOn(fontTagsOption))
        return text;
    const FontChoice font = currentFont();
    return FontPrefix(font.face, font.size) + text;
}

QString EncodeAwayText(const QString& text) {
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
        default:
            encoded += c;
        }
    }
    return encoded;
}

QString AwayCommand(const QString& text) {
    return QStringLiteral("aim:goaway?message=") + EncodeAwayText(text);
}

} // namespace Engine
