#include "app/FileTypes.h"
#include "app/MenuBar1.h"
#include "app/Program.h"
#include "common/Plugins.h"
#include "platform/compat/Application.h"
#include "platform/compat/QuitMenuItem.h"
#include "platform/compat/System.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::FakeMedia;
using testing_support::TestProgram;

namespace {

long index_of(const std::vector<std::string>& notes, const std::string& what) {
    auto it = std::find(notes.begin(), notes.end(), what);
    return it == notes.end() ? -1 : static_cast<long>(it - notes.begin());
}

} // namespace

TEST(Startup, DeclaresTypesThenApplicationWithMenuBarThenOnlyTheSceneWindow) {
    TestProgram program;
    const auto& notes = program.runtime().notes();
    long text = index_of(notes, "declare text");
    long wav = index_of(notes, "declare audio/wav");
    long application = index_of(notes, "application with its menu bar");
    long scene = index_of(notes, "window Window1");
    ASSERT_GE(text, 0);
    EXPECT_LT(text, wav);
    EXPECT_LT(wav, application);
    EXPECT_LT(application, scene);
    EXPECT_EQ(std::count_if(notes.begin(), notes.end(),
                            [](const std::string& n) { return n.rfind("window ", 0) == 0; }),
              1);
    EXPECT_EQ(program.runtime().desktop().stack().size(), 1u);
    EXPECT_EQ(program.failure_count(), 0);
}

TEST(Startup, DocumentTypesAreDeclaredOnceWithTheirExactValues) {
    TestProgram program;
    const auto& calls = program.runtime().file_type_calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_TRUE(calls[0].registering);
    EXPECT_EQ(calls[0].name, "text");
    EXPECT_EQ(calls[0].creator, "R*ch");
    EXPECT_EQ(calls[0].type, "TEXT");
    EXPECT_EQ(calls[0].extensions, "");
    EXPECT_EQ(calls[1].name, "audio/wav");
    EXPECT_EQ(calls[1].creator, "TVOD");
    EXPECT_EQ(calls[1].type, ".WAV");
    EXPECT_EQ(calls[1].extensions, ".wav;.bwf");
    EXPECT_EQ(FileTypes::pText->Name(), "text");
}

TEST(DocumentType, ChangingADeclaredTypeWithdrawsItUntilConvertedAgain) {
    TestProgram program;
    FileTypes::pText->SetMacCreator("ttxt");
    EXPECT_FALSE(program.runtime().is_file_type_registered("text"));
    EXPECT_EQ(FileTypes::pText->ToString(), "text");
    EXPECT_EQ(FileTypes::pText->ToString(), "text");
    const auto& calls = program.runtime().file_type_calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_FALSE(calls[2].registering);
    EXPECT_EQ(calls[3].creator, "ttxt");
}

TEST(Menus, FileAndEditMenusAreBuiltOnceAsTabled) {
    TestProgram program;
    platform::Ref<app::MenuBar1> bar = MenuBar1();
    EXPECT_EQ(bar, MenuBar1());
    EXPECT_EQ(program.runtime().app()->MenuBar(0), bar);
    ASSERT_EQ(bar->children().size(), 2u);

    platform::Ref<platform::MenuItem> file = bar->Child("FileMenu");
    EXPECT_EQ(file->Text(), "&File");
    EXPECT_FALSE(file->AutoEnable());
    ASSERT_EQ(file->children().size(), 1u);
    platform::Ref<platform::MenuItem> quit = file->Child("FileQuit");
    EXPECT_NE(dynamic_cast<platform::QuitMenuItem*>(quit.get()), nullptr);
    EXPECT_EQ(quit->Text(), "Quit");
    EXPECT_EQ(quit->KeyboardShortcut(), "Cmd+Q");
    EXPECT_TRUE(quit->AutoEnable());

    platform::Ref<platform::MenuItem> edit = bar->Child("EditMenu");
    EXPECT_EQ(edit->Text(), "&Edit");
    std::vector<std::tuple<std::string, std::string, std::string>> expected{
        {"EditUndo", "Undo", "Cmd+Z"}, {"UntitledMenu0", "-", ""},      {"EditCut", "Cut", "Cmd+X"},
        {"EditCopy", "Copy", "Cmd+C"}, {"EditPaste", "Paste", "Cmd+V"}, {"EditClear", "Clear", ""}};
    ASSERT_EQ(edit->children().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto& item = edit->children()[i];
        EXPECT_EQ(item->Name(), std::get<0>(expected[i]));
        EXPECT_EQ(item->Text(), std::get<1>(expected[i]));
        EXPECT_EQ(item->KeyboardShortcut(), std::get<2>(expected[i]));
        EXPECT_FALSE(item->AutoEnable());
        EXPECT_FALSE(item->Action());
    }
}

TEST(Menus, EditShortcutsDoNothingAndCtrlQOrTheCloseRequestQuitsWithZero) {
    {
        TestProgram program;
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

TEST(Shutdown, ReleasesMediaInDeclarationOrderThenListsTypesAndMenuBar) {
    TestProgram program;
    program.advance(1000);
    size_t before = program.runtime().notes().size();
    EXPECT_EQ(program.shut_down(), 0);
    const std::vector<std::string>& notes = program.notes_at_exit();
    std::vector<std::string> released(notes.begin() + static_cast<long>(before), notes.end());
    std::vector<std::string> expected;
    for (const char* item :
         {"walk",     "sky",      "sky1",     "sky2",   "sky3",  "sky4",   "sky5",   "sky6",
          "sky7",     "sky8",     "sky9",     "sky10",  "sky11", "splash", "surf",   "surf2",
          "speaker1", "speaker2", "speaker3", "bigsky", "star1", "star1b", "sleep1", "sleep2"})
        expected.push_back(std::string("release ") + item);
    for (const char* item : {"window list", "implicit windows", "FileTypes.pText"})
        expected.push_back(std::string("release ") + item);
    for (const char* step :
         {"withdraw text", "release FileTypes.pAudioWav", "withdraw audio/wav", "release MenuBar1"})
        expected.push_back(step);
    EXPECT_EQ(released, expected);
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
