// Saves the message list and a setting in FOLDER, alternating between two versions of
// each, until it is killed. Prints "ready" once it has started.
#include "Ini.h"
#include "MessageListFile.h"
#include "ProgramDir.h"
#include "SaveLoop.h"
#include "TestFiles.h"

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: save_loop FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString listPath = Storage::MessageListPathIn(folder);
    const QString settingsPath = Storage::SettingsFilePathIn(folder);
    StringListMessages lists[2];
    lists[0].entries = SaveLoop::List(false);
    lists[1].entries = SaveLoop::List(true);
    std::printf("ready\n");
    std::fflush(stdout);
    for (unsigned round = 1;; ++round) {
        const bool second = round % 2 == 1;
        Misc::SaveMessageList(listPath, lists[second]);
        Ini::WriteSetting(SaveLoop::Section, SaveLoop::Key,
                          second ? QStringLiteral("0") : QStringLiteral("1"), settingsPath);
    }
}
