// SPDX-License-Identifier: MIT
#include "LinkLabel.h"

#include <QMouseEvent>

namespace ui {

LinkLabel::LinkLabel(const QString& address, QWidget* parent) : QLabel(address, parent) {
    QFont bold = parent->font();
    bold.setBold(true);
    setFont(bold);
    // The designed blue on a light window; on a dark one, the palette's own link colour,
    // which stays readable there.
    QPalette linkPalette = palette();
    const bool dark = linkPalette.color(QPalette::Window).lightness() < 128;
    linkPalette.setColor(QPalette::WindowText,
                         dark ? linkPalette.color(QPalette::Link) : QColor(0, 0, 192));
    setPalette(linkPalette);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked();
}

} // namespace ui
