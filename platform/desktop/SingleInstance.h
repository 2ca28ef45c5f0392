#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// One scene per user and display. The first start holds a lock in the user's runtime folder and
// listens on a socket beside it; a later start finds the lock held and asks the holder, through
// the socket, to come to the front. The kernel lets go of the lock when its holder ends, however
// it ends, so a lock left behind never stops a start; the socket file left by a killed holder is
// replaced by the next one to hold the lock. Where the session has no runtime folder (su, cron, a
// bare X server), a folder of the user's own under /tmp takes its place.
class SingleInstance {
public:
    // Where the lock and socket live, and whose they are: one pair per display.
    struct Place {
        std::filesystem::path folder;
        std::string display; // usable in a file name
        // The folder is the program's own, made for this user alone where missing and used only
        // while it is still that: a folder (not a link to one) of this user's that nobody else
        // may enter.
        bool own_folder = false;
    };
    // $XDG_RUNTIME_DIR, else /tmp/quorvane-<uid>, and the display the program opens:
    // $WAYLAND_DISPLAY where set, else $DISPLAY. Nothing without a display.
    static std::optional<Place> from_environment();

    struct Taken {
        std::unique_ptr<SingleInstance> instance; // ours now, or null
        bool held_elsewhere = false;              // another start holds it
        std::string problem;                      // why neither, when neither
    };
    static Taken take(const Place& place);

    // Asks the holder to come to the front, handing it token (a launcher's activation token,
    // or empty). True once it has answered; false when it is not listening (yet, or any more)
    // or did not answer within patience.
    static bool ask_to_raise(const Place& place, const std::string& token,
                             std::chrono::milliseconds patience);

    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // The socket later starts connect to; readable when one is waiting.
    int fd() const { return m_listener; }
    // Answers every start waiting on the socket and returns their tokens, one per start (empty
    // where a start had none), in the order they came.
    std::vector<std::string> take_requests();

private:
    SingleInstance(int lock, int listener, std::filesystem::path socket);

    int m_lock;
    int m_listener;
    std::filesystem::path m_socket;
};

} // namespace platform
