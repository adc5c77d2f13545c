#pragma once

#include "framework/gui/ButtonControl.h"
#include "framework/gui/Control.h"
#include "prefs/OptionTable.h"

#include <array>

namespace fw {
class Window;
}

// The controls of the eight options in a window that shows them, by the
// rows of the option table.
using OptionControls = std::array<fw::ValueControl*, prefs::kOptionCount>;

// `design` with the caption and, unless `withHelp` is false, the help text
// of the option whose control it names.
fw::ControlDesign OptionDesign(fw::ControlDesign design, bool withHelp = true);

// Binds a window's option controls (see fw::Window::BindControl).
OptionControls BindOptions(fw::Window& window);

// Sets the controls to the values, in the table's open order; each control
// raises its Action as a click would.
void ShowOptions(const OptionControls& controls, const prefs::OptionValues& values);

// Stores what the controls show.
void ReadOptions(const OptionControls& controls, prefs::OptionValues& values);
