#pragma once

#include "framework/core/Strings.h"

#include <string_view>

namespace calc {

// The result list's text order is the list's own (shared with the list on
// screen): code point by code point after mapping a-z to A-Z, a proper prefix
// first. Returns negative, 0 or positive.
inline int CompareText(std::string_view a, std::string_view b) {
    return fw::CompareText(a, b);
}

// Equality under the same mapping: the word equality of the pruning.
inline bool TextEqual(std::string_view a, std::string_view b) {
    return fw::Equals(a, b);
}

} // namespace calc
