#include "app/CommandLine.h"

#include <charconv>
#include <optional>
#include <vector>

namespace app {

namespace {

constexpr std::string_view kUsage =
    "Usage: quorvane [OPTION]...\n"
    "Turns the whole screen into a night sky. Click the moon for the sounds of the beach;\n"
    "move the pointer to the top edge for Quit, About and the volume. Ctrl+Q quits.\n"
    "\n"
    "  -h, --help              show this help and exit\n"
    "      --version           show the version and exit\n"
    "      --sleep MINUTES     start with the sleep timer set (1-720)\n"
    "      --fade SECONDS      how long the sound and the picture fade out before the\n"
    "                          timer ends (5-600, default 60)\n"
    "      --sleep-then WHAT   at the timer's end: 'stop' the beach and darken the\n"
    "                          screen (the default), or 'quit'\n"
    "      --dim PERCENT       start with the picture at that brightness (0-100)\n"
    "      --play              start the beach at once, fading in over 10 seconds\n"
    "      --allow-sleep       let the computer sleep as it is set to while the beach\n"
    "                          plays\n"
    "\n"
    "Keys:\n"
    "  Space       start or stop the beach, as a click on the moon does\n"
    "  T           sleep timer: off, 15, 30, 45, 60, 90 minutes\n"
    "  D           brightness: 100, 50, 25, 10, 0 %\n"
    "  Up, Down    output volume 5 % up or down\n"
    "  Escape      show Quit, About and the speaker\n"
    "  Ctrl+Q      quit\n"
    "\n"
    "See quorvane(1) for more.\n";

std::optional<int> whole_number(std::string_view text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

CommandLine CommandLine::parse(std::span<const std::string_view> args) {
    CommandLine line;
    std::optional<Action> question;
    // Anything amiss makes the whole line a misuse; otherwise the first question is the one
    // answered, and without one the scene opens with the options given.
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            if (!question)
                question = arg == "--version" ? Action::Version : Action::Help;
            continue;
        }
        if (!line.take_option(args, i)) {
            line.m_action = Action::Misuse;
            return line;
        }
    }
    if (question)
        line.m_action = *question;
    return line;
}

bool CommandLine::take_option(std::span<const std::string_view> args, size_t& i) {
    std::string_view arg = args[i];
    if (arg == "--play" || arg == "--allow-sleep") {
        (arg == "--play" ? m_night.play : m_night.allow_sleep) = true;
        return true;
    }
    std::string_view name = arg.substr(0, arg.find('='));
    if (name != "--sleep" && name != "--fade" && name != "--dim" && name != "--sleep-then") {
        m_problem = (arg.size() > 1 && arg.starts_with('-') ? "unknown option '"
                                                            : "unexpected argument '") +
                    std::string(arg) + "'";
        return false;
    }
    std::optional<std::string_view> value;
    if (name.size() < arg.size())
        value = arg.substr(name.size() + 1);
    else if (i + 1 < args.size())
        value = args[++i];
    if (!value) {
        m_problem = std::string(name) + " needs a value";
        return false;
    }
    auto quoted = [&] {
        return ", not '" + std::string(*value) + "'";
    };
    if (name == "--sleep-then") {
        if (*value != "stop" && *value != "quit") {
            m_problem = "--sleep-then takes 'stop' or 'quit'" + quoted();
            return false;
        }
        m_night.then = *value == "quit" ? NightOptions::Then::Quit : NightOptions::Then::Stop;
        return true;
    }
    struct Range {
        int low, high;
        const char* unit;
        int NightOptions::*field;
    };
    Range range =
        name == "--sleep"
            ? Range{kMinSleepMinutes, kMaxSleepMinutes, "minutes", &NightOptions::sleep_minutes}
        : name == "--fade"
            ? Range{kMinFadeSeconds, kMaxFadeSeconds, "seconds", &NightOptions::fade_seconds}
            : Range{0, 100, "percent", &NightOptions::dim_percent};
    std::optional<int> number = whole_number(*value);
    if (!number || *number < range.low || *number > range.high) {
        m_problem = std::string(name) + " takes whole " + range.unit + " from " +
                    std::to_string(range.low) + " to " + std::to_string(range.high) + quoted();
        return false;
    }
    m_night.*range.field = *number;
    return true;
}

CommandLine CommandLine::parse(int argc, char** argv) {
    std::vector<std::string_view> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return parse(args);
}

int CommandLine::answer(std::ostream& out, std::ostream& err) const {
    switch (m_action) {
    case Action::Help:
        out << kUsage;
        return 0;
    case Action::Version:
        out << "quorvane " << QUORVANE_VERSION << "\n";
        return 0;
    case Action::Misuse:
        err << "quorvane: " << m_problem << "\n" << kUsage;
        return 2;
    case Action::Run:
        break;
    }
    return 0;
}

} // namespace app
