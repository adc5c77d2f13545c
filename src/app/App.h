#pragma once

#include "framework/gui/Application.h"
#include "plist/plist.h"
#include "prefs/OptionTable.h"

#include <cstdint>
#include <memory>
#include <string>

// The application object: its events, its menu commands, the calculator
// window counter and, in the fields of OptionValues, the default options of
// new calculator windows.
class App : public fw::Application, public prefs::OptionValues {
public:
    App() = default;

    // The registered application object; nullptr before start-up and after
    // shutdown.
    static App* instance();

    // The preferences document, kept for the whole run so that every save
    // writes back what the file held besides the preferences.
    std::unique_ptr<plist> myPrefs;

    // Calculator windows opened since the application opened; only grows, so
    // a title number is never reused.
    std::int32_t numWindows = 0;

    // Menu commands; each returns False, leaving the rest to the framework.
    bool FileNewCalc_Action();
    bool FileQuit_Action();
    bool AppleAboutTallorix_Action();
    bool PrefMenu_Action();

    void showBoard();
    void loadPrefs();
    // Writes the preferences file; False when it could not be written (the
    // file then stays as it was).
    bool savePrefs();
    // What the user is told when savePrefs failed: what was not saved, where,
    // and why.
    std::string prefsSaveFailureText() const;

protected:
    void Event_Open() override;
    void Event_EnableMenuItems() override;
    void Event_Close() override;
};
