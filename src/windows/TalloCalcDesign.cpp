#include "windows/TalloCalcDesign.h"

#include "framework/gui/CheckBox.h"
#include "framework/gui/DisclosureTriangle.h"
#include "framework/gui/EditField.h"
#include "framework/gui/GroupBox.h"
#include "framework/gui/Listbox.h"
#include "framework/gui/ProgressWheel.h"
#include "framework/gui/PushButton.h"
#include "framework/gui/Separator.h"
#include "framework/gui/StaticText.h"
#include "windows/OptionControls.h"
#include "windows/TalloCalc.h"
#include "windows/tilesetWindow.h"

#include <QColor>

namespace {

// The design values that only some kinds of control have.
void ApplyKindValues(fw::Control& /*control*/, TalloCalc& /*window*/,
                     const CalcControlRow& /*row*/) {}

void ApplyKindValues(fw::StaticText& label, TalloCalc& /*window*/, const CalcControlRow& row) {
    if (row.textColor != kNoTextColor) {
        label.SetTextColor(QColor::fromRgb(static_cast<QRgb>(row.textColor)));
    }
}

void ApplyKindValues(fw::EditField& field, TalloCalc& window, const CalcControlRow& row) {
    field.SetLimitText(row.limitText);
    if (row.keyDown != nullptr) {
        field.OnKeyDown([&window, handler = row.keyDown](const std::string& key) {
            return (window.*handler)(key);
        });
    }
}

void ApplyKindValues(fw::PushButton& button, TalloCalc& /*window*/, const CalcControlRow& row) {
    if (row.isDefault) {
        button.SetDefault(true);
    }
}

void ApplyKindValues(fw::Listbox& list, TalloCalc& window, const CalcControlRow& row) {
    list.SetHeadings(row.headings);
    list.SetColumnWidths(row.columnWidths);
    if (row.tileRows) {
        AddTileRows(list);
    }
    if (row.compareRows != nullptr) {
        list.OnCompareRows(
            [&window, handler = row.compareRows](int row1, int row2, int column, int& result) {
                return (window.*handler)(row1, row2, column, result);
            });
    }
}

template <class T> fw::Control* Make(TalloCalc& window, const CalcControlRow& row) {
    T* control = window.AddControl<T>(row.design);
    ApplyKindValues(*control, window, row);
    return control;
}

constexpr unsigned kLeftTop = fw::LockLeft | fw::LockTop;
constexpr unsigned kLeftBottom = fw::LockLeft | fw::LockBottom;
constexpr unsigned kLeftTopBottom = fw::LockLeft | fw::LockTop | fw::LockBottom;

} // namespace

// Positions are in the content coordinates of the full 568 x 551 window,
// also for the controls inside a group box.
const std::vector<CalcControlRow>& TalloCalc::Design() {
    static const std::vector<CalcControlRow> table = {
        {.make = &Make<fw::GroupBox>,
         .design = {.name = "gb_Options",
                    .bounds = {9, 360, 388, 182},
                    .locks = kLeftBottom,
                    .accessibleName = "Options"}},
        {.make = &Make<fw::CheckBox>,
         .design = OptionDesign({.name = "cb_specialSpaces",
                                 .container = "gb_Options",
                                 .bounds = {25, 368, 197, 20},
                                 .locks = kLeftBottom,
                                 .value = false}),
         .action = &TalloCalc::cb_specialSpaces_Action},
        {.make = &Make<TalloCalc::rb_alphabet>,
         .design = OptionDesign({.name = "rb_alphabet",
                                 .index = 0,
                                 .container = "gb_Options",
                                 .bounds = {43, 475, 170, 20},
                                 .locks = kLeftBottom,
                                 .value = true,
                                 .enabled = false}),
         .action = &TalloCalc::rb_alphabet_Action},
        {.make = &Make<fw::CheckBox>,
         .design = OptionDesign({.name = "cb_alphabet",
                                 .container = "gb_Options",
                                 .bounds = {25, 455, 197, 20},
                                 .locks = kLeftBottom,
                                 .value = false}),
         .action = &TalloCalc::cb_alphabet_Action},
        {.make = &Make<fw::CheckBox>,
         .design = OptionDesign({.name = "cb_wordLength",
                                 .container = "gb_Options",
                                 .bounds = {25, 430, 239, 20},
                                 .locks = kLeftBottom,
                                 .value = false})},
        {.make = &Make<TalloCalc::rb_alphabet>,
         .design = OptionDesign({.name = "rb_alphabet",
                                 .index = 1,
                                 .container = "gb_Options",
                                 .bounds = {43, 495, 127, 20},
                                 .locks = kLeftBottom,
                                 .value = false,
                                 .enabled = false}),
         .action = &TalloCalc::rb_alphabet_Action},
        {.make = &Make<fw::CheckBox>,
         .design = OptionDesign({.name = "cb_uniqueScores",
                                 .container = "gb_Options",
                                 .bounds = {43, 387, 302, 20},
                                 .locks = kLeftTop,
                                 .value = true})},
        {.make = &Make<fw::CheckBox>,
         .design = OptionDesign({.name = "cb_blankTiles",
                                 .container = "gb_Options",
                                 .bounds = {43, 515, 221, 20},
                                 .locks = kLeftBottom,
                                 .value = false})},
        {.make = &Make<fw::CheckBox>,
         .design = OptionDesign({.name = "cb_centerSquare",
                                 .container = "gb_Options",
                                 .bounds = {43, 404, 310, 20},
                                 .locks = kLeftBottom,
                                 .value = true,
                                 .enabled = false})},
        {.make = &Make<fw::PushButton>,
         .design = {.name = "btn_Calc",
                    .caption = "Calculate",
                    .bounds = {317, 9, 80, 20},
                    .locks = kLeftTop},
         .action = &TalloCalc::btn_Calc_Action,
         .isDefault = true},
        {.make = &Make<fw::EditField>,
         .design = {.name = "tbox_Word",
                    .bounds = {112, 8, 188, 22},
                    .locks = kLeftTop,
                    .helpTag = "Use a space or _ (underscore) to indicate a blank tile"},
         .keyDown = &TalloCalc::tbox_Word_KeyDown,
         .limitText = 128},
        {.make = &Make<fw::StaticText>,
         .design = {.name = "StaticText1",
                    .caption = "Enter word here:",
                    .bounds = {10, 9, 100, 20},
                    .locks = kLeftTop},
         .textColor = 0x000000},
        {.make = &Make<fw::Listbox>,
         .design = {.name = "lbox_wordValue",
                    .bounds = {9, 53, 389, 252},
                    .locks = kLeftTop,
                    .accessibleName = "Word scores"},
         .compareRows = &TalloCalc::lbox_wordValue_CompareRows,
         .headings = {"Word", "Score"},
         .columnWidths = "80%,20%"},
        {.make = &Make<fw::StaticText>,
         .design = {.name = "lbl_error",
                    .caption = "error text can go here...",
                    .bounds = {9, 33, 255, 20},
                    .locks = kLeftTop,
                    .visible = false},
         .textColor = 0xC60000},
        {.make = &Make<fw::PushButton>,
         .design = {.name = "btn_Board",
                    .caption = "View Board",
                    .bounds = {193, 311, 99, 20},
                    .locks = fw::LockTop},
         .action = &TalloCalc::btn_Board_Action},
        {.make = &Make<fw::PushButton>,
         .design = {.name = "btn_Letters",
                    .caption = "Show Letters",
                    .bounds = {298, 311, 99, 20},
                    .locks = fw::LockTop,
                    .helpTag = "View total and available letter counts"},
         .action = &TalloCalc::btn_Letters_Action},
        {.make = &Make<fw::GroupBox>,
         .design = {.name = "GroupBox2",
                    .caption = "Tileset",
                    .bounds = {409, 9, 157, 534},
                    .locks = kLeftTopBottom}},
        {.make = &Make<fw::Listbox>,
         .design = {.name = "lbox_Tiles",
                    .container = "GroupBox2",
                    .bounds = {418, 33, 139, 501},
                    .locks = kLeftTopBottom,
                    .accessibleName = "Tiles"},
         .focusRing = false,
         .headings = {" ", "Total", "Left"},
         .tileRows = true},
        {.make = &Make<fw::DisclosureTriangle>,
         .design = {.name = "dt_Options",
                    .bounds = {10, 342, 18, 18},
                    .locks = kLeftTop,
                    .value = true,
                    .accessibleName = "Options"},
         .action = &TalloCalc::dt_Options_Action},
        {.make = &Make<fw::StaticText>,
         .design = {.name = "StaticText3",
                    .caption = "Options",
                    .bounds = {30, 342, 100, 20},
                    .locks = kLeftTop},
         .textColor = 0x000000},
        {.make = &Make<fw::Separator>,
         .design = {.name = "Separator2", .bounds = {76, 350, 321, 4}, .locks = kLeftTop}},
        {.make = &Make<fw::PushButton>,
         .design = {.name = "btn_clearList",
                    .caption = "Clear List",
                    .bounds = {10, 311, 100, 20},
                    .locks = kLeftTop,
                    .enabled = false},
         .action = &TalloCalc::btn_clearList_Action},
        {.make = &Make<fw::ProgressWheel>,
         .design = {.name = "ChasingArrows1",
                    .bounds = {284, 34, 16, 16},
                    .locks = fw::LockNone,
                    .visible = false}},
    };
    return table;
}
