#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace app {

// How the night goes, as the command line sets it up; the defaults are a plain start.
struct NightOptions {
    // What happens when the sleep timer runs out.
    enum class Then { Stop, Quit };

    // The sleep timer from the start, in minutes; 0 for none.
    int sleep_minutes = 0;
    // How long the soft landing at the timer's end lasts, in seconds.
    int fade_seconds = 60;
    // The picture's brightness from the start, in percent.
    int dim_percent = 100;
    // Start the beach at launch, fading in.
    bool play = false;
    Then then = Then::Stop;
    // Let the machine sleep on its own schedule while the beach plays.
    bool allow_sleep = false;
};

// The questions a terminal user asks of any program (--help and --version, answered without a
// display) and the night's options, each checked before anything opens.
class CommandLine {
public:
    enum class Action {
        Run,     // open the scene, with the options given
        Help,    // --help or -h
        Version, // --version
        Misuse,  // anything else
    };

    static constexpr int kMinSleepMinutes = 1;
    static constexpr int kMaxSleepMinutes = 720;
    static constexpr int kMinFadeSeconds = 5;
    static constexpr int kMaxFadeSeconds = 600;

    // args are the arguments after the program's name.
    static CommandLine parse(std::span<const std::string_view> args);
    static CommandLine parse(int argc, char** argv);

    Action action() const { return m_action; }
    const NightOptions& night() const { return m_night; }
    // For anything but Run: prints the answer, on out or (for a misuse) on err, and returns
    // the exit status.
    int answer(std::ostream& out, std::ostream& err) const;

private:
    // Takes one option with its value at args[i] (and args[i + 1] where the value is apart);
    // false with m_problem set on a misuse.
    bool take_option(std::span<const std::string_view> args, size_t& i);

    Action m_action = Action::Run;
    NightOptions m_night;
    std::string m_problem; // for Misuse: what was wrong, quoted as given
};

} // namespace app
