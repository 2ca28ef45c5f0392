#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace app {

// The questions a terminal user asks of any program: --help and --version, answered without
// a display; and how the scene is to run.
class CommandLine {
public:
    enum class Action {
        Run,     // no question: open the scene
        Help,    // --help or -h
        Version, // --version
        Misuse,  // anything else
    };

    // args are the arguments after the program's name.
    static CommandLine parse(std::span<const std::string_view> args);
    static CommandLine parse(int argc, char** argv);

    Action action() const { return m_action; }
    // For anything but Run: prints the answer, on out or (for a misuse) on err, and returns
    // the exit status.
    int answer(std::ostream& out, std::ostream& err) const;
    // --allow-sleep: the machine may sleep by its own settings while the beach plays.
    bool allow_sleep() const { return m_allow_sleep; }

private:
    Action m_action = Action::Run;
    std::string m_problem; // for Misuse: what was wrong, quoted as given
    bool m_allow_sleep = false;
};

} // namespace app
