#pragma once

#include "framework/gui/SingleInstance.h"
#include "framework/gui/Window.h"

// The floating window with the picture of the board; one for all calculator
// windows.
class TalloBoard : public fw::Window {
public:
    // The open board window, created when none is open.
    static TalloBoard& instance() { return fw::SingleInstance<TalloBoard>::Get(); }

protected:
    void Layout() override;
};
