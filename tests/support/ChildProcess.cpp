#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace testing_support {

namespace {

constexpr auto kPatience = std::chrono::seconds(20);

std::vector<char*> c_strings(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

int exit_status(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

ChildProcess::ChildProcess(std::vector<std::string> command) {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0)
        return;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    // A child that ends early must not end the test with SIGPIPE on the next send; the child
    // itself gets the default back.
    signal(SIGPIPE, SIG_IGN);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    std::vector<char*> argv = c_strings(command);
    if (posix_spawnp(&m_pid, argv[0], &actions, &attributes, argv.data(), environ) != 0)
        m_pid = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    m_input = in[1];
    m_output = out[0];
}

ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::exists(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::filesystem::path candidate =
            std::filesystem::path(folders.substr(start, end - start)) / program;
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

int ChildProcess::run(std::vector<std::string> command) {
    std::vector<char*> argv = c_strings(command);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return exit_status(pid);
}

bool ChildProcess::read_output() {
    if (m_output < 0)
        return false;
    for (;;) {
        pollfd ready{m_output, POLLIN, 0};
        if (poll(&ready, 1, 0) <= 0)
            return true;
        char buffer[4096];
        ssize_t n = read(m_output, buffer, sizeof buffer);
        if (n <= 0) {
            close(m_output);
            m_output = -1;
            return false;
        }
        m_partial.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = m_partial.find('\n')) != std::string::npos;
             m_partial.erase(0, end + 1))
            m_lines.push_back(m_partial.substr(0, end));
    }
}

bool ChildProcess::wait_for_line(const std::string& text) {
    auto give_up = std::chrono::steady_clock::now() + kPatience;
    for (size_t seen = 0;;) {
        for (; seen < m_lines.size(); ++seen)
            if (m_lines[seen].find(text) != std::string::npos)
                return true;
        if (m_output < 0 || std::chrono::steady_clock::now() > give_up)
            return false;
        pollfd ready{m_output, POLLIN, 0};
        poll(&ready, 1, 100);
        read_output();
    }
}

void ChildProcess::send(const std::string& line) {
    std::string text = line + "\n";
    if (m_input >= 0 && write(m_input, text.data(), text.size()) < 0) {
        close(m_input);
        m_input = -1;
    }
}

int ChildProcess::stop() {
    int status = -1;
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        status = exit_status(m_pid);
        m_pid = -1;
    }
    for (int* fd : {&m_input, &m_output})
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    return status;
}

} // namespace testing_support
