// SPDX-License-Identifier: MIT
// Starts a program and watches the X server for the moment its window is mapped.
//
//   mapwatch start TITLE PROGRAM [ARG...]
//       Prints "<microseconds from exec to map> <peak RSS in KiB> <width>x<height> <CPU
//       microseconds>", then kills the program. The CPU time (user and system, every thread,
//       up to the kill) is less sensitive than the wall time to what else the machine runs.
//   mapwatch idle SECONDS TITLE PROGRAM [ARG...]
//       Waits for the map, lets the program settle for a second, then prints
//       "<CPU nanoseconds> <wake-ups> <CPU clock ticks>" used over the next SECONDS, then
//       kills the program. Wake-ups are voluntary context switches, every thread.
//
// The map is seen as a MapNotify on the root window (SubstructureNotify), not by polling; the
// window counts when its _NET_WM_NAME or WM_NAME equals TITLE. The program is killed with
// SIGKILL so that it cannot write its files on the way out.

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kMapTimeoutMs = 30000;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "mapwatch: %s\n", what);
    std::exit(2);
}

long long nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

template <typename T> struct FreeDeleter {
    void operator()(T* p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter<T>>;

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::string textProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property) {
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr));
    if (!reply || reply->format != 8)
        return {};
    return {static_cast<const char*>(xcb_get_property_value(reply.get())),
            static_cast<size_t>(xcb_get_property_value_length(reply.get()))};
}

struct Watcher {
    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t netWmName = XCB_ATOM_NONE;
    xcb_atom_t netWmPid = XCB_ATOM_NONE;

    Watcher() {
        c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c))
            fail("cannot connect to the X display");
        root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_void_cookie_t cookie =
            xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask);
        if (std::unique_ptr<xcb_generic_error_t, FreeDeleter<xcb_generic_error_t>> error{
                xcb_request_check(c, cookie)})
            fail("cannot select SubstructureNotify on the root window");
        netWmName = internAtom(c, "_NET_WM_NAME");
        netWmPid = internAtom(c, "_NET_WM_PID");
    }
    ~Watcher() { xcb_disconnect(c); }

    bool hasTitle(xcb_window_t w, const std::string& title) {
        return textProperty(c, w, netWmName) == title ||
               textProperty(c, w, XCB_ATOM_WM_NAME) == title;
    }

    // Another program's window of the same title (a second watcher's) must not count.
    bool belongsTo(xcb_window_t w, pid_t pid) {
        XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 0, w, netWmPid, XCB_ATOM_CARDINAL, 0, 1), nullptr));
        if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
            return true; // a program that doesn't say is taken at its title's word
        return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get())) ==
               static_cast<uint32_t>(pid);
    }

    // Blocks on the connection until a window with the title is mapped; returns false when
    // the child died first or nothing came within the time-out.
    bool waitForMap(const std::string& title, pid_t child, uint16_t& width, uint16_t& height) {
        const long long deadline = nowNs() + kMapTimeoutMs * 1000000LL;
        pollfd pfd{xcb_get_file_descriptor(c), POLLIN, 0};
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
                const bool isMap = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const xcb_window_t w = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
                std::free(event);
                if (isMap && hasTitle(w, title) && belongsTo(w, child)) {
                    XcbReply<xcb_get_geometry_reply_t> geometry(
                        xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr));
                    width = geometry ? geometry->width : 0;
                    height = geometry ? geometry->height : 0;
                    return true;
                }
            }
            if (xcb_connection_has_error(c))
                fail("lost the X connection");
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child)
                return false;
            const long long left = (deadline - nowNs()) / 1000000LL;
            if (left <= 0)
                return false;
            // The short cap only serves to notice a child that died without a window.
            ::poll(&pfd, 1, static_cast<int>(left < 200 ? left : 200));
        }
    }
};

pid_t spawn(char** argv) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        errno = rc;
        std::perror(argv[0]);
        std::exit(2);
    }
    return pid;
}

// Kills the child and returns what it used.
rusage killAndReap(pid_t pid) {
    ::kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    return usage;
}

long long microseconds(const timeval& tv) {
    return tv.tv_sec * 1000000LL + tv.tv_usec;
}

// One thread's counts, from the scheduler: time on a CPU, and voluntary context switches (each
// one is a sleep, so a wake-up follows it).
struct TaskUsage {
    long long cpuNs = 0;
    long long wakeUps = 0;
};

struct Usage {
    std::map<long, TaskUsage> tasks; // by thread id
    long long cpuTicks = 0; // utime + stime of the process, in clock ticks, as a cross-check
};

std::string readFile(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "r")) {
        char buffer[4096];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, got);
        std::fclose(f);
    }
    return text;
}

Usage sample(pid_t pid) {
    Usage usage;
    const std::string base = "/proc/" + std::to_string(pid);
    if (DIR* tasks = ::opendir((base + "/task").c_str())) {
        while (dirent* entry = ::readdir(tasks)) {
            if (entry->d_name[0] == '.')
                continue;
            const std::string task = base + "/task/" + entry->d_name;
            TaskUsage& counts = usage.tasks[std::atol(entry->d_name)];
            counts.cpuNs = std::atoll(readFile(task + "/schedstat").c_str());
            const std::string status = readFile(task + "/status");
            const size_t at = status.find("\nvoluntary_ctxt_switches:");
            if (at != std::string::npos)
                counts.wakeUps = std::atoll(status.c_str() + at + 25);
        }
        ::closedir(tasks);
    }
    // Fields 14 and 15 of /proc/PID/stat, counted after the ")" that ends the command name.
    const std::string stat = readFile(base + "/stat");
    const size_t close = stat.rfind(')');
    if (close != std::string::npos) {
        const char* p = stat.c_str() + close + 2;
        for (int field = 3; field < 14 && *p; ++field)
            p = std::strchr(p, ' ') ? std::strchr(p, ' ') + 1 : p + std::strlen(p);
        char* end = nullptr;
        const long long utime = std::strtoll(p, &end, 10);
        const long long stime = std::strtoll(end, nullptr, 10);
        usage.cpuTicks = utime + stime;
    }
    return usage;
}

void sleepMs(long ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) < 0 && errno == EINTR) {
    }
}

int usage() {
    std::fprintf(stderr, "usage: mapwatch start TITLE PROGRAM [ARG...]\n"
                         "       mapwatch idle SECONDS TITLE PROGRAM [ARG...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return usage();
    const std::string mode = argv[1];
    int next = 2;
    long idleSeconds = 0;
    if (mode == "idle") {
        if (argc < 5)
            return usage();
        idleSeconds = std::atol(argv[next++]);
        if (idleSeconds <= 0)
            return usage();
    } else if (mode != "start" || argc < 4) {
        return usage();
    }
    const std::string title = argv[next++];
    char** program = argv + next;

    Watcher watcher;
    uint16_t width = 0;
    uint16_t height = 0;
    const long long started = nowNs();
    const pid_t pid = spawn(program);
    if (!watcher.waitForMap(title, pid, width, height)) {
        killAndReap(pid);
        std::fprintf(stderr, "mapwatch: %s mapped no window titled \"%s\"\n", program[0],
                     title.c_str());
        return 1;
    }
    const long long mapped = nowNs();

    if (mode == "start") {
        const rusage used = killAndReap(pid);
        std::printf("%lld %ld %ux%u %lld\n", (mapped - started) / 1000, used.ru_maxrss, width,
                    height, microseconds(used.ru_utime) + microseconds(used.ru_stime));
        return 0;
    }

    sleepMs(1000);
    const Usage before = sample(pid);
    sleepMs(idleSeconds * 1000);
    const Usage after = sample(pid);
    killAndReap(pid);
    // Thread by thread, so that a thread ending meanwhile doesn't take its earlier counts off
    // the total; a thread started meanwhile counts whole. (What a thread that ended did in
    // the period is lost; the clock-tick total, which keeps it, is printed beside.)
    TaskUsage used;
    for (const auto& [tid, counts] : after.tasks) {
        const auto earlier = before.tasks.find(tid);
        const TaskUsage start = earlier == before.tasks.end() ? TaskUsage{} : earlier->second;
        used.cpuNs += counts.cpuNs - start.cpuNs;
        used.wakeUps += counts.wakeUps - start.wakeUps;
    }
    std::printf("%lld %lld %lld\n", used.cpuNs, used.wakeUps, after.cpuTicks - before.cpuTicks);
    return 0;
}
