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
QIcon windowIcon();

// Every font family the system offers, each once, in the order it gives them.
QStringList fontFamilies();

} // namespace ui
