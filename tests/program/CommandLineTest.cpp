#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

using app::CommandLine;
using Action = CommandLine::Action;

namespace {

struct Answer {
    Action action;
    int status;
    std::string out, err;
};

Answer ask(std::vector<std::string_view> args) {
    CommandLine line = CommandLine::parse(args);
    std::ostringstream out, err;
    int status = line.action() == Action::Run ? -1 : line.answer(out, err);
    return {line.action(), status, out.str(), err.str()};
}

// "quorvane X.Y.Z" and a newline.
bool is_version_line(const std::string& s) {
    const std::string prefix = "quorvane ";
    if (!s.starts_with(prefix) || !s.ends_with("\n"))
        return false;
    std::string number = s.substr(prefix.size(), s.size() - prefix.size() - 1);
    return std::count(number.begin(), number.end(), '.') == 2 && !number.starts_with('.') &&
           !number.ends_with('.') && number.find("..") == std::string::npos &&
           std::all_of(number.begin(), number.end(),
                       [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
}

} // namespace

TEST(CommandLine, NoArgumentsOpensTheSceneAndThePlatformsOwnArgumentVectorIsRead) {
    EXPECT_EQ(ask({}).action, Action::Run);
    char name[] = "quorvane", version[] = "--version";
    char* argv[] = {name, version, nullptr};
    EXPECT_EQ(CommandLine::parse(1, argv).action(), Action::Run);
    EXPECT_EQ(CommandLine::parse(2, argv).action(), Action::Version);
}

TEST(CommandLine, HelpAndVersionAnswerOnStandardOutputWithStatusZero) {
    for (std::string_view help : {"--help", "-h"}) {
        Answer a = ask({help});
        EXPECT_EQ(a.action, Action::Help) << help;
        EXPECT_EQ(a.status, 0);
        EXPECT_TRUE(a.out.starts_with("Usage: quorvane [--allow-sleep] [--help | --version]\n"))
            << a.out;
        EXPECT_NE(a.out.find("--allow-sleep"), std::string::npos);
        EXPECT_NE(a.out.find("--version"), std::string::npos);
        EXPECT_TRUE(a.err.empty());
    }
    Answer v = ask({"--version"});
    EXPECT_EQ(v.status, 0);
    EXPECT_TRUE(is_version_line(v.out)) << v.out;
    EXPECT_TRUE(v.err.empty());
    // Asked both, the first question is answered.
    EXPECT_EQ(ask({"--version", "--help"}).action, Action::Version);
    EXPECT_EQ(ask({"-h", "--version"}).action, Action::Help);
    EXPECT_EQ(ask({"--allow-sleep", "--version"}).action, Action::Version);
}

TEST(CommandLine, AllowSleepRunsTheSceneAndSaysSoOnlyWhenGiven) {
    EXPECT_FALSE(CommandLine::parse(std::vector<std::string_view>{}).allow_sleep());
    CommandLine line = CommandLine::parse(std::vector<std::string_view>{"--allow-sleep"});
    EXPECT_EQ(line.action(), Action::Run);
    EXPECT_TRUE(line.allow_sleep());
    Answer twice = ask({"--allow-sleep", "--allow-sleep"});
    EXPECT_EQ(twice.action, Action::Run);
    EXPECT_EQ(ask({"--allow-sleep=no"}).action, Action::Misuse);
    EXPECT_EQ(ask({"--allow-sleep", "beach"}).action, Action::Misuse);
}

TEST(CommandLine, AnythingElseIsAMisuseToldOnStandardErrorWithStatusTwo) {
    struct Case {
        std::vector<std::string_view> args;
        std::string said;
    };
    for (const Case& c : std::vector<Case>{
             {{"--bogus"}, "quorvane: unknown option '--bogus'\n"},
             {{"-x"}, "quorvane: unknown option '-x'\n"},
             {{"--help=all"}, "quorvane: unknown option '--help=all'\n"},
             {{"--HELP"}, "quorvane: unknown option '--HELP'\n"},
             {{"sky.png"}, "quorvane: unexpected argument 'sky.png'\n"},
             {{"-"}, "quorvane: unexpected argument '-'\n"},
             {{""}, "quorvane: unexpected argument ''\n"},
             // A misuse anywhere spoils the question beside it.
             {{"--help", "--bogus"}, "quorvane: unknown option '--bogus'\n"},
             {{"--version", "now"}, "quorvane: unexpected argument 'now'\n"},
         }) {
        Answer a = ask(c.args);
        EXPECT_EQ(a.action, Action::Misuse) << c.said;
        EXPECT_EQ(a.status, 2) << c.said;
        EXPECT_TRUE(a.out.empty()) << c.said;
        EXPECT_TRUE(a.err.starts_with(c.said)) << a.err;
        EXPECT_NE(a.err.find("Usage: quorvane"), std::string::npos) << c.said;
    }
}
