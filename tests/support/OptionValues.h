#pragma once

#include "prefs/OptionTable.h"

#include <vector>

// The eight option values in the option table's order, which is the file's.
inline std::vector<bool> OptionValuesInTableOrder(const prefs::OptionValues& values) {
    std::vector<bool> list;
    for (const prefs::Option& option : prefs::kOptions) {
        list.push_back(values.*option.field);
    }
    return list;
}
