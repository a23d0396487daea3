// SPDX-License-Identifier: MIT
#pragma once

#include <QTabBar>
#include <QWidget>

#include <vector>

namespace ui {

// A tab bar whose tabs share its width equally, as a tabbed dialog lays out one full row, and
// whose captions wrap onto a second line instead of being cut.
class WrappingTabBar final : public QTabBar {
    Q_OBJECT

public:
    explicit WrappingTabBar(QWidget* parent = nullptr);
    // The caption's rectangle inside tab i, in the bar's coordinates.
    QRect captionRect(int index) const;

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
    void paintEvent(QPaintEvent* event) override;
};

// Pages above, one row of tabs along the bottom edge. Page widgets share the control's own
// coordinates, so a page's controls are placed from the control's top-left corner.
class TabControl final : public QWidget {
    Q_OBJECT

public:
    TabControl(int tabRowHeight, QWidget* parent);
    QWidget* addPage(const QString& caption);
    int currentIndex() const;
    void setCurrentIndex(int index);
    WrappingTabBar* tabBar() const { return tabBar_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showPage(int index);
    QRect pageArea() const;

    int tabRowHeight_;
    WrappingTabBar* tabBar_;
    std::vector<QWidget*> pages_;
};

} // namespace ui
