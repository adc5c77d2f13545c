#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The eight options with which a calculator window starts: everything that
// the preferences file, the application object and the two windows that
// show them need to know of each. A new option is a new row here and a
// place in each window's design.
namespace prefs {

// The options' values; the application object holds the defaults of new
// windows in these fields.
struct OptionValues {
    bool prefEnableSpecialSpaces = false;
    bool prefOnlyUniqueScores = false;
    bool prefCenterSquareDouble = false;
    bool prefEnforceContraints = false;
    bool prefConstrainIndividual = false;
    bool prefConstrainCombined = false;
    bool prefEnableBlanks = false;
    bool prefEnforceWordLength = false;
};

struct Option {
    std::string_view control; // the option's control in both windows
    int index;                // its member index in a control array; -1 when not in one
    bool OptionValues::*field;
    std::string_view key; // spelled as files already carry it
    bool defaultValue;
    std::string_view caption;
    std::string_view help; // a carriage return breaks the line; empty = none
};

inline constexpr std::size_t kOptionCount = 8;

// In the order in which they are read and first written.
inline constexpr std::array<Option, kOptionCount> kOptions = {{
    {"cb_centerSquare", -1, &OptionValues::prefCenterSquareDouble, "CenterSquareDouble", true,
     "Center square is double word score", ""},
    {"cb_blankTiles", -1, &OptionValues::prefEnableBlanks, "EnableBlanks", true,
     "Enable automatic blank tiles", "Use blank tiles for letters that run short"},
    {"cb_specialSpaces", -1, &OptionValues::prefEnableSpecialSpaces, "EnableSpecialSpaces", false,
     "Enable special board spaces",
     "Double word score, triple letter score, etc.\r"
     "Word length enforcement will be turned on automatically."},
    {"cb_wordLength", -1, &OptionValues::prefEnforceWordLength, "EnforceWordLength", true,
     "Enforce maximum word length", "A board only supports words up to 15 letters."},
    {"cb_alphabet", -1, &OptionValues::prefEnforceContraints, "EnforceConstraints", true,
     "Enforce alphabet constraints",
     "Whether you can use as many letters as you want, or only what is included in "
     "Quadrelle"},
    {"cb_uniqueScores", -1, &OptionValues::prefOnlyUniqueScores, "OnlyUniqueScores", true,
     "Only display unique scores",
     "Only display a specific score once, no matter how many board positions can make "
     "it."},
    {"rb_alphabet", 1, &OptionValues::prefConstrainCombined, "ContrainCombined", false,
     "Combined words", "All words use the same set of Quadrelle tiles"},
    {"rb_alphabet", 0, &OptionValues::prefConstrainIndividual, "ContrainIndividual", true,
     "Individual words",
     "Each word starts with a complete set of Quadrelle tiles\r"
     "If you switch from tracking tile counts on a per-board basis to a per-word basis "
     "the Tiles Left count will be reset."},
}};

// Every option at its default.
constexpr OptionValues DefaultOptions() {
    OptionValues values;
    for (const Option& option : kOptions) {
        values.*option.field = option.defaultValue;
    }
    return values;
}

// Rows of kOptions, in the order in which a window copies the options
// into its controls. Word length comes before special spaces, whose rule
// then overrides it; the tile-mode pair goes by index, so with both set the
// later one, "Combined words", stays selected.
inline constexpr std::array<std::size_t, kOptionCount> kOpenOrder = {0, 1, 3, 2, 4, 5, 7, 6};

// The row of the option shown by a control; kOptionCount when none.
constexpr std::size_t OptionRow(std::string_view control, int index = -1) {
    for (std::size_t row = 0; row < kOptions.size(); ++row) {
        if (kOptions[row].control == control && kOptions[row].index == index) {
            return row;
        }
    }
    return kOptionCount;
}

} // namespace prefs
