#include "app/App.h"

#include "app/MenuBar1.h"
#include "framework/gui/MsgBox.h"
#include "framework/gui/SingleInstance.h"
#include "framework/gui/Window.h"
#include "prefs/PrefSchema.h"
#include "windows/AboutWindow.h"
#include "windows/SplashScreen.h"
#include "windows/TalloBoard.h"
#include "windows/TalloCalc.h"
#include "windows/prefsWindow.h"

#include <QTimer>

namespace {

// What the user is told of a file that a save in place may have damaged.
std::string DamagedFileNotice(const std::string& copy) {
    return "Your preferences file may be damaged; its previous contents are in " + copy + ".";
}

} // namespace

App* App::instance() {
    return dynamic_cast<App*>(fw::Application::Instance());
}

void App::Event_Open() {
    // No multi-document frame window exists on this platform, so there is no
    // frame height to set.
    numWindows = 0;
    loadPrefs();
}

void App::Event_EnableMenuItems() {
    for (fw::MenuItem* item : {FileNewCalc(), FileQuit(), FileClose(), AppleAboutTallorix()}) {
        if (item != nullptr) {
            item->SetEnabled(true);
        }
    }
}

void App::Event_Close() {
    // The application quits all the same, but not without telling the user
    // that their choices are lost, and with a status that says so.
    if (!savePrefs()) {
        fw::MsgBox(prefsSaveFailureText());
        SetExitStatus(1);
    }
    TellNotices();
}

bool App::FileNewCalc_Action() {
    fw::NewWindow<TalloCalc>()->Show();
    return false;
}

bool App::FileQuit_Action() {
    return false;
}

bool App::AppleAboutTallorix_Action() {
    AboutWindow::instance().Show();
    return false;
}

bool App::PrefMenu_Action() {
    prefsWindow::instance().Show();
    return false;
}

void App::showBoard() {
    TalloBoard::instance().Show();
}

void App::loadPrefs() {
    myPrefs = prefs::OpenPrefs();
    storedPrefs_ = prefs::LoadPrefs(*myPrefs, *this);
    TellOfDamage();
}

bool App::savePrefs() {
    // Nothing was loaded, so there is nothing of the user's to write back;
    // saving the blank fields would overwrite the stored preferences.
    if (myPrefs == nullptr) {
        return true;
    }
    if (!prefs::SavePrefs(myPrefs, *this, storedPrefs_)) {
        return false;
    }
    TellOfDamage();
    if (!myPrefs->keptAsidePath.empty()) {
        notices_.push_back("Your preferences file could not be read in full (" +
                           myPrefs->readFailureReason + "). It was kept as " +
                           myPrefs->keptAsidePath + ", and a new one was written.");
        TellNotices();
    }
    return true;
}

void App::TellOfDamage() {
    // Found by the reading of the file, whose claim of the copy makes it
    // told only once.
    if (!myPrefs->previousContentsPath.empty()) {
        notices_.push_back(DamagedFileNotice(myPrefs->previousContentsPath));
        myPrefs->previousContentsPath.clear();
        TellNotices();
    }
}

void App::TellNotices() {
    if (SplashScreen* splash = fw::SingleInstance<SplashScreen>::Current()) {
        if (IsQuitting()) {
            splash->Close();
        } else {
            if (!splashGone_) {
                // Told once the splash is deleted, from the event loop.
                splashGone_ = connect(splash, &QObject::destroyed, this, [this] {
                    disconnect(splashGone_);
                    QTimer::singleShot(0, this, [this] { TellNotices(); });
                });
            }
            return;
        }
    }
    const std::vector<std::string> told = std::move(notices_);
    notices_.clear();
    for (const std::string& notice : told) {
        fw::MsgBox(notice);
    }
}

App::~App() {
    disconnect(splashGone_);
}

std::string App::prefsSaveFailureText() const {
    if (myPrefs == nullptr) {
        return "Your preferences could not be saved.";
    }
    if (myPrefs->SavePath().Path().empty()) {
        return "Your preferences can't be saved: there is no home folder to keep them in.";
    }
    std::string what = myPrefs->errorMessage;
    if (what.empty()) {
        what = "The file could not be written";
    }
    std::string text = "Your preferences could not be saved.\n\n" + what + ": " +
                       myPrefs->SavePath().AbsolutePath();
    if (!myPrefs->saveFailureReason.empty()) {
        text += "\n" + myPrefs->saveFailureReason + ".";
    }
    if (!myPrefs->previousContentsPath.empty()) {
        text += "\n\n" + DamagedFileNotice(myPrefs->previousContentsPath);
    }
    return text;
}
