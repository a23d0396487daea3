// SPDX-License-Identifier: MIT
#pragma once

#include "Dialogs.h"
#include "MainWindow.h"
#include "SoundPlayer.h"
#include "TestFiles.h"
#include "TrayIcon.h"
#include "UrlOpener.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QTimer>

// Answers from a script; an exhausted script answers as Cancel and Close Without Saving.
struct ScriptedDialogs final : ui::Dialogs {
    QStringList answers, notices;
    int retries = 0;
    QString askText(QWidget*, const QString&, const QString&) override {
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    void inform(QWidget*, const QString& text, const QString& title) override {
        notices << title + u'|' + text;
    }
    bool askRetry(QWidget*, const QString& text) override { return notices << text, retries-- > 0; }
    void tell(QWidget*, const QString& text) override { notices << text; }
};

struct RecordingOpener final : desktop::UrlOpener {
    QStringList opened;
    void open(const QString& url) override { opened << url; }
};

struct FakeTray final : desktop::TrayIcon {
    bool hasArea = true, visible = false;
    QString tip;
    bool available() const override { return hasArea; }
    void show(const QIcon&, const QString& toolTip) override { visible = true, tip = toolTip; }
    void setToolTip(const QString& toolTip) override { tip = toolTip; }
    void remove() override { visible = false; }
    bool shown() const override { return visible; }
    void click() const { restoreChosen(); }
    void quit() const { quitChosen(); }
};

struct FakeSound final : desktop::SoundPlayer {
    QStringList played; // each file, then each event; no file plays
    bool playFile(const QString& path) override { return played << path, false; }
    void playEvent(const QString& id) override { played << id; }
};

// Returns scripted draws in turn, then repeats the last one.
struct ScriptedRandom final : engine::UnitRandom {
    QList<double> draws{0.0};
    double next() override { return draws.size() > 1 ? draws.takeFirst() : draws.first(); }
};

// The main window on a fresh program folder, with every outside service faked.
struct TestWindow {
    ScriptedDialogs dialogs;
    RecordingOpener opener;
    FakeTray tray;
    FakeSound sound;
    ScriptedRandom random;
    QTemporaryDir dir;
    std::unique_ptr<ui::MainWindow> window = std::make_unique<ui::MainWindow>(
        ui::WindowServices{dialogs, opener, tray, sound, random}, dir.path());
    QString path(const QString& file) const { return dir.filePath(file); }
    template <typename T = QWidget> T* get(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
    void click(const char* button) const { get<QAbstractButton>(button)->click(); }
    void tick(const char* timer) const { QMetaObject::invokeMethod(get<QTimer>(timer), "timeout"); }
    QStringList entries() const {
        QStringList texts;
        for (int i = 0; i < get<QListWidget>("messageList")->count(); ++i)
            texts << get<QListWidget>("messageList")->item(i)->text();
        return texts;
    }
};
