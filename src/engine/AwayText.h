#pragma once

#include <QString>

#include <functional>

namespace Engine {

struct FontChoice {
    QString face;
    QString size;
};

// Font tags go out only when the option holds exactly 1; a greyed box (2) means off.
bool FontTagsOn(int fontTagsOption);

// <fontface="FACE"><fontsize="SIZE">, with both texts used exactly as given.
QString FontPrefix(const QString& face, const QString& size);

// The text a sender hands over: the font prefix first when font tags are on. The font is
// asked for only then, so the font lists are read only when they matter.
QString ComposeAwayText(const QString& text, int fontTagsOption,
                        const std::function<FontChoice()>& currentFont);

// Spaces become "+"; the four characters that a messenger would otherwise decode or split
// on ("%", "+", "&", "#") are percent-encoded; everything else passes unchanged.
QString EncodeAwayText(const QString& text);

// "aim:goaway?message=" followed by the encoded text.
QString AwayCommand(const QString& text);

} // namespace Engine
