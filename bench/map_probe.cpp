// Times a program from its launch to the mapping of its top-level window with a given
// title, by listening for the X server's map events instead of polling, so the figure
// carries no sampling delay. Prints the time in milliseconds, then ends the program.
//
//   map_probe [--timeout SECONDS] TITLE COMMAND [ARGUMENT...]
//
// Exit status 0 with a time on stdout; 1 when the program exited or the timeout passed
// before the window appeared; 2 on a usage or display error.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern char** environ;

namespace {

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// A window may be gone again by the time its title is read; that is no error here.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

std::string WindowTitle(Display* display, Window window) {
    static const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    static const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data && type == utf8 && format == 8) {
        title.assign(reinterpret_cast<char*>(data), count);
    }
    if (data) XFree(data);
    if (title.empty()) {
        char* name = nullptr;
        if (XFetchName(display, window, &name) && name) title = name;
        if (name) XFree(name);
    }
    return title;
}

int Usage() {
    std::fprintf(stderr, "usage: map_probe [--timeout SECONDS] TITLE COMMAND [ARGUMENT...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    double timeoutMs = 30000;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--timeout") == 0) {
        timeoutMs = std::atof(argv[2]) * 1000;
        first = 3;
    }
    if (argc - first < 2) return Usage();
    const std::string title = argv[first];
    char** command = argv + first + 1;

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "map_probe: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreXErrors);
    // Without a window manager the program's top-level window is a child of the root,
    // so its mapping reaches whoever listens to the root's substructure.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const double start = Now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, command[0], nullptr, nullptr, command, environ) != 0) {
        std::fprintf(stderr, "map_probe: cannot start %s\n", command[0]);
        return 2;
    }

    double shown = -1;
    int status = 0;
    bool exited = false;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    while (shown < 0 && !exited && Now() - start < timeoutMs) {
        while (shown < 0 && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify) continue;
            const double at = Now();
            if (WindowTitle(display, event.xmap.window) == title) shown = at;
        }
        if (shown >= 0) break;
        poll(&connection, 1, 50);
        exited = waitpid(pid, &status, WNOHANG) == pid;
    }

    if (!exited) {
        kill(pid, SIGTERM);
        waitpid(pid, &status, 0);
    }
    XCloseDisplay(display);
    if (shown < 0) {
        std::fprintf(stderr, "map_probe: no window \"%s\" from %s (%s)\n", title.c_str(),
                     command[0], exited ? "it exited" : "timed out");
        return 1;
    }
    std::printf("%.2f\n", shown - start);
    return 0;
}
