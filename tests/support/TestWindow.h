#pragma once

#include "Fakes.h"
#include "frmMain.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// frmMain on a fresh temporary program folder, with every outside service faked.
struct TestWindow {
    FakeServices fakes;
    QTemporaryDir dir;
    std::unique_ptr<frmMain> window;

    TestWindow() { reopen(); }
    void reopen() { window = std::make_unique<frmMain>(fakes.services(), dir.path()); }
    QString path(const QString& file) const { return dir.filePath(file); }

    QStringList entries() const {
        QStringList texts;
        auto* list = get<QListWidget>("lstMessages");
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }

    template <typename T> T* get(const char* name) const {
        T* child = window->findChild<T*>(QLatin1String(name));
        if (!child)
            qFatal("no control named %s", name);
        return child;
    }
};
