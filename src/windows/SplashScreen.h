#pragma once

#include "framework/gui/SingleInstance.h"
#include "framework/gui/Timer.h"
#include "framework/gui/Window.h"

// The window that start-up shows. Ten seconds after it opens, or at once
// when it is clicked, it opens the first calculator window and closes.
class SplashScreen : public fw::Window {
public:
    // The splash's own timer kind; it adds nothing to the framework's.
    class Timer1 : public fw::Timer {
    public:
        using fw::Timer::Timer;
    };

    // The open splash window, created and shown when none is open.
    static SplashScreen& instance() { return fw::SingleInstance<SplashScreen>::Get(); }

    void startUp();

protected:
    void Layout() override;
    void CreateControls() override { CreateControls0(); }
    void CreateControls0();
    void Timer1_Action();
    bool Event_MouseDown(int x, int y) override;
    void Event_MouseUp(int x, int y) override;
};
