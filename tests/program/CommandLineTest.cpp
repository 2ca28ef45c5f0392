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
        EXPECT_TRUE(a.out.starts_with("Usage: quorvane [OPTION]...\n")) << a.out;
        // Every option and every key is listed.
        for (const char* listed : {"--version", "--sleep MINUTES", "--fade SECONDS",
                                   "--dim PERCENT", "--play", "--sleep-then", "--allow-sleep",
                                   "Space", "Escape", "Up, Down", "  T ", "  D ", "Ctrl+Q"})
            EXPECT_NE(a.out.find(listed), std::string::npos) << listed;
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

TEST(CommandLine, TheNightsOptionsTakeTheirValuesApartOrAfterAnEqualsSign) {
    const app::NightOptions unset = CommandLine::parse(std::vector<std::string_view>{}).night();
    EXPECT_EQ(unset.fade_seconds, 60);
    EXPECT_FALSE(unset.allow_sleep);
    CommandLine line = CommandLine::parse(std::vector<std::string_view>{
        "--sleep", "30", "--fade=5", "--dim", "0", "--play", "--sleep-then=quit", "--allow-sleep"});
    ASSERT_EQ(line.action(), Action::Run);
    const app::NightOptions& night = line.night();
    EXPECT_EQ(night.sleep_minutes, 30);
    EXPECT_EQ(night.fade_seconds, 5);
    EXPECT_EQ(night.dim_percent, 0);
    EXPECT_TRUE(night.play);
    EXPECT_EQ(night.then, app::NightOptions::Then::Quit);
    EXPECT_TRUE(night.allow_sleep);
    // The limits themselves are good values; the last of an option given twice counts.
    line = CommandLine::parse(std::vector<std::string_view>{"--sleep=1", "--sleep", "720", "--fade",
                                                            "600", "--dim=100", "--sleep-then",
                                                            "stop", "--allow-sleep"});
    ASSERT_EQ(line.action(), Action::Run);
    EXPECT_EQ(line.night().sleep_minutes, 720);
    EXPECT_EQ(line.night().fade_seconds, 600);
    EXPECT_EQ(line.night().then, app::NightOptions::Then::Stop);
    // A question beside good options is answered.
    EXPECT_EQ(ask({"--sleep", "30", "--help"}).action, Action::Help);
}

// An unknown option, an argument, or a bad value is a misuse: one clear line on standard error
// and the usage, status 2.
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
             {{"--allow-sleep=no"}, "quorvane: unknown option '--allow-sleep=no'\n"},
             {{"sky.png"}, "quorvane: unexpected argument 'sky.png'\n"},
             {{"-"}, "quorvane: unexpected argument '-'\n"},
             {{""}, "quorvane: unexpected argument ''\n"},
             {{"--allow-sleep", "beach"}, "quorvane: unexpected argument 'beach'\n"},
             // A misuse anywhere spoils the question beside it.
             {{"--help", "--bogus"}, "quorvane: unknown option '--bogus'\n"},
             {{"--version", "now"}, "quorvane: unexpected argument 'now'\n"},
             {{"--sleep", "0"}, "quorvane: --sleep takes whole minutes from 1 to 720, not '0'\n"},
             {{"--sleep=721"}, "quorvane: --sleep takes whole minutes from 1 to 720, not '721'\n"},
             {{"--sleep", "ten"},
              "quorvane: --sleep takes whole minutes from 1 to 720, not 'ten'\n"},
             {{"--sleep", "1.5"},
              "quorvane: --sleep takes whole minutes from 1 to 720, not '1.5'\n"},
             {{"--sleep", "-5"}, "quorvane: --sleep takes whole minutes from 1 to 720, not '-5'\n"},
             {{"--sleep="}, "quorvane: --sleep takes whole minutes from 1 to 720, not ''\n"},
             {{"--sleep"}, "quorvane: --sleep needs a value\n"},
             {{"--fade", "4"}, "quorvane: --fade takes whole seconds from 5 to 600, not '4'\n"},
             {{"--fade", "601"}, "quorvane: --fade takes whole seconds from 5 to 600, not '601'\n"},
             {{"--dim", "101"}, "quorvane: --dim takes whole percent from 0 to 100, not '101'\n"},
             {{"--dim", "50%"}, "quorvane: --dim takes whole percent from 0 to 100, not '50%'\n"},
             {{"--sleep-then", "suspend"},
              "quorvane: --sleep-then takes 'stop' or 'quit', not 'suspend'\n"},
             {{"--play=yes"}, "quorvane: unknown option '--play=yes'\n"},
             // A bad value spoils the question beside it.
             {{"--version", "--dim", "200"},
              "quorvane: --dim takes whole percent from 0 to 100, not '200'\n"},
         }) {
        Answer a = ask(c.args);
        EXPECT_EQ(a.action, Action::Misuse) << c.said;
        EXPECT_EQ(a.status, 2) << c.said;
        EXPECT_TRUE(a.out.empty()) << c.said;
        EXPECT_TRUE(a.err.starts_with(c.said)) << a.err;
        EXPECT_NE(a.err.find("Usage: quorvane"), std::string::npos) << c.said;
    }
}
