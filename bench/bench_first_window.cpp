// Times a program from its start to its first window on screen, from outside the program:
// listens to the X server for new top-level windows, starts the program, and stops the
// clock at the first Expose of a window whose title starts with the given text, the same
// event that tells the program to paint. The program is then ended (SIGTERM) and reaped.
//
//   bench_first_window [--runs N] [--warmup N] --title TEXT -- COMMAND [ARG...]
//
// Prints one line per counted run: the seconds from just before the fork to that Expose.
// Event-driven, so it neither polls nor competes with the program for the processor; needs
// DISPLAY and, for a realistic showing, a window manager on that display.
#include "spawn_quiet.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

namespace {

using Clock = std::chrono::steady_clock;

// A window may go away between its CreateNotify and our requests about it; such errors are
// expected and ignored (Xlib's default handler would end the process).
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// The window's title: _NET_WM_NAME (UTF-8) when set, else WM_NAME.
std::string TitleOf(Display* display, Window window) {
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    for (const Atom property : {netName, static_cast<Atom>(XA_WM_NAME)}) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, property, 0, 1024, False,
                               property == netName ? utf8 : AnyPropertyType, &type, &format, &count,
                               &after, &data) == Success &&
            data != nullptr) {
            std::string title(reinterpret_cast<const char*>(data), count);
            XFree(data);
            if (!title.empty())
                return title;
        }
    }
    return {};
}

// One run: seconds to the first Expose of a window titled `title`..., or -1 on a failure
// (the program ended first, or nothing showed within `limitSeconds`).
double TimeOneRun(Display* display, char** command, std::string_view title, double limitSeconds) {
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True); // drops events left from the previous run

    const Clock::time_point start = Clock::now();
    const pid_t child = rez::bench::SpawnQuiet(command);
    if (child < 0)
        return -1;

    std::set<Window> watched;
    double seconds = -1;
    const int fd = ConnectionNumber(display);
    while (seconds < 0) {
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        if (elapsed > limitSeconds || waitpid(child, nullptr, WNOHANG) == child)
            break;
        if (XPending(display) == 0) {
            pollfd ready{fd, POLLIN, 0};
            poll(&ready, 1, 20); // wakes now and then to check the program is still there
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify && event.xcreatewindow.parent == root &&
            !event.xcreatewindow.override_redirect) {
            const Window window = event.xcreatewindow.window;
            // Expose can be selected by any number of clients, so we see the program's own.
            XSelectInput(display, window, ExposureMask | StructureNotifyMask);
            watched.insert(window);
        } else if (event.type == Expose && watched.count(event.xexpose.window) != 0) {
            const Clock::time_point exposed = Clock::now();
            if (TitleOf(display, event.xexpose.window).starts_with(title))
                seconds = std::chrono::duration<double>(exposed - start).count();
        } else if (event.type == DestroyNotify) {
            watched.erase(event.xdestroywindow.window);
        }
    }

    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XSelectInput(display, root, NoEventMask);
    XSync(display, True);
    return seconds;
}

int Usage() {
    std::fputs("usage: bench_first_window [--runs N] [--warmup N] --title TEXT -- COMMAND "
               "[ARG...]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    int warmup = 1;
    std::string title;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc)
            return Usage();
        if (arg == "--runs")
            runs = std::atoi(argv[++i]);
        else if (arg == "--warmup")
            warmup = std::atoi(argv[++i]);
        else if (arg == "--title")
            title = argv[++i];
        else
            return Usage();
    }
    if (i >= argc || title.empty() || runs < 1 || warmup < 0)
        return Usage();

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("bench_first_window: cannot open the display (is DISPLAY set?)\n", stderr);
        return 1;
    }
    XSetErrorHandler(IgnoreXError);

    constexpr double LimitSeconds = 20;
    for (int n = 0; n < warmup + runs; ++n) {
        const double seconds = TimeOneRun(display, argv + i, title, LimitSeconds);
        if (seconds < 0) {
            std::fprintf(stderr, "bench_first_window: no window titled \"%s\" showed\n",
                         title.c_str());
            XCloseDisplay(display);
            return 1;
        }
        if (n >= warmup)
            std::printf("%.6f\n", seconds);
    }
    XCloseDisplay(display);
    return 0;
}
