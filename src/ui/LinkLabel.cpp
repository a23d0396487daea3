#include "LinkLabel.h"

#include <QMouseEvent>

namespace ui {

LinkLabel::LinkLabel(const QString& address, QWidget* parent) : QLabel(address, parent) {
    QFont bold = parent->font();
    bold.setBold(true);
    setFont(bold);
    QPalette linkPalette = palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 192));
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
