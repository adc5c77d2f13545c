#include "app/MenuBar1.h"

#include "app/App.h"

#include <memory>
#include <vector>

namespace {

using fw::MenuItemKind;

// The menus and their items, in bar order.
const std::vector<fw::MenuDesign>& MenuTable() {
    static const std::vector<fw::MenuDesign> table = {
        {"FileMenu",
         "&File",
         {
             {"FileNewCalc", "New Calc", "Cmd+N", MenuItemKind::Plain},
             {"FileSave", "Save", "Cmd+S", MenuItemKind::Plain},
             {"FileSaveA", "Save As", "Cmd+Shift+S", MenuItemKind::Plain},
             {"FileClose", "Close", "Cmd+W", MenuItemKind::Plain},
             {"FileQuit", "Quit", "Cmd+Q", MenuItemKind::Quit},
         }},
        {"EditMenu",
         "&Edit",
         {
             {"EditUndo", "Undo", "Cmd+Z", MenuItemKind::Plain},
             {"UntitledMenu0", "-", "", MenuItemKind::Separator},
             {"EditCut", "Cut", "Cmd+X", MenuItemKind::Plain},
             {"EditCopy", "Copy", "Cmd+C", MenuItemKind::Plain},
             {"EditPaste", "Paste", "Cmd+V", MenuItemKind::Plain},
             {"EditClear", "Clear", "", MenuItemKind::Plain},
             {"PrefMenu", "Preferences...", "Cmd+,", MenuItemKind::Preferences},
             {"AppleAboutTallorix", "About Tallorix...", "", MenuItemKind::About},
         }},
    };
    return table;
}

std::unique_ptr<MenuBar1>& Instance() {
    static std::unique_ptr<MenuBar1> instance;
    return instance;
}

fw::MenuItem* ApplicationItem(const char* name) {
    App* app = App::instance();
    if (app == nullptr || app->GetMenuBar() == nullptr) {
        return nullptr;
    }
    return app->GetMenuBar()->Item(name);
}

} // namespace

MenuBar1::MenuBar1() : fw::MenuBar(MenuTable()) {}

MenuBar1* MenuBar1::instance() {
    std::unique_ptr<MenuBar1>& bar = Instance();
    if (bar == nullptr) {
        bar.reset(new MenuBar1());
    }
    return bar.get();
}

void MenuBar1::Release() {
    Instance().reset();
}

fw::MenuItem* FileNewCalc() {
    return ApplicationItem("FileNewCalc");
}

fw::MenuItem* FileQuit() {
    return ApplicationItem("FileQuit");
}

fw::MenuItem* FileClose() {
    return ApplicationItem("FileClose");
}

fw::MenuItem* AppleAboutTallorix() {
    return ApplicationItem("AppleAboutTallorix");
}
