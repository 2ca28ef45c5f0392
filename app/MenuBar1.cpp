#include "app/MenuBar1.h"

#include "platform/compat/QuitMenuItem.h"

using platform::make_ref;
using platform::MenuItem;
using platform::Ref;

namespace app {

namespace {

struct ItemSpec {
    const char* name;
    const char* text;
    const char* shortcut; // null: left at the framework's default
    bool auto_enable;
};

// A menu's title item appended to the bar, then its items appended to the menu, which is looked
// up again by name for each item.
void build_menu(MenuItem& bar, const ItemSpec& title, std::initializer_list<ItemSpec> items,
                const char* quit_item = nullptr) {
    Ref<MenuItem> menu = make_ref<MenuItem>();
    menu->SetName(title.name);
    menu->SetAutoEnable(title.auto_enable);
    menu->SetText(title.text);
    menu->SetKeyboardShortcut(title.shortcut);
    bar.Append(menu);
    for (const ItemSpec& entry : items) {
        bool is_quit = quit_item && std::string(entry.name) == quit_item;
        Ref<MenuItem> item =
            is_quit ? Ref<MenuItem>(make_ref<platform::QuitMenuItem>()) : make_ref<MenuItem>();
        item->SetName(entry.name);
        item->SetAutoEnable(entry.auto_enable);
        item->SetText(entry.text);
        if (entry.shortcut)
            item->SetKeyboardShortcut(entry.shortcut);
        bar.Child(title.name)->Append(item);
    }
}

} // namespace

Ref<MenuBar1> MenuBar1::_implicitInstance;

MenuBar1::MenuBar1() {
    Untitled1();
    Untitled2();
}

void MenuBar1::Untitled1() {
    build_menu(*this, {"FileMenu", "&File", "", false}, {{"FileQuit", "Quit", "Cmd+Q", true}},
               "FileQuit");
}

void MenuBar1::Untitled2() {
    build_menu(*this, {"EditMenu", "&Edit", "", false},
               {{"EditUndo", "Undo", "Cmd+Z", false},
                {"UntitledMenu0", "-", nullptr, false},
                {"EditCut", "Cut", "Cmd+X", false},
                {"EditCopy", "Copy", "Cmd+C", false},
                {"EditPaste", "Paste", "Cmd+V", false},
                {"EditClear", "Clear", "", false}});
}

} // namespace app

Ref<app::MenuBar1> MenuBar1() {
    if (!app::MenuBar1::_implicitInstance)
        app::MenuBar1::_implicitInstance = make_ref<app::MenuBar1>();
    return app::MenuBar1::_implicitInstance;
}
