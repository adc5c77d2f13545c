#include "windows/OptionControls.h"

#include "framework/gui/Window.h"

#include <string>

fw::ControlDesign OptionDesign(fw::ControlDesign design, bool withHelp) {
    const std::size_t row = prefs::OptionRow(design.name, design.index);
    if (row == prefs::kOptionCount) {
        return design;
    }
    const prefs::Option& option = prefs::kOptions[row];
    design.caption = std::string(option.caption);
    design.helpTag = withHelp ? std::string(option.help) : std::string();
    return design;
}

OptionControls BindOptions(fw::Window& window) {
    OptionControls controls{};
    for (std::size_t row = 0; row < prefs::kOptionCount; ++row) {
        const prefs::Option& option = prefs::kOptions[row];
        controls[row] =
            window.BindControl<fw::ValueControl>(std::string(option.control), option.index);
    }
    return controls;
}

void ShowOptions(const OptionControls& controls, const prefs::OptionValues& values) {
    for (const std::size_t row : prefs::kOpenOrder) {
        controls[row]->SetValue(values.*prefs::kOptions[row].field);
    }
}

void ReadOptions(const OptionControls& controls, prefs::OptionValues& values) {
    for (std::size_t row = 0; row < prefs::kOptionCount; ++row) {
        values.*prefs::kOptions[row].field = controls[row]->Value();
    }
}
