// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QStringList>

namespace ui {

// Tahoma 8.25 pt, from the system or from the copy that Wine's font package ships; where no
// Tahoma can be had, the narrowest fitting sans-serif at hand.
QFont windowFont();

// The program's 32 by 32 icon: a black-framed box, a blue checkered area over a grey bar.
QPixmap iconPixmap(int size = 32);
// The same at the usual sizes of window and tray icons.
QIcon drawnIcon();
// The icon theme's, which an installed copy has, and which may draw its own; else the drawn
// one. Looking it up reads the theme's folders, which start-up need not wait for.
QIcon themeIcon();

// Every font family the system offers, each once, in the order it gives them.
QStringList fontFamilies();

} // namespace ui
