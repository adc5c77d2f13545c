#pragma once

#include "framework/gui/Control.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

class TalloCalc;

// The kinds of control a calculator window is built from.
enum class CalcControlKind {
    GroupBox,
    CheckBox,
    TileModeButton, // TalloCalc::rb_alphabet
    PushButton,
    EditField,
    StaticText,
    Listbox,
    DisclosureTriangle,
    Separator,
    ProgressWheel,
};

// A handler of the window, by the event it serves.
using CalcActionHandler = void (TalloCalc::*)();
using CalcKeyDownHandler = bool (TalloCalc::*)(const std::string& key);
using CalcCompareRowsHandler = bool (TalloCalc::*)(int row1, int row2, int column, int& result);
using CalcHandler =
    std::variant<std::monostate, CalcActionHandler, CalcKeyDownHandler, CalcCompareRowsHandler>;

inline constexpr std::int64_t kNoTextColor = -1;

// One control of the calculator window: the framework's design values, the
// values that only some kinds have, and the handler installed after them.
struct CalcControlRow {
    CalcControlKind kind;
    fw::ControlDesign design;
    CalcHandler handler{};
    std::int64_t textColor = kNoTextColor; // 0xRRGGBB of a label
    int limitText = 0;                     // characters a field takes; 0 = no limit of its own
    bool isDefault = false;                // Return and Enter press this button
    bool focusRing = true;
    std::vector<std::string> headings{}; // a list's heading row
    std::string columnWidths{};
    bool tileRows = false; // a list that starts with the rows of the tile set
};
