#include "UrlOpener.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <vector>

extern char** environ;

namespace desktop {

void XdgOpener::open(const QString& url) {
    // The result is ignored on purpose: nobody is told when the desktop can't open it.
    spawnDetached(QStringLiteral("xdg-open"), {url});
}

bool spawnDetached(const QString& program, const QStringList& arguments) {
    std::vector<QByteArray> bytes;
    bytes.reserve(static_cast<size_t>(arguments.size()) + 1);
    bytes.push_back(QFile::encodeName(program));
    for (const QString& argument : arguments)
        bytes.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    // posix_spawn shares the caller's memory until the exec instead of copying it as fork()
    // does, so the time the window's thread waits doesn't grow with the window's memory. The
    // child gets default signal handling and an empty signal mask, and its own session, as a
    // detached program would.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t mask;
    sigemptyset(&mask);
    posix_spawnattr_setsigmask(&attributes, &mask);
    sigfillset(&mask);
    posix_spawnattr_setsigdefault(&attributes, &mask);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv.front(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        return false;

    // The child is ours until it ends; a thread of its own collects it so that it leaves no
    // zombie, and the program's end simply leaves it to init.
    try {
        std::thread([pid] {
            while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // Without a thread the finished child stays a zombie until the program ends.
    }
    return true;
}

} // namespace desktop
