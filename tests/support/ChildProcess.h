#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace testing_support {

// A program a test starts (a private server, a stand-in service, a command-line tool), with its
// stdin to write to and its stdout read in lines. It is ended by its PID with the test.
class ChildProcess {
public:
    // Starts the program (looked up on PATH) with its arguments; stderr goes to the test's.
    explicit ChildProcess(std::vector<std::string> command);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Whether a program is on PATH, so that a test without it can be skipped.
    static bool exists(const std::string& program);
    // Runs a command to its end; its exit status, or -1 when it could not be run.
    static int run(std::vector<std::string> command);

    pid_t pid() const { return m_pid; }
    // Its stdout, to wait on beside other things; -1 once it has ended.
    int output() const { return m_output; }
    // Takes in what stdout has now, without waiting. False once it has ended.
    bool read_output();
    // The whole lines it wrote so far.
    const std::vector<std::string>& lines() const { return m_lines; }
    // Waits until a line holds text (up to a patience meant only to end a hung test).
    bool wait_for_line(const std::string& text);
    void send(const std::string& line);
    // Ends it (SIGTERM) and waits for it; its exit status.
    int stop();

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    std::string m_partial;
    std::vector<std::string> m_lines;
};

} // namespace testing_support
