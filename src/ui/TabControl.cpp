// SPDX-License-Identifier: MIT
#include "TabControl.h"

#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

namespace ui {

WrappingTabBar::WrappingTabBar(QWidget* parent) : QTabBar(parent) {
    setShape(QTabBar::RoundedSouth);
    setExpanding(false);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    setDrawBase(false);
}

QSize WrappingTabBar::tabSizeHint(int index) const {
    const int tabs = count();
    const int share = tabs > 0 ? width() / tabs : width();
    // The last tab takes what the division leaves, so the row ends exactly at the edge.
    const int w = index == tabs - 1 ? width() - share * (tabs - 1) : share;
    return {w, height()};
}

QRect WrappingTabBar::captionRect(int index) const {
    return tabRect(index).adjusted(3, 1, -3, -1);
}

void WrappingTabBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab option;
        initStyleOption(&option, i);
        option.text.clear();
        painter.drawControl(QStyle::CE_TabBarTabShape, option);
        painter.setPen(palette().color(isTabEnabled(i) ? QPalette::Active : QPalette::Disabled,
                                       QPalette::WindowText));
        painter.drawText(captionRect(i), Qt::AlignCenter | Qt::TextWordWrap, tabText(i));
    }
}

TabControl::TabControl(int tabRowHeight, QWidget* parent)
    : QWidget(parent), tabRowHeight_(tabRowHeight), tabBar_(new WrappingTabBar(this)) {
    tabBar_->setObjectName(QStringLiteral("tabBar"));
    connect(tabBar_, &QTabBar::currentChanged, this, &TabControl::showPage);
}

QWidget* TabControl::addPage(const QString& caption) {
    // The bar needs its width before the tab is added: tabs are laid out from it.
    tabBar_->setGeometry(0, height() - tabRowHeight_, width(), tabRowHeight_);
    auto* page = new QWidget(this);
    page->setGeometry(pageArea());
    page->setVisible(pages_.empty());
    pages_.push_back(page);
    tabBar_->addTab(caption);
    return page;
}

int TabControl::currentIndex() const {
    return tabBar_->currentIndex();
}
void TabControl::setCurrentIndex(int index) {
    tabBar_->setCurrentIndex(index);
}

void TabControl::showPage(int index) {
    // Hiding the other pages also takes their controls out of the focus chain.
    for (size_t i = 0; i < pages_.size(); ++i)
        pages_[i]->setVisible(static_cast<int>(i) == index);
}

QRect TabControl::pageArea() const {
    return {0, 0, width(), height() - tabRowHeight_};
}

void TabControl::resizeEvent(QResizeEvent*) {
    tabBar_->setGeometry(0, height() - tabRowHeight_, width(), tabRowHeight_);
    for (QWidget* page : pages_)
        page->setGeometry(pageArea());
}

void TabControl::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = pageArea();
    frame.shape = QTabBar::RoundedSouth;
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

} // namespace ui
