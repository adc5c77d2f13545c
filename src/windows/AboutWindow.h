#pragma once

#include "framework/gui/SingleInstance.h"
#include "framework/gui/Window.h"

// The about box: the splash picture with a grey version label.
class AboutWindow : public fw::Window {
public:
    // The open about window, created when none is open.
    static AboutWindow& instance() { return fw::SingleInstance<AboutWindow>::Get(); }

protected:
    void Layout() override;
    void CreateControls() override { CreateControls0(); }
    void CreateControls0();
};
