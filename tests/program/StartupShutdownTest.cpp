#include "app/FileTypes.h"
#include "app/MenuBar1.h"
#include "app/Program.h"
#include "common/MediaItems.h"
#include "platform/compat/System.h"
#include "platform/windows/Desktop.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <vector>

using platform::Ref;
using testing_support::FakeMedia;
using testing_support::TestProgram;

using DocumentTypes = std::map<std::string, platform::DocumentType>;

namespace {

const DocumentTypes kBothTypes{
    {"text", {"text", "R*ch", "TEXT", ""}},
    {"audio/wav", {"audio/wav", "TVOD", ".WAV", ".wav;.bwf"}},
};

} // namespace

TEST(Startup, DeclaresBothDocumentTypesAndOpensOnlyTheSceneWindow) {
    TestProgram program;
    EXPECT_EQ(program.backend().document_types(), kBothTypes);
    platform::Desktop& desktop = program.runtime().desktop();
    ASSERT_EQ(desktop.stack().size(), 1u);
    EXPECT_EQ(desktop.stack()[0], Window1().get());
    EXPECT_FALSE(desktop.implicit_window("aboutWin.aboutWin"));
    EXPECT_FALSE(desktop.implicit_window("loudnessWin.loudnessWin"));
    EXPECT_EQ(program.failure_count(), 0);
}

TEST(DocumentType, ChangingADeclaredTypeWithdrawsItUntilConvertedAgainAndReleasingItWithdrawsIt) {
    TestProgram program;
    FileTypes::pText->SetMacCreator("ttxt");
    EXPECT_FALSE(program.backend().document_types().contains("text"));
    EXPECT_EQ(FileTypes::pText->ToString(), "text");
    EXPECT_EQ(FileTypes::pText->ToString(), "text");
    EXPECT_EQ(program.backend().document_types().at("text"),
              (platform::DocumentType{"text", "ttxt", "TEXT", ""}));
    FileTypes::pAudioWav = nullptr;
    EXPECT_EQ(program.backend().document_types().size(), 1u);

    // One held past the end of the runtime has nothing left to withdraw from.
    Ref<platform::FileType> kept = FileTypes::pText;
    EXPECT_EQ(program.shut_down(), 0);
    kept = nullptr;
}

TEST(Menus, MenuBar1IsBuiltOnceAndOnlyItsQuitItemActsOnCtrlQOrTheCloseRequest) {
    {
        TestProgram program;
        Ref<app::MenuBar1> bar = MenuBar1();
        EXPECT_EQ(bar, MenuBar1());
        ASSERT_EQ(bar->children().size(), 2u);
        for (const Ref<platform::MenuItem>& item : bar->Child("EditMenu")->children())
            EXPECT_FALSE(item->Action()) << item->Name();
        for (const char* key : {"Z", "X", "C", "V"})
            program.key(key);
        program.key("Q", false);
        EXPECT_FALSE(program.runtime().loop().quit_requested());
        program.key("Q");
        EXPECT_TRUE(program.runtime().loop().quit_requested());
        EXPECT_EQ(program.shut_down(), 0);
    }
    TestProgram program;
    program.deliver(platform::InputEvent(platform::InputEvent::Type::QuitRequest));
    EXPECT_TRUE(program.runtime().loop().quit_requested());
    EXPECT_EQ(program.shut_down(), 0);
}

TEST(Shutdown, ReleasesTheMediaInOrderThenTheWindowsThenTheDocumentTypesAndTheMenuBar) {
    // Each media object as it is destroyed, with what still stood then.
    struct Release {
        std::string item;
        bool windows_kept;
        size_t types_declared;
        bool menu_bar_kept;
    };
    std::vector<Release> released;
    const platform::HeadlessBackend* backend = nullptr;
    auto media = platform::make_ref<FakeMedia>();
    media->on_release([&](std::string_view item) {
        platform::Desktop* desktop = platform::Current<platform::Desktop>::find();
        released.push_back({std::string(item),
                            desktop && desktop->implicit_window("Window1.Window1"),
                            backend ? backend->document_types().size() : 0,
                            bool(app::MenuBar1::_implicitInstance)});
    });
    TestProgram program({}, media);
    backend = &program.backend();
    // Every sound is used: the beach, its second surf and a splash.
    program.click_moon();
    program.advance(90000);
    ASSERT_TRUE(released.empty());

    EXPECT_EQ(program.shut_down(), 0);
    EXPECT_TRUE(program.backend().document_types().empty());
    EXPECT_FALSE(app::MenuBar1::_implicitInstance);
    // Every item handed out went, each while the document types and the menu bar were still
    // held: those the media cells alone held first, in their declaration order, then those the
    // windows held, as the windows went.
    std::vector<std::string> order;
    for (const media_items::Item& item : media_items::kItems)
        if (media->requests(item.name))
            order.push_back(std::string(item.name));
    ASSERT_EQ(released.size(), order.size());
    size_t next = 0;
    bool windows_gone = false;
    for (const Release& r : released) {
        SCOPED_TRACE(r.item);
        EXPECT_EQ(r.types_declared, 2u);
        EXPECT_TRUE(r.menu_bar_kept);
        windows_gone = windows_gone || !r.windows_kept;
        EXPECT_NE(r.windows_kept, windows_gone);
        if (r.windows_kept) {
            auto at = std::find(order.begin() + static_cast<long>(next), order.end(), r.item);
            ASSERT_NE(at, order.end()) << "out of declaration order";
            next = static_cast<size_t>(at - order.begin()) + 1;
        }
    }
    for (const char* sound : {"walk", "splash", "surf", "surf2"})
        EXPECT_TRUE(
            std::any_of(released.begin(), released.end(),
                        [&](const Release& r) { return r.item == sound && r.windows_kept; }))
            << sound << " went with the media cells";
    EXPECT_TRUE(windows_gone) << "the windows held the scene's pictures";
}

TEST(Startup, AFailureIsReportedOnceShutdownRunsAndTheStatusIsNotZero) {
    platform::System::Cursors::StandardPointer(); // shared for the process once made
    int64_t before = platform::Object::live_count();
    {
        // No resource container: the scene's backdrop cannot be had while it lays itself out.
        TestProgram program({}, nullptr);
        EXPECT_EQ(program.failure_count(), 1);
        EXPECT_NE(program.reports().find("resource container"), std::string::npos);
        EXPECT_NE(program.shut_down(), 0);
    }
    EXPECT_EQ(platform::Object::live_count(), before);
}
