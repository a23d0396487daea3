// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

namespace ui {

// A label that shows an address in the link look and reports a click on it.
class LinkLabel final : public QLabel {
    Q_OBJECT

public:
    LinkLabel(const QString& address, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace ui
