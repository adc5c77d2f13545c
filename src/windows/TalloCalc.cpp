#include "windows/TalloCalc.h"

#include "app/App.h"
#include "app/MenuBar1.h"

#include <string>

void TalloCalc::Layout() {
    SetMenuBar(MenuBar1::instance());
    SetPlacement(fw::WindowPlacement::ParentWindow);
    SetMinSize(64, 64);
    SetMaxSize(32000, 32000);
    SetSize(568, 551);
    SetFrame(fw::WindowFrame::Document);
    SetTitle("Tallorix");
    SetCloseButton(true);
    SetResizable(false);
}

void TalloCalc::AddMenuHandlers() {
    AddMenuHandler("FileClose", [this] { return FileClose_Action(); });
}

void TalloCalc::Event_Open() {
    App* app = App::instance();
    app->numWindows = app->numWindows + 1;
    SetTitle("Tallorix " + std::to_string(app->numWindows));
    SetWidth(Width() - 165);
}

bool TalloCalc::FileClose_Action() {
    Close();
    return false;
}
