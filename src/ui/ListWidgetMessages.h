#pragma once

#include "MessageListFile.h"

#include <QListWidget>

// The window's list box as the list that the message file reads into and writes from.
class ListWidgetMessages final : public Misc::MessageList {
public:
    explicit ListWidgetMessages(QListWidget& list) : list_(list) {}
    int count() const override { return list_.count(); }
    QString entry(int index) const override { return list_.item(index)->text(); }
    void append(const QStringList& entries) override { list_.addItems(entries); }

private:
    QListWidget& list_;
};
