#include "windows/prefsWindow.h"

#include "app/App.h"
#include "framework/gui/CheckBox.h"
#include "framework/gui/MsgBox.h"
#include "framework/gui/PushButton.h"
#include "framework/gui/StaticText.h"
#include "framework/gui/TabPanel.h"
#include "windows/OptionControls.h"

namespace {

// Option controls use the 12-point system font; the note and the buttons
// keep the platform's size.
constexpr int kPlatformTextSize = 0;

} // namespace

void prefsWindow::Layout() {
    // Only OK and Cancel end the window, so every way out is a decision.
    ApplyDesign(
        {.title = "Tallorix Preferences", .width = 363, .height = 393, .closeButton = false});
}

void prefsWindow::CreateControls0() {
    auto* tabs = AddControl<fw::TabPanel>(
        {.name = "TabPanel1", .bounds = {20, 14, 323, 331}, .textSize = kPlatformTextSize});
    tabs->SetTabs({"Defaults"});
    tabs->SetValue(0);

    const std::string onTab = "TabPanel1";
    AddControl<fw::CheckBox>(OptionDesign(
        {.name = "cb_specialSpaces", .container = onTab, .bounds = {38, 60, 197, 20}}));
    AddControl<fw::CheckBox>(
        OptionDesign({.name = "cb_wordLength", .container = onTab, .bounds = {38, 122, 239, 20}},
                     /*withHelp=*/false));
    AddControl<fw::CheckBox>(
        OptionDesign({.name = "cb_alphabet", .container = onTab, .bounds = {38, 149, 197, 20}}));
    AddControl<rb_alphabet>(OptionDesign({.name = "rb_alphabet",
                                          .index = 0,
                                          .container = onTab,
                                          .bounds = {56, 169, 170, 20},
                                          .value = true}));
    AddControl<rb_alphabet>(OptionDesign(
        {.name = "rb_alphabet", .index = 1, .container = onTab, .bounds = {56, 189, 127, 20}}));
    AddControl<fw::CheckBox>(
        OptionDesign({.name = "cb_blankTiles", .container = onTab, .bounds = {56, 209, 221, 20}}));
    auto* note = AddControl<fw::StaticText>(
        {.name = "StaticText3",
         .container = onTab,
         .caption = "These will be the default settings for new Tallorix windows. Each window "
                    "can override these defaults through their Options panel.",
         .bounds = {38, 258, 287, 83},
         .textSize = kPlatformTextSize});
    note->SetMultiline(true);
    note->SetTextColor(Qt::black);
    AddControl<fw::CheckBox>(OptionDesign({.name = "cb_uniqueScores",
                                           .container = onTab,
                                           .bounds = {56, 78, 269, 20},
                                           .value = true}));
    AddControl<fw::CheckBox>(OptionDesign({.name = "cb_centerSquare",
                                           .container = onTab,
                                           .bounds = {56, 97, 269, 20},
                                           .value = true}));

    auto* ok = AddControl<fw::PushButton>({.name = "btn_OK",
                                           .caption = "OK",
                                           .bounds = {263, 353, 80, 20},
                                           .textSize = kPlatformTextSize});
    ok->SetDefault(true);
    ok->OnAction([this] { btn_OK_Action(); });
    auto* cancel = AddControl<fw::PushButton>({.name = "btn_Cancel",
                                               .caption = "Cancel",
                                               .bounds = {171, 353, 80, 20},
                                               .textSize = kPlatformTextSize});
    cancel->SetCancel(true);
    cancel->OnAction([this] { btn_Cancel_Action(); });
}

void prefsWindow::AddMenuHandlers() {
    // The window handles no menu command of its own.
}

void prefsWindow::BindControls() {
    options_ = BindOptions(*this);
}

void prefsWindow::Event_Open() {
    if (const App* app = App::instance()) {
        ShowOptions(options_, *app);
    }
}

void prefsWindow::btn_OK_Action() {
    if (App* app = App::instance()) {
        ReadOptions(options_, *app);
        if (!app->savePrefs()) {
            // The window stays, so that the user can try again or cancel.
            fw::MsgBox(app->prefsSaveFailureText());
            return;
        }
    }
    Close();
}

void prefsWindow::btn_Cancel_Action() {
    Close();
}
