#pragma once

#include "framework/gui/Control.h"

#include <cstdint>
#include <string>
#include <vector>

class TalloCalc;
struct CalcControlRow;

// The handlers of the window, by the event they serve.
using CalcActionHandler = void (TalloCalc::*)();
using CalcKeyDownHandler = bool (TalloCalc::*)(const std::string& key);
using CalcCompareRowsHandler = bool (TalloCalc::*)(int row1, int row2, int column, int& result);

// Creates the row's control in the window, applies the design values that
// only its kind has and installs the handlers of its kind.
using CalcControlMaker = fw::Control* (*)(TalloCalc& window, const CalcControlRow& row);

inline constexpr std::int64_t kNoTextColor = -1;

// One control of the calculator window: its kind, the framework's design
// values, the values that only some kinds have, and its handlers, which are
// installed after the design values.
struct CalcControlRow {
    CalcControlMaker make;
    fw::ControlDesign design;
    CalcActionHandler action = nullptr;
    CalcKeyDownHandler keyDown = nullptr;         // a field's
    CalcCompareRowsHandler compareRows = nullptr; // a list's
    std::int64_t textColor = kNoTextColor;        // 0xRRGGBB of a label
    int limitText = 0;      // characters a field takes; 0 = no limit of its own
    bool isDefault = false; // Return and Enter press this button
    bool focusRing = true;
    std::vector<std::string> headings{}; // a list's heading row
    std::string columnWidths{};
    bool tileRows = false; // a list that starts with the rows of the tile set
};
