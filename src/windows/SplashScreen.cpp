#include "windows/SplashScreen.h"

#include "app/Pictures.h"
#include "framework/gui/StaticText.h"
#include "windows/TalloCalc.h"

void SplashScreen::Layout() {
    SetBackdrop(splashbmp());
    ApplyDesign({.title = "Tallorix",
                 .width = 400,
                 .height = 400,
                 .frame = fw::WindowFrame::ModalDialog,
                 .placement = fw::WindowPlacement::MainScreen,
                 .closeButton = false});
}

void SplashScreen::CreateControls0() {
    auto* timer = AddControl<Timer1>({.name = "Timer1", .locks = fw::LockNone});
    timer->SetPeriod(10000);
    timer->SetMode(fw::TimerMode::Multiple);
    timer->OnAction([this] { Timer1_Action(); });

    auto* label = AddControl<fw::StaticText>({.name = "StaticText1",
                                              .caption = "Version:",
                                              .bounds = {256, 116, 124, 20},
                                              .locks = fw::LockNone});
    label->SetTextColor(QColor(0x00, 0x00, 0x00));
}

void SplashScreen::Timer1_Action() {
    startUp();
}

bool SplashScreen::Event_MouseDown(int /*x*/, int /*y*/) {
    return true;
}

void SplashScreen::Event_MouseUp(int /*x*/, int /*y*/) {
    startUp();
}

void SplashScreen::startUp() {
    // A click and the timer may both be on their way: only the first opens
    // a calculator.
    if (IsClosed()) {
        return;
    }
    fw::NewWindow<TalloCalc>();
    Close();
}
