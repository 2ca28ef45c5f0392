// Time to the first frame a program presents, watching the X server's damage:
//
//   first-frame PROGRAM [ARGS...]
//     from exec to the first update covering at least a quarter of the screen; leaves the
//     program running and prints its PID as pid=N.
//   first-frame --window NAME WxH COMMAND [ARGS...]
//     from running COMMAND (a resolution change, say) to the first update of the window called
//     NAME that covers at least a quarter of a WxH screen.
//
// Prints first_frame_ms=N.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

double now_ms() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

pid_t spawn(char** argv) {
    pid_t pid = fork();
    if (pid == 0) {
        // The child must not hold our output open: the caller reads it to its end.
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, STDOUT_FILENO);
        execvp(argv[0], argv);
        _exit(127);
    }
    return pid;
}

Window find_window(Display* dpy, Window under, const char* name) {
    char* found = nullptr;
    if (XFetchName(dpy, under, &found) && found) {
        bool match = std::strcmp(found, name) == 0;
        XFree(found);
        if (match)
            return under;
    }
    Window root_return, parent, *children = nullptr;
    unsigned count = 0;
    Window result = None;
    if (XQueryTree(dpy, under, &root_return, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && result == None; ++i)
            result = find_window(dpy, children[i], name);
        if (children)
            XFree(children);
    }
    return result;
}

// Waits for damage events of one time stamp adding up to area; returns false after 10 s.
bool wait_for_frame(Display* dpy, int event_base, long area_wanted, double start) {
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
        if (area * 4 >= area_wanted)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    bool after_command = argc >= 5 && std::strcmp(argv[1], "--window") == 0;
    if (argc < 2 || (std::strcmp(argv[1], "--window") == 0 && !after_command)) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGS...] | --window NAME WxH COMMAND...\n",
                     argv[0]);
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
    Window watched = DefaultRootWindow(dpy);
    long area = static_cast<long>(DisplayWidth(dpy, 0)) * DisplayHeight(dpy, 0);
    if (after_command) {
        watched = find_window(dpy, watched, argv[2]);
        int w = 0, h = 0;
        if (watched == None || std::sscanf(argv[3], "%dx%d", &w, &h) != 2) {
            std::fprintf(stderr, "first-frame: no window %s, or no size\n", argv[2]);
            return 1;
        }
        area = static_cast<long>(w) * h;
    }
    XDamageCreate(dpy, watched, XDamageReportRawRectangles);
    XSync(dpy, False);
    // A new damage object first reports the whole window; let that pass.
    double settle_until = now_ms() + 100;
    while (now_ms() < settle_until) {
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
        }
        usleep(5000);
    }

    double start = now_ms();
    pid_t pid = spawn(argv + (after_command ? 4 : 1));
    bool seen = wait_for_frame(dpy, event_base, area, start);
    if (seen)
        std::printf("first_frame_ms=%.1f\n", now_ms() - start);
    else
        std::printf("first_frame_ms=timeout\n");
    if (after_command)
        waitpid(pid, nullptr, 0);
    else
        std::printf("pid=%d\n", pid);
    return seen ? 0 : 1;
}
