#pragma once

#include "framework/gui/Window.h"

// A calculator window. Any number may be open; each is independent.
class TalloCalc : public fw::Window {
public:
    TalloCalc() = default;

    bool FileClose_Action();

protected:
    void Layout() override;
    void AddMenuHandlers() override;
    void Event_Open() override;
};
