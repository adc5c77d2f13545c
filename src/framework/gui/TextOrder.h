#pragma once

#include <string_view>

namespace fw {

// The list's text order: code point by code point (UTF-8 bytes compare in
// code point order) with a-z taken as A-Z; a proper prefix sorts first.
// Returns -1, 0 or 1. The calculator's own order uses the same rule.
int CompareText(std::string_view a, std::string_view b) noexcept;

} // namespace fw
