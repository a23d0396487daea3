#pragma once

#include "Dialogs.h"
#include "RandomPick.h"
#include "SoundPlayer.h"
#include "TrayIcon.h"
#include "UrlOpener.h"
#include "frmMain.h"

#include <QIcon>
#include <QQueue>
#include <QStringList>

#include <functional>
#include <memory>

// Answers prompts from a script; an exhausted script answers as Cancel would.
class ScriptedDialogs final : public Dialogs {
public:
    QStringList answers;
    QStringList prompts;
    QStringList notices;
    std::function<void()> beforeAnswer;

    QString askText(QWidget*, const QString& prompt, const QString& title) override {
        prompts << title + u'|' + prompt;
        if (beforeAnswer)
            beforeAnswer();
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    void inform(QWidget*, const QString& text, const QString& title) override {
        notices << title + u'|' + text;
    }
};

class RecordingOpener final : public Desktop::UrlOpener {
public:
    QStringList opened;
    void open(const QString& url) override { opened << url; }
};

class FakeTray final : public Desktop::TrayIcon {
public:
    bool hasArea = true;
    int requests = 0;
    bool visible = false;
    QString toolTip;
    QIcon icon;

    bool available() const override { return hasArea; }
    void show(const QIcon& i, const QString& tip) override {
        ++requests;
        visible = true;
        icon = i;
        toolTip = tip;
    }
    void remove() override {
        ++requests;
        visible = false;
    }
    bool shown() const override { return visible; }
    void click() const { leftClicked(); }
};

class FakeSound final : public Desktop::SoundPlayer {
public:
    bool fileCanPlay = true;
    QStringList files;
    QStringList events;
    bool playFile(const QString& path) override {
        files << path;
        return fileCanPlay;
    }
    void playEvent(const QString& id) override { events << id; }
};

// Returns scripted draws in turn, then repeats the last one.
class ScriptedRandom final : public Engine::UnitRandom {
public:
    QList<double> draws{0.0};
    int calls = 0;
    double next() override {
        ++calls;
        return draws.size() > 1 ? draws.takeFirst() : draws.first();
    }
};

// A window with every outside service faked, on a given program folder.
struct FakeServices {
    ScriptedDialogs dialogs;
    RecordingOpener opener;
    FakeTray tray;
    FakeSound sound;
    ScriptedRandom random;
    WindowServices services() { return {dialogs, opener, tray, sound, random}; }
};
