#include "about/CreditsPage.h"
#include "about/aboutWin.h"
#include "platform/resources/ProgramLocation.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/ImplicitInstance.h"
#include "platform/windows/StaticText.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"
#include "tests/support/TextPixels.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

using platform::Canvas;
using platform::Point;
using platform::Rect;
using platform::RectControl;
using platform::Ref;
using platform::StaticText;
using testing_support::TestProgram;
using Kind = platform::HeadlessBackend::SoundEvent::Kind;

namespace fs = std::filesystem;

namespace {

const platform::Color kWhite{255, 255, 255};
const platform::Color kBlue{0, 0, 255};

// A file address of the credits page at a section.
::testing::AssertionResult is_credits_page(const std::string& url, const std::string& section) {
    if (url.rfind("file:///", 0) == 0 && url.ends_with("/credits.html#" + section))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << url << " is not the credits page at #" << section;
}

} // namespace

// The whole program with the about box shown by a click on the scene's "About" label.
class AboutWindow : public ::testing::Test {
protected:
    TestProgram program;
    Ref<about::aboutWin> w = open_about();

    // The label lies at x 76..121, y 4..24 of the screen, and shows once the pointer is in the
    // top strip (a click moves there first).
    Ref<about::aboutWin> open_about() {
        program.click(98, 14);
        return platform::checked_cast<about::aboutWin>(
            platform::RuntimeGetImplicitWindow("aboutWin.aboutWin"));
    }
    // A control's rectangle on the screen, and its middle.
    Rect on_screen(const char* name) const {
        return w->control_as<RectControl>(name)->bounds().translated(w->Left(), w->Top());
    }
    Point centre_of(const char* name) const {
        Rect r = on_screen(name);
        return {r.x + r.w / 2, r.y + r.h / 2};
    }
    platform::Color colour_at(int x, int y) {
        return platform::Color::from_pixel(program.backend().pixel(x, y));
    }
    // Pixels of r drawn in text of the colour (anti-aliased edges excluded).
    int text_pixels(const Rect& r, platform::Color text) {
        int n = 0;
        for (int y = r.y; y < r.bottom(); ++y)
            for (int x = r.x; x < r.right(); ++x) {
                platform::Color c = colour_at(x, y);
                n += std::abs(c.r - text.r) < 40 && std::abs(c.g - text.g) < 40 &&
                     std::abs(c.b - text.b) < 40;
            }
        return n;
    }
    // Clicks a link label; the address it opened.
    std::string click_link(const char* name) {
        Point p = centre_of(name);
        size_t before = program.backend().opened_urls().size();
        program.click(p.x, p.y);
        const std::vector<std::string>& urls = program.backend().opened_urls();
        EXPECT_EQ(urls.size(), before + 1) << name;
        return urls.size() > before ? urls.back() : std::string();
    }
};

TEST_F(AboutWindow, TheAboutLabelBuildsItOnceCentredAndLaterShowsFindItUnchanged) {
    ASSERT_TRUE(w);
    EXPECT_EQ(w->frame(), (Rect{(1920 - 141) / 2, (1080 - 122) / 2, 141, 122}));
    EXPECT_TRUE(w->Visible());
    EXPECT_EQ(program.runtime().desktop().active_window(), w.get());
    const char* names[] = {"StaticText1", "Canvas1", "StaticText3", "Timer1",
                           "StaticText2", "Canvas2", "StaticText4"};
    std::vector<Ref<platform::Control>> first;
    for (const char* name : names)
        first.push_back(w->control(name));

    program.advance(5001);
    EXPECT_FALSE(w->Visible());
    open_about();
    EXPECT_TRUE(w->Visible());
    EXPECT_EQ(aboutWin(), w);
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(w->control(names[i]), first[i]) << names[i];
    EXPECT_EQ(program.failure_count(), 0);
}

// Every label is drawn white on the black box, and the names fit their 100-pixel labels in the
// desktop's font, so neither is cut at the sides. The slider author's name lies over the empty
// middle line of "Thanks to", "", "for SuperSlider", and the last line below it.
TEST_F(AboutWindow, DrawsEveryLabelReadablyWithTheSliderAuthorOverTheEmptyMiddleLine) {
    for (const char* name : {"StaticText3", "StaticText4"}) {
        auto t = w->control_as<StaticText>(name);
        EXPECT_LE(program.backend().text().render_line(t->Text(), {}).width(), t->Width()) << name;
    }
    for (const char* name : {"StaticText1", "StaticText2", "StaticText3", "StaticText4"})
        EXPECT_GT(text_pixels(on_screen(name), kWhite), 20) << name;
    EXPECT_EQ(colour_at(w->Left() + 1, w->Top() + 120), platform::RGB(0, 0, 0));

    // The rows of the thanks label that hold any ink, in runs: one run per line of text.
    Rect thanks = on_screen("StaticText2");
    Rect name = on_screen("StaticText4");
    std::vector<std::pair<int, int>> lines;
    for (int y = thanks.y; y < thanks.bottom(); ++y) {
        Rect row{thanks.x, y, thanks.w, 1};
        if (text_pixels(row, kWhite) + text_pixels(row, kBlue) == 0)
            continue;
        if (!lines.empty() && lines.back().second == y - 1)
            lines.back().second = y;
        else
            lines.push_back({y, y});
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_LT(lines[0].second, name.y);
    EXPECT_GE(lines[1].first, name.y);
    EXPECT_LT(lines[1].second, name.bottom());
    EXPECT_GE(lines[2].first, name.y + w->control_as<Canvas>("Canvas2")->Height());
    EXPECT_LT(lines[2].second, thanks.bottom());
}

TEST_F(AboutWindow, AClickOnItsBackgroundHidesItWherever) {
    // The bare black, the plain labels and the strip of the canvas below the name all count
    // as the background; a press there released outside the box too.
    struct Press {
        Point down, up;
    };
    for (Press p : {Press{{3, 115}, {3, 115}}, Press{{70, 10}, {70, 10}}, Press{{70, 58}, {70, 58}},
                    Press{{70, 84}, {70, 84}}, Press{{130, 100}, {-500, -400}}}) {
        SCOPED_TRACE(std::to_string(p.down.x) + "," + std::to_string(p.down.y));
        if (!w->Visible())
            open_about();
        ASSERT_TRUE(w->Visible());
        program.move(w->Left() + p.down.x, w->Top() + p.down.y);
        program.press(w->Left() + p.down.x, w->Top() + p.down.y);
        EXPECT_TRUE(w->Visible());
        program.release(w->Left() + p.up.x, w->Top() + p.up.y);
        EXPECT_FALSE(w->Visible());
    }
    EXPECT_TRUE(program.backend().opened_urls().empty());
    // The timer armed by the last showing finds the box hidden already: nothing changes.
    program.advance(6000);
    EXPECT_FALSE(w->Visible());
    EXPECT_EQ(program.runtime().desktop().active_window(), Window1().get());
    EXPECT_EQ(program.failure_count(), 0);
}

TEST_F(AboutWindow, HidesItselfFiveSecondsAfterEachActivation) {
    program.move(400, 600); // out of the strip, over the bare scene
    program.advance(4999);
    EXPECT_TRUE(w->Visible());
    program.advance(2);
    EXPECT_FALSE(w->Visible());

    // Activated again three seconds in: the five seconds start over.
    open_about();
    ASSERT_TRUE(w->Visible());
    program.advance(2000);
    program.click(400, 600); // the scene becomes the active window; the box stays
    EXPECT_TRUE(w->Visible());
    EXPECT_NE(program.runtime().desktop().active_window(), w.get());
    program.advance(1000);
    open_about();
    EXPECT_EQ(program.runtime().desktop().active_window(), w.get());
    program.advance(4999);
    EXPECT_TRUE(w->Visible());
    program.advance(2);
    EXPECT_FALSE(w->Visible());
    EXPECT_EQ(program.failure_count(), 0);
}

TEST_F(AboutWindow, TheLinkUnderThePointerAloneTurnsBlue) {
    auto author = w->control_as<StaticText>("StaticText3");
    auto slider_author = w->control_as<StaticText>("StaticText4");
    Rect author_rect = on_screen("StaticText3");
    Rect slider_rect = on_screen("StaticText4");

    Point a = centre_of("StaticText3");
    program.move(a.x, a.y);
    EXPECT_EQ(author->TextColor(), kBlue);
    EXPECT_GT(text_pixels(author_rect, kBlue), 20);
    EXPECT_EQ(text_pixels(author_rect, kWhite), 0);
    EXPECT_EQ(text_pixels(slider_rect, kBlue), 0);

    Point s = centre_of("StaticText4");
    program.move(s.x, s.y);
    EXPECT_EQ(author->TextColor(), kWhite);
    EXPECT_EQ(slider_author->TextColor(), kBlue);
    EXPECT_GT(text_pixels(slider_rect, kBlue), 20);
    EXPECT_GT(text_pixels(author_rect, kWhite), 20);

    program.move(w->Left() + 3, w->Top() + 115);
    EXPECT_EQ(author->TextColor(), kWhite);
    EXPECT_EQ(slider_author->TextColor(), kWhite);
    EXPECT_EQ(text_pixels(slider_rect, kBlue), 0);
    EXPECT_TRUE(w->Visible());
    EXPECT_TRUE(program.backend().opened_urls().empty());
}

TEST_F(AboutWindow, TheLinksOpenTheirSectionsAndOnlyTheFirstStartsTheSurfWhenSilent) {
    const auto& sounds = program.backend().sound_events();
    EXPECT_TRUE(is_credits_page(click_link("StaticText4"), "superslider"));
    EXPECT_TRUE(sounds.empty());
    std::string url = click_link("StaticText3");
    EXPECT_TRUE(is_credits_page(url, "quorvane"));
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].label, "surf");
    EXPECT_EQ(sounds[0].kind, Kind::Loop);

    // With the surf sounding, the link only opens the page.
    program.advance(1000);
    EXPECT_EQ(click_link("StaticText3"), url);
    EXPECT_EQ(sounds.size(), 1u);
    EXPECT_TRUE(w->Visible());
    EXPECT_EQ(program.failure_count(), 0);
}

// Each link answers over its whole label: a click on its first or last pixel column, or on the
// last pixel of its word, opens its address and leaves the box.
TEST_F(AboutWindow, EachLinkAnswersToItsLastPixelColumn) {
    struct Link {
        const char* name;
        const char* section;
        Point word_end;
    };
    std::vector<Link> links;
    for (auto [name, section] :
         {std::pair{"StaticText3", "quorvane"}, {"StaticText4", "superslider"}}) {
        std::optional<Point> end =
            testing_support::last_text_pixel(program.backend(), on_screen(name), kWhite);
        ASSERT_TRUE(end) << name;
        links.push_back({name, section, *end});
    }
    for (const Link& link : links) {
        Rect r = on_screen(link.name);
        for (Point p : {Point{r.x, r.y + r.h / 2}, Point{r.right() - 1, r.y + r.h / 2},
                        Point{r.right() - 1, r.bottom() - 1}, link.word_end}) {
            SCOPED_TRACE(std::string(link.name) + " at " + std::to_string(p.x - r.x) + "," +
                         std::to_string(p.y - r.y));
            size_t before = program.backend().opened_urls().size();
            program.move(p.x, p.y);
            program.click(p.x, p.y);
            ASSERT_EQ(program.backend().opened_urls().size(), before + 1);
            EXPECT_TRUE(is_credits_page(program.backend().opened_urls().back(), link.section));
            EXPECT_TRUE(w->Visible());
        }
    }
}

TEST_F(AboutWindow, APressOnALinkOpensItWhereverItIsReleased) {
    const std::vector<std::string>& urls = program.backend().opened_urls();
    Point s = centre_of("StaticText4");
    program.move(s.x, s.y);
    program.press(s.x, s.y);
    program.move(100, 900); // dragged off the box, over the scene
    program.release(100, 900);
    ASSERT_EQ(urls.size(), 1u);
    EXPECT_TRUE(is_credits_page(urls[0], "superslider"));
    EXPECT_TRUE(w->Visible());
    // Off the link when released: it is white again.
    EXPECT_EQ(w->control_as<StaticText>("StaticText4")->TextColor(), kWhite);

    // Released on the box's own background: the link, and the box stays.
    Point a = centre_of("StaticText3");
    program.move(a.x, a.y);
    program.press(a.x, a.y);
    program.release(w->Left() + 3, w->Top() + 115);
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_TRUE(is_credits_page(urls[1], "quorvane"));
    EXPECT_TRUE(w->Visible());
}

TEST(CreditsPage, IsFoundBesideTheProgramThenWhereItIsInstalled) {
    fs::path root = fs::temp_directory_path() / ("quorvane-credits-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::path exe = root / "prefix" / "bin" / "quorvane";
    fs::create_directories(exe.parent_path());
    fs::path installed = root / "prefix" / "share" / "doc" / "quorvane" / "credits.html";
    fs::path built = root / "prefix" / "bin" / "doc" / "credits.html";

    // Neither there: the installed place, for the browser to report.
    EXPECT_EQ(about::CreditsPage::address(exe, "quorvane"),
              "file://" + installed.string() + "#quorvane");
    fs::create_directories(installed.parent_path());
    std::ofstream(installed) << "<html></html>";
    EXPECT_EQ(about::CreditsPage::address(exe, "superslider"),
              "file://" + installed.string() + "#superslider");
    fs::create_directories(built.parent_path());
    std::ofstream(built) << "<html></html>";
    EXPECT_EQ(about::CreditsPage::address(exe, "quorvane"),
              "file://" + built.string() + "#quorvane");
    fs::remove_all(root);
}

TEST(CreditsPage, AddressesArePercentEncoded) {
    EXPECT_EQ(about::CreditsPage::file_url("/home/ann/My Programs/naïve#1/credits.html", "a b"),
              "file:///home/ann/My%20Programs/na%C3%AFve%231/credits.html#a%20b");
    EXPECT_EQ(about::CreditsPage::file_url("/opt/q-1.0_x~/c.html", ""),
              "file:///opt/q-1.0_x~/c.html");
    EXPECT_EQ(about::CreditsPage::file_url("/a/100%?&.html", "s"), "file:///a/100%25%3F%26.html#s");
}

// The build writes the page beside the program, with a section for each link.
TEST(CreditsPage, TheBuildWritesThePageTheLinksOpen) {
    fs::path tests = platform::ProgramLocation::executable();
    ASSERT_EQ(tests.filename(), "quorvane_tests");
    fs::path program = tests.parent_path().parent_path() / "quorvane";
    std::vector<fs::path> places = about::CreditsPage::candidates(program);
    ASSERT_TRUE(fs::is_regular_file(places.front())) << places.front();
    std::ifstream in(places.front());
    std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(about::CreditsPage::address(program, about::CreditsPage::kProgramSection),
              about::CreditsPage::file_url(places.front(), "quorvane"));
    size_t program_section = page.find("id=\"quorvane\"");
    size_t slider_section = page.find("id=\"superslider\"");
    ASSERT_NE(program_section, std::string::npos);
    ASSERT_NE(slider_section, std::string::npos);
    EXPECT_LT(program_section, slider_section);
    EXPECT_EQ(page.rfind("<section", program_section), page.find("<section")) << "comes first";
    EXPECT_EQ(page.find('@'), std::string::npos) << "every placeholder filled in";
    EXPECT_NE(page.find("Quorvane team"), std::string::npos);
}
