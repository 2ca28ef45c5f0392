#include "platform/desktop/SingleInstance.h"
#include "tests/support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>

using platform::SingleInstance;
using testing_support::ScopedEnv;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// A private runtime folder per test, removed after it.
class SingleInstanceTest : public ::testing::Test {
protected:
    fs::path folder;
    SingleInstance::Place place;

    SingleInstanceTest() {
        std::string pattern = (fs::temp_directory_path() / "quorvane-instance-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        place = {folder, "x11:5"};
    }
    ~SingleInstanceTest() override { fs::remove_all(folder); }

    // Serves the holder's socket, as the loop does, until the asking start has its answer.
    static std::vector<std::string> serve_until(SingleInstance& holder, std::future<bool>& asked) {
        std::vector<std::string> tokens;
        while (asked.wait_for(0ms) != std::future_status::ready) {
            pollfd p{holder.fd(), POLLIN, 0};
            if (poll(&p, 1, 20) > 0)
                for (std::string& t : holder.take_requests())
                    tokens.push_back(std::move(t));
        }
        return tokens;
    }
    // A raw connection to the holder's socket.
    int connect_raw() {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::string path = (folder / "quorvane-x11:5.socket").string();
        std::strcpy(address.sun_path, path.c_str());
        EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return fd;
    }
};

} // namespace

TEST_F(SingleInstanceTest, ASecondStartFindsItHeldAndBringsTheFirstForwardWithItsToken) {
    SingleInstance::Taken first = SingleInstance::take(place);
    ASSERT_TRUE(first.instance) << first.problem;
    SingleInstance::Taken second = SingleInstance::take(place);
    EXPECT_FALSE(second.instance);
    EXPECT_TRUE(second.held_elsewhere);
    EXPECT_TRUE(second.problem.empty());

    // Tokens are one printable line: what is not is dropped on the way.
    std::future<bool> asked = std::async(std::launch::async, [&] {
        return SingleInstance::ask_to_raise(place, "tok-1\n raise x", 2s);
    });
    EXPECT_EQ(serve_until(*first.instance, asked), std::vector<std::string>{"tok-1raisex"});
    EXPECT_TRUE(asked.get());
    asked =
        std::async(std::launch::async, [&] { return SingleInstance::ask_to_raise(place, "", 2s); });
    EXPECT_EQ(serve_until(*first.instance, asked), std::vector<std::string>{""});
    EXPECT_TRUE(asked.get());
}

TEST_F(SingleInstanceTest, DisplaysAndUsersEachHaveTheirOwnAndAnEndedHolderFreesIt) {
    auto on_x = SingleInstance::take(place);
    auto on_wayland = SingleInstance::take({folder, "wayland-0"});
    fs::path other_user = folder / "other";
    fs::create_directory(other_user);
    auto elsewhere = SingleInstance::take({other_user, "x11:5"});
    EXPECT_TRUE(on_x.instance && on_wayland.instance && elsewhere.instance);

    on_x.instance.reset();
    EXPECT_FALSE(fs::exists(folder / "quorvane-x11:5.socket"));
    EXPECT_FALSE(SingleInstance::ask_to_raise(place, "", 200ms));
    EXPECT_TRUE(SingleInstance::take(place).instance);
}

TEST_F(SingleInstanceTest, AKilledHoldersLockAndSocketNeverStopALaterStart) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Killed while holding: nothing is cleaned up.
        auto taken = SingleInstance::take(place);
        _exit(taken.instance ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(fs::exists(folder / "quorvane-x11:5.socket"));
    EXPECT_FALSE(SingleInstance::ask_to_raise(place, "", 200ms));

    auto taken = SingleInstance::take(place);
    ASSERT_TRUE(taken.instance) << taken.problem;
    std::future<bool> asked = std::async(
        std::launch::async, [&] { return SingleInstance::ask_to_raise(place, "after", 2s); });
    EXPECT_EQ(serve_until(*taken.instance, asked), std::vector<std::string>{"after"});
    EXPECT_TRUE(asked.get());
}

TEST_F(SingleInstanceTest, APeerThatSaysNothingOrNonsenseIsNotAnsweredAndHoldsNothingUp) {
    auto taken = SingleInstance::take(place);
    ASSERT_TRUE(taken.instance);
    int silent = connect_raw();
    int noisy = connect_raw();
    ASSERT_EQ(write(noisy, "hello\n", 6), 6);
    // Returns at once: a peer that never finishes its line would otherwise hang the test here.
    EXPECT_TRUE(taken.instance->take_requests().empty());
    char reply[8];
    EXPECT_EQ(read(noisy, reply, sizeof reply), 0); // closed without an answer
    close(silent);
    close(noisy);
}

TEST_F(SingleInstanceTest, AFolderThatCannotHoldItIsSaidAndLeavesTheProgramUnguarded) {
    auto missing = SingleInstance::take({folder / "missing", "x11:5"});
    EXPECT_FALSE(missing.instance);
    EXPECT_FALSE(missing.held_elsewhere);
    EXPECT_NE(missing.problem.find("No such file"), std::string::npos) << missing.problem;
    auto deep = SingleInstance::take({folder / std::string(120, 'd'), "x11:5"});
    EXPECT_FALSE(deep.instance);
    EXPECT_NE(deep.problem.find("too long"), std::string::npos) << deep.problem;
}

// Without a runtime folder, a folder of the user's own under /tmp: made for the user alone, and
// refused where someone could have made it or could reach into it.
TEST_F(SingleInstanceTest, AFolderOfTheUsersOwnServesWhereTheSessionHasNone) {
    SingleInstance::Place own{folder / "own", "x11:5", true};
    auto first = SingleInstance::take(own);
    ASSERT_TRUE(first.instance) << first.problem;
    struct stat st {};
    ASSERT_EQ(lstat(own.folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    auto second = SingleInstance::take(own);
    EXPECT_TRUE(second.held_elsewhere);
    std::future<bool> asked =
        std::async(std::launch::async, [&] { return SingleInstance::ask_to_raise(own, "t", 2s); });
    EXPECT_EQ(serve_until(*first.instance, asked), std::vector<std::string>{"t"});
    EXPECT_TRUE(asked.get());
    first.instance.reset();
    EXPECT_TRUE(SingleInstance::take(own).instance) << "found again after its holder ended";

    auto refused = [&](const fs::path& path, const char* why) {
        auto taken = SingleInstance::take({path, "x11:5", true});
        EXPECT_FALSE(taken.instance) << path;
        EXPECT_FALSE(taken.held_elsewhere) << path;
        EXPECT_NE(taken.problem.find(why), std::string::npos) << taken.problem;
        EXPECT_FALSE(fs::exists(path / "quorvane-x11:5.lock")) << "nothing is made in " << path;
    };
    // A link to a folder that would pass.
    fs::create_directory(folder / "target");
    fs::permissions(folder / "target", fs::perms(0700));
    fs::create_directory_symlink(folder / "target", folder / "link");
    refused(folder / "link", "symbolic link");
    fs::create_directory(folder / "open");
    fs::permissions(folder / "open", fs::perms(0755));
    refused(folder / "open", "other users may enter it");
    std::ofstream(folder / "file") << "x";
    refused(folder / "file", "not a folder");
    // Someone else's: made and given away where the tests may, else the root folder.
    fs::path others = "/";
    if (geteuid() == 0) {
        others = folder / "others";
        fs::create_directory(others);
        fs::permissions(others, fs::perms(0700));
        ASSERT_EQ(chown(others.c_str(), 65534, 65534), 0);
    }
    refused(others, "belongs to another user");
}

TEST(SingleInstancePlace, TheRuntimeFolderAndTheDisplayTheProgramWouldOpen) {
    // Each put back as it was at the end, whatever is set between.
    ScopedEnv runtime("XDG_RUNTIME_DIR", "/run/user/1000");
    ScopedEnv wayland("WAYLAND_DISPLAY", "wayland-1");
    ScopedEnv x("DISPLAY", ":0");
    auto p = SingleInstance::from_environment();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->folder, "/run/user/1000");
    EXPECT_EQ(p->display, "wayland-1");
    EXPECT_FALSE(p->own_folder);
    setenv("WAYLAND_DISPLAY", "", 1);
    setenv("DISPLAY", "host/unix:10.0", 1);
    EXPECT_EQ(SingleInstance::from_environment()->display, "x11host_unix:10.0");
    unsetenv("DISPLAY");
    EXPECT_FALSE(SingleInstance::from_environment());
    setenv("DISPLAY", ":0", 1);
    // Without a runtime folder, or with an empty one: the user's own under /tmp.
    for (bool empty : {true, false}) {
        empty ? setenv("XDG_RUNTIME_DIR", "", 1) : unsetenv("XDG_RUNTIME_DIR");
        p = SingleInstance::from_environment();
        ASSERT_TRUE(p);
        EXPECT_EQ(p->folder, "/tmp/quorvane-" + std::to_string(geteuid()));
        EXPECT_TRUE(p->own_folder);
        EXPECT_EQ(p->display, "x11:0");
    }
}
