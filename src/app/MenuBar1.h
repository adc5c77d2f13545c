#pragma once

#include "framework/gui/MenuBar.h"

// The application's one menu bar: File and Edit. Built once at start-up and
// shown by the application and by every calculator window.
class MenuBar1 : public fw::MenuBar {
public:
    // The single instance, created on first use.
    static MenuBar1* instance();
    // Drops the instance at shutdown (the bar must go before the QApplication).
    static void Release();

private:
    MenuBar1();
};

// The items that the application enables itself, looked up by name in the
// application's bar.
fw::MenuItem* FileNewCalc();
fw::MenuItem* FileQuit();
fw::MenuItem* FileClose();
fw::MenuItem* AppleAboutTallorix();
