// startup_watch: starts a program and reports how long it took from its
// exec to its first top-level window being mapped on the X display, and to
// the first frame drawn into it (the first damage the X server reports on
// the window after it was mapped), and the peak resident memory of the
// process, which is asked to close (WM_DELETE_WINDOW) once it has shown its
// window and settled. For scripts/bench-startup.sh; not a test.
//
//   startup_watch [--settle MS] PROGRAM [ARGS...]
//   prints: map_ms=12.3 paint_ms=15.0 maxrss_kb=45678

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    long settleMs = 500;
    if (argc > 2 && std::strcmp(argv[1], "--settle") == 0) {
        settleMs = std::strtol(argv[2], nullptr, 10);
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: startup_watch [--settle MS] PROGRAM [ARGS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "startup_watch: no X display\n");
        return 2;
    }
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "startup_watch: the X server has no DAMAGE extension\n");
        return 2;
    }
    // Every window mapped on the screen is told to the root's substructure.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return 2;
    if (child == 0) {
        execvp(argv[first], argv + first);
        std::fprintf(stderr, "startup_watch: cannot run %s: %s\n", argv[first], std::strerror(errno));
        _exit(127);
    }

    double mapped = -1;
    double painted = -1;
    Window window = 0;
    Damage damage = 0;
    const int fd = ConnectionNumber(display);
    while (painted < 0 && MillisecondsSince(start) < 30000) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            // A program's main window is a managed top-level window (tooltips
            // and menus are override-redirect).
            if (mapped < 0 && event.type == MapNotify && !event.xmap.override_redirect) {
                mapped = MillisecondsSince(start);
                window = event.xmap.window;
                damage = XDamageCreate(display, window, XDamageReportNonEmpty);
                XSync(display, False);
            } else if (mapped >= 0 && event.type == damageEvent + XDamageNotify) {
                painted = MillisecondsSince(start);
                break;
            }
        }
        if (painted >= 0) break;
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "startup_watch: the program ended before showing a window\n");
            return 1;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval wait{0, 2000};
        select(fd + 1, &readable, nullptr, nullptr, &wait);
    }
    if (painted < 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::fprintf(stderr, "startup_watch: no window drawn within 30 s\n");
        return 1;
    }
    XDamageDestroy(display, damage);
    // Let it settle, then close its window as a window manager would, so
    // that it ends as after a user's close (a kill would leave its
    // single-instance lock behind for the next start to clear).
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &close);
    XFlush(display);
    int status = 0;
    rusage usage{};
    for (int waited = 0; waited < 2000; waited += 10) {
        if (wait4(child, &status, WNOHANG, &usage) == child) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (waited + 10 >= 2000) {
            kill(child, SIGTERM);
            wait4(child, &status, 0, &usage);
        }
    }
    std::printf("map_ms=%.1f paint_ms=%.1f maxrss_kb=%ld\n", mapped, painted, usage.ru_maxrss);
    XCloseDisplay(display);
    return 0;
}
