// Stands in for a desktop service on a private bus, for tests that check what the program asks
// of it:
//   bus_standin screensaver ADDRESS [--paths both|long|short] [OPTIONS]
//       owns org.freedesktop.ScreenSaver, served at /org/freedesktop/ScreenSaver and /ScreenSaver
//       (both, the default), the first only (long) or the second only (short): Inhibit answers
//       a new cookie, UnInhibit takes one back, GetActive tells the screen saver's state.
//   bus_standin login1 ADDRESS [OPTIONS]
//       owns org.freedesktop.login1: Manager.Inhibit answers a descriptor whose other end it
//       watches, so that it sees the hold let go when the caller closes it.
// Options: --late answers Inhibit only when told to ("answer" on stdin); --replaceable lets
// another take the name over, --replace takes it over from one that lets it. Commands on stdin,
// one a line: "active true" / "active false" (sets the state and sends ActiveChanged), "answer",
// "quit" (or the end of stdin).
// It logs on stdout, a line each, the time (seconds since the epoch) first:
//   TIME ready service=NAME
//   TIME Inhibit sender=:1.5 path=/ScreenSaver application="Quorvane" reason="..." cookie=1
//   TIME Inhibit sender=:1.5 what=sleep who="Quorvane" why="..." mode=block hold=1
//   TIME answered cookie=1 | TIME answered hold=1       (a late answer sent)
//   TIME UnInhibit sender=:1.5 path=/ScreenSaver cookie=1 known=yes
//   TIME GetActive sender=:1.5 path=/ScreenSaver active=false
//   TIME ActiveChanged active=true
//   TIME released hold=1                                 (its descriptor closed)
//   TIME gone sender=:1.5 cookies=1,2                    (a caller left the bus holding cookies)
//   TIME bus-lost
#include <fcntl.h>
#include <poll.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr const char* kScreenSaver = "org.freedesktop.ScreenSaver";
constexpr const char* kLogin = "org.freedesktop.login1";

// One line of the log, stamped and sent at once.
void log(const std::string& line) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::printf("%lld.%06ld %s\n", static_cast<long long>(now.tv_sec), now.tv_nsec / 1000,
                line.c_str());
    std::fflush(stdout);
}

// A caller's text on one line, quoted.
std::string quoted(const char* text) {
    std::string out = "\"";
    for (const char* c = text; *c; ++c)
        out += (*c == '\n' || *c == '"') ? ' ' : *c;
    return out + "\"";
}

class StandIn {
public:
    StandIn(sd_bus* bus, bool login, bool late) : m_bus(bus), m_login(login), m_late(late) {}
    ~StandIn() {
        for (const Waiting& w : m_waiting)
            sd_bus_message_unref(w.reply);
        for (const auto& [fd, number] : m_holds)
            close(fd);
        sd_bus_flush_close_unref(m_bus);
    }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    bool serve(const std::vector<const char*>& paths, uint64_t name_flags) {
        static const sd_bus_vtable kScreenSaverTable[] = {
            SD_BUS_VTABLE_START(0),
            SD_BUS_METHOD("Inhibit", "ss", "u", inhibit, SD_BUS_VTABLE_UNPRIVILEGED),
            SD_BUS_METHOD("UnInhibit", "u", "", uninhibit, SD_BUS_VTABLE_UNPRIVILEGED),
            SD_BUS_METHOD("GetActive", "", "b", get_active, SD_BUS_VTABLE_UNPRIVILEGED),
            SD_BUS_SIGNAL("ActiveChanged", "b", 0),
            SD_BUS_VTABLE_END,
        };
        static const sd_bus_vtable kManagerTable[] = {
            SD_BUS_VTABLE_START(0),
            SD_BUS_METHOD("Inhibit", "ssss", "h", inhibit, SD_BUS_VTABLE_UNPRIVILEGED),
            SD_BUS_VTABLE_END,
        };
        for (const char* path : paths)
            if (sd_bus_add_object_vtable(m_bus, nullptr, path,
                                         m_login ? "org.freedesktop.login1.Manager" : kScreenSaver,
                                         m_login ? kManagerTable : kScreenSaverTable, this) < 0)
                return false;
        m_paths = paths;
        if (sd_bus_match_signal(m_bus, nullptr, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                "org.freedesktop.DBus", "NameOwnerChanged", name_owner_changed,
                                this) < 0)
            return false;
        return sd_bus_request_name(m_bus, m_login ? kLogin : kScreenSaver, name_flags) >= 0;
    }

    // Until told to quit or stdin ends.
    void run() {
        log(std::string("ready service=") + (m_login ? kLogin : kScreenSaver));
        std::string input;
        for (;;) {
            std::vector<pollfd> waits{{STDIN_FILENO, POLLIN, 0}};
            if (m_bus)
                waits.push_back(
                    {sd_bus_get_fd(m_bus), static_cast<short>(sd_bus_get_events(m_bus)), 0});
            for (const auto& [fd, number] : m_holds)
                waits.push_back({fd, POLLIN, 0});
            if (poll(waits.data(), waits.size(), bus_timeout_ms()) < 0)
                return;
            for (const pollfd& w : waits) {
                if (!w.revents)
                    continue;
                if (w.fd == STDIN_FILENO) {
                    if (!read_commands(input))
                        return;
                } else if (m_holds.count(w.fd)) {
                    log("released hold=" + std::to_string(m_holds[w.fd]));
                    close(w.fd);
                    m_holds.erase(w.fd);
                }
            }
            process_bus();
        }
    }

private:
    int bus_timeout_ms() {
        uint64_t until = 0;
        if (!m_bus || sd_bus_get_timeout(m_bus, &until) < 0 || until == UINT64_MAX)
            return -1;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        uint64_t now_us = now.tv_sec * 1000000ull + now.tv_nsec / 1000;
        return until <= now_us ? 0 : static_cast<int>((until - now_us + 999) / 1000);
    }

    void process_bus() {
        if (!m_bus)
            return;
        int r;
        while ((r = sd_bus_process(m_bus, nullptr)) > 0) {
        }
        if (r < 0 || sd_bus_is_open(m_bus) <= 0) {
            log("bus-lost");
            m_bus = sd_bus_flush_close_unref(m_bus);
        }
    }

    // Reads what stdin has; false at its end or on "quit".
    bool read_commands(std::string& input) {
        char buffer[256];
        ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        input.append(buffer, n);
        for (size_t end; (end = input.find('\n')) != std::string::npos; input.erase(0, end + 1)) {
            std::string command = input.substr(0, end);
            if (command == "quit")
                return false;
            if (command == "answer")
                answer_late();
            else if (command == "active true" || command == "active false")
                set_active(command == "active true");
            else
                std::cerr << "bus_standin: unknown command " << command << std::endl;
        }
        return true;
    }

    void set_active(bool active) {
        m_active = active;
        log(std::string("ActiveChanged active=") + (active ? "true" : "false"));
        if (m_bus)
            sd_bus_emit_signal(m_bus, m_paths.front(), kScreenSaver, "ActiveChanged", "b",
                               static_cast<int>(active));
    }

    static StandIn& of(void* userdata) { return *static_cast<StandIn*>(userdata); }

    static int inhibit(sd_bus_message* call, void* userdata, sd_bus_error*) {
        return of(userdata).inhibit(call);
    }
    int inhibit(sd_bus_message* call) {
        sd_bus_message* reply = nullptr;
        std::string line = std::string("Inhibit sender=") + sd_bus_message_get_sender(call);
        std::string given;
        if (m_login) {
            const char *what = "", *who = "", *why = "", *mode = "";
            sd_bus_message_read(call, "ssss", &what, &who, &why, &mode);
            int ends[2];
            if (pipe2(ends, O_CLOEXEC) != 0)
                return -errno;
            int number = ++m_issued;
            m_holds[ends[0]] = number;
            line += std::string(" what=") + what + " who=" + quoted(who) + " why=" + quoted(why) +
                    " mode=" + mode;
            given = "hold=" + std::to_string(number);
            sd_bus_message_new_method_return(call, &reply);
            sd_bus_message_append(reply, "h", ends[1]); // the message keeps a copy of its own
            close(ends[1]);
        } else {
            const char *application = "", *reason = "";
            sd_bus_message_read(call, "ss", &application, &reason);
            uint32_t cookie = ++m_issued;
            m_cookies[sd_bus_message_get_sender(call)].insert(cookie);
            line += std::string(" path=") + sd_bus_message_get_path(call) +
                    " application=" + quoted(application) + " reason=" + quoted(reason);
            given = "cookie=" + std::to_string(cookie);
            sd_bus_message_new_method_return(call, &reply);
            sd_bus_message_append(reply, "u", cookie);
        }
        log(line + " " + given);
        if (m_late) {
            m_waiting.push_back({reply, given});
        } else {
            sd_bus_send(m_bus, reply, nullptr);
            sd_bus_message_unref(reply);
        }
        return 1;
    }

    void answer_late() {
        for (auto& [reply, given] : m_waiting) {
            if (m_bus)
                sd_bus_send(m_bus, reply, nullptr);
            sd_bus_message_unref(reply);
            log("answered " + given);
        }
        m_waiting.clear();
    }

    static int uninhibit(sd_bus_message* call, void* userdata, sd_bus_error*) {
        StandIn& self = of(userdata);
        uint32_t cookie = 0;
        sd_bus_message_read(call, "u", &cookie);
        bool known = self.m_cookies[sd_bus_message_get_sender(call)].erase(cookie) > 0;
        log(std::string("UnInhibit sender=") + sd_bus_message_get_sender(call) +
            " path=" + sd_bus_message_get_path(call) + " cookie=" + std::to_string(cookie) +
            " known=" + (known ? "yes" : "no"));
        return sd_bus_reply_method_return(call, "");
    }

    static int get_active(sd_bus_message* call, void* userdata, sd_bus_error*) {
        StandIn& self = of(userdata);
        log(std::string("GetActive sender=") + sd_bus_message_get_sender(call) + " path=" +
            sd_bus_message_get_path(call) + " active=" + (self.m_active ? "true" : "false"));
        return sd_bus_reply_method_return(call, "b", static_cast<int>(self.m_active));
    }

    // A caller that leaves the bus holding cookies: a real service lets go of them.
    static int name_owner_changed(sd_bus_message* signal, void* userdata, sd_bus_error*) {
        StandIn& self = of(userdata);
        const char *name = "", *old_owner = "", *new_owner = "";
        if (sd_bus_message_read(signal, "sss", &name, &old_owner, &new_owner) < 0 ||
            *new_owner != '\0')
            return 0;
        auto held = self.m_cookies.find(name);
        if (held == self.m_cookies.end())
            return 0;
        if (!held->second.empty()) {
            std::string cookies;
            for (uint32_t c : held->second)
                cookies += (cookies.empty() ? "" : ",") + std::to_string(c);
            log(std::string("gone sender=") + name + " cookies=" + cookies);
        }
        self.m_cookies.erase(held);
        return 0;
    }

    sd_bus* m_bus;
    bool m_login;
    bool m_late;
    std::vector<const char*> m_paths;
    bool m_active = false;
    uint32_t m_issued = 0;
    std::map<std::string, std::set<uint32_t>> m_cookies; // by caller
    std::map<int, int> m_holds;                          // read end to hold number
    struct Waiting {
        sd_bus_message* reply;
        std::string given;
    };
    std::vector<Waiting> m_waiting;
};

int usage() {
    std::cerr << "usage: bus_standin screensaver|login1 ADDRESS [--paths both|long|short] [--late] "
                 "[--replaceable] [--replace]"
              << std::endl;
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return usage();
    std::string kind = argv[1];
    if (kind != "screensaver" && kind != "login1")
        return usage();
    bool late = false;
    uint64_t name_flags = 0;
    std::string paths = "both";
    for (int i = 3; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--late")
            late = true;
        else if (option == "--replaceable")
            name_flags |= SD_BUS_NAME_ALLOW_REPLACEMENT;
        else if (option == "--replace")
            name_flags |= SD_BUS_NAME_REPLACE_EXISTING;
        else if (option == "--paths" && i + 1 < argc)
            paths = argv[++i];
        else
            return usage();
    }
    std::vector<const char*> served;
    if (kind == "login1")
        served = {"/org/freedesktop/login1"};
    else if (paths == "both" || paths == "long" || paths == "short") {
        if (paths != "short")
            served.push_back("/org/freedesktop/ScreenSaver");
        if (paths != "long")
            served.push_back("/ScreenSaver");
    } else {
        return usage();
    }

    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0 || sd_bus_set_address(bus, argv[2]) < 0 ||
        sd_bus_set_bus_client(bus, 1) < 0 || sd_bus_start(bus) < 0) {
        std::cerr << "bus_standin: cannot connect to " << argv[2] << std::endl;
        sd_bus_unref(bus);
        return 1;
    }
    StandIn stand_in(bus, kind == "login1", late);
    if (!stand_in.serve(served, name_flags)) {
        std::cerr << "bus_standin: cannot serve " << kind << " on " << argv[2] << std::endl;
        return 1;
    }
    stand_in.run();
    return 0;
}
