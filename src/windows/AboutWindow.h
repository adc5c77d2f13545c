#pragma once

#include "framework/gui/Window.h"

// The about box: the splash picture with a grey version label.
class AboutWindow : public fw::Window {
public:
    AboutWindow() = default;

    // The open about window, created when none is open.
    static AboutWindow& instance();

protected:
    void Layout() override;
    void CreateControls() override;
    void CreateControls0();
};
