// Time from exec to the first frame a program presents: watches the X server's damage on the
// root window, starts the program, and reports when the first update covering at least a
// quarter of the screen arrives. Prints first_frame_ms=N and leaves the program running; its
// PID is printed as pid=N.
//
// Usage: first-frame PROGRAM [ARGS...]
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace {

double now_ms() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "first-frame: no display\n");
        return 1;
    }
    int event_base = 0, error_base = 0;
    if (!XDamageQueryExtension(dpy, &event_base, &error_base)) {
        std::fprintf(stderr, "first-frame: no XDamage\n");
        return 1;
    }
    Window root = DefaultRootWindow(dpy);
    long screen_area = static_cast<long>(DisplayWidth(dpy, 0)) * DisplayHeight(dpy, 0);
    XDamageCreate(dpy, root, XDamageReportRawRectangles);
    XSync(dpy, False);
    // A new damage object first reports the whole screen; let that pass.
    double settle_until = now_ms() + 100;
    while (now_ms() < settle_until) {
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
        }
        usleep(5000);
    }

    double start = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        // The program must not hold our output open: the caller reads it to its end.
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, STDOUT_FILENO);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    long area = 0;
    Time stamp = 0;
    pollfd pfd{ConnectionNumber(dpy), POLLIN, 0};
    while (now_ms() - start < 10000) {
        if (!XPending(dpy)) {
            poll(&pfd, 1, 10);
            continue;
        }
        XEvent e;
        XNextEvent(dpy, &e);
        if (e.type != event_base + XDamageNotify)
            continue;
        auto* d = reinterpret_cast<XDamageNotifyEvent*>(&e);
        if (d->timestamp != stamp) {
            stamp = d->timestamp;
            area = 0;
        }
        area += static_cast<long>(d->area.width) * d->area.height;
        if (area * 4 >= screen_area) {
            std::printf("first_frame_ms=%.1f\npid=%d\n", now_ms() - start, pid);
            return 0;
        }
    }
    std::printf("first_frame_ms=timeout\npid=%d\n", pid);
    return 1;
}
