#pragma once

#include "framework/gui/Application.h"
#include "plist/plist.h"
#include "prefs/OptionTable.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The application object: its events, its menu commands, the calculator
// window counter and, in the fields of OptionValues, the default options of
// new calculator windows.
class App : public fw::Application, public prefs::OptionValues {
public:
    App() = default;
    ~App() override;

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
    // Writes the preferences that this run changed into the file as it is
    // now (prefs::SavePrefs); False when it could not be written (the file
    // then stays as it was). A file that was kept aside because it could not
    // be read in full is told to the user.
    bool savePrefs();
    // What the user is told when savePrefs failed: what was not saved, where,
    // and why.
    std::string prefsSaveFailureText() const;

protected:
    void Event_Open() override;
    void Event_EnableMenuItems() override;
    void Event_Close() override;

private:
    // Tells what waits to be told, unless the splash shows: then once it has
    // gone. Quitting closes the splash first, so it is told before the end.
    void TellNotices();
    // Tells of a save in place that died, found when the file was read.
    void TellOfDamage();

    // What the preferences file held of each option when this run last read
    // or wrote it: a save writes only what differs.
    prefs::OptionValues storedPrefs_;
    std::vector<std::string> notices_;
    QMetaObject::Connection splashGone_;
};
