#pragma once

#include "framework/gui/RadioButton.h"
#include "framework/gui/SingleInstance.h"
#include "framework/gui/Window.h"
#include "windows/OptionControls.h"

// Edits the default options of calculator windows opened from now on. Not
// modal; "OK" stores and saves them at once, "Cancel" drops the edits.
class prefsWindow : public fw::Window {
public:
    // The two tile-mode choices, one control array addressed by index.
    class rb_alphabet : public fw::RadioButton {
    public:
        using fw::RadioButton::RadioButton;
    };

    // The open preferences window, created when none is open. The caller
    // shows it.
    static prefsWindow& instance() { return fw::SingleInstance<prefsWindow>::Get(); }

    void btn_OK_Action();
    void btn_Cancel_Action();

protected:
    void Layout() override;
    void CreateControls() override { CreateControls0(); }
    void CreateControls0();
    void BindControls() override;
    void AddMenuHandlers() override;
    void Event_Open() override;

private:
    OptionControls options_{};
};
