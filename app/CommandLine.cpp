#include "app/CommandLine.h"

#include <vector>

namespace app {

namespace {

constexpr std::string_view kUsage =
    "Usage: quorvane [--allow-sleep] [--help | --version]\n"
    "Turns the whole screen into a night sky. Click the moon for the sounds of the beach;\n"
    "move the pointer to the top edge for Quit, About and the volume. Ctrl+Q quits.\n"
    "\n"
    "      --allow-sleep  let the machine sleep as it is set to while the beach plays\n"
    "  -h, --help         show this help and exit\n"
    "      --version      show the version and exit\n"
    "\n"
    "See quorvane(1) for more.\n";

} // namespace

CommandLine CommandLine::parse(std::span<const std::string_view> args) {
    CommandLine line;
    // Anything but a question or an option makes the whole line a misuse; otherwise the first
    // question is the one answered.
    std::vector<std::string_view> questions;
    for (std::string_view arg : args) {
        if (arg == "--allow-sleep") {
            line.m_allow_sleep = true;
            continue;
        }
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            questions.push_back(arg);
            continue;
        }
        line.m_action = Action::Misuse;
        line.m_problem = (arg.size() > 1 && arg.starts_with('-') ? "unknown option '"
                                                                 : "unexpected argument '") +
                         std::string(arg) + "'";
        return line;
    }
    if (!questions.empty())
        line.m_action = questions.front() == "--version" ? Action::Version : Action::Help;
    return line;
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
