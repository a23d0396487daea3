// SPDX-License-Identifier: MIT
#include "StatusText.h"

namespace bridge {

namespace {

bool storableInXml(char16_t c) {
    if (c < 0x20)
        return c == u'\t' || c == u'\n';
    return c != 0xFFFE && c != 0xFFFF;
}

} // namespace

QString storableStatusText(const QString& text) {
    QString storable;
    storable.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\r') {
            storable += u'\n';
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else if (storableInXml(c)) {
            storable += QChar(c);
        }
    }
    return storable;
}

} // namespace bridge
