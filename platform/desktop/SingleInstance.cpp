#include "platform/desktop/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// What a later start sends, and the holder's answer.
constexpr std::string_view kRaise = "raise ";
constexpr std::string_view kAnswer = "ok\n";
// A token is short and printable; anything longer is no token.
constexpr size_t kLongestRequest = 512;
// How long the holder waits for a connected start to say what it wants: it is a moment's wait
// on the program's own thread, for a peer that writes as soon as it connects.
constexpr std::chrono::milliseconds kRequestPatience{200};

std::string file_name_part(std::string_view s) {
    std::string out;
    for (char c : s)
        out += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == ':'
                   ? c
                   : '_';
    return out;
}

std::string errno_text(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Makes the program's own folder where missing; why it may not be used, if so. Checked after it
// is made, or found: in a folder such as /tmp, whose sticky bit lets only its owner move or remove
// what is in it, a folder that is this user's stays this user's.
std::optional<std::string> own_folder_problem(const fs::path& folder) {
    if (mkdir(folder.c_str(), 0700) == 0) {
        // Whatever the umask left of its mode.
        chmod(folder.c_str(), 0700);
    } else if (errno != EEXIST) {
        return errno_text(folder.c_str());
    }
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0)
        return errno_text(folder.c_str());
    if (S_ISLNK(st.st_mode))
        return folder.string() + ": a symbolic link, not a folder of this user's";
    if (!S_ISDIR(st.st_mode))
        return folder.string() + ": not a folder";
    if (st.st_uid != geteuid())
        return folder.string() + ": belongs to another user";
    if ((st.st_mode & 077) != 0)
        return folder.string() + ": other users may enter it";
    return std::nullopt;
}

bool socket_address(const fs::path& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    const std::string& s = path.native();
    if (s.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, s.c_str(), s.size() + 1);
    return true;
}

int remaining_ms(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

// Reads from fd until a newline, the peer's end or the deadline; the text before the newline,
// or nothing.
std::optional<std::string> read_line(int fd, Clock::time_point deadline) {
    std::string line;
    char buffer[256];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, remaining_ms(deadline)) <= 0)
            return std::nullopt;
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return std::nullopt;
        line.append(buffer, static_cast<size_t>(n));
        if (size_t end = line.find('\n'); end != std::string::npos)
            return line.substr(0, end);
        if (line.size() > kLongestRequest)
            return std::nullopt;
    }
}

bool write_all(int fd, std::string_view text) {
    while (!text.empty()) {
        ssize_t n = send(fd, text.data(), text.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        text.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

} // namespace

std::optional<SingleInstance::Place> SingleInstance::from_environment() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* x11 = std::getenv("DISPLAY");
    Place place;
    if (wayland && *wayland)
        place.display = file_name_part(wayland);
    else if (x11 && *x11)
        place.display = "x11" + file_name_part(x11);
    else
        return std::nullopt;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        place.folder = runtime;
    } else {
        // The same for every start of this user's, whatever else the environment says.
        place.folder = "/tmp/quorvane-" + std::to_string(geteuid());
        place.own_folder = true;
    }
    return place;
}

SingleInstance::Taken SingleInstance::take(const Place& place) {
    Taken taken;
    if (place.own_folder) {
        if (std::optional<std::string> problem = own_folder_problem(place.folder)) {
            taken.problem = *problem;
            return taken;
        }
    }
    fs::path base = place.folder / ("quorvane-" + place.display);
    fs::path lock_path = base.string() + ".lock";
    fs::path socket_path = base.string() + ".socket";
    sockaddr_un address;
    if (!socket_address(socket_path, address)) {
        taken.problem = "the runtime folder's path is too long for a socket";
        return taken;
    }
    int lock = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0) {
        taken.problem = errno_text(lock_path.c_str());
        return taken;
    }
    if (flock(lock, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            taken.held_elsewhere = true;
        else
            taken.problem = errno_text(lock_path.c_str());
        close(lock);
        return taken;
    }
    // Holding the lock, the socket file is ours: one left by a killed holder goes.
    unlink(socket_path.c_str());
    int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener < 0 ||
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 8) != 0) {
        taken.problem = errno_text(socket_path.c_str());
        if (listener >= 0)
            close(listener);
        close(lock);
        return taken;
    }
    taken.instance.reset(new SingleInstance(lock, listener, socket_path));
    return taken;
}

SingleInstance::SingleInstance(int lock, int listener, fs::path socket)
    : m_lock(lock), m_listener(listener), m_socket(std::move(socket)) {
}

SingleInstance::~SingleInstance() {
    // The socket file goes while the lock is still held, so it never removes a successor's.
    close(m_listener);
    unlink(m_socket.c_str());
    close(m_lock);
}

std::vector<std::string> SingleInstance::take_requests() {
    std::vector<std::string> tokens;
    for (;;) {
        int peer = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (peer < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return tokens;
        }
        std::optional<std::string> line = read_line(peer, Clock::now() + kRequestPatience);
        if (line && line->starts_with(kRaise)) {
            tokens.push_back(line->substr(kRaise.size()));
            write_all(peer, kAnswer);
        }
        close(peer);
    }
}

bool SingleInstance::ask_to_raise(const Place& place, const std::string& token,
                                  std::chrono::milliseconds patience) {
    Clock::time_point deadline = Clock::now() + patience;
    sockaddr_un address;
    if (!socket_address(place.folder / ("quorvane-" + place.display + ".socket"), address))
        return false;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    std::string request = std::string(kRaise);
    // A token is one printable line.
    for (char c : token)
        if (c > ' ' && c < 0x7F && request.size() < kLongestRequest)
            request += c;
    request += '\n';
    bool answered = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    write_all(fd, request) && read_line(fd, deadline) == "ok";
    close(fd);
    return answered;
}

} // namespace platform
