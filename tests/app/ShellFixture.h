#pragma once

#include "app/App.h"
#include "app/StartUp.h"
#include "framework/gui/Application.h"
#include "framework/gui/MenuBar.h"
#include "framework/gui/MsgBox.h"
#include "framework/gui/SingleInstance.h"
#include "framework/gui/Timer.h"
#include "support/PreferencesFolder.h"
#include "windows/SplashScreen.h"
#include "windows/TalloCalc.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// The real application object, also counting its Open and Close events.
class RecordingApp : public App {
public:
    int opens = 0;
    int closes = 0;
    int windowsAtOpen = -1;

protected:
    void Event_Open() override {
        ++opens;
        windowsAtOpen = static_cast<int>(fw::OpenWindows().size());
        App::Event_Open();
    }
    void Event_Close() override {
        ++closes;
        App::Event_Close();
    }
};

// Runs the real start chain in this process, as main() does.
class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        // Whatever the application stores goes into a folder of this test.
        ASSERT_TRUE(home.isValid());
        qputenv("HOME", home.path().toLocal8Bit());
        // A message box is read here, never waited for.
        fw::SetMsgBoxCatcher([this](const std::string& text) { messages.push_back(text); });
        static int argc = 0;
        system = std::make_unique<StartUp>(argc, nullptr, [this] {
            auto made = std::make_unique<RecordingApp>();
            app = made.get();
            return made;
        });
    }
    void TearDown() override {
        system.reset();
        fw::SetMsgBoxCatcher(nullptr);
    }

    // Runs the event loop with the body as the user's first act; the
    // application quits after the body unless the body made it quit.
    int Run(const std::function<void()>& body) {
        QTimer::singleShot(0, [this, body] {
            body();
            app->Quit();
        });
        return system->Run();
    }

    static SplashScreen* Splash() { return fw::SingleInstance<SplashScreen>::Current(); }

    static fw::Timer* SplashTimer() {
        return Splash() != nullptr ? Splash()->FindControl<fw::Timer>("Timer1") : nullptr;
    }

    // The open calculator windows' titles, sorted.
    static std::vector<std::string> CalculatorTitles() {
        std::vector<std::string> titles;
        for (TalloCalc* calc : Calculators()) {
            titles.push_back(calc->Title());
        }
        std::sort(titles.begin(), titles.end());
        return titles;
    }

    static std::vector<TalloCalc*> Calculators() {
        std::vector<TalloCalc*> open;
        for (fw::Window* window : fw::OpenWindows()) {
            if (auto* calc = dynamic_cast<TalloCalc*>(window)) {
                open.push_back(calc);
            }
        }
        return open;
    }

    static TalloCalc* CalculatorTitled(const std::string& title) {
        for (TalloCalc* calc : Calculators()) {
            if (calc->Title() == title) {
                return calc;
            }
        }
        return nullptr;
    }

    // The menu command as the user chooses it: the menus are brought up to
    // date first, and a disabled item can't be chosen.
    void Choose(const std::string& item) {
        app->UpdateMenus();
        QAction* action = app->GetMenuBar()->Item(item)->Action();
        ASSERT_TRUE(action->isEnabled()) << item;
        action->trigger();
    }

    // A key with the command modifier, typed into the window brought to the front.
    static void Press(fw::Window* window, Qt::Key key, Qt::KeyboardModifiers extra = {}) {
        window->Show();
        QApplication::setActiveWindow(window);
        (void)QTest::qWaitForWindowActive(window);
        QTest::keyClick(window, key, Qt::ControlModifier | extra);
    }

    QTemporaryDir home;
    ScopedPreferencesFolder preferences{home.filePath(QStringLiteral("config")).toStdString()};
    std::unique_ptr<StartUp> system;
    RecordingApp* app = nullptr;
    std::vector<std::string> messages; // the message boxes shown, in order
};
