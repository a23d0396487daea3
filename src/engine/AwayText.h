// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

namespace engine {

struct FontChoice {
    QString face;
    QString size;
};

// <fontface="FACE"><fontsize="SIZE">, with both texts used exactly as given.
QString fontPrefix(const QString& face, const QString& size);

// The text a sender hands over: the font prefix first when font tags are on. The font is
// asked for only then, so the font lists are read only when they matter.
QString composeAwayText(const QString& text, bool fontTags,
                        const std::function<FontChoice()>& currentFont);

// Spaces become "+"; the four characters that a messenger would otherwise decode or split
// on ("%", "+", "&", "#") and NUL are percent-encoded; everything else passes unchanged.
QString encodeAwayText(const QString& text);

// "aim:goaway?message=" followed by the encoded text.
QString awayCommand(const QString& text);

} // namespace engine
